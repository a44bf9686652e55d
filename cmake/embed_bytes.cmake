# Turns a binary file into a C++ source defining mvz::embedded::messageTable.
file(READ ${IN} hex HEX)
string(LENGTH "${hex}" len)
math(EXPR count "${len} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
file(WRITE ${OUT}
  "#include <cstddef>\nnamespace mvz::embedded {\n"
  "extern const unsigned char messageTable[] = {${bytes}};\n"
  "extern const std::size_t messageTableSize = ${count};\n}\n")
