#include "plan/win32/PlanHandler.h"

#include "plan/win32/PlanInfoPage.h"
#include "preview/win32/PreviewDrawing.h"
#include "resources/resource.h"
#include "shell/win32/TextPageProc.h"

namespace orv {

bool PlanHandler::Claims(const char* newPath)
{
    return MatchExtension(newPath, PlanExtensions);
}

bool PlanHandler::LoadContents()
{
    if (!document.Load(path))
        return false;
    // The notes page is the plain text page.
    return !document.HasNotes() || infoText.SetText(document.notes.GetText());
}

int32_t PlanHandler::PageCount()
{
    return 3;
}

bool PlanHandler::FillPage(uint32_t slot, PROPSHEETPAGEA& page)
{
    switch (slot) {
    case 0:
        SetPage(page, IDD_PLAN_PROPERTIES, PlanInfoPageProc);
        return true;
    case 1:
        if (!document.HasNotes())
            return false;
        SetPage(page, IDD_LIBPART_SCRIPT, TextPageProc, IDS_PROJECT_NOTES);
        return true;
    case 2:
        if (!document.HasProjectData())
            return false;
        SetPage(page, IDD_PROJECT_DATA, ProjectDataPageProc);
        return true;
    default:
        return false;
    }
}

bool PlanHandler::MakeIcons(uint16_t largeSize, HICON& large, uint16_t smallSize, HICON& small)
{
    if (document.platform == 0)
        LoadContents();
    return PreviewIcons(document.preview, largeSize, large, smallSize, small) ||
           FileHandler::MakeIcons(largeSize, large, smallSize, small);
}

void PlanHandler::DrawPreview(HDC dc, const RECT& rect)
{
    orv::DrawPreview(document.preview, dc, rect);
}

const ProjectData& PlanHandler::GetProjectData() const
{
    return document.projectData;
}

bool PlanHandler::WriteProjectData(const ProjectTexts& shown)
{
    return document.WriteProjectData(path, shown);
}

bool PlanHandler::WriteDocumentName(const std::string& newName)
{
    return document.WriteDocumentName(path, newName);
}

}  // namespace orv
