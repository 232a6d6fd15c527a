# The test panel program Quodrix and the static library of its units, which
# the tests link against a recording stand-in of the link library instead.
if(NOT TARGET vcl)
  return()
endif()
if(NOT TARGET qdx_control)
  message(STATUS "panel: qdx_control missing, Quodrix not built")
  return()
endif()

find_package(Qt6 REQUIRED COMPONENTS Gui)

# The icon, drawn at build time (QPainter on an image; needs no display).
add_executable(quodrix_icongen ${CMAKE_CURRENT_LIST_DIR}/icons/IconGen.cpp)
target_link_libraries(quodrix_icongen PRIVATE Qt6::Gui)
qdx_warnings(quodrix_icongen)
set(QUODRIX_ICON_PNG ${CMAKE_CURRENT_BINARY_DIR}/quodrix.png)
set(QUODRIX_ICON_CPP ${CMAKE_CURRENT_BINARY_DIR}/quodrix_icon.cpp)
add_custom_command(
  OUTPUT ${QUODRIX_ICON_PNG} ${QUODRIX_ICON_CPP}
  COMMAND quodrix_icongen ${QUODRIX_ICON_PNG} ${QUODRIX_ICON_CPP}
  DEPENDS quodrix_icongen
  COMMENT "Drawing the Quodrix icon"
  VERBATIM)

add_library(quodrix_panel STATIC
  ${CMAKE_CURRENT_LIST_DIR}/Floatedit.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Main.cpp
  ${QUODRIX_ICON_CPP})
target_include_directories(quodrix_panel PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(quodrix_panel PUBLIC vcl qdx_control)
qdx_warnings(quodrix_panel)

# The window's description is embedded into each program that creates the
# window: a registration inside a static library could be dropped by the
# linker.
set(QUODRIX_FORM_DESCRIPTION ${CMAKE_CURRENT_LIST_DIR}/Main.dfm CACHE INTERNAL "")
function(quodrix_add_form target)
  vcl_form_description(${target} ${QUODRIX_FORM_DESCRIPTION})
endfunction()

if(TARGET qdxlink)
  add_executable(Quodrix ${CMAKE_CURRENT_LIST_DIR}/Quodrix.cpp)
  quodrix_add_form(Quodrix)
  target_link_libraries(Quodrix PRIVATE quodrix_panel qdxlink)
  qdx_warnings(Quodrix)
  install(TARGETS Quodrix RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
