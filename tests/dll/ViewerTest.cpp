#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "Image.h"
#include "PropertySheetHost.h"
#include "ServerFixture.h"
#include "ViewerDriver.h"
#include "ViewerSite.h"
#include "resources/resource.h"

namespace orv::test {
namespace {

using host::ViewerSite;
using Steps = std::vector<host::ViewerDriver::Step>;

constexpr int toolbarId = 1;
constexpr int statusBarId = 2;
constexpr int viewportId = 3;

FVSHOWINFO ShowInfo(DWORD flags, int show = SW_SHOWNORMAL, RECT rect = {})
{
    return {sizeof(FVSHOWINFO), nullptr, show, flags, rect, nullptr, {}};
}

bool MenuChecked(HWND frame, UINT item)
{
    return (GetMenuState(GetMenu(frame), item, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

void Close(HWND frame)
{
    PostMessageA(frame, WM_CLOSE, 0, 0);
}

// Quick View as the host runs it, with the window driven from inside its loop.
class Viewer : public ServerFixture {
protected:
    const std::string house = scratch.Write("House.pln", FullPlan());

    void TearDown() override
    {
        EXPECT_EQ(host::ViewerFrame(), nullptr) << "a viewer window outlived its object";
        ServerFixture::TearDown();
    }

    // A new object bound to the file, asked to view it with the site.
    ComPtr<IFileViewerA> Open(const std::string& path, IFileViewerSite* site)
    {
        ComPtr<IFileViewerA> viewer = Create<IFileViewerA>(IID_IFileViewerA);
        EXPECT_EQ(Bind(viewer.Get(), path, true), S_OK);
        EXPECT_EQ(viewer->ShowInitialize(site), S_OK);
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
        host::ViewerDriver driver(std::move(steps), 100);
        EXPECT_EQ(driver.Show(viewer, info), S_OK);
        return driver.StepsRun();
    }

    // The house in a new object with a site of its own, shown normally.
    size_t View(Steps steps)
    {
        FVSHOWINFO info = ShowInfo(0);
        return Run(Open(house, ViewerSite::Create().Get()).Get(), info, std::move(steps));
    }
};

constexpr char openText[] = "Opens the file  for editing with the associated application";
constexpr char replaceText[] = "Dispalys new files in current window";
constexpr char viewportText[] = "To edit, choose Open File for Editing";

// What the user points at, and the status text it shows (null: the text is not set
// again) with the tool tip it gives (null: none): one of each kind of item, as the
// texts of the others come from the same lookups.
const struct {
    UINT message;
    WPARAM wParam;
    const char* status;
    const char* tip;
} statusCases[] = {
    {WM_MENUSELECT, MAKEWPARAM(0, MF_POPUP), "Contains commands for opening the file and quitting Quick View.", nullptr},
    {WM_MENUSELECT, MAKEWPARAM(3, MF_POPUP), " ", nullptr},
    {WM_MENUSELECT, MAKEWPARAM(0, MF_POPUP | MF_SYSMENU), "Commands for manipulating this and other windows", nullptr},
    {WM_MENUSELECT, IDM_OPEN, openText, nullptr},
    {WM_MENUSELECT, IDM_OPEN, nullptr, nullptr},
    {WM_MENUSELECT, IDM_REPLACE, replaceText, nullptr},
    {WM_MENUSELECT, MAKEWPARAM(SC_CLOSE, MF_SYSMENU), "Close this window", nullptr},
    {WM_MENUSELECT, 555, " ", nullptr},
    {WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), "Ready", nullptr},
    {WM_MENUSELECT, 0, " ", nullptr},
    {WM_MOUSEMOVE, 0, viewportText, nullptr},
    {WM_MOUSEMOVE, 0, nullptr, nullptr},
    {WM_NOTIFY, IDM_OPEN, openText, "Open File for Editing"},
    {WM_NOTIFY, IDM_REPLACE, replaceText, "Replace Window"},
    {WM_NOTIFY, 555, " ", nullptr},
    {WM_MOUSEMOVE, 0, viewportText, nullptr},
};

TEST_F(Viewer, StatusBarSaysWhatTheMenuItemButtonOrViewportUnderTheUserDoes)
{
    HMODULE module = server.Module();
    EXPECT_EQ(View({[module](HWND frame) {
        HWND statusBar = GetDlgItem(frame, statusBarId);
        for (size_t row = 0; row < std::size(statusCases); ++row) {
            const auto& sample = statusCases[row];
            SCOPED_TRACE(row);
            // A text no case shows: it stays when the viewer sets none.
            SetWindowTextA(statusBar, "-");
            NMTTDISPINFOA tip = {};
            tip.hdr.idFrom = sample.wParam;
            tip.hdr.code = TTN_NEEDTEXTA;
            HWND target = sample.message == WM_MOUSEMOVE ? GetDlgItem(frame, viewportId) : frame;
            SendMessageA(target, sample.message, sample.wParam, reinterpret_cast<LPARAM>(&tip));
            EXPECT_EQ(host::WindowText(statusBar), sample.status ? sample.status : "-");
            char text[256] = {};
            LoadStringA(tip.hinst, LOWORD(reinterpret_cast<ULONG_PTR>(tip.lpszText)), text, sizeof text);
            EXPECT_STREQ(text, sample.tip ? sample.tip : "");
            EXPECT_EQ(tip.hinst, sample.tip ? module : nullptr);
        }
        Close(frame);
    }}), 1u);
}

TEST_F(Viewer, AHiddenBarGivesItsHeightToTheViewport)
{
    const struct {
        UINT command;
        bool toolbarOn;
        bool statusBarOn;
    } toggles[] = {{0, true, true},
                   {IDM_TOOLBAR, false, true},
                   {IDM_STATUS_BAR, false, false},
                   {IDM_TOOLBAR, true, false},
                   {IDM_STATUS_BAR, true, true}};
    EXPECT_EQ(View({[&toggles](HWND frame) {
        RECT client = {};
        GetClientRect(frame, &client);
        const int toolbarHeight = PlaceIn(GetDlgItem(frame, toolbarId), frame).bottom;
        const int statusTop = PlaceIn(GetDlgItem(frame, statusBarId), frame).top;
        ASSERT_GT(toolbarHeight, 0);
        ASSERT_LT(statusTop, client.bottom);
        for (const auto& toggle : toggles) {
            SCOPED_TRACE(toggle.command);
            SendMessageA(frame, WM_COMMAND, toggle.command, 0);
            EXPECT_EQ(MenuChecked(frame, IDM_TOOLBAR), toggle.toolbarOn);
            EXPECT_EQ(MenuChecked(frame, IDM_STATUS_BAR), toggle.statusBarOn);
            RECT expected = {0, toggle.toolbarOn ? toolbarHeight : 0, client.right,
                             toggle.statusBarOn ? statusTop : client.bottom};
            EXPECT_TRUE(SameRect(PlaceIn(GetDlgItem(frame, viewportId), frame), expected));
        }
        Close(frame);
    }}), 1u);
}

// Where and whether the frame shows, and which window the site keeps for the next
// file, after Show's flags and Replace Window commands.
TEST_F(Viewer, ShowFlagsAndReplaceWindowPlaceShowAndPinTheFrame)
{
    enum Pinned { None, This, Other, NoSite };
    const RECT rect = {40, 30, 440, 330};
    const struct {
        DWORD flags;
        int show;
        Pinned before;
        int commands;
        bool atRect;
        bool visible;
        Pinned after;
        bool menuChecked;
        bool buttonChecked;
        size_t pinnings;
    } cases[] = {
        {FVSIF_RECT, SW_SHOWNORMAL, None, 1, true, true, This, true, true, 1},
        {0, SW_SHOWNORMAL, None, 2, false, true, None, false, false, 2},
        {0, SW_SHOWNORMAL, Other, 1, false, true, Other, false, false, 0},
        {FVSIF_PINNED, SW_SHOWNORMAL, None, 1, false, true, None, false, false, 3},
        {FVSIF_PINNED, SW_SHOWNORMAL, NoSite, 1, false, true, None, false, false, 0},
        {FVSIF_RECT | FVSIF_PINNED, SW_HIDE, None, 0, true, false, This, true, false, 2},
        {FVSIF_RECT | FVSIF_PINNED | FVSIF_NEWFAILED, SW_SHOWNORMAL, None, 0, false, false, None, false, false, 0},
    };
    HWND other = CreateWindowExA(0, "STATIC", "other", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    for (size_t row = 0; row < std::size(cases); ++row) {
        const auto& sample = cases[row];
        SCOPED_TRACE(row);
        ComPtr<ViewerSite> site = ViewerSite::Create();
        site->pinned = sample.before == Other ? other : nullptr;
        FVSHOWINFO info = ShowInfo(sample.flags, sample.show, rect);
        HWND shown = nullptr;
        EXPECT_EQ(Run(Open(house, sample.before == NoSite ? nullptr : site.Get()).Get(), info, {[&](HWND frame) {
            shown = frame;
            for (int i = 0; i < sample.commands; ++i)
                SendMessageA(frame, WM_COMMAND, IDM_REPLACE, 0);
            EXPECT_EQ(SameRect(PlaceIn(frame), rect), sample.atRect);
            EXPECT_EQ(IsWindowVisible(frame) != FALSE, sample.visible);
            EXPECT_EQ(MenuChecked(frame, IDM_REPLACE), sample.menuChecked);
            EXPECT_EQ(SendMessageA(GetDlgItem(frame, toolbarId), TB_ISBUTTONCHECKED, IDM_REPLACE, 0) != 0,
                      sample.buttonChecked);
            Close(frame);
        }}), 1u);
        EXPECT_EQ(site->pinned, sample.after == This ? shown : sample.after == Other ? other : nullptr);
        EXPECT_EQ(site->pinnings.size(), sample.pinnings);
    }
    DestroyWindow(other);
}

TEST_F(Viewer, ADroppedFileIsHandedBackAndShownInANewViewerInTheFramesPlace)
{
    std::string second = scratch.Write("Garden.pln", FullPlan());
    std::string third = scratch.Write("Shed.pln", FullPlan());
    ComPtr<ViewerSite> site = ViewerSite::Create();
    ComPtr<IFileViewerA> viewer = Open(house, site.Get());
    ComPtr<IUnknown> object;
    ASSERT_EQ(viewer.As(&object), S_OK);
    const ULONG references = RefCount(object.Get());
    FVSHOWINFO info = ShowInfo(0);
    HWND dropped = nullptr;
    RECT place = {};
    EXPECT_EQ(Run(viewer.Get(), info, {[&](HWND frame) {
        dropped = frame;
        place = PlaceIn(frame);
        PostMessageA(frame, WM_DROPFILES, reinterpret_cast<WPARAM>(host::MakeDropList({second, third})), 0);
    }}), 1u);
    EXPECT_EQ(std::wstring(info.strNewFile), PathFromUtf8(second).wstring());
    EXPECT_EQ(info.dwFlags, FVSIF_NEWFILE | FVSIF_RECT);
    EXPECT_TRUE(SameRect(info.rect, place));
    EXPECT_EQ(info.punkRel, object.Get());
    EXPECT_EQ(RefCount(object.Get()), references + 1);
    EXPECT_TRUE(IsWindowVisible(dropped)) << "the frame stays until the host lets it go";

    // The host lets go of the object; punkRel alone keeps it until the next viewer shows.
    object.Reset();
    viewer.Reset();
    EXPECT_EQ(server.CanUnloadNow(), S_FALSE);
    // The flag the drop left in info must not end the next loop at its first message.
    EXPECT_EQ(Run(Open(second, site.Get()).Get(), info, {[&](HWND frame) {
        EXPECT_FALSE(IsWindow(dropped));
        Close(frame);
    }}), 1u);
    EXPECT_EQ(info.punkRel, nullptr);
}

// The About box is modal over the frame and leaves it open; opening the file for
// editing closes the frame only when the file has an association.
TEST_F(Viewer, ClosingCommandsEndTheLoopAndOpeningNeedsAnAssociation)
{
    const struct {
        WPARAM command;
        bool associated;
        size_t steps;
    } closings[] = {{IDM_EXIT, false, 1}, {IDM_OPEN, true, 1}, {IDM_OPEN, false, 2}, {IDM_ABOUT, false, 3}};
    for (const auto& closing : closings) {
        SCOPED_TRACE(testing::Message() << closing.command << closing.associated);
        RegDeleteTreeA(HKEY_CLASSES_ROOT, ".pln");
        if (closing.associated) {
            RegSetValueA(HKEY_CLASSES_ROOT, ".pln", REG_SZ, "OrvTest.Plan", 0);
            RegSetValueA(HKEY_CLASSES_ROOT, "OrvTest.Plan\\shell\\open\\command", REG_SZ, "cmd.exe /c rem \"%1\"", 0);
        }
        // Each later step runs only when the ones before left the frame open.
        Steps steps = {[&](HWND frame) { PostMessageA(frame, WM_COMMAND, closing.command, 0); }};
        if (closing.command == IDM_ABOUT) {
            steps.push_back([](HWND frame) {
                HWND about = FindWindowA(nullptr, "About Viewer");
                ASSERT_NE(about, nullptr);
                EXPECT_EQ(GetWindow(about, GW_OWNER), frame);
                EXPECT_FALSE(IsWindowEnabled(frame));
                EXPECT_EQ(host::WindowText(GetDlgItem(about, IDOK)), "OK");
                PostMessageA(about, WM_COMMAND, IDOK, 0);
            });
        }
        steps.push_back([](HWND frame) {
            EXPECT_EQ(FindWindowA(nullptr, "About Viewer"), nullptr);
            EXPECT_TRUE(IsWindowEnabled(frame));
            Close(frame);
        });
        EXPECT_EQ(View(steps), closing.steps);
    }
}

TEST_F(Viewer, ShowIsRefusedUntilTheBoundFileIsPrepared)
{
    std::string broken = scratch.Write("Broken.pln", {'W', 'W', 0, 0});
    ComPtr<IFileViewerA> viewer = Create<IFileViewerA>(IID_IFileViewerA);
    FVSHOWINFO info = ShowInfo(0);
    // Unreadable; then a new binding not yet prepared; then prepared but bound anew.
    EXPECT_EQ(Bind(viewer.Get(), broken, true), S_OK);
    EXPECT_EQ(viewer->ShowInitialize(nullptr), E_FAIL);
    EXPECT_EQ(viewer->Show(&info), E_UNEXPECTED);
    EXPECT_EQ(Bind(viewer.Get(), house, true), S_OK);
    EXPECT_EQ(viewer->Show(&info), E_UNEXPECTED);
    EXPECT_EQ(viewer->ShowInitialize(nullptr), S_OK);
    EXPECT_EQ(Bind(viewer.Get(), house, true), S_OK);
    EXPECT_EQ(viewer->Show(&info), E_UNEXPECTED);
    EXPECT_EQ(host::ViewerFrame(), nullptr);
}

// Also when the object shows again after the user closed its frame.
TEST_F(Viewer, ShowsThePreviewInTheViewportEachTimeItOpens)
{
    auto lookThenClose = [](HWND frame) {
        host::Image shot = host::CaptureWindow(GetDlgItem(frame, viewportId));
        ASSERT_GT(shot.width, 0);
        EXPECT_EQ(shot.At(shot.width / 2, shot.height / 2), 0xFFFF0000u);
        Close(frame);
    };
    ComPtr<ViewerSite> site = ViewerSite::Create();
    ComPtr<IFileViewerA> viewer = Open(house, site.Get());
    FVSHOWINFO info = ShowInfo(0);
    EXPECT_EQ(Run(viewer.Get(), info, {lookThenClose}), 1u);
    EXPECT_EQ(viewer->ShowInitialize(site.Get()), S_OK);
    EXPECT_EQ(Run(viewer.Get(), info, {lookThenClose}), 1u);
}

}  // namespace
}  // namespace orv::test
