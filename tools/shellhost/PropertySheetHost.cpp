#include "PropertySheetHost.h"

#include <commctrl.h>

namespace orv::host {

std::string WindowText(HWND window)
{
    int length = GetWindowTextLengthA(window);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    GetWindowTextA(window, text.data(), length + 1);
    text.resize(static_cast<size_t>(length));
    return text;
}

PropertySheetHost::~PropertySheetHost()
{
    Close();
    for (HPROPSHEETPAGE page : pages)
        DestroyPropertySheetPage(page);
}

BOOL CALLBACK PropertySheetHost::AddPage(HPROPSHEETPAGE page, LPARAM parameter)
{
    reinterpret_cast<PropertySheetHost*>(parameter)->pages.push_back(page);
    return TRUE;
}

HRESULT PropertySheetHost::AddPagesFrom(IShellPropSheetExt* extension)
{
    return extension->AddPages(AddPage, reinterpret_cast<LPARAM>(this));
}

void PropertySheetHost::PumpMessages()
{
    MSG message;
    for (int round = 0; round < 3; ++round) {
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(10);
    }
}

bool PropertySheetHost::Show(const char* caption)
{
    if (pages.empty())
        return false;
    PROPSHEETHEADERA header = {};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_MODELESS | PSH_PROPTITLE;
    header.pszCaption = caption;
    header.nPages = static_cast<UINT>(pages.size());
    header.phpage = pages.data();
    INT_PTR result = PropertySheetA(&header);
    if (result <= 0)
        return false;
    // The sheet owns the pages now and destroys them with itself.
    pages.clear();
    sheet = reinterpret_cast<HWND>(result);
    ShowWindow(sheet, SW_SHOW);
    PumpMessages();
    return true;
}

std::vector<PageInfo> PropertySheetHost::ReadPages()
{
    std::vector<PageInfo> result;
    if (!sheet)
        return result;
    HWND tabs = PropSheet_GetTabControl(sheet);
    int count = TabCtrl_GetItemCount(tabs);
    for (int index = 0; index < count; ++index) {
        PropSheet_SetCurSel(sheet, nullptr, index);
        PumpMessages();
        PageInfo page;
        char title[256] = {};
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = title;
        item.cchTextMax = sizeof title;
        SendMessageA(tabs, TCM_GETITEMA, index, reinterpret_cast<LPARAM>(&item));
        page.title = title;
        page.window = PropSheet_GetCurrentPageHwnd(sheet);
        for (HWND child = GetWindow(page.window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            ControlInfo control;
            control.id = GetDlgCtrlID(child);
            char className[64] = {};
            GetClassNameA(child, className, sizeof className);
            control.className = className;
            control.text = WindowText(child);
            control.visible = (GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE) != 0;
            DWORD start = 0;
            DWORD end = 0;
            SendMessageA(child, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
            control.selectionStart = static_cast<int>(start);
            control.selectionEnd = static_cast<int>(end);
            GetWindowRect(child, &control.rect);
            MapWindowPoints(nullptr, page.window, reinterpret_cast<POINT*>(&control.rect), 2);
            page.controls.push_back(control);
        }
        result.push_back(page);
    }
    if (count > 0) {
        PropSheet_SetCurSel(sheet, nullptr, 0);
        PumpMessages();
    }
    return result;
}

bool PropertySheetHost::SetControlText(int id, const std::string& text)
{
    if (!sheet)
        return false;
    HWND tabs = PropSheet_GetTabControl(sheet);
    int count = TabCtrl_GetItemCount(tabs);
    for (int index = 0; index < count; ++index) {
        PropSheet_SetCurSel(sheet, nullptr, index);
        PumpMessages();
        HWND page = PropSheet_GetCurrentPageHwnd(sheet);
        HWND control = GetDlgItem(page, id);
        char className[16] = {};
        if (control == nullptr || !GetClassNameA(control, className, sizeof className) ||
            lstrcmpiA(className, "Edit") != 0)
            continue;
        SetWindowTextA(control, text.c_str());
        // Typing notifies the page; a multi-line edit does not do so for WM_SETTEXT.
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, EN_CHANGE), reinterpret_cast<LPARAM>(control));
        PumpMessages();
        return true;
    }
    return false;
}

bool PropertySheetHost::Apply()
{
    if (!sheet)
        return false;
    BOOL applied = PropSheet_Apply(sheet);
    PumpMessages();
    return applied != FALSE;
}

std::string PropertySheetHost::OkButtonText() const
{
    return sheet ? WindowText(GetDlgItem(sheet, IDOK)) : std::string();
}

bool PropertySheetHost::ApplyEnabled() const
{
    constexpr int applyButton = 0x3021;
    return sheet && IsWindowEnabled(GetDlgItem(sheet, applyButton));
}

void PropertySheetHost::RunUntilClosed()
{
    MSG message;
    // A modeless sheet has no current page once OK, Cancel or Close was pressed.
    while (sheet && PropSheet_GetCurrentPageHwnd(sheet) && GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (!PropSheet_IsDialogMessage(sheet, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

void PropertySheetHost::Close()
{
    if (!sheet)
        return;
    DestroyWindow(sheet);
    sheet = nullptr;
    PumpMessages();
}

}  // namespace orv::host
