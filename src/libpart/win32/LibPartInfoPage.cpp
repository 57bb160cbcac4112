#include "libpart/win32/LibPartInfoPage.h"

#include <prsht.h>

#include <string>

#include "libpart/win32/LibPartHandler.h"
#include "plan/PageTexts.h"
#include "resources/resource.h"
#include "shell/win32/PageSupport.h"

namespace orv {
namespace {

void Fill(HWND dialog, const LibPartFile& part)
{
    SendDlgItemMessageA(dialog, IDC_DOCUMENT_NAME, EM_LIMITTEXT, LibPartFile::MaxNameLength, 0);
    SetItemText(dialog, IDC_DOCUMENT_NAME, part.documentName);
    SetItemText(dialog, IDC_VERSION,
                std::to_string(part.version) + "   " + ModuleString(PlatformStringId(part.platformMark)));
    ShowWindow(GetDlgItem(dialog, IDC_PREVIEW), SW_HIDE);
}

}  // namespace

INT_PTR CALLBACK LibPartInfoPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    return NamePageProc<LibPartHandler, Fill, LibPartFile::MaxNameLength, true>(dialog, message, wParam, lParam);
}

}  // namespace orv
