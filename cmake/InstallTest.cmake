# Script run by the InstallConsumer test (cmake -P): install, then build a C++20 consumer two ways.
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "failed (${rc}): ${ARGN}\n${out}\n${err}")
  endif()
  set(last_output "${out}" PARENT_SCOPE)
endfunction()

run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})

# 1. CMake package.
run(${CMAKE_COMMAND} -S ${CONSUMER_DIR} -B ${WORK_DIR}/consumer-build
    -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_CXX_COMPILER=${CXX} "-DCMAKE_CXX_FLAGS=${CXX_FLAGS}")
run(${CMAKE_COMMAND} --build ${WORK_DIR}/consumer-build)
run(${WORK_DIR}/consumer-build/consumer)
if(NOT last_output MATCHES "consumer ok .*__cplusplus 202002")
  message(FATAL_ERROR "unexpected consumer output (expected C++20): ${last_output}")
endif()

# 2. pkg-config.
file(GLOB_RECURSE pcs ${prefix}/*/gorv_base.pc)
list(GET pcs 0 pc)
get_filename_component(pcdir ${pc} DIRECTORY)
set(ENV{PKG_CONFIG_PATH} ${pcdir})
run(pkg-config --cflags --libs gorv_base)
if(last_output MATCHES "-std=")
  message(FATAL_ERROR "pkg-config flags choose a language standard: ${last_output}")
endif()
string(STRIP "${last_output}" flags)
separate_arguments(flags UNIX_COMMAND "${flags}")
separate_arguments(extra UNIX_COMMAND "${CXX_FLAGS}")
string(REGEX MATCH "-L[^ \n]+" libflag "${last_output}")
string(SUBSTRING "${libflag}" 2 -1 libdir)
run(${CXX} -std=c++20 ${extra} ${CONSUMER_DIR}/main.cpp ${flags} -Wl,-rpath,${libdir} -o ${WORK_DIR}/consumer-pc)
run(${WORK_DIR}/consumer-pc)
if(NOT last_output MATCHES "consumer ok .*__cplusplus 202002")
  message(FATAL_ERROR "unexpected pkg-config consumer output (expected C++20): ${last_output}")
endif()
