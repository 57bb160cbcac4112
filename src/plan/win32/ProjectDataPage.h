#pragma once
#include <windows.h>

#include "plan/ProjectData.h"

namespace orv {

// A handler whose document carries a project data record: plans and layout books.
class ProjectDataOwner {
public:
    virtual const ProjectData& GetProjectData() const = 0;
    // Rewrites the record in the document from the texts the page shows.
    virtual bool WriteProjectData(const ProjectTexts& shown) = 0;

protected:
    ~ProjectDataOwner() = default;
};

// The "Project Info" page: the record's six texts, Keywords and Comments editable.
INT_PTR CALLBACK ProjectDataPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

}  // namespace orv
