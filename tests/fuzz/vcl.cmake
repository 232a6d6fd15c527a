# libFuzzer targets of the class library's Qt-free part: number conversion,
# the INI reader and the form-description parser. Seeds: corpus/vcl_*.
if(TARGET vcl_sysutils)
  foreach(name strtofloat inifile formtext)
    add_executable(fuzz_vcl_${name} ${CMAKE_CURRENT_LIST_DIR}/vcl_${name}_fuzz.cpp)
    target_link_libraries(fuzz_vcl_${name} PRIVATE vcl_sysutils)
    target_include_directories(fuzz_vcl_${name} PRIVATE ${CMAKE_SOURCE_DIR}/platform/vcl/src)
    target_compile_options(fuzz_vcl_${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_options(fuzz_vcl_${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    qdx_warnings(fuzz_vcl_${name})
  endforeach()
endif()
