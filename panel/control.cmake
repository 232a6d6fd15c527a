# The command layer, without Qt: the panel, its tests and the integration
# tests link it. It calls QDX_Set and QDX_Get, which the final program takes
# from qdxlink and the unit tests from a recording stand-in.
add_library(qdx_control STATIC ${CMAKE_CURRENT_LIST_DIR}/Control.cpp)
target_include_directories(qdx_control PUBLIC ${CMAKE_CURRENT_LIST_DIR})
if(TARGET qdxlink_headers)
  target_link_libraries(qdx_control PUBLIC qdxlink_headers)
else()
  target_include_directories(qdx_control PUBLIC ${PROJECT_SOURCE_DIR}/link/include)
endif()
qdx_warnings(qdx_control)
