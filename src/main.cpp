// The brevalon executable: hands the command line to the driver.
#include "eval/driver.h"

int main(int argc, char** argv) { return brevalon::entry_point(argc, argv); }
