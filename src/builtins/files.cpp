// Files and console: print, write-file, append-file, read-file, read.
#include "builtins/files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "eval/arguments.h"
#include "eval/driver.h"
#include "base/errors.h"
#include "eval/interpreter.h"
#include "base/output.h"
#include "eval/runners.h"
#include "reader/reader.h"

namespace brevalon {

Value* native_print(Interpreter& interpreter, Environment*, Value* arguments) {
  Value* value = Arguments("print", arguments).at(0);
  if (value->kind == Kind::String) {
    write_line(as<String>(value)->text);
    return interpreter.heap.constants.nil;
  }
  Value* text = call_to_string(interpreter.runtime, value);
  if (text->kind != Kind::String) internal_error("to-string returned " + brief(text) + " for print, not a string");
  write_line(as<String>(text)->text);
  return interpreter.heap.constants.nil;
}

namespace {

void write_file(const char* native, Value* arguments, const char* mode) {
  Arguments args(native, arguments);
  args.require(2);
  const std::string& path = args.string(0)->text;
  const std::string& content = args.string(1)->text;
  FILE* file = std::fopen(path.c_str(), mode);
  if (!file) internal_error(std::string(native) + ": cannot open '" + path + "': " + std::strerror(errno));
  // The file is closed on every path; a short write or a failed close (a full disk) is reported.
  bool complete = std::fwrite(content.data(), 1, content.size(), file) == content.size();
  int error = complete ? 0 : errno;
  if (std::fclose(file) != 0 && complete) {
    complete = false;
    error = errno;
  }
  if (!complete) internal_error(std::string(native) + ": cannot write '" + path + "': " + std::strerror(error ? error : EIO));
}

}  // namespace

Value* native_write_file(Interpreter& interpreter, Environment*, Value* arguments) {
  write_file("write-file", arguments, "wb");
  return interpreter.heap.constants.nil;
}

Value* native_append_file(Interpreter& interpreter, Environment*, Value* arguments) {
  write_file("append-file", arguments, "ab");
  return interpreter.heap.constants.nil;
}

Value* native_read_file(Interpreter& interpreter, Environment*, Value* arguments) {
  const std::string& path = Arguments("read-file", arguments).string(0)->text;
  try {
    return interpreter.heap.make<String>(read_whole_file(path));
  } catch (const InternalError& error) {
    internal_error("read-file: " + error.note);
  }
}

Value* native_read(Interpreter& interpreter, Environment*, Value* arguments) {
  Arguments args("read", arguments);
  args.require(2);
  const std::string& text = args.string(0)->text;
  int64_t position = args.integer(1);
  auto read = next_expr(interpreter.heap, text, position);
  if (!read) return interpreter.heap.constants.nil;
  return interpreter.heap.make<Cell>(interpreter.heap.make<Integer>(read->position), read->value);
}

}  // namespace brevalon
