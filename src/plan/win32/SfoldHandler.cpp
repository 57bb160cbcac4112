#include "plan/win32/SfoldHandler.h"

#include "plan/win32/SfoldInfoPage.h"
#include "resources/resource.h"

namespace orv {
bool SfoldHandler::Claims(const char* newPath)
{
    return MatchExtension(newPath, SfoldExtensions);
}

bool SfoldHandler::LoadContents()
{
    return document.Load(path);
}

int32_t SfoldHandler::PageCount()
{
    return 2;
}

bool SfoldHandler::FillPage(uint32_t slot, PROPSHEETPAGEA& page)
{
    if (slot == 0) {
        SetPage(page, IDD_SFOLD_PROPERTIES, SfoldInfoPageProc);
        return true;
    }
    if (slot == 1 && document.HasProjectData()) {
        SetPage(page, IDD_PROJECT_DATA, ProjectDataPageProc);
        return true;
    }
    return false;
}

const ProjectData& SfoldHandler::GetProjectData() const
{
    return document.projectData;
}

bool SfoldHandler::WriteProjectData(const ProjectTexts& shown)
{
    return document.WriteProjectData(path, shown);
}

bool SfoldHandler::WriteDocumentName(const std::string& newName)
{
    return document.WriteDocumentName(path, newName);
}

}  // namespace orv
