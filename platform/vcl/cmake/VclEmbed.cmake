# cmake -DIN=<description> -DOUT=<source.cpp> -DNAME=<shown name> -P VclEmbed.cmake
file(READ "${IN}" text)
string(FIND "${text}" ")vcldesc\"" clash)
if(NOT clash EQUAL -1)
  message(FATAL_ERROR "${IN} contains the raw-string delimiter )vcldesc\"")
endif()
file(WRITE "${OUT}.tmp" "// Generated from ${NAME}; do not edit.\n#include <vcl/Forms.h>\n\nnamespace {\nconst TFormDescriptionRegistrar registrar(\"${NAME}\", R\"vcldesc(${text})vcldesc\");\n}  // namespace\n")
file(COPY_FILE "${OUT}.tmp" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.tmp")
