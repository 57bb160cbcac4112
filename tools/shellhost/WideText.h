#pragma once
#include <string>

namespace orv::host {

// The host keeps names as UTF-8 and hands them to the wide API, as the shell names
// files in UTF-16. Text that is not valid in its form converts to nothing.
std::wstring Widen(const std::string& utf8);
std::string Narrow(const wchar_t* utf16);
// For the pages' controls, which take ANSI text.
std::string ToAnsi(const std::string& utf8);
// A control's text on one line, as the host prints it: CR, LF, quotes and
// backslashes escaped.
std::string Escaped(const std::string& text);

}  // namespace orv::host
