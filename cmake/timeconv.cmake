# The knob's value scale, the time context with its unit conversions, the
# time-convert tool, their tests and the fuzz target. Platform-free: built in
# both trees.

# ---------------------------------------------------------------------------
# Library, tool and tests
# ---------------------------------------------------------------------------
k_pure_library(ctl_time toolkit/controls/value_scale.cpp toolkit/dialogs/time_context.cpp)
target_link_libraries(ctl_time PUBLIC ctl_number)
if(K_SAN_FLAGS)
  target_link_libraries(ctl_time_san PUBLIC ctl_number_san)
  # Also catch float-to-integer overflows and float division by zero, which
  # the default undefined-behaviour set leaves out.
  target_compile_options(ctl_time_san PRIVATE -fsanitize=float-cast-overflow,float-divide-by-zero)
endif()

add_executable(time-convert tools/time-convert.cpp)
target_link_libraries(time-convert PRIVATE ctl_time ctl_number)

k_test(test-scale SOURCES tests/pure/test_scale.cpp LIBS ctl_time_san ctl_number_san)
k_test(test-time
  SOURCES tests/pure/test_time.cpp tests/pure/test_time_position.cpp
          tests/pure/test_time_bad_input.cpp
  LIBS ctl_time_san ctl_number_san)

# time-convert itself: the documented examples and the usage errors.
set(_tc_half "seconds 0.500000|milliseconds 500.000|frequency 2.000|tempo 120.000|distance 165.000|samples 22050|frame 12.500|position      1 /  2 /     0")
set(_tc_pos "seconds 4.750000|milliseconds 4750.000|frequency 0.211|tempo 12.632|distance 1567.500|samples 209475|frame 118.750|position      3 /  2 /    48")
k_cli_check(time-convert-half time-convert "-DARGS=0.5" "-DEXPECT=${_tc_half}" "-DARGS2=--from|ms|500")
k_cli_check(time-convert-position time-convert "-DARGS=--from|pos|3:2:48" "-DEXPECT=${_tc_pos}"
  "-DARGS2=--from|pos|3.2.48")
k_cli_check(time-convert-context time-convert
  "-DARGS=--tempo|90|--tpb|480|--sig|6/8|--fps|30|--rate|48000|--from|notes|11,2"
  "-DEXPECT=seconds 2.666667|milliseconds 2666.667|frequency 0.375|tempo 22.500|distance 880.000|samples 128000|frame 80.000|position      2 /  3 /     0")
k_cli_check(time-convert-samples-halves time-convert "-DARGS=--rate|5|0.5"
  "-DEXPECT=seconds 0.500000|milliseconds 500.000|frequency 2.000|tempo 120.000|distance 165.000|samples 2|frame 12.500|position      1 /  2 /     0")
# name, then the arguments: each must fail with exit status 2 and one line.
set(_tc_usage_errors
  "no-value=" "unknown-unit=--from|parsec|1" "unknown-option=--bogus|1"
  "malformed-tpb=--tpb|x|1" "malformed-signature=--sig|4|1" "bad-note=--from|notes|2,15"
  "option-without-value=--tempo" "two-values=1|2")
foreach(_case IN LISTS _tc_usage_errors)
  string(REGEX REPLACE "=.*" "" _name "${_case}")
  string(REGEX REPLACE "^[^=]*=" "" _args "${_case}")
  k_cli_check(time-convert-${_name} time-convert "-DARGS=${_args}" -DEXPECT_RC=2
    "-DEXPECT_ERR=^time-convert: [^\n]+\n$")
endforeach()

# ---------------------------------------------------------------------------
# Fuzz target for the text readers. With clang's libFuzzer (native tree only)
# it is a real fuzzer run for a bounded number of inputs; otherwise the same
# target is driven by a seeded random generator.
# ---------------------------------------------------------------------------
set(_fuzz_sources tests/pure/test_time_fuzz.cpp toolkit/dialogs/time_context.cpp
  toolkit/controls/value_scale.cpp toolkit/core/ctl_number.cpp)
set(_fuzz_headers toolkit/dialogs/time_context.h toolkit/controls/value_scale.h
  toolkit/core/ctl_number.h)
set(K_HAVE_LIBFUZZER OFF)
if(NOT WIN32 AND NOT K_NO_LIBFUZZER)
  find_program(K_CLANGXX NAMES clang++ clang++-14)
  if(K_CLANGXX)
    set(_probe ${CMAKE_BINARY_DIR}/fuzz-probe)
    file(WRITE ${_probe}.cpp
      "#include <cstddef>\n#include <cstdint>\nextern \"C\" int LLVMFuzzerTestOneInput(const uint8_t *, size_t) { return 0; }\n")
    execute_process(COMMAND ${K_CLANGXX} -fsanitize=fuzzer,address,undefined ${_probe}.cpp -o ${_probe}
      RESULT_VARIABLE _probe_rc OUTPUT_QUIET ERROR_QUIET)
    if(_probe_rc EQUAL 0)
      set(K_HAVE_LIBFUZZER ON)
    endif()
  endif()
endif()

if(K_HAVE_LIBFUZZER)
  set(_fuzz_bin ${CMAKE_BINARY_DIR}/bin/fuzz-time)
  list(TRANSFORM _fuzz_sources PREPEND ${CMAKE_SOURCE_DIR}/ OUTPUT_VARIABLE _fuzz_paths)
  list(TRANSFORM _fuzz_headers PREPEND ${CMAKE_SOURCE_DIR}/ OUTPUT_VARIABLE _fuzz_header_paths)
  add_custom_command(OUTPUT ${_fuzz_bin}
    COMMAND ${K_CLANGXX} -std=c++20 -O1 -g -DK_LIBFUZZER -I${CMAKE_SOURCE_DIR}
      -fsanitize=fuzzer,address,undefined,float-cast-overflow,float-divide-by-zero
      -fno-sanitize-recover=all ${_fuzz_paths} -o ${_fuzz_bin}
    DEPENDS ${_fuzz_paths} ${_fuzz_header_paths}
    COMMENT "Building fuzz-time with libFuzzer")
  add_custom_target(fuzz-time ALL DEPENDS ${_fuzz_bin})
  add_test(NAME fuzz-time COMMAND ${_fuzz_bin} -runs=150000 -seed=1 -max_len=160
    -artifact_prefix=${CMAKE_BINARY_DIR}/fuzz-time-)
else()
  add_executable(fuzz-time tests/pure/test_time_fuzz.cpp)
  target_link_libraries(fuzz-time PRIVATE ctl_time_san ctl_number_san)
  if(K_SAN_FLAGS)
    target_compile_options(fuzz-time PRIVATE ${K_SAN_FLAGS})
    target_link_options(fuzz-time PRIVATE ${K_SAN_FLAGS})
  endif()
  add_test(NAME fuzz-time COMMAND fuzz-time 1000000)
endif()
