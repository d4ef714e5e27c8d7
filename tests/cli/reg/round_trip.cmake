# Script of the cli_reg.round_trip test (cmake -P): .reg text in and out of the settings store.
#   -DGORV=<gorv> -DSAMPLE=<.reg file> -DEXPECTED=<UTF-8 export of the sample> -DWORK_DIR=<scratch>
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})

# gorv_reg(<store> <expected exit code> <output variable> <argument>...)
function(gorv_reg store rc out)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env GORV_REGISTRY=${WORK_DIR}/${store}.db ${GORV} reg ${ARGN}
    RESULT_VARIABLE got OUTPUT_VARIABLE stdout ERROR_VARIABLE stderr)
  if(NOT got STREQUAL "${rc}")
    message(FATAL_ERROR "gorv reg ${ARGN} (store ${store}): exit ${got}, expected ${rc}\n${stdout}\n${stderr}")
  endif()
  set(${out} "${stdout}${stderr}" PARENT_SCOPE)
endfunction()

function(expect_same_file a b)
  file(READ ${a} ha HEX)
  file(READ ${b} hb HEX)
  if(NOT ha STREQUAL hb)
    message(FATAL_ERROR "${a} and ${b} differ")
  endif()
endfunction()

# A hand-written UTF-16 file in, the editor's form out.
gorv_reg(a 0 out import ${SAMPLE})
gorv_reg(a 0 out export HKEY_CURRENT_USER ${WORK_DIR}/a.reg)
file(READ ${WORK_DIR}/a.reg head HEX LIMIT 80)
if(NOT head MATCHES "^fffe570069006e0064006f0077007300")
  message(FATAL_ERROR "a.reg does not start with a UTF-16LE byte-order mark and the header: ${head}")
endif()
file(READ ${WORK_DIR}/a.reg all HEX)
if(NOT all MATCHES "0d000a000d000a005b00")  # a blank line before a key, with CRLF line ends
  message(FATAL_ERROR "a.reg does not use CRLF line ends")
endif()
gorv_reg(a 0 text export "HKEY_CURRENT_USER\\Software\\TELUN")
file(READ ${EXPECTED} want)
if(NOT text STREQUAL want)
  message(FATAL_ERROR "UTF-8 export differs from ${EXPECTED}:\n${text}")
endif()

# An empty NAME is the default value.
execute_process(COMMAND ${CMAKE_COMMAND} -E env GORV_REGISTRY=${WORK_DIR}/a.db
  ${GORV} reg get "HKCU\\Software\\TELUN\\TEST" "" RESULT_VARIABLE rc OUTPUT_VARIABLE out)
if(NOT rc EQUAL 0 OR NOT out STREQUAL "default text\n")
  message(FATAL_ERROR "default value: exit ${rc}, output '${out}'")
endif()

# Into an empty store and out again: the same bytes, from the UTF-16 file and from UTF-8 text.
gorv_reg(b 0 out import ${WORK_DIR}/a.reg)
gorv_reg(b 0 out export HKEY_CURRENT_USER ${WORK_DIR}/b.reg)
expect_same_file(${WORK_DIR}/a.reg ${WORK_DIR}/b.reg)
gorv_reg(a 0 text export HKEY_CURRENT_USER -)
file(WRITE ${WORK_DIR}/a-utf8.reg "${text}")
gorv_reg(c 0 out import ${WORK_DIR}/a-utf8.reg)
gorv_reg(c 0 out export HKEY_CURRENT_USER ${WORK_DIR}/c.reg)
expect_same_file(${WORK_DIR}/a.reg ${WORK_DIR}/c.reg)

# A malformed line fails the import with its line number and changes nothing.
file(WRITE ${WORK_DIR}/bad.reg "Windows Registry Editor Version 5.00\r\n\r\n[-HKEY_CURRENT_USER\\Software\\TELUN\\TEST]\r\n[HKEY_CURRENT_USER\\New]\r\n\"a\"=hex:01,\\\r\n  02\r\n\"b\"=dword:123456789\r\n")
gorv_reg(a 2 out import ${WORK_DIR}/bad.reg)
if(NOT out MATCHES "^gorv reg: [^\n]*bad\\.reg:7: dword: needs 1 to 8 hex digits\n$")
  message(FATAL_ERROR "unexpected message: ${out}")
endif()
gorv_reg(a 0 out export HKEY_CURRENT_USER ${WORK_DIR}/a2.reg)
expect_same_file(${WORK_DIR}/a.reg ${WORK_DIR}/a2.reg)
gorv_reg(a 1 out get "HKCU\\New" a)
