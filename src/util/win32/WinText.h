#pragma once
#include <windows.h>

#include <string>

namespace orv {

// Activates the character tables of the code page that the module's own version
// resource names; without one, no text is translated.
void SelectCharTables(HINSTANCE module);

// A path as the shell gives it, for the portable core; false, rather than an
// approximation, for text that is not valid UTF-16.
bool WideToUtf8(const wchar_t* source, std::string& out);
// For the few places that must hand the ANSI API a name: only text the system ANSI
// code page holds exactly, never a best fit or the default character.
bool WideToAnsi(const wchar_t* source, std::string& out);

}  // namespace orv
