# CTest checks of `gorv polygon`: exit codes 0 (result), 1 (no result), 2 (bad input) and output.
set(_gorv_ex ${PROJECT_SOURCE_DIR}/examples)
set(_sq_a "POLYGON ((0 0, 10 0, 10 10, 0 10, 0 0))")
set(_sq_b "POLYGON ((5 5, 15 5, 15 15, 5 15, 5 5))")
set(_sq_far "POLYGON ((20 0, 30 0, 30 10, 20 10, 20 0))")

# These check the section modeler's entry points, so they choose its engine.
function(gorv_polygon_cli_test name rc regex)
  gorv_cli_test(cli.polygon.${name} ${rc} "${regex}" polygon ${ARGN} --engine modeler)
endfunction()

if(TARGET gorv)
  gorv_polygon_cli_test(union_disjoint_is_multipolygon 0 "^MULTIPOLYGON \\(\\(\\(" union "${_sq_a}" "${_sq_far}")
  gorv_polygon_cli_test(intersect_area_json 0 "\"count\": 1,[^}]*\"area\": 25," intersect "${_sq_a}" "${_sq_b}" --json)
  gorv_polygon_cli_test(subtract_files_json 0 "\"count\": 1,[^}]*\"area\": 148729.945256"
    subtract ${_gorv_ex}/column_rebar_a.wkt ${_gorv_ex}/column_rebar_b.wkt --json)
  gorv_polygon_cli_test(no_common_area 1 "no result" intersect "${_sq_a}" "${_sq_far}")
  gorv_polygon_cli_test(explain_names_reason 1 "do not have the common area" intersect "${_sq_a}" "${_sq_far}" --explain)
  gorv_polygon_cli_test(explain_short_edge 1 "Tolerance \\[0.010\\] is too large"
    subtract "${_sq_a}" "POLYGON ((5 5, 15 5, 15 15, 5 15, 5 5.015, 5 5))" --tol 0.01 --explain)
  gorv_polygon_cli_test(explain_short_input_edge 1 "edge 4 of A's outer ring is 9e-04 long"
    union "POLYGON ((0 0, 10 0, 10 10, 0.0009 10, 0 10, 0 0))" "${_sq_b}" --explain)
  gorv_polygon_cli_test(subtract_small_tolerance 0 "^POLYGON"
    subtract "POLYGON ((0 0, 10 0, 10 10, 0.0009 10, 0 10, 0 0))" "${_sq_b}" --tol 0.0001)
  gorv_polygon_cli_test(bad_wkt 2 "expected '\\('" union "POLYGON (0 0, 1 0)" "${_sq_b}")
  gorv_polygon_cli_test(nan_coordinate 2 "NaN" union "POLYGON ((0 0, nan 0, 10 10, 0 0))" "${_sq_b}")
  gorv_polygon_cli_test(huge_coordinate 2 "A: polygon 1, outer ring: coordinate '-2e100' is beyond \\+-1e100 at offset 26"
                        intersect "POLYGON ((0 0, 1e100 0, 0 -2e100, 0 0))" "${_sq_b}")
  gorv_polygon_cli_test(short_ring 2 "at least 4" union "POLYGON ((0 0, 10 0, 0 0))" "${_sq_b}")
  gorv_polygon_cli_test(missing_file 2 "no such file .*no_such_file.wkt' \\(nor WKT or GeoJSON text\\)" union ${_gorv_ex}/no_such_file.wkt "${_sq_b}")
  gorv_polygon_cli_test(unknown_operation 2 "unknown operation" xor "${_sq_a}" "${_sq_b}")
  gorv_polygon_cli_test(bad_tolerance 2 "--tol needs" subtract "${_sq_a}" "${_sq_b}" --tol -1)
  set(GORV_CLI_EXPECT_FILE ${CMAKE_CURRENT_BINARY_DIR}/cli_polygon_column.svg)
  gorv_polygon_cli_test(svg_written 0 "^POLYGON"
    subtract ${_gorv_ex}/column_rebar_a.wkt ${_gorv_ex}/column_rebar_b.wkt --svg ${GORV_CLI_EXPECT_FILE})
  unset(GORV_CLI_EXPECT_FILE)
endif()
