#pragma once
#include <windows.h>

namespace orv {

// Activates the character tables of the code page that the module's own version
// resource names; without one, no text is translated.
void SelectCharTables(HINSTANCE module);

// System ANSI code page to UTF-16, terminator included.
void AnsiToWide(const char* source, wchar_t* destination, int size);

}  // namespace orv
