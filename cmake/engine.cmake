# The calculator engine with its tape texts, the calc-keys driver, their
# tests and the benchmark. Platform-free: built in both trees.
#
# This file is also the checker that the calc-keys tests run in script mode:
#   cmake -DEXE=prog [-DEMU=wrapper] -DARGS=a|b|c [-DEXPECT=l1|l2]
#         [-DEXPECT_RC=n] [-DEXPECT_ERR=regex] -P engine.cmake
# It runs EXE with ARGS ('|' separates arguments), checks the exit status
# (default 0), that the output's lines equal EXPECT ('|' separates lines) and
# that stderr matches EXPECT_ERR. A failing run must print nothing on stdout.
if(CMAKE_SCRIPT_MODE_FILE)
  if(NOT DEFINED EXPECT_RC)
    set(EXPECT_RC 0)
  endif()
  string(REPLACE "|" ";" argv "${ARGS}")
  execute_process(COMMAND ${EMU} ${EXE} ${argv}
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  string(REPLACE "\r" "" out "${out}")
  if(NOT rc EQUAL EXPECT_RC)
    message(FATAL_ERROR "calc-keys ${argv}: exit status ${rc}, expected ${EXPECT_RC}\n${out}${err}")
  endif()
  if(NOT EXPECT_RC EQUAL 0 AND NOT out STREQUAL "")
    message(FATAL_ERROR "calc-keys ${argv}: printed '${out}' although it failed")
  endif()
  if(DEFINED EXPECT)
    string(REPLACE "|" "\n" expected "${EXPECT}\n")
    if(NOT out STREQUAL expected)
      message(FATAL_ERROR "calc-keys ${argv} printed:\n${out}expected:\n${expected}")
    endif()
  endif()
  if(DEFINED EXPECT_ERR AND NOT err MATCHES "${EXPECT_ERR}")
    message(FATAL_ERROR "calc-keys ${argv}: stderr '${err}' does not match '${EXPECT_ERR}'")
  endif()
  return()
endif()

# ---------------------------------------------------------------------------
# Library, driver, tests and benchmark
# ---------------------------------------------------------------------------
k_pure_library(calc_engine app/calc_engine.cpp app/calc_tape.cpp)

# A console program in both trees: build/native/bin/calc-keys and
# build/win32/bin/calc-keys.exe.
add_executable(calc-keys tools/calc-keys.cpp)
target_link_libraries(calc-keys PRIVATE calc_engine)

k_test(test-calc
  SOURCES tests/pure/test_calc_keys.cpp tests/pure/test_calc_eval.cpp
          tests/pure/test_calc_ring.cpp tests/pure/test_calc_tape.cpp
  LIBS calc_engine_san)
k_test(test-calc-property SOURCES tests/pure/test_calc_property.cpp LIBS calc_engine_san)

k_bench(bench-calc SOURCES bench/bench_calc.cpp LIBS calc_engine)

# calc-keys itself: the documented examples and an unknown label.
set(_ck_emu "")
if(CMAKE_CROSSCOMPILING_EMULATOR)
  set(_ck_emu ${CMAKE_CROSSCOMPILING_EMULATOR})
endif()
function(k_calc_keys_check name)
  add_test(NAME ${name} COMMAND ${CMAKE_COMMAND} -DEXE=$<TARGET_FILE:calc-keys>
    -DEMU=${_ck_emu} ${ARGN} -P ${CMAKE_CURRENT_FUNCTION_LIST_FILE})
endfunction()
k_calc_keys_check(calc-keys-duration "-DARGS=1|.|5|H|5|.|5|S" "-DEXPECT=1h30m5.5s")
k_calc_keys_check(calc-keys-tape "-DARGS=--tape|2|+|3|x|4|Enter"
  "-DEXPECT=14|2|+ 3|x 4|= 14|indicator: none")
k_calc_keys_check(calc-keys-split-and-trace "-DARGS=--trace|8 / 0|Enter|-"
  "-DEXPECT=8\t8|/\t|0\t0|Enter\tDivid by zero|-\tDivid by zero|Divid by zero")
k_calc_keys_check(calc-keys-indicator "-DARGS=--tape|5|*|3|-"
  "-DEXPECT=|5|x 3|indicator: -")
k_calc_keys_check(calc-keys-unknown "-DARGS=1|+|q|Enter" -DEXPECT_RC=2
  "-DEXPECT_ERR=unknown key 'q'")
