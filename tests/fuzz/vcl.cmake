# libFuzzer targets of the class library's Qt-free part: number conversion,
# the INI reader and the form-description parser. Seeds: corpus/vcl_*.
# The library's sources are compiled once more with coverage instrumentation
# and the sanitizers, so that the fuzzer sees inside them.
if(TARGET vcl_sysutils)
  get_target_property(vcl_fuzz_sources vcl_sysutils SOURCES)
  get_target_property(vcl_fuzz_dir vcl_sysutils SOURCE_DIR)
  list(TRANSFORM vcl_fuzz_sources PREPEND "${vcl_fuzz_dir}/")
  add_library(vcl_sysutils_fuzz STATIC ${vcl_fuzz_sources})
  target_include_directories(vcl_sysutils_fuzz PUBLIC ${vcl_fuzz_dir}/include ${vcl_fuzz_dir}/src)
  target_compile_options(vcl_sysutils_fuzz PRIVATE -fsanitize=fuzzer-no-link,address,undefined)
  qdx_warnings(vcl_sysutils_fuzz)
  foreach(name strtofloat inifile formtext)
    add_executable(fuzz_vcl_${name} ${CMAKE_CURRENT_LIST_DIR}/vcl_${name}_fuzz.cpp)
    target_link_libraries(fuzz_vcl_${name} PRIVATE vcl_sysutils_fuzz)
    target_compile_options(fuzz_vcl_${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_options(fuzz_vcl_${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    qdx_warnings(fuzz_vcl_${name})
  endforeach()
endif()
