#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "util/win32/UniqueHandle.h"

// The ids below are the numbers the shell and the viewer ask for, written out, so that
// a wrong value in resource.h shows up here.
namespace orv {
namespace {

using unique_hwnd = unique_handle<NullInvalid<HWND, DestroyWindow>>;
using unique_hmodule = unique_handle<NullInvalid<HMODULE, FreeLibrary>>;

HINSTANCE Module()
{
    return GetModuleHandleA(nullptr);
}

INT_PTR CALLBACK IgnoreMessages(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
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

TEST(Dialogs, AreCreatedWithTheirCaptionAndEveryControlTheCodeUses)
{
    // Text panes and the project path are shown, not edited; the comments run over
    // several lines.
    constexpr DWORD TextPane = ES_MULTILINE | ES_READONLY;
    const struct {
        LPCSTR name;
        const char* caption;
        std::vector<int> controls;
        std::vector<std::pair<int, DWORD>> edits;  // id, style bits the page relies on
    } dialogs[] = {
        {"PlanProperties", "Info && Preview",
         {1001, 1002, 1003, 1004, 1007, 1008, 1009, 1010, 1011, 1012, 1013, 1014, 1015},
         {{1014, ES_READONLY}}},
        {"LibPartProperties", "Info && Preview", {1001, 1002, 1009, 1010, 1015}, {}},
        {"LibPartScript", "", {1015}, {{1015, TextPane}}},
        {"QDLProperties", "Script", {1009, 1010, 1015}, {}},
        {"ModulProperties", "Info && Preview", {1001, 1002, 1003, 1004, 1015}, {}},
        {"SfoldProperties", "Info", {1001, 1002, 1005, 1006, 1009, 1010, 1012, 1015}, {}},
        {"ProjectData", "Project Info",
         {1003, 1004, 1005, 1006, 1007, 1008, 1009, 1010, 1011, 1012, 1013},
         {{1009, ES_MULTILINE}}},
        {"Info", "Info", {1015}, {{1015, TextPane}}},
        {"InfoScript", "Info", {1015}, {{1015, TextPane}}},
        {MAKEINTRESOURCEA(1), "About Viewer", {IDOK}, {}},
    };
    unique_hwnd parent(CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 800, 600, nullptr,
                                       nullptr, nullptr, nullptr));
    for (const auto& expected : dialogs) {
        std::string label = IS_INTRESOURCE(expected.name) ? "About" : expected.name;
        unique_hwnd dialog(CreateDialogParamA(Module(), expected.name, parent.get(), IgnoreMessages, 0));
        ASSERT_TRUE(dialog) << label;
        char caption[64] = "";
        GetWindowTextA(dialog.get(), caption, sizeof caption);
        EXPECT_STREQ(caption, expected.caption) << label;
        for (int id : expected.controls)
            EXPECT_NE(GetDlgItem(dialog.get(), id), nullptr) << label << " control " << id;
        for (auto [id, style] : expected.edits) {
            HWND edit = GetDlgItem(dialog.get(), id);
            char className[16] = "";
            GetClassNameA(edit, className, sizeof className);
            EXPECT_EQ(lstrcmpiA(className, "Edit"), 0) << label << " control " << id;
            EXPECT_EQ(GetWindowLongA(edit, GWL_STYLE) & style, style) << label << " control " << id;
        }
    }
}

struct ActivationContextTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { ReleaseActCtx(h); }
};

// The program's own manifest resource, active while this lives.
struct ActiveManifest {
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
        context.reset(CreateActCtxA(&description));
        active = context && ActivateActCtx(context.get(), &cookie);
    }
    ~ActiveManifest()
    {
        if (active)
            DeactivateActCtx(0, cookie);
    }
    unique_handle<ActivationContextTraits> context;
    ULONG_PTR cookie = 0;
    bool active = false;
};

TEST(InfoSheet, ShowsItsPageWithTheThemedCommonControlsUnderTheManifest)
{
    ActiveManifest active;
    ASSERT_TRUE(active.active);
    unique_hmodule commonControls(LoadLibraryA("comctl32.dll"));
    ASSERT_TRUE(commonControls);
    auto createPage = reinterpret_cast<decltype(&CreatePropertySheetPageA)>(
        reinterpret_cast<void*>(GetProcAddress(commonControls.get(), "CreatePropertySheetPageA")));
    auto propertySheet = reinterpret_cast<decltype(&PropertySheetA)>(
        reinterpret_cast<void*>(GetProcAddress(commonControls.get(), "PropertySheetA")));
    ASSERT_TRUE(createPage && propertySheet);

    PROPSHEETPAGEA page{};
    page.dwSize = PROPSHEETPAGEA_V1_SIZE;
    page.hInstance = Module();
    page.pszTemplate = "PlanProperties";
    page.pfnDlgProc = IgnoreMessages;
    HPROPSHEETPAGE pages[] = {createPage(&page)};
    ASSERT_NE(pages[0], nullptr);
    PROPSHEETHEADERA header{};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_MODELESS;
    header.pszCaption = "Properties";
    header.nPages = 1;
    header.phpage = pages;
    unique_hwnd sheet(reinterpret_cast<HWND>(propertySheet(&header)));
    ASSERT_TRUE(sheet);

    // Common controls 6 bring their own Edit class instead of the system's.
    HWND name = GetDlgItem(PropSheet_GetCurrentPageHwnd(sheet.get()), 1010);
    ASSERT_NE(name, nullptr);
    EXPECT_NE(reinterpret_cast<HMODULE>(GetClassLongPtrA(name, GCLP_HMODULE)),
              GetModuleHandleA("user32.dll"));
}

TEST(Icons, EveryGroupLoadsWithItsOwnPictureAndTheViewerHasA16By16Image)
{
    // The raw image of an icon group that best fits the size.
    auto image = [](UINT group, int size) {
        std::vector<unsigned char> directory = ResourceBytes(MAKEINTRESOURCEA(group), RT_GROUP_ICON);
        if (directory.empty())
            return directory;
        int id = LookupIconIdFromDirectoryEx(directory.data(), TRUE, size, size, LR_DEFAULTCOLOR);
        return ResourceBytes(MAKEINTRESOURCEA(id), RT_ICON);
    };
    std::set<std::vector<unsigned char>> pictures;
    for (UINT id = 150; id <= 179; ++id) {
        if (id == 157 || id == 176)
            continue;
        EXPECT_NE(LoadIconA(Module(), MAKEINTRESOURCEA(id)), nullptr) << "icon " << id;
        std::vector<unsigned char> picture = image(id, 32);
        ASSERT_FALSE(picture.empty()) << "icon " << id;
        EXPECT_TRUE(pictures.insert(picture).second) << "icon " << id << " repeats another";
    }

    std::vector<unsigned char> small = image(177, 16);
    ASSERT_GE(small.size(), sizeof(BITMAPINFOHEADER));
    auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(small.data());
    EXPECT_EQ(header->biWidth, 16);
    EXPECT_EQ(header->biHeight, 32) << "16 rows of colour, 16 of mask";
}

TEST(Version, IsUsEnglishOnCodePage1252)
{
    // Its code page selects the Mac character tables at process attach.
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
    auto* translation = static_cast<const WORD*>(value);
    EXPECT_EQ(translation[0], 0x0409);
    EXPECT_EQ(translation[1], 1252);
}

}  // namespace
}  // namespace orv
