#pragma once
#include <windows.h>

#include <memory>
#include <optional>
#include <vector>

#include "handlers/Document.h"
#include "handlers/PaneContent.h"
#include "util/win32/UniqueHandle.h"

namespace orv {

// The colours and font the shell's preview pane asks for; the system's window colours
// and message font where it asks for none.
struct PaneLook {
    std::optional<COLORREF> background;
    std::optional<COLORREF> text;
    std::optional<LOGFONTW> font;
};

// The window the preview pane shows a document in: the stored picture, the facts as
// pairs of static controls, and the text of a kind without a picture in a read-only
// edit control with a fixed-pitch font. Texts are shown through the wide API, turned
// from the documents' Windows characters explicitly, so that the system's ANSI code
// page does not change them.
class PreviewPane {
public:
    // A child of parent inside rect, showing the document, which must outlive the pane;
    // null when the window cannot be made.
    static std::unique_ptr<PreviewPane> Make(HWND parent, const RECT& rect, const Document& document,
                                             const PaneLook& look);

    ~PreviewPane();
    PreviewPane(const PreviewPane&) = delete;
    PreviewPane& operator=(const PreviewPane&) = delete;

    HWND Window() const { return window; }
    void Place(HWND parent, const RECT& rect);
    void SetLook(const PaneLook& look);
    // Into the text when there is one, else into the pane.
    void Focus();

private:
    explicit PreviewPane(const Document& document);

    bool Create(HWND parent, const RECT& rect, const PaneLook& look);
    void Layout();
    void Paint();

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    const Document& document;
    std::vector<PaneFact> facts;
    HWND window = nullptr;
    std::vector<HWND> labels;
    std::vector<HWND> values;
    HWND text = nullptr;
    RECT pictureRect = {};
    COLORREF textColour = 0;
    COLORREF backgroundColour = 0;
    unique_handle<NullInvalid<HBRUSH, DeleteObject>> background;
    unique_handle<NullInvalid<HFONT, DeleteObject>> factFont;
    unique_handle<NullInvalid<HFONT, DeleteObject>> fixedFont;
    // Whether this pane counts among those that keep the window class registered.
    bool counted = false;
};

}  // namespace orv
