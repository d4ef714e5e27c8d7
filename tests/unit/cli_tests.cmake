# Command-line checks of `gorv unit`. A pass regex overrides the exit status, so each command runs
# under sh and echoes its exit code for the regex to see.
if(TARGET gorv)
  function(gorv_unit_cli name regex)
    add_test(NAME cli_unit.${name} COMMAND sh -c "\"$0\" \"$@\" 2>&1; echo exit=$?" $<TARGET_FILE:gorv> unit ${ARGN})
    set_tests_properties(cli_unit.${name} PROPERTIES PASS_REGULAR_EXPRESSION "${regex}" LABELS unit)
  endfunction()

  gorv_unit_cli(convert_stress "^999\\.9999999999998\nexit=0\n$" convert 1 --kind 17 --from N,mm --to kN,m)
  gorv_unit_cli(convert_presets "^9\\.80665\nexit=0\n$" convert 1 --kind 2 --from-preset 3 --to-preset 1)
  gorv_unit_cli(convert_negative "^-2500\nexit=0\n$" convert -2.5 --kind 2 --from kN,m --to N,mm)
  gorv_unit_cli(help "^usage: gorv unit convert.*exit=0\n$" --help)
  gorv_unit_cli(list "force units: kgf tonf N kN lbf kip\nlength units: mm cm m in ft\n.*\n   17   1  -2  1,-2\n.*\n   44   0   0  0,-1\n.*exit=0\n$" list)

  # Bad input: exit code 2 and a one-line reason.
  set(_bad "^gorv unit: [^\n]*")
  gorv_unit_cli(rejects_force "${_bad}unknown force unit.*exit=2\n$" convert 1 --kind 2 --from KN,m --to N,mm)
  gorv_unit_cli(rejects_length "${_bad}unknown length unit.*exit=2\n$" convert 1 --kind 1 --from N,mm --to N,yd)
  gorv_unit_cli(rejects_kind "${_bad}unknown quantity kind.*exit=2\n$" convert 1 --kind 999 --from N,mm --to N,m)
  gorv_unit_cli(rejects_unlisted_kind "${_bad}unknown quantity kind.*exit=2\n$" convert 1 --kind 3 --from N,mm --to N,m)
  gorv_unit_cli(rejects_number "${_bad}bad number.*exit=2\n$" convert 1x --kind 1 --from N,mm --to N,m)
  gorv_unit_cli(rejects_nan "${_bad}bad number.*exit=2\n$" convert nan --kind 1 --from N,mm --to N,m)
  gorv_unit_cli(rejects_preset "${_bad}preset system.*exit=2\n$" convert 1 --kind 1 --from-preset 4 --to N,m)
  gorv_unit_cli(rejects_missing_to "${_bad}missing --to.*exit=2\n$" convert 1 --kind 1 --from N,mm)
  gorv_unit_cli(rejects_action "${_bad}unknown action.*exit=2\n$" frobnicate)
endif()
