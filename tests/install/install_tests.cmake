# Installs the built tree into a scratch prefix, then builds and runs a tiny consumer against it,
# once through find_package(GorvBase) and once through pkg-config.
add_test(NAME InstallConsumer
  COMMAND ${CMAKE_COMMAND}
    -DBUILD_DIR=${PROJECT_BINARY_DIR}
    -DCONSUMER_DIR=${CMAKE_CURRENT_LIST_DIR}/consumer
    -DWORK_DIR=${PROJECT_BINARY_DIR}/install-test
    -DCXX=${CMAKE_CXX_COMPILER}
    -DCXX_FLAGS=${CMAKE_CXX_FLAGS}
    -P ${PROJECT_SOURCE_DIR}/cmake/InstallTest.cmake)
set_tests_properties(InstallConsumer PROPERTIES LABELS "install" TIMEOUT 600 RUN_SERIAL TRUE)
