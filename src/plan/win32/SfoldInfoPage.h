#pragma once
#include <windows.h>

namespace orv {

// The layout book's "Info" page: version and platform, the writing application and
// the editable document name.
INT_PTR CALLBACK SfoldInfoPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

}  // namespace orv
