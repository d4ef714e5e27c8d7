# gorv unit and gorv text: whole listings, every option without its value, failed writes.
if(TARGET gorv)
  # gorv_exact(<name> <rc> <whole stdout> <whole stderr> <gorv arguments>...)
  function(gorv_exact name rc out err)
    set(GORV_CLI_EXPECT_STDOUT "${out}")
    set(GORV_CLI_EXPECT_STDERR "${err}")
    gorv_cli_test(${name} ${rc} "" ${ARGN})
  endfunction()

  # Each kind with its force and length exponents and its dimension's name.
  file(READ ${CMAKE_CURRENT_LIST_DIR}/data/unit_list.txt _unit_list)
  gorv_exact(cli.unit.list_whole 0 "${_unit_list}" "" unit list)
  foreach(opt --kind --from --to --from-preset --to-preset)
    string(REPLACE "-" "" _n "${opt}")
    gorv_exact(cli.unit.${_n}_without_value 2 "" "gorv unit: option ${opt} needs a value\nTry 'gorv unit --help'.\n"
      unit convert 1 ${opt})
  endforeach()
  gorv_exact(cli.unit.unknown_option 2 "" "gorv unit: unknown option --frob\nTry 'gorv unit --help'.\n"
    unit convert 1 --frob 2)

  # gorv text --list: every line KEY<TAB>text, in the table's order.
  gorv_cli_test(cli.text.list_korean 0
    "^IDS_GEN_DATA_BASE_KR_TEST\tXQV_DgnCalc-Test\\(Lang:KR\\)\nIDS_GEN_DATA_BASE_KR_INCORRECT_DLL_VER_ERROR\t호환되지 않는 버전의 설계모듈입니다.\n(IDS_[A-Za-z0-9_]+\t[^\t\n]+\n)+$"
    text --list --lang ko)
  gorv_cli_test(cli.text.list_english_default 0
    "^IDS_GEN_DATA_BASE_EN_TEST\tXQV_DgnCalc-Test\\(Lang:EN\\)\n(IDS_[A-Za-z0-9_]+\t[^\t\n]+\n)*IDS_GEN_DATABASE_STATUS\tStatus\n"
    text --list)
  gorv_exact(cli.text.list_with_key 2 "" "gorv text: --list takes no KEY\nTry 'gorv text --help'.\n"
    text --list IDS_GEN_DATABASE_STATUS)
  gorv_exact(cli.text.lang_without_value 2 "" "gorv text: --lang needs a value (en, ko or zh)\nTry 'gorv text --help'.\n"
    text IDS_GEN_DATABASE_STATUS --lang)

  # Output that cannot be written is an error in every subcommand.
  set(GORV_CLI_STDOUT_TO /dev/full)
  gorv_exact(cli.unit.list_to_full 2 "" "gorv unit: cannot write standard output: No space left on device\n" unit list)
  gorv_exact(cli.unit.convert_to_full 2 "" "gorv unit: cannot write standard output: No space left on device\n"
    unit convert 1 --kind 2 --from N,mm --to kN,m)
  gorv_exact(cli.text.list_to_full 2 "" "gorv text: cannot write standard output: No space left on device\n" text --list)
  gorv_exact(cli.text.key_to_full 2 "" "gorv text: cannot write standard output: No space left on device\n"
    text IDS_GEN_DATABASE_STATUS)
  gorv_exact(cli.main.version_to_full 2 "" "gorv: cannot write standard output: No space left on device\n" --version)
  unset(GORV_CLI_STDOUT_TO)
endif()
