#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "util/win32/UniqueHandle.h"

// The ids below are the numbers the shell and the viewer ask for, written out, so that
// a wrong value in resource.h shows up here.
namespace orv {
namespace {

using unique_hwnd = unique_handle<NullInvalid<HWND, DestroyWindow>>;
using unique_hmenu = unique_handle<NullInvalid<HMENU, DestroyMenu>>;
using unique_hmodule = unique_handle<NullInvalid<HMODULE, FreeLibrary>>;

HINSTANCE Module()
{
    return GetModuleHandleA(nullptr);
}

INT_PTR CALLBACK IgnoreMessages(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

std::string WindowText(HWND window)
{
    char text[512] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string ClassOf(HWND window)
{
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

// Bytes of a resource of this module; empty when there is none.
std::vector<unsigned char> ResourceBytes(LPCSTR name, LPCSTR type)
{
    HRSRC found = FindResourceA(Module(), name, type);
    if (!found)
        return {};
    auto* data = static_cast<const unsigned char*>(LockResource(LoadResource(Module(), found)));
    return {data, data + SizeofResource(Module(), found)};
}

unique_hwnd HiddenParent()
{
    return unique_hwnd(CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 800, 600, nullptr,
                                       nullptr, nullptr, nullptr));
}

//
// Strings
//

struct StringRow {
    UINT id;
    const char* text;
};

constexpr StringRow strings[] = {
    {1001, "Windows"},
    {1002, "Macintosh"},
    {1003, "Unix"},
    {1004, "Unknown"},
    {1005, "Macintosh vector fonts:"},
    {1006, "Windows vector fonts:"},
    {1013, "Bauvelle"},
    {1014, "Sheetfold"},
    {1015, "Project Notes"},
    {1016, "1D Script"},
    {1017, "2D Script"},
    {1018, "3D Script"},
    {1019, "Properties Script"},
    {1020, "Value List Script"},
    {1021, "UID Script"},
    {1022, "Comment"},
    {1023, "Orvenstaal Viewer"},
    {2001, " "},
    {2002, "Ready"},
    {2003, "Commands for manipulating this and other windows"},
    {2004, "Restores this window to normal size"},
    {2005, "Move this window to another screen location"},
    {2006, "Resize this window"},
    {2007, "Collapse this window to an icon"},
    {2008, "Expand this window to full screen size"},
    {2009, "Close this window"},
    {2010, "Contains commands for opening the file and quitting Quick View."},
    {2011, "Opens the file  for editing with the associated application"},
    {2012, "Quits Quick View"},
    {2013, "Contains commands for customizing this window."},
    {2014, "Shows or hides the Toolbar"},
    {2015, "Shows or hides the Status bar"},
    {2016, "Dispalys new files in current window"},
    {2017, "Contains commands for displaying Help and information about Quick View."},
    {2018, "Displays File Viewer information"},
    {2019, "To edit, choose Open File for Editing"},
    {3000, "Open File for Editing"},
    {3001, "Replace Window"},
};

TEST(StringTable, HoldsEveryTextUnderItsId)
{
    for (const StringRow& row : strings) {
        char text[512] = "";
        int length = LoadStringA(Module(), row.id, text, sizeof text);
        EXPECT_STREQ(text, row.text) << "string " << row.id;
        EXPECT_EQ(length, static_cast<int>(strlen(row.text))) << "string " << row.id;
    }
}

TEST(StringTable, PageTitlesFitTheirThirtyTwoByteBuffer)
{
    // The pages load their titles with a limit of 32 bytes.
    for (UINT id = 1015; id <= 1022; ++id) {
        char title[32] = "";
        char whole[512] = "";
        LoadStringA(Module(), id, title, sizeof title);
        LoadStringA(Module(), id, whole, sizeof whole);
        EXPECT_STREQ(title, whole) << "string " << id;
    }
}

//
// Dialogs
//

constexpr DWORD Label = SS_LEFT;
constexpr DWORD Line = WS_TABSTOP | ES_AUTOHSCROLL;
constexpr DWORD ReadOnlyLine = Line | ES_READONLY;
constexpr DWORD TextPane = WS_TABSTOP | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL |
                           ES_AUTOHSCROLL | WS_VSCROLL | WS_HSCROLL;
constexpr DWORD Page = WS_CHILD | WS_CAPTION | DS_3DLOOK;

struct Control {
    int id;
    const char* className;
    const char* text;
    int x, y, cx, cy;  // dialog units
    DWORD style;       // the bits that StyleMask keeps for the class
};

struct DialogCase {
    const char* label;
    LPCSTR name;
    const char* caption;
    int x, y, cx, cy;
    DWORD style;
    std::vector<Control> controls;  // in template order
};

void PrintTo(const DialogCase& dialog, std::ostream* out)
{
    *out << dialog.label;
}

DWORD StyleMask(const std::string& className)
{
    if (lstrcmpiA(className.c_str(), "Edit") == 0)
        return WS_TABSTOP | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL |
               ES_WANTRETURN | WS_VSCROLL | WS_HSCROLL;
    if (lstrcmpiA(className.c_str(), "Button") == 0)
        return WS_TABSTOP | BS_TYPEMASK;
    return WS_TABSTOP | SS_TYPEMASK;
}

bool Bordered(HWND window)
{
    return (GetWindowLongA(window, GWL_STYLE) & WS_BORDER) ||
           (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
}

// Origin and size are converted one by one, as the dialog manager does.
RECT InDialogUnits(HWND dialog, int x, int y, int cx, int cy)
{
    RECT rect{x, y, cx, cy};
    MapDialogRect(dialog, &rect);
    return {rect.left, rect.top, rect.left + rect.right, rect.top + rect.bottom};
}

RECT InParent(HWND window)
{
    RECT rect;
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void ExpectRect(const RECT& actual, const RECT& expected, const std::string& what)
{
    EXPECT_EQ(actual.left, expected.left) << what;
    EXPECT_EQ(actual.top, expected.top) << what;
    EXPECT_EQ(actual.right, expected.right) << what;
    EXPECT_EQ(actual.bottom, expected.bottom) << what;
}

const DialogCase dialogs[] = {
    {"PlanProperties", "PlanProperties", "Info && Preview", 0, 0, 226, 200, Page,
     {
         {1001, "Static", "Version:", 12, 10, 32, 12, Label},
         {1003, "Static", "Release:", 88, 10, 32, 12, Label},
         {1007, "Static", "Platform:", 12, 22, 32, 12, Label},
         {1009, "Static", "Document Name:", 12, 46, 64, 12, Label},
         {1011, "Static", "Sign In/Changes:", 12, 64, 64, 12, Label},
         {1013, "Static", "Project Path:", 12, 82, 64, 12, Label},
         {1002, "Static", "", 44, 10, 32, 12, Label},
         {1004, "Static", "", 132, 10, 32, 12, Label},
         {1008, "Static", "", 44, 22, 172, 15, Label},
         {1010, "Edit", "", 76, 45, 140, 11, Line},
         {1012, "Static", "", 76, 64, 140, 12, Label},
         {1014, "Edit", "", 76, 81, 140, 11, ReadOnlyLine},
         {1015, "Static", "", 12, 100, 204, 94, Label},
     }},
    {"LibPartProperties", "LibPartProperties", "Info && Preview", 12, 33, 227, 200, Page,
     {
         {1001, "Static", "Version:", 12, 18, 32, 12, Label},
         {1009, "Static", "Document Name:", 12, 36, 64, 12, Label},
         {1002, "Static", "", 44, 18, 100, 12, Label},
         {1010, "Edit", "", 80, 35, 136, 11, Line},
         {1015, "Static", "", 12, 60, 202, 130, Label},
     }},
    {"LibPartScript", "LibPartScript", "", 12, 33, 227, 200, WS_CHILD | DS_3DLOOK,
     {
         {1015, "Edit", "", 3, 3, 220, 194, TextPane},
     }},
    {"QDLProperties", "QDLProperties", "Script", 12, 33, 227, 200, Page,
     {
         {1009, "Static", "Document Name:", 12, 16, 64, 12, Label},
         {1010, "Edit", "", 80, 15, 136, 11, Line},
         {1015, "Edit", "", 3, 30, 220, 167, TextPane},
     }},
    {"ModulProperties", "ModulProperties", "Info && Preview", 12, 33, 227, 200, Page,
     {
         {1015, "Static", "", 3, 32, 220, 165, Label},
         {1001, "Static", "Version:", 12, 10, 32, 12, Label},
         {1003, "Static", "Release:", 88, 10, 32, 12, Label},
         {1002, "Static", "", 44, 10, 32, 12, Label},
         {1004, "Static", "", 132, 10, 32, 12, Label},
     }},
    {"SfoldProperties", "SfoldProperties", "Info", 0, 0, 226, 200, Page,
     {
         {1001, "Static", "Version:", 12, 10, 32, 12, Label},
         {1005, "Static", "Written by", 12, 22, 32, 12, Label},
         {1009, "Static", "Document Name:", 12, 46, 64, 12, Label},
         {1002, "Static", "", 44, 10, 173, 12, Label},
         {1006, "Static", "", 51, 22, 165, 15, Label},
         {1010, "Edit", "", 76, 45, 140, 12, Line},
         {1012, "Static", "", 76, 64, 140, 12, Label},
         {1015, "Static", "", 12, 100, 204, 94, Label},
     }},
    {"ProjectData", "ProjectData", "Project Info", 0, 0, 226, 201, Page,
     {
         {-1, "Static", "Project:", 9, 10, 70, 8, Label},
         {1003, "Edit", "", 83, 8, 135, 12, ReadOnlyLine},
         {1006, "Static", "Author:", 9, 27, 70, 8, Label},
         {1004, "Edit", "", 83, 24, 135, 12, ReadOnlyLine},
         {1010, "Static", "Revision:", 9, 42, 70, 8, Label},
         {1005, "Edit", "", 83, 40, 135, 12, ReadOnlyLine},
         {1011, "Static", "Drawing No. Prefix:", 9, 58, 70, 8, Label},
         {1007, "Edit", "", 83, 56, 135, 12, ReadOnlyLine},
         {1012, "Static", "Keywords:", 9, 74, 70, 8, Label},
         {1008, "Edit", "", 83, 72, 135, 12, Line},
         {1013, "Static", "Comments:", 9, 91, 70, 8, Label},
         {1009, "Edit", "", 83, 91, 135, 106,
          WS_TABSTOP | ES_MULTILINE | ES_WANTRETURN | WS_VSCROLL},
     }},
    {"Info", "Info", "Info", 12, 33, 227, 200, Page,
     {
         {1015, "Edit", "", 3, 3, 220, 194, TextPane},
     }},
    {"InfoScript", "InfoScript", "Info", 12, 33, 227, 200, Page,
     {
         {1015, "Edit", "", 3, 3, 220, 194, TextPane},
     }},
    {"About", MAKEINTRESOURCEA(1), "About Viewer", 0, 0, 256, 92,
     WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
     {
         {-1, "Static", nullptr, 9, 15, 21, 20, SS_ICON},
         {-1, "Static", "Orvenstaal File Viewer", 47, 20, 164, 11, SS_CENTER},
         {-1, "Static", "Preview pictures of Orvenstaal documents", 42, 49, 177, 12, SS_CENTER},
         {1, "Button", "OK", 192, 67, 42, 15, WS_TABSTOP | BS_DEFPUSHBUTTON},
     }},
};

class Dialog : public testing::TestWithParam<DialogCase> {};

TEST_P(Dialog, IsCreatedWithItsFrameFontAndControls)
{
    const DialogCase& expected = GetParam();
    unique_hwnd parent = HiddenParent();
    unique_hwnd dialog(CreateDialogParamA(Module(), expected.name, parent.get(), IgnoreMessages, 0));
    ASSERT_TRUE(dialog);

    // The template itself, for what the dialog manager adjusts: it adds the 3-D look
    // to every dialog and takes x, y as the place of the client area.
    std::vector<unsigned char> bytes = ResourceBytes(expected.name, RT_DIALOG);
    ASSERT_GE(bytes.size(), 26u);
    auto word = [&](size_t offset) { return static_cast<WORD>(bytes[offset] | bytes[offset + 1] << 8); };
    auto number = [&](size_t offset) { return static_cast<short>(word(offset)); };
    EXPECT_EQ(word(2), 0xFFFF) << "an extended template";
    EXPECT_EQ(word(12) | static_cast<DWORD>(word(14)) << 16, expected.style | DS_SETFONT);
    EXPECT_EQ(word(16), expected.controls.size());
    EXPECT_EQ(number(18), expected.x);
    EXPECT_EQ(number(20), expected.y);
    EXPECT_EQ(number(22), expected.cx);
    EXPECT_EQ(number(24), expected.cy);

    EXPECT_EQ(WindowText(dialog.get()), expected.caption);
    RECT client;
    GetClientRect(dialog.get(), &client);
    ExpectRect(client, InDialogUnits(dialog.get(), 0, 0, expected.cx, expected.cy), "client area");

    LOGFONTA font{};
    auto handle = reinterpret_cast<HFONT>(SendMessageA(dialog.get(), WM_GETFONT, 0, 0));
    ASSERT_NE(handle, nullptr);
    GetObjectA(handle, sizeof font, &font);
    EXPECT_STREQ(font.lfFaceName, "MS Sans Serif");
    unique_hdc screen(CreateCompatibleDC(nullptr));
    EXPECT_EQ(font.lfHeight, -MulDiv(8, GetDeviceCaps(screen.get(), LOGPIXELSY), 72));

    size_t index = 0;
    for (HWND control = GetWindow(dialog.get(), GW_CHILD); control;
         control = GetWindow(control, GW_HWNDNEXT), ++index) {
        ASSERT_LT(index, expected.controls.size()) << "more controls than expected";
        const Control& want = expected.controls[index];
        std::string what = "control " + std::to_string(index) + " (" + std::to_string(want.id) + ")";
        std::string className = ClassOf(control);
        EXPECT_EQ(GetDlgCtrlID(control), want.id) << what;
        EXPECT_EQ(lstrcmpiA(className.c_str(), want.className), 0) << what << ": " << className;
        EXPECT_EQ(GetWindowLongA(control, GWL_STYLE) & StyleMask(className), want.style) << what;
        EXPECT_TRUE(GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE) << what;
        EXPECT_EQ(Bordered(control), lstrcmpiA(want.className, "Edit") == 0) << what;
        if (want.style == SS_ICON) {
            // An icon control takes the size of its icon.
            EXPECT_NE(SendMessageA(control, STM_GETICON, 0, 0), 0) << what;
            RECT place = InDialogUnits(dialog.get(), want.x, want.y, 0, 0);
            RECT actual = InParent(control);
            EXPECT_EQ(actual.left, place.left) << what;
            EXPECT_EQ(actual.top, place.top) << what;
        } else {
            EXPECT_EQ(WindowText(control), want.text) << what;
            ExpectRect(InParent(control), InDialogUnits(dialog.get(), want.x, want.y, want.cx, want.cy),
                       what);
        }
    }
    EXPECT_EQ(index, expected.controls.size());
}

INSTANTIATE_TEST_SUITE_P(Resources, Dialog, testing::ValuesIn(dialogs),
                         [](const testing::TestParamInfo<DialogCase>& info) {
                             return std::string(info.param.label);
                         });

//
// Property sheets
//

struct SheetFunctions {
    decltype(&CreatePropertySheetPageA) createPage = CreatePropertySheetPageA;
    decltype(&PropertySheetA) propertySheet = PropertySheetA;
};

// The two pages in a modeless sheet, created as the shell creates them.
unique_hwnd InfoSheet(HWND parent, const SheetFunctions& functions = {})
{
    HPROPSHEETPAGE pages[2] = {};
    const char* templates[2] = {"PlanProperties", "LibPartProperties"};
    for (int i = 0; i < 2; ++i) {
        PROPSHEETPAGEA page{};
        page.dwSize = PROPSHEETPAGEA_V1_SIZE;
        page.dwFlags = PSP_DEFAULT;
        page.hInstance = Module();
        page.pszTemplate = templates[i];
        page.pfnDlgProc = IgnoreMessages;
        pages[i] = functions.createPage(&page);
        if (!pages[i])
            return {};
    }
    PROPSHEETHEADERA header{};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_MODELESS;
    header.hwndParent = parent;
    header.hInstance = Module();
    header.pszCaption = "Properties";
    header.nPages = 2;
    header.phpage = pages;
    return unique_hwnd(reinterpret_cast<HWND>(functions.propertySheet(&header)));
}

std::string TabText(HWND sheet, int index)
{
    char text[64] = "";
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(PropSheet_GetTabControl(sheet), TCM_GETITEMA, index, reinterpret_cast<LPARAM>(&item));
    return text;
}

// Common controls 6 bring their own versions of the system's control classes.
bool ThemedControl(HWND control)
{
    auto owner = reinterpret_cast<HMODULE>(GetClassLongPtrA(control, GCLP_HMODULE));
    return owner != GetModuleHandleA("user32.dll");
}

void ExpectInfoSheet(HWND sheet, bool themed)
{
    HWND tabs = PropSheet_GetTabControl(sheet);
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(TabCtrl_GetItemCount(tabs), 2);
    for (int index = 0; index < 2; ++index) {
        // Windows shows the caption's "&&" as one ampersand; Wine keeps both.
        std::string title = TabText(sheet, index);
        EXPECT_TRUE(title == "Info & Preview" || title == "Info && Preview") << title;
        PropSheet_SetCurSel(sheet, nullptr, index);
        HWND page = PropSheet_GetCurrentPageHwnd(sheet);
        ASSERT_NE(page, nullptr);
        HWND name = GetDlgItem(page, 1010);
        ASSERT_NE(name, nullptr);
        EXPECT_EQ(lstrcmpiA(ClassOf(name).c_str(), "Edit"), 0);
        EXPECT_EQ(WindowText(GetDlgItem(page, 1009)), "Document Name:");
        EXPECT_EQ(ThemedControl(name), themed);
    }
}

TEST(InfoSheet, ShowsTheInfoPagesModeless)
{
    unique_hwnd parent = HiddenParent();
    unique_hwnd sheet = InfoSheet(parent.get());
    ASSERT_TRUE(sheet);
    ExpectInfoSheet(sheet.get(), false);
}

// The program's own manifest resource, active while this lives.
class ActiveManifest {
public:
    ActiveManifest()
    {
        char path[MAX_PATH];
        GetModuleFileNameA(Module(), path, sizeof path);
        ACTCTXA description{};
        description.cbSize = sizeof description;
        description.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
        description.lpSource = path;
        description.hModule = Module();
        description.lpResourceName = MAKEINTRESOURCEA(2);
        context = CreateActCtxA(&description);
        if (context != INVALID_HANDLE_VALUE && !ActivateActCtx(context, &cookie)) {
            ReleaseActCtx(context);
            context = INVALID_HANDLE_VALUE;
        }
    }
    ~ActiveManifest()
    {
        if (context != INVALID_HANDLE_VALUE) {
            DeactivateActCtx(0, cookie);
            ReleaseActCtx(context);
        }
    }
    ActiveManifest(const ActiveManifest&) = delete;
    ActiveManifest& operator=(const ActiveManifest&) = delete;
    bool Active() const { return context != INVALID_HANDLE_VALUE; }

private:
    HANDLE context = INVALID_HANDLE_VALUE;
    ULONG_PTR cookie = 0;
};

TEST(InfoSheet, ShowsTheInfoPagesWithTheThemedCommonControls)
{
    std::vector<unsigned char> bytes = ResourceBytes(MAKEINTRESOURCEA(2), RT_MANIFEST);
    std::string manifest(bytes.begin(), bytes.end());
    EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
              std::string::npos);

    ActiveManifest active;
    ASSERT_TRUE(active.Active());
    unique_hmodule commonControls(LoadLibraryA("comctl32.dll"));
    ASSERT_TRUE(commonControls);

    SheetFunctions functions;
    functions.createPage = reinterpret_cast<decltype(functions.createPage)>(
        reinterpret_cast<void*>(GetProcAddress(commonControls.get(), "CreatePropertySheetPageA")));
    functions.propertySheet = reinterpret_cast<decltype(functions.propertySheet)>(
        reinterpret_cast<void*>(GetProcAddress(commonControls.get(), "PropertySheetA")));
    ASSERT_NE(functions.createPage, nullptr);
    ASSERT_NE(functions.propertySheet, nullptr);
    unique_hwnd parent = HiddenParent();
    unique_hwnd sheet = InfoSheet(parent.get(), functions);
    ASSERT_TRUE(sheet);
    ExpectInfoSheet(sheet.get(), true);
}

//
// Icons
//

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width;
    BYTE height;
    BYTE colourCount;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytesInResource;
    WORD id;
};
#pragma pack(pop)

struct IconImage {
    int width;
    int height;
    int bitCount;
};

std::vector<IconImage> GroupImages(const std::vector<unsigned char>& group)
{
    std::vector<IconImage> images;
    if (group.size() < 6)
        return images;
    WORD count;
    memcpy(&count, group.data() + 4, sizeof count);
    for (WORD i = 0; i < count && 6 + (i + 1) * sizeof(GroupIconEntry) <= group.size(); ++i) {
        GroupIconEntry entry;
        memcpy(&entry, group.data() + 6 + i * sizeof entry, sizeof entry);
        images.push_back({entry.width, entry.height, entry.bitCount});
    }
    return images;
}

std::vector<UINT> IconGroupIds()
{
    std::vector<UINT> ids;
    for (UINT id = 150; id <= 179; ++id)
        if (id != 157 && id != 176)
            ids.push_back(id);
    return ids;
}

// The raw image of an icon group that best fits the size.
std::vector<unsigned char> IconImageBytes(UINT group, int size)
{
    std::vector<unsigned char> directory = ResourceBytes(MAKEINTRESOURCEA(group), RT_GROUP_ICON);
    if (directory.empty())
        return {};
    int id = LookupIconIdFromDirectoryEx(directory.data(), TRUE, size, size, LR_DEFAULTCOLOR);
    return ResourceBytes(MAKEINTRESOURCEA(id), RT_ICON);
}

TEST(Icons, EveryGroupLoadsWithOne32By32SixteenColourImage)
{
    for (UINT id : IconGroupIds()) {
        EXPECT_NE(LoadIconA(Module(), MAKEINTRESOURCEA(id)), nullptr) << "icon " << id;
        if (id == 177)
            continue;
        std::vector<IconImage> images =
            GroupImages(ResourceBytes(MAKEINTRESOURCEA(id), RT_GROUP_ICON));
        ASSERT_EQ(images.size(), 1u) << "icon " << id;
        EXPECT_EQ(images[0].width, 32) << "icon " << id;
        EXPECT_EQ(images[0].height, 32) << "icon " << id;
        EXPECT_EQ(images[0].bitCount, 4) << "icon " << id;
    }
}

TEST(Icons, EveryDocumentTypeHasItsOwnPicture)
{
    std::set<std::vector<unsigned char>> pictures;
    for (UINT id : IconGroupIds()) {
        std::vector<unsigned char> picture = IconImageBytes(id, 32);
        ASSERT_FALSE(picture.empty()) << "icon " << id;
        EXPECT_TRUE(pictures.insert(picture).second) << "icon " << id << " repeats another";
    }
}

TEST(Icons, TheViewerIconAlsoHasASmallAndAMonochromeImage)
{
    std::vector<IconImage> images = GroupImages(ResourceBytes(MAKEINTRESOURCEA(177), RT_GROUP_ICON));
    ASSERT_EQ(images.size(), 3u);
    EXPECT_EQ(images[0].width, 32);
    EXPECT_EQ(images[0].bitCount, 4);
    EXPECT_EQ(images[1].width, 16);
    EXPECT_EQ(images[1].height, 16);
    EXPECT_EQ(images[1].bitCount, 4);
    EXPECT_EQ(images[2].width, 32);
    EXPECT_EQ(images[2].bitCount, 1);

    std::vector<unsigned char> small = IconImageBytes(177, 16);
    ASSERT_FALSE(small.empty());
    unique_hicon icon(CreateIconFromResourceEx(small.data(), static_cast<DWORD>(small.size()), TRUE,
                                               0x00030000, 0, 0, LR_DEFAULTCOLOR));
    ASSERT_TRUE(icon);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon.get(), &info));
    unique_hbitmap colour(info.hbmColor);
    unique_hbitmap mask(info.hbmMask);
    BITMAP bitmap{};
    GetObjectA(colour.get(), sizeof bitmap, &bitmap);
    EXPECT_EQ(bitmap.bmWidth, 16);
    EXPECT_EQ(bitmap.bmHeight, 16);
}

//
// Viewer menu and toolbar
//

struct MenuRow {
    UINT id;  // 0: separator
    const char* text;
    bool checked;
};

struct PopupRow {
    const char* text;
    std::vector<MenuRow> items;
};

TEST(ViewerMenu, HasTheFileViewAndHelpCommands)
{
    const PopupRow expected[] = {
        {"&File", {{100, "&Open File for Editing", false}, {0, "", false}, {120, "E&xit", false}}},
        {"&View",
         {{200, "&Toolbar", true}, {201, "&Status Bar", true}, {223, "&Replace Window", false}}},
        {"&Help", {{300, "&About Orvenstaal Viewer...", false}}},
    };
    unique_hmenu menu(LoadMenuA(Module(), MAKEINTRESOURCEA(1)));
    ASSERT_TRUE(menu);
    ASSERT_EQ(GetMenuItemCount(menu.get()), 3);
    for (int p = 0; p < 3; ++p) {
        char text[128] = "";
        GetMenuStringA(menu.get(), p, text, sizeof text, MF_BYPOSITION);
        EXPECT_STREQ(text, expected[p].text);
        HMENU popup = GetSubMenu(menu.get(), p);
        ASSERT_NE(popup, nullptr) << expected[p].text;
        ASSERT_EQ(GetMenuItemCount(popup), static_cast<int>(expected[p].items.size()));
        for (size_t i = 0; i < expected[p].items.size(); ++i) {
            const MenuRow& want = expected[p].items[i];
            char itemText[128] = "";
            MENUITEMINFOA item{};
            item.cbSize = sizeof item;
            item.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING;
            item.dwTypeData = itemText;
            item.cch = sizeof itemText;
            ASSERT_TRUE(GetMenuItemInfoA(popup, static_cast<UINT>(i), TRUE, &item));
            EXPECT_EQ((item.fType & MFT_SEPARATOR) != 0, want.id == 0) << want.text;
            EXPECT_EQ(item.wID, want.id) << want.text;
            EXPECT_STREQ(itemText, want.text);
            EXPECT_EQ((item.fState & MFS_CHECKED) != 0, want.checked) << want.text;
        }
    }
}

TEST(ViewerToolbar, IsAStripOfFiveSixteenColourImages)
{
    unique_hbitmap strip(LoadBitmapA(Module(), MAKEINTRESOURCEA(1)));
    ASSERT_TRUE(strip);
    BITMAP bitmap{};
    GetObjectA(strip.get(), sizeof bitmap, &bitmap);
    EXPECT_EQ(bitmap.bmWidth, 80);
    EXPECT_EQ(bitmap.bmHeight, 16);

    std::vector<unsigned char> bytes = ResourceBytes(MAKEINTRESOURCEA(1), RT_BITMAP);
    ASSERT_GE(bytes.size(), sizeof(BITMAPINFOHEADER));
    BITMAPINFOHEADER header;
    memcpy(&header, bytes.data(), sizeof header);
    ASSERT_EQ(header.biBitCount, 4);
    ASSERT_EQ(header.biCompression, static_cast<DWORD>(BI_RGB));
    ASSERT_EQ(header.biHeight, 16);
    const size_t rowBytes = 40;
    const size_t pixels = header.biSize + 16 * sizeof(RGBQUAD);
    ASSERT_EQ(bytes.size(), pixels + 16 * rowBytes);

    // Every image draws something on the button face colour (palette index 7), which
    // the toolbar maps to the system's.
    for (int image = 0; image < 5; ++image) {
        int drawn = 0;
        for (size_t row = 0; row < 16; ++row)
            for (int x = image * 16; x < image * 16 + 16; ++x) {
                unsigned char pair = bytes[pixels + row * rowBytes + x / 2];
                int index = (x % 2) ? (pair & 0x0F) : (pair >> 4);
                drawn += index != 7;
            }
        EXPECT_GT(drawn, 8) << "image " << image;
    }
}

//
// Version
//

TEST(VersionResource, NamesUsEnglishAndTheWesternCodePage)
{
    char path[MAX_PATH];
    ASSERT_NE(GetModuleFileNameA(Module(), path, sizeof path), 0u);
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, block.data()));

    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &value, &length));
    ASSERT_EQ(length, 4u);
    WORD translation[2];
    memcpy(translation, value, sizeof translation);
    EXPECT_EQ(translation[0], 0x0409);
    EXPECT_EQ(translation[1], 1252);

    ASSERT_TRUE(VerQueryValueA(block.data(), "\\StringFileInfo\\040904E4\\OriginalFilename", &value,
                               &length));
    EXPECT_STREQ(static_cast<const char*>(value), "orvshell.dll");
}

}  // namespace
}  // namespace orv
