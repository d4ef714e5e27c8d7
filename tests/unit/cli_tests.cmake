# Command-line checks of `gorv unit`: exit code and output.
if(TARGET gorv)
  function(gorv_unit_cli name rc regex)
    gorv_cli_test(cli_unit.${name} ${rc} "${regex}" unit ${ARGN})
  endfunction()

  gorv_unit_cli(convert_stress 0 "^999\\.9999999999998\n$" convert 1 --kind 17 --from N,mm --to kN,m)
  gorv_unit_cli(convert_presets 0 "^9\\.80665\n$" convert 1 --kind 2 --from-preset 3 --to-preset 1)
  gorv_unit_cli(convert_negative 0 "^-2500\n$" convert -2.5 --kind 2 --from kN,m --to N,mm)
  gorv_unit_cli(help 0 "^usage: gorv unit convert" --help)
  gorv_unit_cli(list 0 "force units: kgf tonf N kN lbf kip\nlength units: mm cm m in ft\n.*\n   17   1  -2  stress or pressure \\(F/L\\^2\\)\n.*\n   44   0   0  dimensionless\n" list)

  # Bad input: exit code 2 and a one-line reason.
  set(_bad "^gorv unit: [^\n]*")  # then only the --help hint
  gorv_unit_cli(rejects_force 2 "${_bad}unknown force unit" convert 1 --kind 2 --from KN,m --to N,mm)
  gorv_unit_cli(rejects_length 2 "${_bad}unknown length unit" convert 1 --kind 1 --from N,mm --to N,yd)
  gorv_unit_cli(rejects_kind 2 "${_bad}unknown quantity kind" convert 1 --kind 999 --from N,mm --to N,m)
  gorv_unit_cli(rejects_unlisted_kind 2 "${_bad}unknown quantity kind" convert 1 --kind 3 --from N,mm --to N,m)
  gorv_unit_cli(rejects_number 2 "${_bad}bad number" convert 1x --kind 1 --from N,mm --to N,m)
  gorv_unit_cli(rejects_nan 2 "${_bad}bad number" convert nan --kind 1 --from N,mm --to N,m)
  gorv_unit_cli(rejects_preset 2 "${_bad}preset system" convert 1 --kind 1 --from-preset 4 --to N,m)
  gorv_unit_cli(rejects_missing_to 2 "${_bad}missing --to" convert 1 --kind 1 --from N,mm)
  gorv_unit_cli(rejects_action 2 "${_bad}unknown action" frobnicate)
endif()
