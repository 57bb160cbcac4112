#pragma once
#include "plan/PlanFile.h"
#include "plan/win32/ProjectDataPage.h"
#include "shell/win32/FileHandler.h"

namespace orv {

// Plans and their archive, backup and project forms: "Info & Preview", "Project
// Notes" and "Project Info" pages, and icons drawn from the stored preview.
class PlanHandler : public FileHandler, public ProjectDataOwner {
public:
    bool Claims(const char* path) override;
    bool LoadContents() override;
    int32_t PageCount() override;
    bool FillPage(uint32_t slot, PROPSHEETPAGEA& page) override;
    bool MakeIcons(uint16_t largeSize, HICON& large, uint16_t smallSize, HICON& small) override;
    void DrawPreview(HDC dc, const RECT& rect) override;

    const ProjectData& GetProjectData() const override;
    bool WriteProjectData(const ProjectTexts& shown) override;
    bool WriteDocumentName(const std::string& newName);

    const PlanFile& Document() const { return document; }

private:
    PlanFile document;
};

}  // namespace orv
