# Fails unless the library exports exactly the eleven D2XX calls.
# Arguments: -DNM=<nm> -DLIB=<library file>
execute_process(COMMAND ${NM} -D --defined-only ${LIB}
  OUTPUT_VARIABLE out RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "nm failed on ${LIB}")
endif()
string(REGEX MATCHALL "[^\n]+" lines "${out}")
set(found "")
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^.* ([^ ]+)$" "\\1" name "${line}")
  list(APPEND found ${name})
endforeach()
list(SORT found)
set(expected FT_Close FT_GetDeviceInfo FT_ListDevices FT_Open FT_Purge FT_Read
  FT_SetBaudRate FT_SetDataCharacteristics FT_SetLatencyTimer FT_SetTimeouts FT_Write)
if(NOT found STREQUAL expected)
  message(FATAL_ERROR "exported: ${found}\nexpected: ${expected}")
endif()
