cmake_minimum_required(VERSION 3.25)
# Runs one gorv command and checks its exit code, its output and optionally a written file.
#   -DGORV=<gorv binary> -DARGS=<arguments separated by '|'> -DEXPECT_RC=<exit code>
#   [-DEXPECT_MATCH=<regex on stdout+stderr>] [-DEXPECT_FILE=<file that must hold "<svg">]
# Arguments are '|'-separated because WKT text contains spaces and commas but never '|'.
# [-DINPUT_FILE=<file>] feeds that file to the command's standard input.
string(REPLACE "|" ";" args "${ARGS}")
if(DEFINED EXPECT_FILE)
  file(REMOVE "${EXPECT_FILE}")
endif()
set(input_args "")
if(DEFINED INPUT_FILE)
  set(input_args INPUT_FILE "${INPUT_FILE}")
endif()
execute_process(COMMAND "${GORV}" ${args} ${input_args} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc STREQUAL "${EXPECT_RC}")
  message(FATAL_ERROR "exit code ${rc}, expected ${EXPECT_RC}\nstdout: ${out}\nstderr: ${err}")
endif()
if(DEFINED EXPECT_MATCH AND NOT "${out}${err}" MATCHES "${EXPECT_MATCH}")
  message(FATAL_ERROR "output does not match '${EXPECT_MATCH}'\nstdout: ${out}\nstderr: ${err}")
endif()
if(DEFINED EXPECT_FILE)
  file(READ "${EXPECT_FILE}" content)
  if(NOT content MATCHES "<svg" OR NOT content MATCHES "evenodd")
    message(FATAL_ERROR "${EXPECT_FILE} is not the expected SVG")
  endif()
endif()
