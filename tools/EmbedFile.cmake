# Writes the bytes of INPUT into OUTPUT as the C++ array kesmar::tool::kDefaultUnits, followed
# by a zero byte that kDefaultUnitsSize does not count.
file(READ ${INPUT} content HEX)
string(LENGTH "${content}" digits)
math(EXPR size "${digits} / 2")
# Sixteen bytes per line keeps the generated file readable in a debugger.
string(REGEX REPLACE "(................................)" "\\1\n" content "${content}")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," content "${content}")
file(WRITE ${OUTPUT}
  "// Generated from ${INPUT}; do not edit.\n"
  "#include <cstddef>\n\n"
  "namespace kesmar::tool {\n\n"
  "extern const unsigned char kDefaultUnits[] = {\n${content}0x00};\n"
  "extern const std::size_t kDefaultUnitsSize = ${size};\n\n"
  "}  // namespace kesmar::tool\n")
