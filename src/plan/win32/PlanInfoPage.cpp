#include "plan/win32/PlanInfoPage.h"

#include <prsht.h>

#include <string>

#include "plan/PageTexts.h"
#include "plan/win32/PlanHandler.h"
#include "resources/resource.h"
#include "shell/win32/PageSupport.h"

namespace orv {
namespace {

void Fill(HWND dialog, const PlanFile& plan)
{
    SendDlgItemMessageA(dialog, IDC_DOCUMENT_NAME, EM_LIMITTEXT, PlanFile::MaxNameLength, 0);
    SetItemText(dialog, IDC_DOCUMENT_NAME, plan.documentName);
    SetItemText(dialog, IDC_VERSION, VersionText(plan.version));
    if (plan.release >= 1)
        SetItemText(dialog, IDC_RELEASE, std::to_string(plan.release));
    else
        ShowWindow(GetDlgItem(dialog, IDC_RELEASE_LABEL), SW_HIDE);
    SetItemText(dialog, IDC_PLATFORM, ModuleString(PlatformStringId(plan.platform)));
    ShowWindow(GetDlgItem(dialog, IDC_PREVIEW), SW_HIDE);

    if (plan.ShowsSignIn()) {
        SetItemText(dialog, IDC_SIGN_IN, SignInText(plan.signInValue, plan.changesValue));
        SetItemText(dialog, IDC_PROJECT_PATH, plan.projectPath);
        return;
    }
    for (int id : {IDC_SIGN_IN_LABEL, IDC_SIGN_IN, IDC_PROJECT_PATH_LABEL, IDC_PROJECT_PATH})
        ShowWindow(GetDlgItem(dialog, id), SW_HIDE);
    // The preview takes over most of the rows the sign-in lines leave free.
    RECT label = ItemRect(dialog, IDC_DOCUMENT_NAME_LABEL);
    RECT preview = ItemRect(dialog, IDC_PREVIEW);
    int top = PreviewTopWithoutSignIn(label.bottom, preview.top);
    MoveWindow(GetDlgItem(dialog, IDC_PREVIEW), preview.left, top, preview.right - preview.left,
               preview.bottom - top, FALSE);
}

}  // namespace

INT_PTR CALLBACK PlanInfoPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    return NamePageProc<PlanHandler, Fill, PlanFile::MaxNameLength, true>(dialog, message, wParam, lParam);
}

}  // namespace orv
