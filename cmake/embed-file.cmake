# cmake -DINPUT=file -DOUTPUT=file.cc -DSYMBOL=Name -P embed-file.cmake
# Writes a C++ source holding the bytes of INPUT as `const uint8_t SYMBOL[]`
# and their count as `const size_t SYMBOLSize`.
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" length)
math(EXPR bytes "${length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," body "${hex}")
string(REGEX REPLACE "((0x..,){16})" "\\1\n" body "${body}")
file(WRITE "${OUTPUT}.tmp"
  "// Made from ${INPUT} by embed-file.cmake.\n#include <cstddef>\n#include <cstdint>\n"
  "extern const uint8_t ${SYMBOL}[] = {\n${body}\n};\n"
  "extern const size_t ${SYMBOL}Size = ${bytes};\n")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
