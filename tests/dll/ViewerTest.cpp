#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "GifWriter.h"
#include "Image.h"
#include "PlanBuilder.h"
#include "PropertySheetHost.h"
#include "ServerFixture.h"
#include "ViewerDriver.h"
#include "ViewerSite.h"
#include "resources/resource.h"

namespace orv::test {
namespace {

using host::ViewerDriver;
using host::ViewerSite;
using Microsoft::WRL::ComPtr;
using Steps = std::vector<ViewerDriver::Step>;

constexpr int toolbarId = 1;
constexpr int statusBarId = 2;
constexpr int viewportId = 3;

// A plan whose preview is a red 64 x 32 picture.
std::vector<uint8_t> RedPlan()
{
    GifImage image;
    image.width = 64;
    image.height = 32;
    image.minCodeSize = 2;
    image.indices.assign(64 * 32, 1);
    std::vector<uint8_t> gif = GifWriter().Screen(64, 32, {{0, 0, 0}, {255, 0, 0}}).Image(image).Trailer().Data();
    return PlanBuilder(0x5757).Version(4550).DocumentName("House").Block(581, gif, PlanPointer::Preview).Build();
}

std::wstring Wide(const std::string& text)
{
    return {text.begin(), text.end()};
}

ULONG RefCount(IUnknown* object)
{
    object->AddRef();
    return object->Release();
}

FVSHOWINFO ShowInfo(DWORD flags, int show = SW_SHOWNORMAL, RECT rect = {})
{
    FVSHOWINFO info = {};
    info.cbSize = sizeof info;
    info.iShow = show;
    info.dwFlags = flags;
    info.rect = rect;
    return info;
}

bool MenuChecked(HWND frame, UINT item)
{
    return (GetMenuState(GetMenu(frame), item, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

// A child's window rectangle in its frame's client coordinates.
RECT ChildRect(HWND frame, int id)
{
    RECT rect = {};
    GetWindowRect(GetDlgItem(frame, id), &rect);
    MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

int ClientHeight(HWND window)
{
    RECT rect = {};
    GetClientRect(window, &rect);
    return rect.bottom;
}

bool ClassRegistered(HMODULE module, const char* name)
{
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    return GetClassInfoExA(module, name, &windowClass) != FALSE;
}

bool SameRect(const RECT& a, const RECT& b)
{
    return EqualRect(&a, &b) != FALSE;
}

// Quick View as the host runs it, with the window driven from inside its loop.
class Viewer : public ServerFixture {
protected:
    std::string house;

    void SetUp() override
    {
        ServerFixture::SetUp();
        house = scratch.Write("House.pln", RedPlan());
    }

    // No window is left, and the classes went with the last viewer.
    void TearDown() override
    {
        EXPECT_EQ(host::ViewerFrame(), nullptr) << "a viewer window outlived its object";
        EXPECT_FALSE(ClassRegistered(server.Module(), "OVVIEWER_FRAME"));
        EXPECT_FALSE(ClassRegistered(server.Module(), "OVVIEWER_VPORT"));
        ServerFixture::TearDown();
    }

    // A new object bound to the file, asked to view it with the site.
    ComPtr<IFileViewerA> Open(const std::string& path, IFileViewerSite* site, HRESULT expected = S_OK)
    {
        ComPtr<IPersistFile> persist = Create<IPersistFile>(IID_IPersistFile);
        ComPtr<IFileViewerA> viewer;
        EXPECT_EQ(persist->Load(Wide(path).c_str(), STGM_READ), S_OK);
        EXPECT_EQ(persist.As(&viewer), S_OK);
        EXPECT_EQ(viewer->ShowInitialize(site), expected);
        return viewer;
    }

    // Shows the viewer and runs the steps inside its loop; answers how many ran. A loop
    // still running after them is a failure, and its frame is closed.
    static size_t Run(IFileViewerA* viewer, FVSHOWINFO& info, Steps steps)
    {
        steps.push_back([](HWND frame) {
            ADD_FAILURE() << "the viewer's loop did not end";
            DestroyWindow(frame);
        });
        ViewerDriver driver(std::move(steps), 100);
        EXPECT_EQ(driver.Show(viewer, info), S_OK);
        return driver.StepsRun();
    }

    static ComPtr<ViewerSite> NewSite()
    {
        ComPtr<ViewerSite> site;
        site.Attach(ViewerSite::Create());
        return site;
    }
};

TEST_F(Viewer, ShowsThePreviewUnderTheFilesNameWithBothBarsOn)
{
    ComPtr<ViewerSite> site = NewSite();
    ComPtr<IFileViewerA> viewer = Open(house, site.Get());
    FVSHOWINFO info = ShowInfo(0);
    EXPECT_EQ(Run(viewer.Get(), info, {[](HWND frame) {
        EXPECT_EQ(host::WindowText(frame), "Orvenstaal Viewer - House.pln");
        EXPECT_TRUE(IsWindowVisible(frame));
        EXPECT_TRUE(MenuChecked(frame, IDM_TOOLBAR));
        EXPECT_TRUE(MenuChecked(frame, IDM_STATUS_BAR));
        EXPECT_FALSE(MenuChecked(frame, IDM_REPLACE));
        host::Image shot = host::CaptureWindow(GetDlgItem(frame, viewportId));
        ASSERT_GT(shot.width, 0);
        EXPECT_EQ(shot.At(shot.width / 2, shot.height / 2), 0xFFFF0000u);
        PostMessageA(frame, WM_CLOSE, 0, 0);
    }}), 1u);
}

struct StatusCase {
    const char* what;
    UINT message;
    WPARAM wParam;
    const char* status;  // null: the text is not set again
    const char* tip;     // of TTN_NEEDTEXTA; null: none given
};

constexpr char openText[] = "Opens the file  for editing with the associated application";
constexpr char replaceText[] = "Dispalys new files in current window";
constexpr char viewportText[] = "To edit, choose Open File for Editing";

const StatusCase statusCases[] = {
    {"File menu", WM_MENUSELECT, MAKEWPARAM(0, MF_POPUP),
     "Contains commands for opening the file and quitting Quick View.", nullptr},
    {"View menu", WM_MENUSELECT, MAKEWPARAM(1, MF_POPUP), "Contains commands for customizing this window.", nullptr},
    {"Help menu", WM_MENUSELECT, MAKEWPARAM(2, MF_POPUP),
     "Contains commands for displaying Help and information about Quick View.", nullptr},
    {"a fourth pop-up", WM_MENUSELECT, MAKEWPARAM(3, MF_POPUP), " ", nullptr},
    {"system menu", WM_MENUSELECT, MAKEWPARAM(0, MF_POPUP | MF_SYSMENU),
     "Commands for manipulating this and other windows", nullptr},
    {"Open", WM_MENUSELECT, IDM_OPEN, openText, nullptr},
    {"Open once more", WM_MENUSELECT, IDM_OPEN, nullptr, nullptr},
    {"Exit", WM_MENUSELECT, IDM_EXIT, "Quits Quick View", nullptr},
    {"Toolbar", WM_MENUSELECT, IDM_TOOLBAR, "Shows or hides the Toolbar", nullptr},
    {"Status Bar", WM_MENUSELECT, IDM_STATUS_BAR, "Shows or hides the Status bar", nullptr},
    {"Replace Window", WM_MENUSELECT, IDM_REPLACE, replaceText, nullptr},
    {"About", WM_MENUSELECT, IDM_ABOUT, "Displays File Viewer information", nullptr},
    {"Restore", WM_MENUSELECT, MAKEWPARAM(SC_RESTORE, MF_SYSMENU), "Restores this window to normal size", nullptr},
    {"Move", WM_MENUSELECT, MAKEWPARAM(SC_MOVE, MF_SYSMENU), "Move this window to another screen location", nullptr},
    {"Size", WM_MENUSELECT, MAKEWPARAM(SC_SIZE, MF_SYSMENU), "Resize this window", nullptr},
    {"Minimize", WM_MENUSELECT, MAKEWPARAM(SC_MINIMIZE, MF_SYSMENU), "Collapse this window to an icon", nullptr},
    {"Maximize", WM_MENUSELECT, MAKEWPARAM(SC_MAXIMIZE, MF_SYSMENU), "Expand this window to full screen size",
     nullptr},
    {"Close", WM_MENUSELECT, MAKEWPARAM(SC_CLOSE, MF_SYSMENU), "Close this window", nullptr},
    {"an unlisted item", WM_MENUSELECT, 555, " ", nullptr},
    {"menu closed", WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), "Ready", nullptr},
    {"a separator", WM_MENUSELECT, 0, " ", nullptr},
    {"mouse over the viewport", WM_MOUSEMOVE, 0, viewportText, nullptr},
    {"mouse moving on", WM_MOUSEMOVE, 0, nullptr, nullptr},
    {"tip of Open", WM_NOTIFY, IDM_OPEN, openText, "Open File for Editing"},
    {"tip of Replace Window", WM_NOTIFY, IDM_REPLACE, replaceText, "Replace Window"},
    {"tip of another button", WM_NOTIFY, 555, " ", nullptr},
    {"mouse back over the viewport", WM_MOUSEMOVE, 0, viewportText, nullptr},
};

TEST_F(Viewer, StatusBarSaysWhatTheMenuItemButtonOrViewportUnderTheUserDoes)
{
    ComPtr<ViewerSite> site = NewSite();
    ComPtr<IFileViewerA> viewer = Open(house, site.Get());
    FVSHOWINFO info = ShowInfo(0);
    HMODULE module = server.Module();
    EXPECT_EQ(Run(viewer.Get(), info, {[module](HWND frame) {
        HWND statusBar = GetDlgItem(frame, statusBarId);
        for (const StatusCase& sample : statusCases) {
            SCOPED_TRACE(sample.what);
            // A text no case shows: it stays when the viewer sets none.
            SetWindowTextA(statusBar, "-");
            NMTTDISPINFOA tip = {};
            tip.hdr.idFrom = sample.wParam;
            tip.hdr.code = TTN_NEEDTEXTA;
            if (sample.message == WM_NOTIFY)
                SendMessageA(frame, WM_NOTIFY, sample.wParam, reinterpret_cast<LPARAM>(&tip));
            else if (sample.message == WM_MOUSEMOVE)
                SendMessageA(GetDlgItem(frame, viewportId), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
            else
                SendMessageA(frame, sample.message, sample.wParam, 0);
            EXPECT_EQ(host::WindowText(statusBar), sample.status ? sample.status : "-");
            char text[256] = {};
            if (tip.lpszText != nullptr)
                LoadStringA(tip.hinst, LOWORD(reinterpret_cast<ULONG_PTR>(tip.lpszText)), text, sizeof text);
            EXPECT_STREQ(text, sample.tip ? sample.tip : "");
            EXPECT_EQ(tip.hinst, sample.tip ? module : nullptr);
        }
        PostMessageA(frame, WM_CLOSE, 0, 0);
    }}), 1u);
}

TEST_F(Viewer, AHiddenBarGivesItsHeightToTheViewport)
{
    struct Toggle {
        UINT command;
        bool toolbarOn;
        bool statusBarOn;
    };
    const Toggle toggles[] = {
        {IDM_TOOLBAR, false, true},
        {IDM_STATUS_BAR, false, false},
        {IDM_TOOLBAR, true, false},
        {IDM_STATUS_BAR, true, true},
    };
    ComPtr<ViewerSite> site = NewSite();
    ComPtr<IFileViewerA> viewer = Open(house, site.Get());
    FVSHOWINFO info = ShowInfo(0);
    EXPECT_EQ(Run(viewer.Get(), info, {[&toggles](HWND frame) {
        RECT client = {};
        GetClientRect(frame, &client);
        const int toolbarHeight = ClientHeight(GetDlgItem(frame, toolbarId));
        const int statusHeight = ClientHeight(GetDlgItem(frame, statusBarId));
        ASSERT_GT(toolbarHeight, 0);
        ASSERT_GT(statusHeight, 0);
        EXPECT_TRUE(SameRect(ChildRect(frame, viewportId),
                             {0, toolbarHeight, client.right, client.bottom - statusHeight}));
        for (const Toggle& toggle : toggles) {
            SCOPED_TRACE(toggle.command);
            SendMessageA(frame, WM_COMMAND, toggle.command, 0);
            EXPECT_EQ(MenuChecked(frame, IDM_TOOLBAR), toggle.toolbarOn);
            EXPECT_EQ(MenuChecked(frame, IDM_STATUS_BAR), toggle.statusBarOn);
            EXPECT_EQ(IsWindowVisible(GetDlgItem(frame, toolbarId)) != FALSE, toggle.toolbarOn);
            EXPECT_EQ(IsWindowVisible(GetDlgItem(frame, statusBarId)) != FALSE, toggle.statusBarOn);
            RECT expected = {0, toggle.toolbarOn ? toolbarHeight : 0, client.right,
                             client.bottom - (toggle.statusBarOn ? statusHeight : 0)};
            EXPECT_TRUE(SameRect(ChildRect(frame, viewportId), expected));
        }
        PostMessageA(frame, WM_CLOSE, 0, 0);
    }}), 1u);
}

TEST_F(Viewer, ReplaceWindowPinsThisFrameOnlyWhenNoOtherWindowIsPinned)
{
    enum class Pinned { None, This, Other };
    struct PinCase {
        const char* what;
        bool withSite;
        bool otherPinned;
        DWORD showFlags;
        int commands;
        Pinned after;
        bool menuChecked;
        bool buttonChecked;
        size_t pinnings;
    };
    const PinCase cases[] = {
        {"pinned from the menu", true, false, 0, 1, Pinned::This, true, true, 1},
        {"pinned and unpinned", true, false, 0, 2, Pinned::None, false, false, 2},
        {"another window is pinned", true, true, 0, 1, Pinned::Other, false, false, 0},
        {"shown pinned", true, false, FVSIF_PINNED, 0, Pinned::This, true, false, 2},
        {"shown pinned, then unpinned", true, false, FVSIF_PINNED, 1, Pinned::None, false, false, 3},
        {"no site", false, false, FVSIF_PINNED, 1, Pinned::None, false, false, 0},
    };
    HWND other = CreateWindowExA(0, "STATIC", "other viewer", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    for (const PinCase& sample : cases) {
        SCOPED_TRACE(sample.what);
        ComPtr<ViewerSite> site = NewSite();
        if (sample.otherPinned)
            site->pinned = other;
        ComPtr<IFileViewerA> viewer = Open(house, sample.withSite ? site.Get() : nullptr);
        FVSHOWINFO info = ShowInfo(sample.showFlags);
        HWND shown = nullptr;
        EXPECT_EQ(Run(viewer.Get(), info, {[&](HWND frame) {
            shown = frame;
            for (int i = 0; i < sample.commands; ++i)
                SendMessageA(frame, WM_COMMAND, IDM_REPLACE, 0);
            EXPECT_EQ(MenuChecked(frame, IDM_REPLACE), sample.menuChecked);
            EXPECT_EQ(SendMessageA(GetDlgItem(frame, toolbarId), TB_ISBUTTONCHECKED, IDM_REPLACE, 0) != 0,
                      sample.buttonChecked);
            PostMessageA(frame, WM_CLOSE, 0, 0);
        }}), 1u);
        HWND expected[] = {nullptr, shown, other};
        EXPECT_EQ(site->pinned, expected[static_cast<int>(sample.after)]);
        EXPECT_EQ(site->pinnings.size(), sample.pinnings);
    }
    DestroyWindow(other);
}

TEST_F(Viewer, ShowPlacesAndShowsTheFrameAsTheHostAsks)
{
    struct Placement {
        const char* what;
        DWORD flags;
        int show;
        bool visible;
        bool atRect;
    };
    const Placement placements[] = {
        {"at a rectangle", FVSIF_RECT, SW_SHOWNORMAL, true, true},
        {"hidden", FVSIF_RECT, SW_HIDE, false, true},
        {"after a failed new file", FVSIF_RECT | FVSIF_NEWFAILED, SW_SHOWNORMAL, false, false},
    };
    const RECT rect = {40, 30, 440, 330};
    for (const Placement& placement : placements) {
        SCOPED_TRACE(placement.what);
        ComPtr<ViewerSite> site = NewSite();
        ComPtr<IFileViewerA> viewer = Open(house, site.Get());
        FVSHOWINFO info = ShowInfo(placement.flags, placement.show, rect);
        EXPECT_EQ(Run(viewer.Get(), info, {[&](HWND frame) {
            RECT window = {};
            GetWindowRect(frame, &window);
            EXPECT_EQ(SameRect(window, rect), placement.atRect);
            EXPECT_EQ(IsWindowVisible(frame) != FALSE, placement.visible);
            PostMessageA(frame, WM_CLOSE, 0, 0);
        }}), 1u);
    }
}

TEST_F(Viewer, ADroppedFileIsHandedBackAndShownInANewViewerInTheFramesPlace)
{
    std::string second = scratch.Write("Garden.pln", RedPlan());
    std::string third = scratch.Write("Shed.pln", RedPlan());
    ComPtr<ViewerSite> site = NewSite();
    ComPtr<IFileViewerA> viewer = Open(house, site.Get());
    ComPtr<IUnknown> object;
    ASSERT_EQ(viewer.As(&object), S_OK);
    const ULONG references = RefCount(object.Get());
    FVSHOWINFO info = ShowInfo(0);
    HWND dropped = nullptr;
    RECT place = {};
    EXPECT_EQ(Run(viewer.Get(), info, {[&](HWND frame) {
        dropped = frame;
        GetWindowRect(frame, &place);
        PostMessageA(frame, WM_DROPFILES, reinterpret_cast<WPARAM>(host::MakeDropList({second, third})), 0);
    }}), 1u);
    EXPECT_EQ(std::wstring(info.strNewFile), Wide(second));
    EXPECT_EQ(info.dwFlags, FVSIF_NEWFILE | FVSIF_RECT);
    EXPECT_TRUE(SameRect(info.rect, place));
    EXPECT_EQ(info.punkRel, object.Get());
    EXPECT_EQ(RefCount(object.Get()), references + 1);
    EXPECT_TRUE(IsWindowVisible(dropped)) << "the frame stays until the host lets it go";

    // The host lets go of the object; punkRel alone keeps it until the next viewer shows.
    object.Reset();
    viewer.Reset();
    ComPtr<IFileViewerA> next = Open(second, site.Get());
    EXPECT_EQ(Run(next.Get(), info, {[&](HWND frame) {
        EXPECT_FALSE(IsWindow(dropped));
        EXPECT_EQ(host::WindowText(frame), "Orvenstaal Viewer - Garden.pln");
        RECT window = {};
        GetWindowRect(frame, &window);
        EXPECT_TRUE(SameRect(window, place));
        PostMessageA(frame, WM_CLOSE, 0, 0);
    }}), 1u);
    EXPECT_EQ(info.punkRel, nullptr);
}

TEST_F(Viewer, ClosingCommandsEndTheLoopAndOpeningNeedsAnAssociation)
{
    struct Closing {
        const char* what;
        UINT message;
        WPARAM command;
        bool associated;
        bool ends;
    };
    const Closing closings[] = {
        {"Exit", WM_COMMAND, IDM_EXIT, false, true},
        {"close box", WM_SYSCOMMAND, SC_CLOSE, false, true},
        {"Open File for Editing, associated", WM_COMMAND, IDM_OPEN, true, true},
        {"Open File for Editing, not associated", WM_COMMAND, IDM_OPEN, false, false},
    };
    for (const Closing& closing : closings) {
        SCOPED_TRACE(closing.what);
        RegDeleteTreeA(HKEY_CLASSES_ROOT, ".pln");
        if (closing.associated) {
            RegSetValueA(HKEY_CLASSES_ROOT, ".pln", REG_SZ, "OrvTest.Plan", 0);
            RegSetValueA(HKEY_CLASSES_ROOT, "OrvTest.Plan\\shell\\open\\command", REG_SZ, "cmd.exe /c rem \"%1\"", 0);
        }
        ComPtr<ViewerSite> site = NewSite();
        ComPtr<IFileViewerA> viewer = Open(house, site.Get());
        FVSHOWINFO info = ShowInfo(0);
        bool stayed = false;
        Run(viewer.Get(), info,
            {[&](HWND frame) { PostMessageA(frame, closing.message, closing.command, 0); },
             [&](HWND frame) {
                 stayed = true;
                 PostMessageA(frame, WM_CLOSE, 0, 0);
             }});
        EXPECT_EQ(stayed, !closing.ends);
    }
}

TEST_F(Viewer, AboutBoxIsModalOverTheFrame)
{
    ComPtr<ViewerSite> site = NewSite();
    ComPtr<IFileViewerA> viewer = Open(house, site.Get());
    FVSHOWINFO info = ShowInfo(0);
    EXPECT_EQ(Run(viewer.Get(), info,
                  {[](HWND frame) { PostMessageA(frame, WM_COMMAND, IDM_ABOUT, 0); },
                   [](HWND frame) {
                       HWND about = FindWindowA(nullptr, "About Viewer");
                       ASSERT_NE(about, nullptr);
                       EXPECT_EQ(GetWindow(about, GW_OWNER), frame);
                       EXPECT_FALSE(IsWindowEnabled(frame));
                       EXPECT_EQ(host::WindowText(GetDlgItem(about, IDOK)), "OK");
                       PostMessageA(about, WM_COMMAND, IDOK, 0);
                   },
                   [](HWND frame) {
                       EXPECT_EQ(FindWindowA(nullptr, "About Viewer"), nullptr);
                       EXPECT_TRUE(IsWindowEnabled(frame));
                       PostMessageA(frame, WM_CLOSE, 0, 0);
                   }}),
              3u);
}

TEST_F(Viewer, ShowIsRefusedUntilTheBoundFileIsPrepared)
{
    struct Refusal {
        const char* what;
        bool readable;
        bool initialize;
        bool rebind;
        HRESULT initialized;
    };
    const Refusal refusals[] = {
        {"Show before ShowInitialize", true, false, false, S_OK},
        {"a plan that cannot be read", false, true, false, E_FAIL},
        {"bound anew after ShowInitialize", true, true, true, S_OK},
    };
    std::string broken = scratch.Write("Broken.pln", {'W', 'W', 0, 0});
    for (const Refusal& refusal : refusals) {
        SCOPED_TRACE(refusal.what);
        ComPtr<IPersistFile> persist = Create<IPersistFile>(IID_IPersistFile);
        ComPtr<IFileViewerA> viewer;
        ASSERT_EQ(persist.As(&viewer), S_OK);
        EXPECT_EQ(persist->Load(Wide(refusal.readable ? house : broken).c_str(), STGM_READ), S_OK);
        if (refusal.initialize) {
            EXPECT_EQ(viewer->ShowInitialize(nullptr), refusal.initialized);
        }
        if (refusal.rebind) {
            EXPECT_EQ(persist->Load(Wide(house).c_str(), STGM_READ), S_OK);
        }
        FVSHOWINFO info = ShowInfo(0);
        EXPECT_EQ(viewer->Show(&info), E_UNEXPECTED);
        HWND frame = host::ViewerFrame();
        EXPECT_TRUE(frame == nullptr || !IsWindowVisible(frame));
    }
}

TEST_F(Viewer, AClosedViewerOpensAgainOnTheSameObjectAndAfterTheLastOneWent)
{
    ComPtr<ViewerSite> site = NewSite();
    ComPtr<IFileViewerA> viewer = Open(house, site.Get());
    auto titleThenClose = [](HWND frame) {
        EXPECT_EQ(host::WindowText(frame), "Orvenstaal Viewer - House.pln");
        PostMessageA(frame, WM_CLOSE, 0, 0);
    };
    FVSHOWINFO info = ShowInfo(0);
    EXPECT_EQ(Run(viewer.Get(), info, {titleThenClose}), 1u);
    EXPECT_EQ(viewer->ShowInitialize(site.Get()), S_OK);
    EXPECT_EQ(Run(viewer.Get(), info, {titleThenClose}), 1u);
    viewer.Reset();
    EXPECT_FALSE(ClassRegistered(server.Module(), "OVVIEWER_FRAME"));
    viewer = Open(house, site.Get());
    EXPECT_EQ(Run(viewer.Get(), info, {titleThenClose}), 1u);
}

}  // namespace
}  // namespace orv::test
