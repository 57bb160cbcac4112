#include "libpart/win32/QdlPage.h"

#include <prsht.h>

#include "libpart/win32/QdlHandler.h"
#include "resources/resource.h"
#include "shell/win32/PageSupport.h"
#include "shell/win32/TextPageProc.h"

namespace orv {

INT_PTR CALLBACK QdlPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    try {
        switch (message) {
        case WM_INITDIALOG: {
            const QdlFile& script = static_cast<QdlHandler*>(PageHandler(lParam))->Document();
            SendDlgItemMessageA(dialog, IDC_DOCUMENT_NAME, EM_LIMITTEXT, QdlFile::MaxNameLength, 0);
            SetItemText(dialog, IDC_DOCUMENT_NAME, script.documentName);
            break;
        }
        case WM_COMMAND:
            ForwardEditChange(dialog, wParam);
            break;
        case WM_NOTIFY:
            return AnswerNotification(dialog, lParam, [dialog] {
                return ApplyName(*static_cast<QdlHandler*>(BoundHandler(dialog)),
                                 ItemText(dialog, IDC_DOCUMENT_NAME, QdlFile::MaxNameLength));
            });
        default:
            break;
        }
        // The script below the name is the text page's, and so is binding the handler.
        return ShowTextPage(dialog, message, wParam, lParam, 0);
    } catch (...) {
        return FALSE;
    }
}

}  // namespace orv
