#pragma once
#include "plan/SfoldFile.h"
#include "plan/win32/ProjectDataPage.h"
#include "shell/win32/FileHandler.h"

namespace orv {

// Layout books and layout files: an "Info" page with the editable document name and
// the "Project Info" page. They carry no preview, so the fixed icons stand.
class SfoldHandler : public FileHandler, public ProjectDataOwner {
public:
    bool Claims(const char* path) override;
    bool LoadContents() override;
    int32_t PageCount() override;
    bool FillPage(uint32_t slot, PROPSHEETPAGEA& page) override;

    const ProjectData& GetProjectData() const override;
    bool WriteProjectData(const ProjectTexts& shown) override;
    bool WriteDocumentName(const std::string& newName);

    const SfoldFile& Document() const { return document; }

private:
    SfoldFile document;
};

}  // namespace orv
