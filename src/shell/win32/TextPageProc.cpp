#include "shell/win32/TextPageProc.h"

#include <prsht.h>

#include "resources/resource.h"
#include "shell/win32/PageSupport.h"

namespace orv {

INT_PTR ShowTextPage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, UINT titleId) noexcept
{
    switch (message) {
    case WM_INITDIALOG: {
        FileHandler* handler = PageHandler(lParam);
        BindHandler(dialog, handler);
        const char* text = handler->PageText(titleId).GetText();
        SendDlgItemMessageA(dialog, IDC_TEXT, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : ""));
        // Nothing shown selected.
        SendDlgItemMessageA(dialog, IDC_TEXT, EM_SETSEL, static_cast<WPARAM>(-1), 0);
        return TRUE;
    }
    case WM_COMMAND:
        // The dialog manager selects an edit's whole text when it gives it the focus;
        // a text to read should not come up highlighted.
        if (LOWORD(wParam) == IDC_TEXT && HIWORD(wParam) == EN_SETFOCUS)
            SendMessageA(reinterpret_cast<HWND>(lParam), EM_SETSEL, static_cast<WPARAM>(-1), 0);
        return FALSE;
    case WM_NOTIFY:
        return AcceptNotification(dialog);
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK TextPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    return ShowTextPage(dialog, message, wParam, lParam, 0);
}

}  // namespace orv
