# The calculator engine with its tape texts, the calc-keys driver, their
# tests and the benchmark. Platform-free: built in both trees.

# ---------------------------------------------------------------------------
# Library, driver, tests and benchmark
# ---------------------------------------------------------------------------
k_pure_library(calc_engine app/calc_engine.cpp app/calc_tape.cpp app/calc_paste.cpp)

# A console program in both trees: build/native/bin/calc-keys and
# build/win32/bin/calc-keys.exe.
add_executable(calc-keys tools/calc-keys.cpp)
target_link_libraries(calc-keys PRIVATE calc_engine)
if(WIN32)
  target_link_libraries(calc-keys PRIVATE shell32) # the wide command line
endif()

k_test(test-calc
  SOURCES tests/pure/test_calc_keys.cpp tests/pure/test_calc_eval.cpp
          tests/pure/test_calc_ring.cpp tests/pure/test_calc_tape.cpp
          tests/pure/test_calc_paste.cpp
  LIBS calc_engine_san)
k_test(test-calc-property SOURCES tests/pure/test_calc_property.cpp LIBS calc_engine_san)
k_test(test-calc-exact SOURCES tests/pure/test_calc_exact.cpp LIBS calc_engine_san)

k_bench(bench-calc SOURCES bench/bench_calc.cpp LIBS calc_engine)

# calc-keys itself: the documented examples and an unknown label.
k_cli_check(calc-keys-duration calc-keys "-DARGS=1|.|5|H|5|.|5|S" "-DEXPECT=1h30m5.5s")
k_cli_check(calc-keys-tape calc-keys "-DARGS=--tape|2|+|3|x|4|Enter"
  "-DEXPECT=14|2|+ 3|x 4|= 14|indicator: none")
k_cli_check(calc-keys-split-and-trace calc-keys "-DARGS=--trace|8 / 0|Enter|-"
  "-DEXPECT=8\t8|/\t|0\t0|Enter\tDivid by zero|-\tDivid by zero|Divid by zero")
k_cli_check(calc-keys-indicator calc-keys "-DARGS=--tape|5|*|3|-"
  "-DEXPECT=|5|x 3|indicator: -")
k_cli_check(calc-keys-unknown calc-keys "-DARGS=1|+|q|Enter" -DEXPECT_RC=2
  "-DEXPECT_ERR=unknown key 'q'")
k_cli_check(calc-keys-paste calc-keys "-DARGS=--paste|1:30:15.5 + 45s =" "-DEXPECT=1h31m0.500s")
k_cli_check(calc-keys-paste-tape calc-keys "-DARGS=--tape|--paste|2*3 + 1,5\n"
  "-DEXPECT=1.5|2|x 3|indicator: +")
k_cli_check(calc-keys-paste-refused calc-keys "-DARGS=--paste|-2.5" -DEXPECT_RC=1
  "-DEXPECT_ERR=^calc-keys: refused: .*negative")
k_cli_check(calc-keys-paste-two-texts calc-keys "-DARGS=--paste|1|2" -DEXPECT_RC=2
  "-DEXPECT_ERR=^usage: calc-keys")
k_cli_check(calc-keys-no-key calc-keys "-DARGS=--trace|--tape" -DEXPECT_RC=2
  "-DEXPECT_ERR=^usage: calc-keys")

# A typed number is exactly the number its text reads, and whole milliseconds
# stay whole at every magnitude.
k_cli_check(calc-keys-exact-tenth calc-keys "-DARGS=--tape|. 1 2 DEL Enter"
  "-DEXPECT=0.1|0.1|= 0.1|indicator: none")
k_cli_check(calc-keys-exact-zero-threshold calc-keys "-DARGS=. 0 0 0 0 0 0 0 1 1 DEL Enter"
  "-DEXPECT=0.00000001")
k_cli_check(calc-keys-exact-hours-limit calc-keys "-DARGS=2 7 7 7 7 7 7 7 7 . 7 7 7 5 H"
  "-DEXPECT=277777777h46m39.000s")
k_cli_check(calc-keys-exact-hours-limit-zero calc-keys "-DARGS=2 7 7 7 7 7 7 7 7 . 7 7 7 5 0 H"
  "-DEXPECT=277777777h46m39.000s")
k_cli_check(calc-keys-exact-large-hours calc-keys "-DARGS=5 1 1 2 5 9 9 2 . 8 8 H"
  "-DEXPECT=51125992h52m48.000s")
k_cli_check(calc-keys-exact-shortfall calc-keys "-DARGS=1 . 9 9 9 9 S" "-DEXPECT=0h0m1.999s")

# The paste reader's fuzz target, driven by a seeded random generator, with
# the sanitizers in the native tree.
add_executable(fuzz-paste tests/pure/test_calc_paste_fuzz.cpp)
target_link_libraries(fuzz-paste PRIVATE calc_engine_san)
if(K_SAN_FLAGS)
  target_compile_options(fuzz-paste PRIVATE ${K_SAN_FLAGS})
  target_link_options(fuzz-paste PRIVATE ${K_SAN_FLAGS})
endif()
add_test(NAME fuzz-paste COMMAND fuzz-paste 300000)
