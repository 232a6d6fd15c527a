# libFuzzer targets for the link library: the frame receiver and the whole
# exchange, both over the fake D2XX of the link tests.
if(NOT TARGET qdxlink_core)
  return()
endif()
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(WARNING "The link fuzz targets need clang (CXX=clang++); skipped.")
  return()
endif()

set(QDX_LINK_FUZZ_CORPUS ${CMAKE_CURRENT_LIST_DIR}/corpus/wake)

foreach(fuzzer fuzz_wake_receive fuzz_exchange)
  add_executable(${fuzzer}
    ${CMAKE_CURRENT_LIST_DIR}/${fuzzer}.cpp
    ${PROJECT_SOURCE_DIR}/tests/link/FakeD2xx.cpp)
  target_include_directories(${fuzzer} PRIVATE ${PROJECT_SOURCE_DIR}/tests/link)
  target_link_libraries(${fuzzer} PRIVATE qdxlink_core)
  target_compile_options(${fuzzer} PRIVATE -fsanitize=fuzzer)
  target_link_options(${fuzzer} PRIVATE -fsanitize=fuzzer)
  qdx_warnings(${fuzzer})

  # A short, bounded run over the seed corpus; new inputs go to the build tree.
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${fuzzer}_corpus)
  file(MAKE_DIRECTORY ${out})
  add_test(NAME ${fuzzer}_smoke
    COMMAND ${fuzzer} -runs=20000 -seed=1 -max_len=1024 ${out} ${QDX_LINK_FUZZ_CORPUS})
endforeach()
