# The shared library exports its public API and nothing else: every dynamic symbol must be
# named by the public headers (cmake/CheckExports.cmake states the rule).
add_test(NAME ExportedSymbols
  COMMAND ${CMAKE_COMMAND} -DLIB=$<TARGET_FILE:gorv_base> -DNM=${CMAKE_NM} -DROOT=${PROJECT_SOURCE_DIR}
          -P ${PROJECT_SOURCE_DIR}/cmake/CheckExports.cmake)
set_tests_properties(ExportedSymbols PROPERTIES LABELS "install")
