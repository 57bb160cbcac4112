#include "libpart/win32/ModulHandler.h"

#include "libpart/win32/ModulInfoPage.h"
#include "preview/win32/PreviewDrawing.h"
#include "resources/resource.h"

namespace orv {

bool ModulHandler::Claims(const char* newPath)
{
    return MatchExtension(newPath, ModulExtensions);
}

bool ModulHandler::LoadContents()
{
    return document.Load(path);
}

int32_t ModulHandler::PageCount()
{
    return 1;
}

bool ModulHandler::FillPage(uint32_t slot, PROPSHEETPAGEA& page)
{
    if (slot != 0)
        return false;
    SetPage(page, IDD_MODUL_PROPERTIES, ModulInfoPageProc);
    return true;
}

bool ModulHandler::MakeIcons(uint16_t largeSize, HICON& large, uint16_t smallSize, HICON& small)
{
    if (document.preview.GetBlock() == nullptr)
        LoadContents();
    return PreviewIcons(document.preview, largeSize, large, smallSize, small) ||
           FileHandler::MakeIcons(largeSize, large, smallSize, small);
}

void ModulHandler::DrawPreview(HDC dc, const RECT& rect)
{
    orv::DrawPreview(document.preview, dc, rect);
}

}  // namespace orv
