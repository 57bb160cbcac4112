#include "plan/win32/ProjectDataPage.h"

#include <prsht.h>

#include <string>

#include "resources/resource.h"
#include "shell/win32/PageSupport.h"
#include "util/Strings.h"

namespace orv {
namespace {

struct TextControl {
    int id;
    std::string ProjectTexts::*text;
};

constexpr TextControl textControls[] = {
    {IDC_PROJECT, &ProjectTexts::project},   {IDC_AUTHOR, &ProjectTexts::author},
    {IDC_REVISION, &ProjectTexts::revision}, {IDC_DRAWING_PREFIX, &ProjectTexts::drawingPrefix},
    {IDC_KEYWORDS, &ProjectTexts::keywords}, {IDC_COMMENTS, &ProjectTexts::comments},
};

ProjectDataOwner* Owner(FileHandler* handler)
{
    return dynamic_cast<ProjectDataOwner*>(handler);
}

void ShowIn(HWND dialog, const ProjectData& record)
{
    for (const TextControl& control : textControls) {
        SendDlgItemMessageA(dialog, control.id, EM_LIMITTEXT, ProjectData::MaxTextLength + 1, 0);
        SetItemText(dialog, control.id, record.Texts().*control.text);
    }
    SendDlgItemMessageA(dialog, IDC_PROJECT, EM_SETSEL, static_cast<WPARAM>(-1), 0);
}

// The record cuts each text at 127 stored characters; on the page every line end
// takes two, so read enough for a full field of them.
ProjectTexts Shown(HWND dialog)
{
    ProjectTexts shown;
    for (const TextControl& control : textControls)
        shown.*control.text = ItemText(dialog, control.id, 2 * ProjectData::MaxTextLength);
    return shown;
}

}  // namespace

INT_PTR CALLBACK ProjectDataPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    try {
        switch (message) {
        case WM_INITDIALOG: {
            FileHandler* handler = PageHandler(lParam);
            if (ProjectDataOwner* owner = Owner(handler))
                ShowIn(dialog, owner->GetProjectData());
            BindHandler(dialog, handler);
            return TRUE;
        }
        case WM_COMMAND:
            ForwardEditChange(dialog, wParam);
            return FALSE;
        case WM_NOTIFY:
            return AnswerNotification(dialog, lParam, [dialog] {
                ProjectDataOwner* owner = Owner(BoundHandler(dialog));
                ProjectTexts shown = Shown(dialog);
                if (owner == nullptr || !owner->GetProjectData().IsChanged(shown))
                    return Applied::Nothing;
                return owner->WriteProjectData(shown) ? Applied::Written : Applied::Failed;
            });
        default:
            return FALSE;
        }
    } catch (...) {
        return FALSE;
    }
}

}  // namespace orv
