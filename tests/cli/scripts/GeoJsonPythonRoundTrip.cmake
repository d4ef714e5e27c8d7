# Script of the cli.polygon.geojson_python_roundtrip test (cmake -P): GeoJSON written by gorv is
# read by Python's json module and written back; gorv reads that and prints the same bytes.
#   -DGORV=<gorv> -DPYTHON=<python3> -DA=<operand> -DB=<operand> -DWORK=<scratch directory>
cmake_minimum_required(VERSION 3.25)
file(MAKE_DIRECTORY ${WORK})
function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "failed (${rc}): ${ARGN}\n${out}\n${err}")
  endif()
  set(last_output "${out}" PARENT_SCOPE)
endfunction()
run(${GORV} polygon union ${A} ${B} --geojson)
set(first "${last_output}")
file(WRITE ${WORK}/gorv.geojson "${first}")
run(${PYTHON} -c "import json, sys\nwith open(sys.argv[1]) as i, open(sys.argv[2], 'w') as o: json.dump(json.load(i), o)"
    ${WORK}/gorv.geojson ${WORK}/python.geojson)
run(${GORV} polygon union ${WORK}/python.geojson "MULTIPOLYGON EMPTY" --geojson)
if(NOT last_output STREQUAL first)
  message(FATAL_ERROR "GeoJSON changed on the way through Python:\nfirst:  ${first}\nsecond: ${last_output}")
endif()
