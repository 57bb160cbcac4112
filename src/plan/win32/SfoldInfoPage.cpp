#include "plan/win32/SfoldInfoPage.h"

#include <prsht.h>

#include "plan/PageTexts.h"
#include "plan/win32/SfoldHandler.h"
#include "resources/resource.h"
#include "shell/win32/PageSupport.h"

namespace orv {
namespace {

void Fill(HWND dialog, const SfoldFile& book)
{
    SetItemText(dialog, IDC_VERSION, book.versionText + " - " + ModuleString(PlatformStringId(book.platform)));
    SendDlgItemMessageA(dialog, IDC_DOCUMENT_NAME, EM_LIMITTEXT, SfoldFile::MaxNameLength + 1, 0);
    SetItemText(dialog, IDC_DOCUMENT_NAME, book.documentName);
    if (int writer = WriterStringId(book.writerCode))
        SetItemText(dialog, IDC_WRITER, ModuleString(writer));
}

}  // namespace

INT_PTR CALLBACK SfoldInfoPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    try {
        switch (message) {
        case WM_INITDIALOG: {
            auto* handler = static_cast<SfoldHandler*>(PageHandler(lParam));
            Fill(dialog, handler->Document());
            BindHandler(dialog, handler);
            return TRUE;
        }
        case WM_COMMAND:
            ForwardEditChange(dialog, wParam);
            return FALSE;
        case WM_NOTIFY:
            // The document refuses an empty or unchanged name without opening the file.
            return AnswerNotification(dialog, lParam, [dialog] {
                return static_cast<SfoldHandler*>(BoundHandler(dialog))
                    ->WriteDocumentName(ItemText(dialog, IDC_DOCUMENT_NAME, SfoldFile::MaxNameLength));
            });
        default:
            return FALSE;
        }
    } catch (...) {
        return FALSE;
    }
}

}  // namespace orv
