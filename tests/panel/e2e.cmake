# End to end: the real window, link library, D2XX layer and pseudo-terminal
# against the simulated controller, driven in-process offscreen.
if(NOT (TARGET quodrix_panel AND TARGET qdxlink AND TARGET qdxsim))
  return()
endif()

add_executable(panel_e2e_test PanelMain.cpp Drive.cpp E2eTest.cpp)
quodrix_add_form(panel_e2e_test)
target_include_directories(panel_e2e_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(panel_e2e_test PRIVATE quodrix_panel qdxlink Qt6::Widgets Qt6::Test
                                             GTest::gtest)
target_compile_definitions(panel_e2e_test PRIVATE QDXSIM_PATH="$<TARGET_FILE:qdxsim>")
add_dependencies(panel_e2e_test qdxsim)
qdx_warnings(panel_e2e_test)
qdx_gtest(panel_e2e_test TEST_PREFIX "panel_e2e." PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 120)
