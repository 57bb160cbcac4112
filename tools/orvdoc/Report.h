#pragma once
#include <string>

#include "handlers/Document.h"

namespace orv {

// What `orvdoc info` prints for one file, in UTF-8: aligned lines, or one JSON object.
std::string InfoText(const std::string& path, const Document& document);
std::string InfoJson(const std::string& path, const Document& document);
std::string ErrorJson(const std::string& path, const std::string& error);

// A stored text as a terminal shows it: UTF-8 with LF line ends.
std::string TerminalText(const std::string& text);

}  // namespace orv
