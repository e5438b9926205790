# k_pure_library(NAME src...): platform-free code built twice natively, once
# plain (tools, benchmarks) and once as NAME_san with the sanitizers (tests).
# In the cross tree NAME_san is an alias of NAME.
function(k_pure_library name)
  add_library(${name} STATIC ${ARGN})
  if(K_SAN_FLAGS)
    add_library(${name}_san STATIC ${ARGN})
    target_compile_options(${name}_san PRIVATE ${K_SAN_FLAGS})
    target_link_options(${name}_san INTERFACE ${K_SAN_FLAGS})
  else()
    add_library(${name}_san ALIAS ${name})
  endif()
endfunction()

# k_link_pure(TARGET lib...): link the plain libraries.
# k_test(NAME SOURCES src... LIBS lib...): a GoogleTest program. Natively it is
# built with the sanitizers and its cases are discovered one by one; in the
# cross tree it is one ctest entry run under Wine through the emulator.
function(k_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;WINLIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} ${K_GTEST})
  if(K_SAN_FLAGS)
    target_compile_options(${name} PRIVATE ${K_SAN_FLAGS})
    target_link_options(${name} PRIVATE ${K_SAN_FLAGS})
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
  else()
    target_link_libraries(${name} PRIVATE ${T_WINLIBS})
    add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
  endif()
endfunction()

# k_bench(NAME src... LIBS lib...): a native Google Benchmark program.
function(k_bench name)
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT WIN32)
    add_executable(${name} ${B_SOURCES})
    target_compile_options(${name} PRIVATE -O2)
    target_link_libraries(${name} PRIVATE ${B_LIBS} benchmark::benchmark)
  endif()
endfunction()

# k_cli_check(NAME TARGET -DARGS=... [-DEXPECT=...] ...): a ctest entry that runs
# a command-line tool (under Wine in the cross tree) and checks its output with
# cmake/check-cli.cmake.
function(k_cli_check name target)
  set(emu "")
  if(CMAKE_CROSSCOMPILING_EMULATOR)
    set(emu ${CMAKE_CROSSCOMPILING_EMULATOR})
  endif()
  add_test(NAME ${name} COMMAND ${CMAKE_COMMAND} -DEXE=$<TARGET_FILE:${target}>
    -DEMU=${emu} ${ARGN} -P ${CMAKE_SOURCE_DIR}/cmake/check-cli.cmake)
endfunction()
