#include "libpart/win32/ModulInfoPage.h"

#include <prsht.h>

#include <string>

#include "libpart/win32/ModulHandler.h"
#include "plan/PageTexts.h"
#include "resources/resource.h"
#include "shell/win32/PageSupport.h"

namespace orv {

INT_PTR CALLBACK ModulInfoPageProc(HWND dialog, UINT message, WPARAM, LPARAM lParam) noexcept
{
    try {
        switch (message) {
        case WM_INITDIALOG: {
            auto* handler = static_cast<ModulHandler*>(PageHandler(lParam));
            const ModulFile& module = handler->Document();
            SetItemText(dialog, IDC_VERSION, VersionText(module.version));
            if (module.release >= 1)
                SetItemText(dialog, IDC_RELEASE, std::to_string(module.release));
            else
                ShowWindow(GetDlgItem(dialog, IDC_RELEASE_LABEL), SW_HIDE);
            ShowWindow(GetDlgItem(dialog, IDC_PREVIEW), SW_HIDE);
            BindHandler(dialog, handler);
            return TRUE;
        }
        case WM_PAINT:
            PaintPreview(dialog);
            return FALSE;
        case WM_NOTIFY:
            return AcceptNotification(dialog);
        default:
            return FALSE;
        }
    } catch (...) {
        return FALSE;
    }
}

}  // namespace orv
