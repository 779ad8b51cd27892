// The brevalon executable: hands the command line to the driver, with the start-up image to build from.
#include "eval/driver.h"
#include "startup/global_environment.h"

namespace brevalon {
extern const std::string_view startup_image;
}

int main(int argc, char** argv) {
  return brevalon::entry_point(argc, argv, [](brevalon::Runtime& runtime) {
    brevalon::build_global_environment(runtime, brevalon::startup_image);
  });
}
