# gorv text: command-line lookups of the string tables.
function(gorv_text_cli_test name rc regex)
  gorv_cli_test(text.cli.${name} ${rc} "${regex}" text ${ARGN})
endfunction()

if(TARGET gorv)
  gorv_text_cli_test(korean 0 "^상태\n$" IDS_GEN_DATABASE_STATUS --lang ko)
  gorv_text_cli_test(english_default 0 "^Status\n$" IDS_GEN_DATABASE_STATUS)
  gorv_text_cli_test(chinese 0 "^RC 柱 \\( Eurocode \\)\n$" IDS_GEN_DATABASE_MEMB_TYPE_GERCO --lang=zh)
  gorv_text_cli_test(unregistered 1 "^NO_SUCH_KEY:미등록 문자열\n$" NO_SUCH_KEY)
  gorv_text_cli_test(bad_language 2 "^gorv text: unknown language 'fr' \\(use en, ko or zh\\)\nTry 'gorv text --help'.\n$" IDS_GEN_DATABASE_STATUS --lang fr)
  gorv_text_cli_test(missing_key 2 "^gorv text: missing KEY\nTry 'gorv text --help'.\n$" --lang ko)
  gorv_text_cli_test(two_keys 2 "^gorv text: more than one KEY given\nTry 'gorv text --help'.\n$" A B)
endif()
