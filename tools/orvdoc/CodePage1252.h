#pragma once
#include <optional>
#include <string>

namespace orv {

// The documents' Windows characters (code page 1252) and the UTF-8 of a terminal.
// The five bytes the code page leaves undefined pass through as the C1 controls of the
// same value, as the platform's own conversion does.
std::string Utf8From1252(const std::string& text);

// Nothing when the text is not UTF-8 or holds a character the code page lacks: a name
// is refused rather than stored as another one.
std::optional<std::string> Utf8To1252(const std::string& text);

}  // namespace orv
