// The brevalon executable: hands the command line to the driver.
#include "eval/driver.h"

namespace brevalon {
extern const std::string_view startup_image;
}

int main(int argc, char** argv) { return brevalon::entry_point(argc, argv, brevalon::startup_image); }
