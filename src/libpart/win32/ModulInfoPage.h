#pragma once
#include <windows.h>

namespace orv {

// The module's "Info & Preview" page: version, release and the preview.
INT_PTR CALLBACK ModulInfoPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

}  // namespace orv
