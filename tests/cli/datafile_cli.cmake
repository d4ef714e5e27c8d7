# Command-line checks of `gorv datafile`: a file made with put, then listed, checked and read back;
# damaged files; bad arguments. The put steps run in order on one file in the build tree.
if(TARGET gorv)
  set(_df_file ${CMAKE_CURRENT_BINARY_DIR}/datafile_cli.bin)
  set(_df_data ${CMAKE_CURRENT_SOURCE_DIR}/cli/data)

  # gorv_datafile_cli(<name> <rc> <regex> [INPUT <file>] <arguments>...): gorv_cli_test with an
  # optional file on standard input.
  function(gorv_datafile_cli name rc regex)
    if(ARGV3 STREQUAL "INPUT")
      set(GORV_CLI_STDIN ${ARGV4})
      list(REMOVE_AT ARGN 0 1)
    endif()
    gorv_cli_test(cli.datafile.${name} ${rc} "${regex}" ${ARGN})
  endfunction()

  add_test(NAME cli.datafile.fresh COMMAND ${CMAKE_COMMAND} -E rm -f ${_df_file})
  set_tests_properties(cli.datafile.fresh PROPERTIES FIXTURES_SETUP df_fresh LABELS "cli")

  # 16 bytes: two records of 2 words. 105 words of directory -> record 54 at byte 424.
  gorv_datafile_cli(put_new 0 "\"ABCD\" id 1: 2 record\\(s\\) of 2 word\\(s\\) from record 54 \\(byte 424\\)"
    INPUT ${_df_data}/datafile_records.txt datafile put ${_df_file} ABCD 1 --length 2)
  set_tests_properties(cli.datafile.put_new PROPERTIES FIXTURES_REQUIRED df_fresh FIXTURES_SETUP df_one)
  # Then four records of 1 word after word 110, a short name padded with spaces.
  gorv_datafile_cli(put_second 0 "\"XY  \" id -7: 4 record\\(s\\) of 1 word\\(s\\) from record 111 \\(byte 440\\)"
    INPUT ${_df_data}/datafile_records.txt datafile put ${_df_file} XY -7 --length 1)
  set_tests_properties(cli.datafile.put_second PROPERTIES FIXTURES_REQUIRED df_one FIXTURES_SETUP df_two)

  function(gorv_datafile_cli_on_file name rc regex)
    gorv_datafile_cli(${name} ${rc} "${regex}" ${ARGN})
    set_tests_properties(cli.datafile.${name} PROPERTIES FIXTURES_REQUIRED df_two)
  endfunction()
  gorv_datafile_cli_on_file(list 0
    "head \"NONE\", type 0, version 0\ngroup 1: main header block 1, sub-headers blocks 2-21, next 0\n.* 1  table +\"HEAD\" +1 +2 +21 +20 +5 +20 +400\n +2  data +\"ABCD\" +1 +54 +55 +2 +2 +424 +16\n +3  data +\"XY  \" +-7 +111 +114 +4 +1 +440 +16\n +4  free\n"
    datafile list ${_df_file})
  gorv_datafile_cli_on_file(list_json 0
    "\"head\":\"NONE\",\"type\":0,\"version\":0,.*\"slot\":2,\"block\":3,\"state\":\"data\",\"reachable\":true,\"name\":\"ABCD\",\"id\":1,\"first\":54,\"last\":55,\"count\":2,\"length\":2,\"offset\":424,\"bytes\":16}.*\"problems\":\\[\\]}"
    datafile list ${_df_file} --json)
  gorv_datafile_cli_on_file(check_clean 0 "ok, 1 group\\(s\\), 2 data set\\(s\\)\n$" datafile check ${_df_file})
  gorv_datafile_cli_on_file(cat 0 "^first   second  $" datafile cat ${_df_file} ABCD 1)
  gorv_datafile_cli_on_file(cat_hex 0 "^111: 66697273\n112: 74202020\n113: 7365636f\n114: 6e642020\n$"
    datafile cat ${_df_file} XY -7 --hex)
  gorv_datafile_cli_on_file(cat_absent 1 "^gorv datafile: status 4: 데이터를 찾을 수 없습니다\\.\n$"
    datafile cat ${_df_file} ABCD 2)
  # The data set exists with another length: the library's status 5, nothing written.
  gorv_datafile_cli_on_file(put_other_length 2 "^gorv datafile: status 5: 파일의 버전이 일치하지 않습니다\\.\n$"
    INPUT ${_df_data}/datafile_records.txt datafile put ${_df_file} ABCD 1 --length 4)
  gorv_datafile_cli_on_file(put_other_head 2 "^gorv datafile: [^\n]*has head \"NONE\", not \"QRB \"\n$"
    INPUT ${_df_data}/datafile_records.txt datafile put ${_df_file} ZZZZ 1 --length 1 --head QRB)

  # Damaged files: one line per problem, exit 1.
  gorv_datafile_cli(check_cycle 1 "cycle: group 1 \\(block 1\\) links back to block 1\n$"
    datafile check ${_df_data}/datafile_cycle.bin)
  gorv_datafile_cli(check_damaged 1
    "slot 4 \\(block 5\\) has non-zero fields.*'DDDD' id 1 in group 1 slot 5 \\(block 6\\) is unreachable.*'BBBB' id 1 in group 1 slot 3 \\(block 4\\): records \\(bytes 436\\.\\.852\\) run past the end of the file \\(484 bytes\\).*overlap: data set 'AAAA'.* and data set 'BBBB'.*share bytes 436\\.\\.444\n$"
    datafile check ${_df_data}/datafile_damaged.bin)
  gorv_datafile_cli(list_damaged 0 " 5  data,unreachable +\"DDDD\".*4 problem\\(s\\)" datafile list ${_df_data}/datafile_damaged.bin)

  # Bad input: exit 2 and one line naming the problem.
  set(_bad "^gorv datafile: [^\n]*")
  gorv_datafile_cli(check_not_record 2 "${_bad}is not a record file[^\n]*\n$" datafile check ${_df_data}/datafile_records.txt)
  gorv_datafile_cli(list_missing 2 "${_bad}cannot open '[^\n]*no-such-file\\.bin': No such file or directory\n$"
    datafile list ${CMAKE_CURRENT_BINARY_DIR}/no-such-file.bin)
  gorv_datafile_cli(put_name_head 2 "${_bad}NAME may not be HEAD[^\n]*\n$" datafile put x.bin HEAD 1 --length 1)
  gorv_datafile_cli(put_name_blank 2 "${_bad}NAME may not be blank[^\n]*\n$" datafile put x.bin " " 1 --length 1)
  gorv_datafile_cli(put_name_long 2 "${_bad}NAME 'ABCDE' must be 1 to 4 characters\n$" datafile put x.bin ABCDE 1 --length 1)
  gorv_datafile_cli(put_no_length 2 "${_bad}missing --length WORDS\n$" datafile put x.bin ABCD 1)
  gorv_datafile_cli(put_partial_record 2 "${_bad}standard input holds 16 bytes, not a whole number of records of 12 bytes\n$"
    INPUT ${_df_data}/datafile_records.txt datafile put ${CMAKE_CURRENT_BINARY_DIR}/never.bin ABCD 1 --length 3)
  gorv_datafile_cli(cat_bad_id 2 "${_bad}ID '1x' is not a 32-bit integer\n$" datafile cat x.bin ABCD 1x)
  gorv_datafile_cli(bad_action 2 "${_bad}unknown action 'frob'[^\n]*\n$" datafile frob)
  gorv_datafile_cli(help 0 "^usage: gorv datafile list FILE.*gorv datafile put results\\.bin ABCD 1 --length 2\n.*gorv datafile list results\\.bin\n$"
    datafile --help)
endif()
