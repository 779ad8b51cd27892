// Start-up images: the global environment after the prelude, saved at build time and restored at start.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace brevalon {

struct Runtime;
struct Value;

// Everything reachable from the global environment, and the generated-symbol counter.
std::string save_image(Runtime& runtime);
// Restores a saved image into a runtime whose constants and types exist but whose global environment
// is empty. Returns the environments and dictionaries it restored, the global environment among them.
std::vector<Value*> load_image(Runtime& runtime, std::string_view image);

}  // namespace brevalon
