// Where things sit in the body every defgeneric gives a generic: the forms its frames show.
#pragma once
#include <string>
#include <vector>

#include "values/value.h"

namespace brevalon {

struct LispFunc;

// The method-store key in a dispatcher's body.
Value* dispatcher_key(Value* body);

// The call of the chosen method, (f parameters...), in a dispatcher's body.
Value* dispatcher_method_call(Value* body);

// The lines of the frames a dispatcher has pending while its method runs, bottom first, joined by
// newlines. `if_name` is the name of the native behind `if`.
std::string dispatcher_frame_lines(Value* body, const std::string& if_name);

// The forms those same frames work on, bottom first, one per frame (null for a frame with none).
void dispatcher_frame_forms(Value* body, std::vector<Value*>& forms);

}  // namespace brevalon
