#include "shell/win32/FileHandler.h"

#include <shellapi.h>

#include "preview/win32/PreviewIcon.h"
#include "util/win32/ModuleInstance.h"
#include "util/win32/UniqueHandle.h"

namespace orv {

bool FileHandler::MakeIcons(uint16_t largeSize, HICON& large, uint16_t smallSize, HICON& small)
{
    large = nullptr;
    small = nullptr;
    uint32_t iconId = extensionTable && entryIndex >= 0 ? extensionTable->rows[entryIndex].iconId : 0;
    if (iconId != 0) {
        large = LoadIconA(ModuleInstance(), MAKEINTRESOURCEA(iconId & 0xFFFF));
        small = large;
    }
    if (large == nullptr || small == nullptr)
        ExtractIconExA(iconFile, iconIndex, largeSize != 0 ? &large : nullptr,
                       smallSize != 0 ? &small : nullptr, 1);
    return true;
}

void FileHandler::DrawPreview(HDC, const RECT&) {}

const TextBuffer& FileHandler::PageText(UINT)
{
    return infoText;
}

void FileHandler::SetPage(PROPSHEETPAGEA& page, const char* templateName, DLGPROC procedure,
                          UINT titleId)
{
    page.pszTemplate = templateName;
    page.pfnDlgProc = procedure;
    if (titleId != 0) {
        page.dwFlags |= PSP_USETITLE;
        // The title points at the 256-byte buffer that AddPages lends each page.
        LoadStringA(ModuleInstance(), titleId, const_cast<char*>(page.pszTitle), 32);
    }
}

bool FileHandler::PreviewIcons(const PreviewPicture& preview, uint16_t largeSize, HICON& large,
                               uint16_t smallSize, HICON& small)
{
    unique_hicon largeIcon(largeSize != 0 ? MakeIcon(preview, largeSize) : nullptr);
    unique_hicon smallIcon(smallSize != 0 ? MakeIcon(preview, smallSize) : nullptr);
    if ((largeSize != 0 && !largeIcon) || (smallSize != 0 && !smallIcon))
        return false;
    large = largeIcon.release();
    small = smallIcon.release();
    return true;
}

}  // namespace orv
