#pragma once
#include <string>
#include <vector>

namespace orv {

// The program's arguments in UTF-8, the form the portable core takes paths in: as
// given on Linux; on Windows read as the system holds them, in UTF-16, so that any
// file name reaches the readers.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

}  // namespace orv
