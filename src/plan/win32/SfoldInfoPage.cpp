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
    return NamePageProc<SfoldHandler, Fill, SfoldFile::MaxNameLength, false>(dialog, message, wParam, lParam);
}

}  // namespace orv
