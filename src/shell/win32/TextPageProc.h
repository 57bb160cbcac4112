#pragma once
#include <windows.h>

namespace orv {

// The read-only text page: shows the handler's infoText in control 1015.
INT_PTR CALLBACK TextPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

}  // namespace orv
