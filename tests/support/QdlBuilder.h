#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace orv::test {

// Object scripts as stored: a first line that names the document after the prefix,
// then the script's lines.
std::string NameLine(const std::string& name, const std::string& end,
                     const std::string& prefix = "! Document name: ");

// The lines, each ended by the next line end of ends in turn, so that one script can
// mix them.
std::string ScriptLines(const std::vector<std::string>& lines, const std::vector<std::string>& ends);

std::vector<uint8_t> Stored(const std::string& text);

}  // namespace orv::test
