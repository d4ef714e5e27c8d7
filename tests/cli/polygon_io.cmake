# The readers and writers of gorv polygon are tested on their own (polygon_io_test.cpp).
if(TARGET gorv_cli_tests)
  target_sources(gorv_cli_tests PRIVATE ${PROJECT_SOURCE_DIR}/tools/gorv/wkt.cpp
                                        ${PROJECT_SOURCE_DIR}/tools/gorv/geojson.cpp)
  target_include_directories(gorv_cli_tests PRIVATE ${PROJECT_SOURCE_DIR}/tools/gorv)
endif()
