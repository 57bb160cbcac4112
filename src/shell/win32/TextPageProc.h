#pragma once
#include <windows.h>

namespace orv {

// A read-only text page: shows its handler's PageText(titleId) in control 1015.
INT_PTR ShowTextPage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, UINT titleId) noexcept;

// The text page of a document with one text, its handler's infoText.
INT_PTR CALLBACK TextPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

// The text page titled titleId of a document with several texts.
template <UINT titleId>
INT_PTR CALLBACK TitledTextPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    return ShowTextPage(dialog, message, wParam, lParam, titleId);
}

}  // namespace orv
