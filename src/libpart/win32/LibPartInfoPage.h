#pragma once
#include <windows.h>

namespace orv {

// The library part's "Info & Preview" page: version and platform, the editable
// document name, and the preview.
INT_PTR CALLBACK LibPartInfoPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

}  // namespace orv
