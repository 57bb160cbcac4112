#pragma once
// What every property page procedure does the same way: find its handler, read an
// edit, tell the sheet about changes.
#include <windows.h>
#include <prsht.h>

#include <string>

#include "resources/resource.h"
#include "shell/win32/FileHandler.h"

namespace orv {

// At WM_INITDIALOG: the handler of the page record. Pages fill their controls, then
// keep it in the dialog's user data.
FileHandler* PageHandler(LPARAM pageRecord);
void BindHandler(HWND dialog, FileHandler* handler);
FileHandler* BoundHandler(HWND dialog);

// At most maxCharacters of the control's text.
std::string ItemText(HWND dialog, int id, int maxCharacters);
void SetItemText(HWND dialog, int id, const std::string& text);
std::string ModuleString(UINT id);
// The control's rectangle in the dialog's client coordinates.
RECT ItemRect(HWND dialog, int id);

// Draws the bound handler's preview into the rectangle of the hidden placeholder,
// control 1015, and validates it so that the dialog's own painting leaves it alone.
void PaintPreview(HWND dialog);

// An edit's EN_CHANGE after the page was filled marks the sheet changed; the texts
// the page sets while it is being filled do not.
void ForwardEditChange(HWND dialog, WPARAM wParam);

// What applying a page did with the document.
enum class Applied { Nothing, Written, Failed };

// Answers a notification with the sheet's answer to how an apply went: only a failed
// write is refused, which keeps the sheet open on its page with the edits and Cancel
// as they are.
INT_PTR AcceptNotification(HWND dialog, Applied applied = Applied::Nothing);

// Answers a notification; on apply, a page with a bound handler runs write, and once
// a write succeeded the sheet's Cancel becomes Close.
template <typename Write>
INT_PTR AnswerNotification(HWND dialog, LPARAM lParam, Write write)
{
    Applied applied = Applied::Nothing;
    if (reinterpret_cast<NMHDR*>(lParam)->code == PSN_APPLY && BoundHandler(dialog) != nullptr)
        applied = write();
    if (applied == Applied::Written)
        PostMessageA(GetParent(dialog), PSM_CANCELTOCLOSE, 0, 0);
    return AcceptNotification(dialog, applied);
}

// Writes the name the page shows into the handler's document. An empty name, or the
// one the document holds, is nothing to write.
template <class Handler>
Applied ApplyName(Handler& handler, const std::string& name)
{
    if (name.empty() || name == handler.Document().documentName)
        return Applied::Nothing;
    return handler.WriteDocumentName(name) ? Applied::Written : Applied::Failed;
}

// The procedure of an info page whose one edit is the document's name: Fill shows the
// handler's document before the handler is bound, a page with a preview paints it into
// its placeholder, and apply writes a new name back.
template <class Handler, auto Fill, int MaxName, bool WithPreview>
INT_PTR NamePageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    try {
        switch (message) {
        case WM_INITDIALOG: {
            auto* handler = static_cast<Handler*>(PageHandler(lParam));
            Fill(dialog, handler->Document());
            BindHandler(dialog, handler);
            return TRUE;
        }
        case WM_PAINT:
            if (WithPreview)
                PaintPreview(dialog);
            return FALSE;
        case WM_COMMAND:
            ForwardEditChange(dialog, wParam);
            return FALSE;
        case WM_NOTIFY:
            return AnswerNotification(dialog, lParam, [dialog] {
                return ApplyName(*static_cast<Handler*>(BoundHandler(dialog)),
                                 ItemText(dialog, IDC_DOCUMENT_NAME, MaxName));
            });
        default:
            return FALSE;
        }
    } catch (...) {
        return FALSE;
    }
}

}  // namespace orv
