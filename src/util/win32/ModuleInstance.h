#pragma once
#include <windows.h>

namespace orv {

// The module whose resources (dialogs, strings, icons) pages and icons are made
// from. DllMain sets it; until then it is null, the program's own.
HINSTANCE ModuleInstance();
void SetModuleInstance(HINSTANCE instance);

}  // namespace orv
