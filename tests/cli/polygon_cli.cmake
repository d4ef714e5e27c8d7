# gorv polygon as a user meets it: whole outputs where the output is the point, one-line errors,
# every option without its value, unreadable inputs, failed writes.
if(TARGET gorv)
  set(_sq "POLYGON ((0 0, 10 0, 10 10, 0 10, 0 0))")
  set(_sq_b "POLYGON ((5 5, 15 5, 15 15, 5 15, 5 5))")
  set(_sq_far "POLYGON ((20 0, 30 0, 30 10, 20 10, 20 0))")
  set(_hint "Try 'gorv polygon --help'.\n")

  # gorv_polygon_exact(<name> <rc> <whole stdout> <whole stderr> <arguments after "polygon">...)
  function(gorv_polygon_exact name rc out err)
    set(GORV_CLI_EXPECT_STDOUT "${out}")
    set(GORV_CLI_EXPECT_STDERR "${err}")
    gorv_cli_test(cli.polygon.${name} ${rc} "" polygon ${ARGN})
  endfunction()
  # gorv_polygon_usage(<name> <message> <options>...): union of two squares with those options
  # fails with exit 2, the message and the hint on stderr, nothing on stdout.
  function(gorv_polygon_usage name msg)
    gorv_polygon_exact(${name} 2 "" "gorv polygon: ${msg}\n${_hint}" union "${_sq}" "${_sq_b}" ${ARGN})
  endfunction()

  # The overlay engine (the default): whole outputs, rings closed and starting at their smallest
  # vertex, outer rings counter-clockwise, input vertices unchanged to the last bit.
  gorv_polygon_exact(overlay_union_wkt 0 "POLYGON ((0 0, 10 0, 10 5, 15 5, 15 15, 5 15, 5 10, 0 10, 0 0))\n" ""
    union "${_sq}" "${_sq_b}")
  gorv_polygon_exact(overlay_disjoint_geojson 0
    "{\"type\": \"MultiPolygon\", \"coordinates\": [[[[0, 0], [10, 0], [10, 10], [0, 10], [0, 0]]], [[[20, 0], [30, 0], [30, 10], [20, 10], [20, 0]]]]}\n" ""
    union "${_sq}" "${_sq_far}" --geojson)
  # Input given clockwise with a counter-clockwise hole: GeoJSON turns them the RFC 7946 way.
  gorv_polygon_exact(overlay_hole_geojson 0
    "{\"type\": \"Polygon\", \"coordinates\": [[[0, 0], [10, 0], [10, 10], [0, 10], [0, 0]], [[2, 2], [2, 4], [4, 4], [4, 2], [2, 2]]]}\n" ""
    subtract "POLYGON ((0 0, 0 10, 10 10, 10 0, 0 0))" "POLYGON ((2 2, 2 4, 4 4, 4 2, 2 2))" --geojson)
  gorv_polygon_exact(overlay_json 0
    "{\n  \"operation\": \"intersect\",\n  \"engine\": \"overlay\",\n  \"tolerance\": 0.001,\n  \"count\": 1,\n  \"area\": 25,\n  \"polygons\": [\n    {\"area\": 25, \"outer\": [[5, 5], [10, 5], [10, 10], [5, 10]], \"holes\": []}\n  ]\n}\n" ""
    intersect "${_sq}" "${_sq_b}" --json)
  # All polygons of one input form one operand; union with the empty set gives it back.
  gorv_polygon_exact(overlay_multipolygon_operand 0 "POLYGON ((0 0, 10 0, 10 5, 15 5, 15 15, 5 15, 5 10, 0 10, 0 0))\n" ""
    union "MULTIPOLYGON (((0 0, 10 0, 10 10, 0 10, 0 0)), ((5 5, 15 5, 15 15, 5 15, 5 5)))" "MULTIPOLYGON EMPTY")
  # --tol applies to union too: a 0.0005 gap closes under 0.001 and stays under 1e-6.
  set(_near "POLYGON ((10.0005 0, 20 0, 20 10, 10.0005 10, 10.0005 0))")
  gorv_polygon_exact(overlay_union_snaps 0 "POLYGON ((0 0, 10 0, 20 0, 20 10, 10 10, 0 10, 0 0))\n" ""
    union "${_sq}" "${_near}")
  gorv_polygon_exact(overlay_union_small_tolerance 0
    "MULTIPOLYGON (((0 0, 10 0, 10 10, 0 10, 0 0)), ((10.0005 0, 20 0, 20 10, 10.0005 10, 10.0005 0)))\n" ""
    union "${_sq}" "${_near}" --tol 1e-6)
  # No result: the empty set is printed and said, exit 1.
  gorv_polygon_exact(overlay_empty_wkt 1 "MULTIPOLYGON EMPTY\n" "gorv polygon: the result is empty\n"
    intersect "${_sq}" "${_sq_far}")
  gorv_polygon_exact(overlay_empty_geojson 1 "{\"type\": \"MultiPolygon\", \"coordinates\": []}\n"
    "gorv polygon: the result is empty\n" subtract "${_sq}" "${_sq}" --geojson)
  # Invalid input names operand, polygon, ring and problem (counted from 1), exit 2.
  gorv_polygon_exact(overlay_hole_outside 2 ""
    "gorv polygon: invalid input: A, polygon 1, hole 1: the hole lies outside its outer ring\n"
    union "POLYGON ((0 0, 10 0, 10 10, 0 10, 0 0), (20 20, 21 20, 21 21, 20 20))" "${_sq_b}")
  gorv_polygon_exact(overlay_holes_overlap 2 ""
    "gorv polygon: invalid input: A, polygon 1, hole 2: the hole overlaps another hole\n"
    union "POLYGON ((0 0, 10 0, 10 10, 0 10, 0 0), (1 1, 5 1, 5 5, 1 5, 1 1), (2 2, 6 2, 6 6, 2 6, 2 2))" "${_sq_b}")
  gorv_polygon_exact(overlay_self_crossing 2 ""
    "gorv polygon: invalid input: B, polygon 2, outer ring: the ring crosses itself\n"
    union "${_sq_b}" "MULTIPOLYGON (((0 0, 1 0, 1 1, 0 0)), ((0 0, 1 0, 0 1, 1 1, 0 0)))")
  # Round trip WKT -> GeoJSON -> WKT, every digit kept (0.1 + 0.2 is 0.30000000000000004).
  set(_odd_wkt "POLYGON ((0.30000000000000004 0.1234567890123456, 1e-07 -0, 7 1e+22, 0.30000000000000004 0.1234567890123456))")
  set(_rt ${CMAKE_CURRENT_BINARY_DIR}/cli_roundtrip.geojson)
  set(GORV_CLI_SAVE_STDOUT ${_rt})
  gorv_polygon_exact(roundtrip_to_geojson 0
    "{\"type\": \"Polygon\", \"coordinates\": [[[1e-07, 0], [0.30000000000000004, 0.1234567890123456], [7, 1e+22], [1e-07, 0]]]}\n" ""
    union "${_odd_wkt}" "MULTIPOLYGON EMPTY" --geojson)
  unset(GORV_CLI_SAVE_STDOUT)
  gorv_polygon_exact(roundtrip_back_to_wkt 0
    "POLYGON ((1e-07 0, 0.30000000000000004 0.1234567890123456, 7 1e+22, 1e-07 0))\n" ""
    union ${_rt} "MULTIPOLYGON EMPTY")
  set_tests_properties(cli.polygon.roundtrip_to_geojson PROPERTIES FIXTURES_SETUP cli_roundtrip)
  set_tests_properties(cli.polygon.roundtrip_back_to_wkt PROPERTIES FIXTURES_REQUIRED cli_roundtrip)

  # Whole outputs of the modeler: every ring closed, nothing before or after.
  gorv_polygon_exact(modeler_union_wkt 0 "POLYGON ((15 15, 5 15, 5 10, 0 10, 0 0, 10 0, 10 5, 15 5, 15 15))\n" ""
    union "${_sq}" "${_sq_b}" --engine modeler)
  gorv_polygon_exact(modeler_hole_geojson 0
    "{\"type\": \"Polygon\", \"coordinates\": [[[10, 10], [0, 10], [0, 0], [10, 0], [10, 10]], [[4, 2], [2, 2], [2, 4], [4, 4], [4, 2]]]}\n" ""
    subtract "${_sq}" "POLYGON ((2 2, 4 2, 4 4, 2 4, 2 2))" --engine modeler --geojson)
  set(_odd "POLYGON ((0.1234567 0.5, 10.123456 0.5, 10.123456 10.987654321, 0.1234567 10.987654321, 0.1234567 0.5))")
  set(_big "POLYGON ((-1 -1, 20 -1, 20 20, -1 20, -1 -1))")
  gorv_polygon_exact(modeler_precision 0 "POLYGON ((10.12 10.99, 0.12 10.99, 0.12 0.5, 10.12 0.5, 10.12 10.99))\n" ""
    intersect "${_odd}" "${_big}" --engine modeler --precision 2)
  # Without --precision the modeler's own last bits show: the output is the double it returned.
  gorv_polygon_exact(modeler_full_precision 0
    "POLYGON ((10.123456 10.987654320999999, 0.1234567 10.987654320999999, 0.1234567 0.5, 10.123456 0.5, 10.123456 10.987654320999999))\n" ""
    intersect "${_odd}" "${_big}" --engine modeler)
  gorv_polygon_exact(modeler_one_polygon_per_operand 2 ""
    "gorv polygon: B has 2 polygons; --engine modeler takes one polygon per operand\n${_hint}"
    union "${_sq}" "MULTIPOLYGON (((0 0, 1 0, 1 1, 0 0)), ((5 5, 6 5, 6 6, 5 5)))" --engine modeler)
  gorv_polygon_exact(modeler_empty_operand 2 ""
    "gorv polygon: A has 0 polygons; --engine modeler takes one polygon per operand\n${_hint}"
    union "MULTIPOLYGON EMPTY" "${_sq}" --engine modeler)

  # Every option without its value, and bad values: one line and the hint, nothing on stdout.
  foreach(opt --tol --svg --engine --precision)
    string(REPLACE "-" "" _n "${opt}")
    gorv_polygon_usage(${_n}_without_value "${opt} needs a value" ${opt})
  endforeach()
  gorv_polygon_usage(bad_engine "unknown engine 'geos' (use overlay or modeler)" --engine geos)
  gorv_polygon_usage(bad_precision "--precision needs a whole number from 0 to 17, got '18'" --precision 18)
  gorv_polygon_usage(bad_tolerance_zero "--tol needs a positive finite number, got '0'" --tol 0)
  gorv_polygon_usage(json_and_geojson "choose one of --json, --geojson and --svg -" --json --geojson)
  gorv_polygon_usage(svg_stdout_and_json "choose one of --json, --geojson and --svg -" --svg - --json)
  gorv_polygon_exact(both_operands_stdin 2 "" "gorv polygon: only one operand can come from standard input\n${_hint}"
    union - -)
  gorv_polygon_usage(explain_needs_modeler "--explain shows the section modeler's texts; add --engine modeler" --explain)
  gorv_polygon_exact(missing_operand 2 "" "gorv polygon: expected an operation and two operands\n${_hint}"
    union "${_sq}")

  # Input problems are one line, without the hint.
  gorv_polygon_exact(directory_operand 2 "" "gorv polygon: A: '${CMAKE_CURRENT_LIST_DIR}' is a directory, not a file\n"
    union "${CMAKE_CURRENT_LIST_DIR}" "${_sq_b}")
  gorv_polygon_exact(device_operand 2 "" "gorv polygon: B: '/dev/null' is a device, not a file\n"
    union "${_sq}" /dev/null)
  gorv_polygon_exact(bad_wkt_one_line 2 "" "gorv polygon: B: polygon 1, outer ring is not closed: its last point must repeat its first\n"
    union "${_sq}" "POLYGON ((0 0, 10 0, 10 10, 0 10))")
  gorv_polygon_exact(bad_geojson_one_line 2 "" "gorv polygon: A: GeoJSON: GeoJSON LineString is not a polygon (use Polygon or MultiPolygon) (offset 0)\n"
    union "{\"type\": \"LineString\", \"coordinates\": [[0, 0], [1, 1]]}" "${_sq_b}")
  execute_process(COMMAND id -u OUTPUT_VARIABLE _uid OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT _uid STREQUAL "0")  # root reads any file
    set(_noread ${CMAKE_CURRENT_BINARY_DIR}/cli_unreadable.wkt)
    file(WRITE ${_noread} "${_sq}\n")
    file(CHMOD ${_noread} PERMISSIONS OWNER_WRITE)
    gorv_polygon_exact(unreadable_operand 2 "" "gorv polygon: A: '${_noread}' is not readable (permission denied)\n"
      union ${_noread} "${_sq_b}")
  endif()

  # Failed writes: standard output on a full device, the SVG file on one.
  set(GORV_CLI_STDOUT_TO /dev/full)
  gorv_polygon_exact(stdout_full 2 "" "gorv polygon: cannot write standard output: No space left on device\n"
    union "${_sq}" "${_sq_b}" --engine modeler)
  gorv_polygon_exact(help_to_full 2 "" "gorv polygon: cannot write standard output: No space left on device\n" --help)
  unset(GORV_CLI_STDOUT_TO)
  gorv_polygon_exact(svg_file_full 2 "" "gorv polygon: cannot write '/dev/full': No space left on device\n"
    union "${_sq}" "${_sq_b}" --engine modeler --svg /dev/full)
  gorv_polygon_exact(svg_no_directory 2 "" "gorv polygon: cannot create '/nonexistent-dir/x.svg': No such file or directory\n"
    union "${_sq}" "${_sq_b}" --engine modeler --svg /nonexistent-dir/x.svg)
  # --svg - prints the drawing in place of the WKT.
  gorv_cli_test(cli.polygon.svg_to_stdout 0 "^<\\?xml[^\n]*\n<svg ([^P]|\n)*</svg>\n$"
    polygon union "${_sq}" "${_sq_b}" --engine modeler --svg -)

  # An operand from standard input, as WKT and as GeoJSON.
  set(GORV_CLI_STDIN ${PROJECT_SOURCE_DIR}/examples/column_rebar_a.wkt)
  gorv_cli_test(cli.polygon.stdin_wkt 0 "^POLYGON \\(\\(" polygon intersect - "${_big}" --engine modeler)
  set(GORV_CLI_STDIN ${CMAKE_CURRENT_LIST_DIR}/data/python_dump.geojson)
  gorv_polygon_exact(stdin_geojson 0 "POLYGON ((0.1 10, 0.30000000000000004 0.1, 10 0, 10 10, 0.1 10))\n" ""
    union - "MULTIPOLYGON EMPTY")
  gorv_cli_test(cli.polygon.stdin_geojson_modeler 0 "^POLYGON \\(\\(0.1 10, 0.30000000000000004 0.1, [^\n]*\\)\\)\n$"
    polygon intersect - "${_big}" --engine modeler)
  unset(GORV_CLI_STDIN)
