#include "CommandLine.h"

namespace orv {

std::vector<std::string> CommandLineArguments(int argc, char** argv)
{
    return {argv, argv + argc};
}

}  // namespace orv
