#include "CommandLine.h"

#include <windows.h>

#include <shellapi.h>

#include "util/win32/WinText.h"

namespace orv {

std::vector<std::string> CommandLineArguments(int, char**)
{
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments(static_cast<size_t>(wide ? count : 0));
    for (size_t i = 0; i < arguments.size(); ++i)
        WideToUtf8(wide[i], arguments[i]);
    LocalFree(wide);
    return arguments;
}

}  // namespace orv
