#include "libpart/win32/InfoHandler.h"

#include "libpart/InfoFiles.h"
#include "shell/win32/TextPageProc.h"

namespace orv {

bool InfoHandler::Claims(const char* newPath)
{
    return MatchExtension(newPath, InfoExtensions);
}

bool InfoHandler::LoadContents()
{
    auto file = OpenFile(path, File::Access::Read);
    // lstrcmpA is stdcall on 32-bit Windows, so it is called here rather than passed.
    return file && BuildInfoListing(*file, [](const char* a, const char* b) { return lstrcmpA(a, b); }, infoText);
}

int32_t InfoHandler::PageCount()
{
    return 1;
}

bool InfoHandler::FillPage(uint32_t slot, PROPSHEETPAGEA& page)
{
    if (slot != 0)
        return false;
    SetPage(page, "Info", TextPageProc);
    return true;
}

}  // namespace orv
