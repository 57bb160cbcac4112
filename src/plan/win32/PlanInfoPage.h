#pragma once
#include <windows.h>

namespace orv {

// The plan's "Info & Preview" page: version, release, platform, the editable
// document name, the sign-in values and project path, and the preview.
INT_PTR CALLBACK PlanInfoPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

}  // namespace orv