endif()

# GeoJSON as the Python geometry stack exchanges it: through Python's json module and back.
find_program(GORV_PYTHON3 python3)
if(TARGET gorv AND GORV_PYTHON3)
  add_test(NAME cli.polygon.geojson_python_roundtrip
    COMMAND ${CMAKE_COMMAND} -DGORV=$<TARGET_FILE:gorv> -DPYTHON=${GORV_PYTHON3}
            -DA=${PROJECT_SOURCE_DIR}/examples/circular_pier_a.wkt -DB=${PROJECT_SOURCE_DIR}/examples/circular_pier_b.wkt
            -DWORK=${CMAKE_CURRENT_BINARY_DIR}/geojson-python
            -P ${CMAKE_CURRENT_LIST_DIR}/scripts/GeoJsonPythonRoundTrip.cmake)
  set_tests_properties(cli.polygon.geojson_python_roundtrip PROPERTIES LABELS "cli")
endif()

# --name=value spells the same option; a flag takes no value.
if(TARGET gorv)
  gorv_polygon_exact(inline_values 0
    "MULTIPOLYGON (((0 0, 10 0, 10 10, 0 10, 0 0)), ((10.0005 0, 20 0, 20 10, 10.0005 10, 10.0005 0)))\n" ""
    union "${_sq}" "${_near}" --tol=1e-6 --engine=overlay --precision=4)
  gorv_polygon_usage(flag_with_value "--json takes no value" --json=yes)
  gorv_polygon_usage(inline_empty_tolerance "--tol needs a positive finite number, got ''" --tol=)
  # A tolerance the tool accepts but the engine refuses: the engine's reason, exit 2.
  gorv_cli_test(cli.polygon.engine_refuses_tolerance 2 "^gorv polygon: invalid input: the tolerance [^\n]*\n$"
    polygon union "${_sq}" "${_sq_b}" --tol 1e-200)
endif()
