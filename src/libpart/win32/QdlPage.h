#pragma once
#include <windows.h>

namespace orv {

// The object script's "Script" page: the editable document name above the script.
INT_PTR CALLBACK QdlPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

}  // namespace orv
