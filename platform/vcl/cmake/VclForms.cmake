# vcl_form_description(<target> <file>...)
# Compiles each form description file into <target>: a generated C++ source
# holds the text as a raw string and registers it under the class name of its
# top-level object. Add it to the executable (or test binary) that creates the
# form: a registration in a static library may be dropped by the linker.
function(vcl_form_description target)
  foreach(file IN LISTS ARGN)
    get_filename_component(abs "${file}" ABSOLUTE)
    get_filename_component(name "${file}" NAME)
    get_filename_component(stem "${file}" NAME_WE)
    set(out "${CMAKE_CURRENT_BINARY_DIR}/vcl_forms/${target}_${stem}_description.cpp")
    add_custom_command(
      OUTPUT "${out}"
      COMMAND "${CMAKE_COMMAND}" "-DIN=${abs}" "-DOUT=${out}" "-DNAME=${name}"
              -P "${_VCL_FORMS_DIR}/VclEmbed.cmake"
      DEPENDS "${abs}" "${_VCL_FORMS_DIR}/VclEmbed.cmake"
      COMMENT "Embedding form description ${name}"
      VERBATIM)
    target_sources(${target} PRIVATE "${out}")
  endforeach()
endfunction()
set(_VCL_FORMS_DIR "${CMAKE_CURRENT_LIST_DIR}" CACHE INTERNAL "")
