#include "libpart/win32/QdlHandler.h"

#include "libpart/win32/QdlPage.h"
#include "resources/resource.h"

namespace orv {

bool QdlHandler::Claims(const char* newPath)
{
    return MatchExtension(newPath, QdlExtensions);
}

bool QdlHandler::LoadContents()
{
    // The page shows the script below the name line as its plain text.
    return document.Load(path) && infoText.SetText(document.scriptText.GetText() + document.bodyOffset);
}

int32_t QdlHandler::PageCount()
{
    return 1;
}

bool QdlHandler::FillPage(uint32_t slot, PROPSHEETPAGEA& page)
{
    if (slot != 0)
        return false;
    SetPage(page, IDD_QDL_PROPERTIES, QdlPageProc);
    return true;
}

bool QdlHandler::WriteDocumentName(const std::string& newName)
{
    return document.WriteDocumentName(path, newName);
}

}  // namespace orv
