# Checks one run of a command-line tool (script mode):
#   cmake -DEXE=prog [-DEMU=wrapper] -DARGS=a|b|c [-DARGS2=...] [-DEXPECT=l1|l2]
#         [-DEXPECT_RC=n] [-DEXPECT_ERR=regex] -P check-cli.cmake
# It runs EXE with ARGS ('|' separates arguments) and checks the exit status
# (default 0), that the output's lines equal EXPECT ('|' separates lines), that
# stderr matches EXPECT_ERR, that a failing run prints nothing on stdout, and
# that a second run with ARGS2 prints the same as the first.
if(NOT DEFINED EXPECT_RC)
  set(EXPECT_RC 0)
endif()
get_filename_component(tool "${EXE}" NAME_WE)

function(run_tool args out_var)
  string(REPLACE "|" ";" argv "${args}")
  execute_process(COMMAND ${EMU} ${EXE} ${argv}
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  string(REPLACE "\r" "" out "${out}")
  string(REPLACE "\r" "" err "${err}")
  if(NOT rc EQUAL EXPECT_RC)
    message(FATAL_ERROR "${tool} ${argv}: exit status ${rc}, expected ${EXPECT_RC}\n${out}${err}")
  endif()
  if(NOT EXPECT_RC EQUAL 0 AND NOT out STREQUAL "")
    message(FATAL_ERROR "${tool} ${argv}: printed '${out}' although it failed")
  endif()
  if(DEFINED EXPECT_ERR AND NOT err MATCHES "${EXPECT_ERR}")
    message(FATAL_ERROR "${tool} ${argv}: stderr '${err}' does not match '${EXPECT_ERR}'")
  endif()
  set(${out_var} "${out}" PARENT_SCOPE)
endfunction()

run_tool("${ARGS}" first)
if(DEFINED EXPECT)
  string(REPLACE "|" "\n" expected "${EXPECT}\n")
  if(NOT first STREQUAL expected)
    message(FATAL_ERROR "${tool} ${ARGS} printed:\n${first}expected:\n${expected}")
  endif()
endif()
if(DEFINED ARGS2)
  run_tool("${ARGS2}" second)
  if(NOT first STREQUAL second)
    message(FATAL_ERROR "${tool} ${ARGS} and ${ARGS2} differ:\n${first}--\n${second}")
  endif()
endif()
