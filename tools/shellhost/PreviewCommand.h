#pragma once
#include <string>
#include <vector>

// shellhost preview FILE [--size WxH] [--dark] [--screenshot PNG] [--dll PATH] [--wait]: the
// shell's preview pane showing FILE; args are those after "preview".
int PreviewCommand(const std::vector<std::string>& args);
