# Turns the prelude's text into a C++ source file holding it as one string.
file(READ ${INPUT} content HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${content}")
file(WRITE ${OUTPUT} "// Generated from prelude.lisp; do not edit.\n#include <string_view>\nnamespace brevalon {\nstatic const char prelude_bytes[] = {${bytes} 0};\nextern const std::string_view prelude_text(prelude_bytes, sizeof(prelude_bytes) - 1);\n}\n")
