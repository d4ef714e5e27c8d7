# Host test: loads and unloads the shared library with dlopen/dlclose, as an application does.
add_executable(gorv_frame_dlopen_host ${CMAKE_CURRENT_LIST_DIR}/dlopen_host.cpp)
target_compile_definitions(gorv_frame_dlopen_host PRIVATE GORV_BASE_SO="$<TARGET_FILE:gorv_base>")
target_link_libraries(gorv_frame_dlopen_host PRIVATE ${CMAKE_DL_LIBS} gorv_dev_flags)
# Like a real C++ application, the host has the C++ runtime loaded before the library. Otherwise
# the runtime arrives with the library, binds to its template instances and pins it in memory,
# and dlclose could not unload it.
target_link_options(gorv_frame_dlopen_host PRIVATE "LINKER:--no-as-needed")
add_dependencies(gorv_frame_dlopen_host gorv_base)
add_test(NAME frame.dlopen_host COMMAND gorv_frame_dlopen_host)
set_tests_properties(frame.dlopen_host PROPERTIES LABELS "frame")
