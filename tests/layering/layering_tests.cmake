# Keeps the architecture's include rules: OS headers only in the platform area's per-OS files,
# and no area reaching into another area's private headers.
add_test(NAME IncludeLayering
  COMMAND ${CMAKE_COMMAND} -DROOT=${PROJECT_SOURCE_DIR} -P ${PROJECT_SOURCE_DIR}/cmake/CheckLayering.cmake)
set_tests_properties(IncludeLayering PROPERTIES LABELS "layering")
