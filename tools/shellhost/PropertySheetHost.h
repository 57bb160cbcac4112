#pragma once
#include <windows.h>
#include <prsht.h>
#include <shlobj.h>

#include <string>
#include <vector>

namespace orv::host {

struct ControlInfo {
    int id;
    std::string className;
    std::string text;
    bool visible;
    int selectionStart;  // of an edit control; equal to selectionEnd when nothing is selected
    int selectionEnd;
    RECT rect;  // in the page's client coordinates
};

struct PageInfo {
    std::string title;
    HWND window;
    std::vector<ControlInfo> controls;
};

// The Properties dialog as Explorer runs it: the handler adds its pages, a
// modeless property sheet shows them, and closing the sheet destroys them.
class PropertySheetHost {
public:
    PropertySheetHost() = default;
    ~PropertySheetHost();
    PropertySheetHost(const PropertySheetHost&) = delete;
    PropertySheetHost& operator=(const PropertySheetHost&) = delete;

    HRESULT AddPagesFrom(IShellPropSheetExt* extension);
    size_t PageCount() const { return pages.size(); }

    // Shows the collected pages; false when there are none or the sheet fails.
    bool Show(const char* caption);
    HWND Sheet() const { return sheet; }

    // Every page in tab order, each made current once so that it exists.
    std::vector<PageInfo> ReadPages();
    // Types a text into the edit control of whichever page has one with that id, as
    // a user would.
    bool SetControlText(int id, const std::string& text);
    // Presses Apply (the sheet's apply to every page).
    bool Apply();
    // The sheet's OK button text, "Close" after a page asked to cancel-to-close.
    std::string OkButtonText() const;
    // Whether a page has told the sheet that something changed.
    bool ApplyEnabled() const;
    void Close();
    // Runs the sheet as Explorer does until the user closes it.
    void RunUntilClosed();

    // Lets the sheet's windows process what is pending.
    static void PumpMessages();

private:
    static BOOL CALLBACK AddPage(HPROPSHEETPAGE page, LPARAM parameter);

    std::vector<HPROPSHEETPAGE> pages;
    HWND sheet = nullptr;
};

std::string WindowText(HWND window);

}  // namespace orv::host
