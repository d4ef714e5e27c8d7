# Helpers that define the project's kinds of targets in one place.

find_package(Threads REQUIRED)
# Third-party libraries behind the platform layer (the settings store): private to the library.
find_package(SQLite3 REQUIRED)
find_package(ICU REQUIRED COMPONENTS uc)
set(GORV_PLATFORM_LIBS SQLite::SQLite3 ICU::uc)

# Developer flags: warnings as errors for our own code only (never reach consumers).
add_library(gorv_dev_flags INTERFACE)
target_compile_options(gorv_dev_flags INTERFACE -Wall -Wextra $<$<BOOL:${GORV_WERROR}>:-Werror>)
# Fused multiply-add changes tolerance-sensitive geometry results: keep every product rounded.
add_library(gorv_fp_flags INTERFACE)
target_compile_options(gorv_fp_flags INTERFACE -ffp-contract=off -fno-fast-math)

# gorv_area_object_library(<target> <area>): object library <target> of src/<area>/**.cpp, if the
# area has sources.
function(gorv_area_object_library target area)
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${area}/*.cpp)
  if(NOT srcs)
    return()
  endif()
  add_library(${target} OBJECT ${srcs})
  target_include_directories(${target}
    PUBLIC ${PROJECT_SOURCE_DIR}/include ${PROJECT_BINARY_DIR}/include
    PRIVATE ${PROJECT_SOURCE_DIR}/src)
  target_compile_definitions(${target} PRIVATE GORV_BUILDING_LIBRARY)
  set_target_properties(${target} PROPERTIES
    POSITION_INDEPENDENT_CODE ON
    CXX_VISIBILITY_PRESET hidden)
  target_link_libraries(${target} PRIVATE $<BUILD_INTERFACE:gorv_dev_flags> $<BUILD_INTERFACE:gorv_fp_flags>)
  # g++ marks some template statics STB_GNU_UNIQUE, which makes glibc refuse to unload the
  # library; a host must be able to dlclose it and load it afresh.
  target_compile_options(${target} PRIVATE $<$<CXX_COMPILER_ID:GNU>:-fno-gnu-unique>)
  if(area STREQUAL "platform")
    target_link_libraries(${target} PRIVATE ${GORV_PLATFORM_LIBS})
  endif()
endfunction()

# gorv_add_area(<area>): the area's object library gorv_<area>, part of the shared library.
function(gorv_add_area area)
  gorv_area_object_library(gorv_${area} ${area})
  if(TARGET gorv_${area})
    set(GORV_OBJECT_LIBS ${GORV_OBJECT_LIBS} gorv_${area} PARENT_SCOPE)
  endif()
endfunction()

# gorv_add_reference_area(<area>): the same sources as gorv_<area>, built as gorv_<area>_reference
# with the area's plain passes selectable at run time. Linked only by the tests and benchmarks that
# compare the indexed passes with the plain ones; never part of the shared library.
function(gorv_add_reference_area area)
  gorv_area_object_library(gorv_${area}_reference ${area})
  string(TOUPPER ${area} upper)
  # Public: the comparing code includes the area's private header with the switch.
  target_compile_definitions(gorv_${area}_reference PUBLIC GORV_${upper}_PLAIN_PASSES)
endfunction()

# gorv_reference_objects(<out-var> <objlib>...): the list with gorv_<area> replaced by its reference
# build wherever one exists.
function(gorv_reference_objects out)
  set(result "")
  foreach(lib IN LISTS ARGN)
    if(TARGET ${lib}_reference)
      list(APPEND result ${lib}_reference)
    else()
      list(APPEND result ${lib})
    endif()
  endforeach()
  set(${out} ${result} PARENT_SCOPE)
endfunction()

# gorv_program_objects(<out-var> <name>): the object libraries a bench or fuzz program links: all
# of the library's, with the reference builds for the plain-against-indexed comparisons (names
# holding "plain_compare"), the only builds that can switch to the plain passes.
function(gorv_program_objects out name)
  if(name MATCHES "plain_compare")
    gorv_reference_objects(result ${GORV_OBJECT_LIBS})
  else()
    set(result ${GORV_OBJECT_LIBS})
  endif()
  set(${out} ${result} PARENT_SCOPE)
endfunction()

# gorv_area_objects(<out-var> <area>): the object libraries an area's code needs (itself and its
# dependencies), skipping areas without sources.
function(gorv_area_objects out area)
  set(result "")
  foreach(a IN ITEMS ${area} ${GORV_DEPS_${area}})
    if(TARGET gorv_${a})
      list(APPEND result gorv_${a})
    endif()
  endforeach()
  set(${out} ${result} PARENT_SCOPE)
endfunction()

# gorv_link_objects(<target> <objlib>...): links object files directly into an executable.
function(gorv_link_objects target)
  foreach(lib IN LISTS ARGN)
    target_sources(${target} PRIVATE $<TARGET_OBJECTS:${lib}>)
    target_include_directories(${target} PRIVATE $<TARGET_PROPERTY:${lib},INTERFACE_INCLUDE_DIRECTORIES>)
    target_compile_definitions(${target} PRIVATE $<TARGET_PROPERTY:${lib},INTERFACE_COMPILE_DEFINITIONS>)
    # Third-party libraries an area's objects call into (GORV_PRIVATE_LIBS on the object library).
    get_target_property(private_libs ${lib} GORV_PRIVATE_LIBS)
    if(private_libs)
      target_link_libraries(${target} PRIVATE ${private_libs})
    endif()
  endforeach()
  target_link_libraries(${target} PRIVATE Threads::Threads ${CMAKE_DL_LIBS})
  if("gorv_platform" IN_LIST ARGN)
    target_link_libraries(${target} PRIVATE ${GORV_PLATFORM_LIBS})
  endif()
endfunction()
