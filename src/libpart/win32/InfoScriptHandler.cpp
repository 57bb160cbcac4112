#include "libpart/win32/InfoScriptHandler.h"

#include "libpart/InfoFiles.h"
#include "resources/resource.h"
#include "shell/win32/TextPageProc.h"
#include "util/win32/ModuleInstance.h"

namespace orv {

bool InfoScriptHandler::Claims(const char* newPath)
{
    return MatchExtension(newPath, InfoScriptExtensions);
}

bool InfoScriptHandler::LoadContents()
{
    char macintosh[64] = {};
    char windows[64] = {};
    LoadStringA(ModuleInstance(), IDS_MAC_VECTOR_FONTS, macintosh, sizeof macintosh);
    LoadStringA(ModuleInstance(), IDS_WIN_VECTOR_FONTS, windows, sizeof windows);
    auto file = OpenFile(path, File::Access::Read);
    return file && BuildFontListing(*file, FontHeadings{macintosh, windows},
                                    [](const char* a, const char* b) { return lstrcmpA(a, b); }, infoText);
}

int32_t InfoScriptHandler::PageCount()
{
    return 1;
}

bool InfoScriptHandler::FillPage(uint32_t slot, PROPSHEETPAGEA& page)
{
    if (slot != 0)
        return false;
    SetPage(page, "InfoScript", TextPageProc);
    return true;
}

}  // namespace orv
