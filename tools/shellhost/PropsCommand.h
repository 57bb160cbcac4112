#pragma once
#include <string>
#include <vector>

namespace orv::host {

// "props FILE [--set NAME=VALUE ...] [--dll PATH]": the Details columns' view of a file
// through the server's property handler, as the shell opens it (a stream, for writing
// only when values are set), and the values written back. args follow "props".
int PropsCommand(const std::vector<std::string>& args);

}  // namespace orv::host
