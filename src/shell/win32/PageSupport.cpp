#include "shell/win32/PageSupport.h"

#include <vector>

#include "resources/resource.h"
#include "shell/win32/HandlerLink.h"
#include "util/win32/ModuleInstance.h"
#include "util/win32/UniqueHandle.h"

namespace orv {

FileHandler* PageHandler(LPARAM pageRecord)
{
    auto* page = reinterpret_cast<PROPSHEETPAGEA*>(pageRecord);
    return (*reinterpret_cast<PageLink*>(page->lParam))->handler.get();
}

void BindHandler(HWND dialog, FileHandler* handler)
{
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(handler));
}

FileHandler* BoundHandler(HWND dialog)
{
    return reinterpret_cast<FileHandler*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

std::string ItemText(HWND dialog, int id, int maxCharacters)
{
    std::vector<char> buffer(static_cast<size_t>(maxCharacters) + 1, '\0');
    GetDlgItemTextA(dialog, id, buffer.data(), maxCharacters + 1);
    return buffer.data();
}

void SetItemText(HWND dialog, int id, const std::string& text)
{
    SetDlgItemTextA(dialog, id, text.c_str());
}

std::string ModuleString(UINT id)
{
    char text[256] = {};
    LoadStringA(ModuleInstance(), id, text, sizeof text);
    return text;
}

RECT ItemRect(HWND dialog, int id)
{
    RECT rect = {};
    GetWindowRect(GetDlgItem(dialog, id), &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void PaintPreview(HWND dialog)
{
    FileHandler* handler = BoundHandler(dialog);
    if (handler == nullptr)
        return;
    unique_window_dc dc(dialog);
    if (!dc)
        return;
    RECT area = ItemRect(dialog, IDC_PREVIEW);
    handler->DrawPreview(dc.get(), area);
    ValidateRect(dialog, &area);
}

void ForwardEditChange(HWND dialog, WPARAM wParam)
{
    // The page is filled before its handler is bound, so a bound handler means
    // the change came from the user.
    if (HIWORD(wParam) == EN_CHANGE && BoundHandler(dialog) != nullptr)
        SendMessageA(GetParent(dialog), PSM_CHANGED, reinterpret_cast<WPARAM>(dialog), 0);
}

INT_PTR AcceptNotification(HWND dialog, Applied applied)
{
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT,
                      applied == Applied::Failed ? PSNRET_INVALID_NOCHANGEPAGE : PSNRET_NOERROR);
    return TRUE;
}

}  // namespace orv
