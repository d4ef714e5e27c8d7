# Command-line checks of `gorv ui progress`: the text and bar width it reports, the PNG it writes
# (to a file or to standard output), and one-line errors for bad arguments and failed writes.
if(TARGET gorv)
  function(gorv_ui_cli name rc regex)
    gorv_cli_test(cli_ui.${name} ${rc} "${regex}" ui ${ARGN})
    # Font caches live until exit; see tests/ui/lsan.supp.
    set_tests_properties(cli_ui.${name} PROPERTIES
      ENVIRONMENT "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/ui/lsan.supp:print_suppressions=0")
  endfunction()
  set(_png_dir ${CMAKE_CURRENT_BINARY_DIR}/ui_cli)
  file(MAKE_DIRECTORY ${_png_dir})

  gorv_ui_cli(text_33 0 "^text: 33%\nbar width: 66 of 200 pixels\n$" progress --pos 33)
  gorv_ui_cli(text_29_truncates 0 "^text: 28%\nbar width: 57 of 200 pixels\n$" progress --pos 29)
  gorv_ui_cli(text_caption_range 0 "^text: Loading\nbar width: 75 of 300 pixels\n$"
    progress --pos 15 --range 10,30 --caption Loading --size 300x20)
  gorv_ui_cli(text_korean 0 "^text: 진행 중\n" progress --pos 5 --caption "진행 중")
  gorv_ui_cli(help 0 "^usage: gorv ui progress --pos N" --help)
  gorv_ui_cli(empty_range 1 "^gorv ui: nothing drawn: the range 5,5 is empty[^\n]*\n$" progress --pos 5 --range 5,5)

  set(GORV_CLI_EXPECT_PNG 320x30)
  set(GORV_CLI_PNG_FILE ${_png_dir}/chinese.png)
  gorv_ui_cli(png_file 0 "^$" progress --pos 50 --caption "正在載入" --size 320x30 --font-size 18
    --bar "#204080" --back "#F0F0F0" --text-bar "#FFFFFF" --text-back "#000000" --font Sans
    --png ${_png_dir}/chinese.png)
  set(GORV_CLI_EXPECT_PNG 200x24)
  set(GORV_CLI_PNG_FILE ${_png_dir}/stdout.png)
  set(GORV_CLI_STDOUT_FILE ${_png_dir}/stdout.png)
  gorv_ui_cli(png_stdout 0 "^$" progress --pos 100 --png -)
  unset(GORV_CLI_EXPECT_PNG)
  unset(GORV_CLI_PNG_FILE)

  # Bad input and failed writes: exit code 2 and one line naming the problem.
  set(_bad "^gorv ui: [^\n]*")
  set(GORV_CLI_STDOUT_FILE /dev/full)
  gorv_ui_cli(stdout_full 2 "${_bad}cannot write to standard output: No space left on device\n$"
    progress --pos 1 --png -)
  unset(GORV_CLI_STDOUT_FILE)
  gorv_ui_cli(file_full 2 "${_bad}cannot write /dev/full: No space left on device\n$" progress --pos 1 --png /dev/full)
  gorv_ui_cli(file_bad_dir 2 "${_bad}cannot write /nonexistent/p.png: No such file or directory\n$"
    progress --pos 1 --png /nonexistent/p.png)
  gorv_ui_cli(missing_pos 2 "${_bad}missing --pos\n$" progress --caption x)
  gorv_ui_cli(bad_pos 2 "${_bad}--pos: bad integer '1.5'\n$" progress --pos 1.5)
  gorv_ui_cli(bad_range 2 "${_bad}--range: expected LOWER,UPPER" progress --pos 1 --range 10)
  gorv_ui_cli(bad_size 2 "${_bad}--size: expected WxH" progress --pos 1 --size 0x10)
  gorv_ui_cli(bad_colour 2 "${_bad}--text-back: expected a colour #RRGGBB but got 'red'\n$"
    progress --pos 1 --text-back red)
  gorv_ui_cli(bad_font_size 2 "${_bad}--font-size: expected pixels" progress --pos 1 --font-size 0)
  gorv_ui_cli(missing_value 2 "${_bad}option --png needs a value\n$" progress --pos 1 --png)
  gorv_ui_cli(unknown_option 2 "${_bad}unknown option --colour\n$" progress --pos 1 --colour "#000000")
  gorv_ui_cli(unknown_action 2 "${_bad}unknown action 'bar'" bar)
  gorv_ui_cli(missing_action 2 "${_bad}missing action")
endif()
