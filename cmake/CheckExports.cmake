# Script run by the ExportedSymbols test (cmake -P): every dynamic symbol the shared library
# defines must belong to the public API, that is to names declared in include/gorv/**.h.
#   -DLIB=<shared library> -DNM=<nm> -DROOT=<source dir>
# Rule, on the demangled names (nm -D --defined-only -C):
#  - "vtable for X", "typeinfo for X" and the like are judged by X;
#  - a function's parameter list is dropped (its types are the caller's business);
#  - what remains (scope, name, template arguments, a template's return type) may use only
#    identifiers that occur in the public headers, plus the language's keywords;
#  - anything of the standard library (std::, __gnu_cxx::, operator new/delete) fails: hosts
#    instantiate the standard templates themselves;
#  - a sanitizer's marker of an exported global (__odr_asan.<name>) goes with that global.
# A private class, a lambda or an instantiation on a private type therefore fails by name.
cmake_minimum_required(VERSION 3.25)

# Identifiers of the public headers, comments and string literals removed. The set lives in
# variables named _pub_<id> so a lookup is one DEFINED test.
file(GLOB_RECURSE headers ${ROOT}/include/gorv/*.h)
foreach(h IN LISTS headers)
  file(READ ${h} text)
  string(REGEX REPLACE "/\\*([^*]|\\*+[^*/])*\\*+/" " " text "${text}")
  string(REGEX REPLACE "//[^\n]*" " " text "${text}")
  string(REGEX REPLACE "\"([^\"\\\\\n]|\\\\.)*\"" " " text "${text}")
  string(REGEX MATCHALL "[A-Za-z_][A-Za-z0-9_]*" ids "${text}")
  foreach(id IN LISTS ids)
    set(_pub_${id} 1)
  endforeach()
endforeach()
foreach(kw const volatile unsigned signed char short int long float double bool void wchar_t
           char8_t char16_t char32_t operator auto decltype true false)
  set(_pub_${kw} 1)
endforeach()
# Symbols the static linker defines in every shared object.
set(linker_symbols _init _fini __bss_start _edata _end)

execute_process(COMMAND ${NM} -D --defined-only -C ${LIB}
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${NM} failed on ${LIB}: ${err}")
endif()
# The same list undemangled, for companions the sanitizers add ("__odr_asan.<mangled name>").
execute_process(COMMAND ${NM} -D --defined-only ${LIB} OUTPUT_VARIABLE mangled)
string(REPLACE ";" "\\;" out "${out}")
string(REPLACE "\n" ";" lines "${out}")

set(bad "")
set(count 0)
foreach(line IN LISTS lines)
  if(NOT line MATCHES "^[0-9a-fA-F]* *[A-Za-z] (.+)$")
    continue()
  endif()
  set(sym "${CMAKE_MATCH_1}")
  if(sym IN_LIST linker_symbols)
    continue()
  endif()
  math(EXPR count "${count} + 1")
  # AddressSanitizer's ODR marker of a global is judged by the global it marks.
  if(sym MATCHES "^__odr_asan[._](.+)$")
    string(FIND "${mangled}" " ${CMAKE_MATCH_1}\n" at)
    if(NOT at EQUAL -1)
      continue()
    endif()
  endif()
  string(REGEX REPLACE "^(vtable for |typeinfo for |typeinfo name for |VTT for |guard variable for |non-virtual thunk to |virtual thunk to |covariant return thunk to )+" "" entity "${sym}")
  string(REGEX REPLACE "\\[abi:[^]]*\\]" "" entity "${entity}")
  # Drop every parenthesised group, innermost first: the parameter list, and "(anonymous
  # namespace)" (whose members are never public; its absence leaves their names to fail).
  set(prev "")
  while(NOT prev STREQUAL entity)
    set(prev "${entity}")
    string(REGEX REPLACE "\\([^()]*\\)" "" entity "${entity}")
  endwhile()
  string(REGEX MATCHALL "[A-Za-z_][A-Za-z0-9_]*" ids "${entity}")
  set(why "")
  if("std" IN_LIST ids OR "__gnu_cxx" IN_LIST ids OR entity MATCHES "^operator (new|delete)")
    set(why "standard library")
  else()
    foreach(id IN LISTS ids)
      if(NOT DEFINED _pub_${id})
        set(why "'${id}' is not declared in a public header")
        break()
      endif()
    endforeach()
  endif()
  if(why)
    list(APPEND bad "  ${sym}   [${why}]")
  endif()
endforeach()

if(count EQUAL 0)
  message(FATAL_ERROR "no dynamic symbols read from ${LIB}")
endif()
list(LENGTH bad nbad)
if(nbad GREATER 0)
  list(JOIN bad "\n" text)
  message(FATAL_ERROR "${nbad} of ${count} exported symbols are not public API:\n${text}")
endif()
message(STATUS "${count} exported symbols, all declared in public headers")
