# Checks that a shared library's dynamic symbol table defines exactly the
# given functions (and the version node that carries them).
#   cmake -DLIB=path -DNM=nm -DEXPECTED="a;b;c" -P CheckExports.cmake
execute_process(COMMAND ${NM} -D --defined-only ${LIB}
  OUTPUT_VARIABLE out RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${NM} failed on ${LIB}")
endif()

string(REPLACE "\n" ";" lines "${out}")
set(found "")
foreach(line IN LISTS lines)
  if(line MATCHES "^[0-9a-fA-F]* *([A-Za-z]) ([^ @]+)")
    set(type ${CMAKE_MATCH_1})
    set(name ${CMAKE_MATCH_2})
    if(type STREQUAL "A")
      continue()  # version node
    endif()
    list(APPEND found ${name})
  endif()
endforeach()

list(SORT found)
set(want ${EXPECTED})
list(SORT want)
if(NOT found STREQUAL want)
  message(FATAL_ERROR "exported: ${found}\nexpected: ${want}")
endif()
message(STATUS "exports: ${found}")
