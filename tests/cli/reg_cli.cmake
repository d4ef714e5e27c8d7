# Command-line checks of `gorv reg`. Every test points GORV_REGISTRY into the build tree, so no
# test reads or changes the settings of the user running them. The store-reading tests share one
# store that cli_reg.import fills from a hand-written .reg file.
if(TARGET gorv)
  set(_reg_dir ${CMAKE_CURRENT_BINARY_DIR}/reg-cli)
  set(_reg_store ${_reg_dir}/store.db)
  set(_reg_sample ${CMAKE_CURRENT_SOURCE_DIR}/cli/reg/sample.reg)
  set(_reg_test "HKCU\\Software\\TELUN\\TEST")

  # gorv_reg_cli(<name> <rc> <regex> <fixture: setup|uses|none> <argument>...)
  function(gorv_reg_cli name rc regex fixture)
    gorv_cli_test(cli_reg.${name} ${rc} "${regex}" reg ${ARGN})
    set_tests_properties(cli_reg.${name} PROPERTIES ENVIRONMENT "GORV_REGISTRY=${_reg_store}")
    if(fixture STREQUAL "setup")
      set_tests_properties(cli_reg.${name} PROPERTIES FIXTURES_SETUP reg_cli_store FIXTURES_REQUIRED reg_cli_clean)
    elseif(fixture STREQUAL "uses")
      set_tests_properties(cli_reg.${name} PROPERTIES FIXTURES_REQUIRED reg_cli_store)
    endif()
  endfunction()

  add_test(NAME cli_reg.clean COMMAND ${CMAKE_COMMAND} -E rm -rf ${_reg_dir})
  set_tests_properties(cli_reg.clean PROPERTIES FIXTURES_SETUP reg_cli_clean LABELS "cli")
  gorv_reg_cli(import 0 "^$" setup import ${_reg_sample})

  gorv_reg_cli(get_text 0 "^1\n$" uses get ${_reg_test} "Hide Version")
  gorv_reg_cli(get_escaped 0 "^C:\\\\Program Files\\\\TELUN \"quoted\"\n$" uses get ${_reg_test} path)
  gorv_reg_cli(get_dword 0 "^42\n$" uses get "hkey_current_user\\software\\telun\\test" COUNT)
  gorv_reg_cli(get_unicode 0 "^Größe 𝄞\n$" uses get ${_reg_test} "UNICODE 한글")
  gorv_reg_cli(get_hex 0 "^hex\\(b\\):01,02,03,04,05,06,07,08\n$" uses get ${_reg_test} Quad)
  gorv_reg_cli(get_deleted_value 1 "^gorv reg: no value 'Gone' in [^\n]*\n$" uses get ${_reg_test} Gone)
  gorv_reg_cli(get_deleted_key 1 "^gorv reg: no key [^\n]*\n$" uses get "HKCU\\Software\\TELUN\\Old" x)
  gorv_reg_cli(get_other_root 0 "^1\n$" uses get "HKLM\\Software\\TELUN" Machine)
  gorv_reg_cli(list 0 "^Sub\\\\\nHide Version\tREG_SZ\t1\n.*\nCount\tREG_DWORD\t42\n.*\nShort\tREG_DWORD\thex\\(4\\):01,00\n$"
    uses list ${_reg_test})
  gorv_reg_cli(list_json 0 "^{\"key\":\"HKEY_CURRENT_USER\\\\\\\\Software\\\\\\\\TELUN\\\\\\\\TEST\",\"subkeys\":\\[\"Sub\"\\],\"values\":\\[{\"name\":\"Hide Version\",\"type\":\"REG_SZ\",\"data\":\"1\"},.*{\"name\":\"Count\",\"type\":\"REG_DWORD\",\"data\":42}"
    uses list ${_reg_test} --json)
  gorv_reg_cli(where 0 "^${_reg_store}\n$" none where)

  # Bad arguments: exit code 2 and one line naming the problem.
  gorv_reg_cli(rejects_action 2 "^gorv reg: unknown action 'frob'[^\n]*\n$" none frob)
  gorv_reg_cli(rejects_root 2 "^gorv reg: 'Software\\\\X' does not start with a root key[^\n]*\n$" none get "Software\\X" n)
  gorv_reg_cli(rejects_dword 2 "^gorv reg: bad number '4294967296'[^\n]*\n$" none set "HKCU\\X" n --dword 4294967296)
  gorv_reg_cli(rejects_two_kinds 2 "^gorv reg: set needs one of --sz TEXT and --dword N\n$" none set "HKCU\\X" n --sz a --dword 1)
  gorv_reg_cli(rejects_missing_name 2 "^gorv reg: get needs PATH and NAME\n$" none get "HKCU\\X")
  gorv_reg_cli(rejects_missing_file 2 "^gorv reg: cannot read [^\n]*nothing.reg[^\n]*\n$" none import ${_reg_dir}/nothing.reg)
  gorv_reg_cli(rejects_not_reg 2 "^gorv reg: [^\n]*CMakeLists.txt:1: the first line must be[^\n]*\n$" none
    import ${PROJECT_SOURCE_DIR}/CMakeLists.txt)

  # Malformed .reg text: exit code 2 naming the file and the line; nothing is imported.
  set(_reg_bad_cases
    "bad_quote.reg:4: expected '=' after the value name"
    "bad_outside.reg:3: a value line outside a \\[KEY\\] section"
    "bad_continuation.reg:5: the hex bytes go on past the end of the file"
    "bad_root.reg:3: the key does not start with a root key"
    "bad_hex.reg:4: hex bytes must be comma-separated pairs of hex digits")
  foreach(case IN LISTS _reg_bad_cases)
    string(REGEX MATCH "^[a-z_]+" file "${case}")
    gorv_reg_cli(rejects_${file} 2 "^gorv reg: [^\n]*${case}[^\n]*\n$" none
      import ${CMAKE_CURRENT_SOURCE_DIR}/cli/reg/${file}.reg)
  endforeach()

  add_test(NAME cli_reg.round_trip
    COMMAND ${CMAKE_COMMAND} -DGORV=$<TARGET_FILE:gorv> -DSAMPLE=${_reg_sample}
            -DEXPECTED=${CMAKE_CURRENT_SOURCE_DIR}/cli/reg/expected_export.txt
            -DWORK_DIR=${CMAKE_CURRENT_BINARY_DIR}/reg-round-trip
            -P ${CMAKE_CURRENT_SOURCE_DIR}/cli/reg/round_trip.cmake)
  set_tests_properties(cli_reg.round_trip PROPERTIES LABELS "cli")
endif()
