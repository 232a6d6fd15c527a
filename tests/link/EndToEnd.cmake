# The C example and the Python example against a controller played on a
# pseudo-terminal, through the real libqdxlink.so and libftd2xx.so.
find_program(QDX_PYTHON3 python3 PATHS /usr/bin NO_DEFAULT_PATH)
if(NOT QDX_PYTHON3)
  find_program(QDX_PYTHON3 python3)
endif()

add_executable(qdxlink_e2e_test e2e_test.cpp)
target_link_libraries(qdxlink_e2e_test PRIVATE GTest::gtest_main util)
target_include_directories(qdxlink_e2e_test PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/platform/ftd2xx/include)
target_compile_definitions(qdxlink_e2e_test PRIVATE
  QDX_INFO_PROGRAM="$<TARGET_FILE:qdx_info>"
  QDX_INFO_SCRIPT="${PROJECT_SOURCE_DIR}/link/examples/qdx_info.py"
  QDXLINK_LIBRARY="$<TARGET_FILE:qdxlink>"
  QDX_PYTHON3="${QDX_PYTHON3}")
add_dependencies(qdxlink_e2e_test qdx_info qdxlink ftd2xx)
qdx_warnings(qdxlink_e2e_test)
qdx_gtest(qdxlink_e2e_test NO_PRETTY_VALUES)
if(QDX_SANITIZE OR QDX_FUZZ)
  # python3 cannot load a sanitizer-instrumented library without preloading
  # the sanitizer runtime; the C example still runs.
  target_compile_definitions(qdxlink_e2e_test PRIVATE QDX_E2E_NO_PYTHON=1)
endif()
