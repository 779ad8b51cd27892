// The file and console natives: read, print, write-file, read-file and append-file.
#pragma once
#include "values/function.h"

namespace brevalon {

Value* native_read(Interpreter&, Environment*, Value* arguments);
Value* native_print(Interpreter&, Environment*, Value* arguments);
Value* native_write_file(Interpreter&, Environment*, Value* arguments);
Value* native_read_file(Interpreter&, Environment*, Value* arguments);
Value* native_append_file(Interpreter&, Environment*, Value* arguments);

}  // namespace brevalon
