# The overlay engine judged by GEOS (label oracle): a fixed-seed third of the generated
# corpus and the recorded cases of overlay/oracle/cases/. GEOS is linked to this test only; without
# it the test skips, or fails when the environment variable CI is set.
include(${PROJECT_SOURCE_DIR}/cmake/GorvGeos.cmake)
set(oracle_srcs ${CMAKE_CURRENT_SOURCE_DIR}/overlay/oracle/oracle_test.cpp
                ${CMAKE_CURRENT_SOURCE_DIR}/support/overlay_corpus.cpp)
if(TARGET gorv_geos)
  list(APPEND oracle_srcs ${CMAKE_CURRENT_SOURCE_DIR}/support/overlay_oracle.cpp)
endif()
add_executable(gorv_overlay_oracle_tests ${oracle_srcs})
target_include_directories(gorv_overlay_oracle_tests PRIVATE ${PROJECT_SOURCE_DIR}/include
  ${PROJECT_BINARY_DIR}/include ${CMAKE_CURRENT_SOURCE_DIR})
target_compile_definitions(gorv_overlay_oracle_tests PRIVATE GORV_TEST_DATA_DIR="${GORV_TEST_DATA_DIR}")
target_link_libraries(gorv_overlay_oracle_tests PRIVATE gorv::base Threads::Threads GTest::gtest_main
  gorv_dev_flags gorv_fp_flags $<TARGET_NAME_IF_EXISTS:gorv_geos>)
gtest_discover_tests(gorv_overlay_oracle_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
  PROPERTIES LABELS "oracle")
# The stored pairs of overlay/data/ are read by the corpus' case reader.
target_sources(gorv_overlay_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/support/overlay_corpus.cpp)
