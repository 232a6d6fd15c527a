if(NOT (TARGET qdxlink AND TARGET qdx_control))
  return()
endif()

add_executable(qdxctl qdxctl.cpp)
target_link_libraries(qdxctl PRIVATE qdx_control qdxlink)
qdx_warnings(qdxctl)
install(TARGETS qdxctl RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
