# Installation: headers, the shared library, the gorv tool, a CMake package (find_package(GorvBase)
# gives gorv::base) and a pkg-config file.
include(CMakePackageConfigHelpers)

install(TARGETS gorv_base EXPORT GorvBaseTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/gorv DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}
  FILES_MATCHING PATTERN "*.h")
install(FILES ${PROJECT_BINARY_DIR}/include/gorv/version.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/gorv)
if(TARGET gorv)
  install(TARGETS gorv RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

set(GORV_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/GorvBase)
install(EXPORT GorvBaseTargets NAMESPACE gorv:: DESTINATION ${GORV_CMAKE_DIR})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/GorvBaseConfig.cmake.in
  ${PROJECT_BINARY_DIR}/GorvBaseConfig.cmake INSTALL_DESTINATION ${GORV_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/GorvBaseConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/GorvBaseConfig.cmake ${PROJECT_BINARY_DIR}/GorvBaseConfigVersion.cmake
  DESTINATION ${GORV_CMAKE_DIR})

# The .pc file locates the prefix relative to itself, so an installed tree can be moved.
file(RELATIVE_PATH GORV_PC_TO_PREFIX "/p/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/p")
# The drawing libraries are private dependencies of the shared library: consumers link only
# -lgorv_base and need none of their headers, so they appear in Libs.private only (what a static
# link would add) rather than as Requires.private, which would pull their cflags into consumers.
list(TRANSFORM GORV_PANGOCAIRO_LIBRARIES PREPEND "-l" OUTPUT_VARIABLE GORV_PC_LIBS_PRIVATE)
list(JOIN GORV_PC_LIBS_PRIVATE " " GORV_PC_LIBS_PRIVATE)
configure_file(${PROJECT_SOURCE_DIR}/cmake/gorv_base.pc.in ${PROJECT_BINARY_DIR}/gorv_base.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/gorv_base.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
