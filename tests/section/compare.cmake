# The indexed section passes against the plain ones (tests/section/compare/). Links the area's
# reference build, the only one with the switch to the plain passes.
file(GLOB _cmp_srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/section/compare/*_test.cpp)
add_executable(gorv_section_compare_tests ${_cmp_srcs})
gorv_area_objects(_cmp_objs section)
gorv_reference_objects(_cmp_objs ${_cmp_objs})
gorv_link_objects(gorv_section_compare_tests ${_cmp_objs})
target_include_directories(gorv_section_compare_tests PRIVATE ${PROJECT_SOURCE_DIR}/include ${PROJECT_BINARY_DIR}/include
  ${CMAKE_CURRENT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/src)
target_compile_definitions(gorv_section_compare_tests PRIVATE GORV_TEST_DATA_DIR="${GORV_TEST_DATA_DIR}")
target_link_libraries(gorv_section_compare_tests PRIVATE GTest::gtest_main gorv_dev_flags gorv_fp_flags)
gtest_discover_tests(gorv_section_compare_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
  PROPERTIES LABELS "section")
