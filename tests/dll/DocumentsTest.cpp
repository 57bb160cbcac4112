#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "Canvas.h"
#include "InfoFileBuilder.h"
#include "PlanBuilder.h"
#include "PropertySheetHost.h"
#include "SampleDocuments.h"
#include "ServerFixture.h"
#include "SfoldBuilder.h"

namespace orv::test {
namespace {

constexpr COLORREF red = RGB(255, 0, 0);
constexpr COLORREF magenta = RGB(255, 0, 255);

// The control of a page, or null.
const host::ControlInfo* FindControl(const host::PageInfo& page, int id)
{
    for (const host::ControlInfo& control : page.controls)
        if (control.id == id)
            return &control;
    return nullptr;
}

// What Explorer shows of a document: its Properties dialog and its icons.
class Documents : public ServerFixture {
protected:
    std::unique_ptr<host::PropertySheetHost> sheet;

    void TearDown() override
    {
        sheet.reset();
        ServerFixture::TearDown();
    }

    // The pages of the file's dialog as Explorer opens it (or, through Load, as a host
    // that names the file itself): the object is released once its pages are added,
    // and the pages keep it alive. Each page is made current once; the dialog stays
    // open until the next call.
    std::vector<host::PageInfo> Show(const std::string& path, HRESULT* addPages = nullptr, bool load = false)
    {
        sheet = std::make_unique<host::PropertySheetHost>();
        auto init = Create<IShellExtInit>(IID_IShellExtInit);
        Microsoft::WRL::ComPtr<IShellPropSheetExt> extension;
        Microsoft::WRL::ComPtr<IPersistFile> persist;
        init.As(&extension);
        init.As(&persist);
        HRESULT result = load ? persist->Load(PathFromUtf8(path).c_str(), STGM_READ)
                              : InitializeWith(init.Get(), {path});
        if (SUCCEEDED(result))
            result = sheet->AddPagesFrom(extension.Get());
        if (addPages)
            *addPages = result;
        init.Reset();
        extension.Reset();
        persist.Reset();
        if (!sheet->Show("Properties"))
            return {};
        EXPECT_TRUE(OpensExclusively(path)) << "the open dialog holds the document";
        return sheet->ReadPages();
    }

    // The icons the shell is given for a file by a new object loaded with it; either
    // pointer may be null.
    HRESULT ExtractIcons(const std::string& path, HICON* large, HICON* small)
    {
        auto persist = Create<IPersistFile>(IID_IPersistFile);
        Microsoft::WRL::ComPtr<IExtractIconA> extract;
        persist.As(&extract);
        HRESULT result = persist->Load(PathFromUtf8(path).c_str(), STGM_READ);
        return SUCCEEDED(result) ? extract->Extract("", 0, large, small, MAKELONG(32, 16)) : result;
    }
};

TEST_F(Documents, EachKindShowsItsPagesFilledAndThoseThatCannotBeReadNone)
{
    struct Control {
        int page;
        int id;
        std::string text;
        bool visible;
        DWORD style;  // bits it must have
    };
    const DWORD textPane = ES_MULTILINE | ES_READONLY;
    InfoFileBuilder fonts;
    fonts.FontTable("MACT", 1, "Chicago Outline").Version(1, "1.2");
    InfoFileBuilder records;
    records.Info("Materials", "Stone", "grey").Info("Layers", "Walls", "12").Info("Materials", "brick", "red");
    records.Info("Gl\x8A" "ser", "Clear", "");
    PlanBuilder bare(0x4D4D);
    bare.Version(5000).Release(0).DocumentName("Bare");
    std::vector<uint8_t> damagedBook = SfoldBook(SfoldFields{});
    damagedBook[50] ^= 0x01;
    std::vector<uint8_t> typeA2 = Module();
    typeA2[4] = 2;
    const std::vector<std::string> partTitles = {"Info && Preview", "1D Script", "2D Script", "3D Script",
                                                 "Properties Script", "Value List Script", "UID Script",
                                                 "Comment"};
    std::vector<Control> partControls = {{0, 1002, "13   Windows", true, 0}, {0, 1010, "Door 90", true, 0},
                                         {0, 1015, "", false, 0}};
    for (int page = 1; page < 8; ++page)
        partControls.push_back({page, 1015, std::string(textTags[page - 1]) + "\r\nend", true, textPane});
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
        std::vector<std::string> titles;  // none: the file gets no page
        std::vector<Control> controls;
        COLORREF preview = CLR_INVALID;  // painted in the middle of the first page's control 1015
    } cases[] = {
        // Sorted by category and name as Windows sorts words, in the ANSI code page.
        {"materials.qpd", records.Build(), {"Info"},
         {{0, 1015, "Gl\xE4ser:\r\n        Clear \r\nLayers:\r\n        Walls 12\r\n"
                    "Materials:\r\n        brick red\r\n        Stone grey\r\n", true, textPane}}},
        {"fonts.vec", fonts.Build(), {"Info"},
         {{0, 1015, "\r\nMacintosh vector fonts:\r\n     Chicago Outline 1.2\r\n", true, textPane}}},
        {"Villa.pln", FullPlan(), {"Info && Preview", "Project Notes", "Project Info"},
         {{0, 1002, "  4.55", true, 0}, {0, 1003, "Release:", true, 0}, {0, 1004, "42", true, 0},
          {0, 1008, "Windows", true, 0}, {0, 1010, "Villa Rosa", true, 0}, {0, 1012, "12 / 345", true, 0},
          {0, 1014, "C:\\Projects\\Villa", true, ES_READONLY}, {0, 1015, "", false, 0},
          {1, 1015, "Notes\r\nline two", true, textPane}, {2, 1003, "Villa", true, 0},
          {2, 1009, Lines("\r\n"), true, ES_MULTILINE}},
         red},
        // Without a release or a sign-in their lines are hidden.
        {"bare.pln", bare.Build(), {"Info && Preview"},
         {{0, 1002, "  5.0", true, 0}, {0, 1003, "Release:", false, 0}, {0, 1004, "", true, 0},
          {0, 1008, "Macintosh", true, 0}, {0, 1011, "Sign In/Changes:", false, 0}, {0, 1012, "", false, 0},
          {0, 1013, "Project Path:", false, 0}, {0, 1014, "", false, 0}}},
        {"book.sfk", Book(), {"Info", "Project Info"},
         {{0, 1002, "4.1 - Windows", true, 0}, {0, 1006, "Sheetfold", true, 0}, {0, 1010, "Book", true, 0}}},
        {"door.qxm", Part(), partTitles, partControls, red},
        // Only the texts it holds get pages.
        {"old.lmp", OlderLibPart(12, "Old", "BLOCK 1"),
         {"Info && Preview", "3D Script"},
         {{0, 1002, "12   Macintosh", true, 0}, {0, 1010, "Old", true, 0}, {1, 1015, "BLOCK 1", true, 0}}},
        {"door.qdl", Script(), {"Script"},
         {{0, 1010, "Door", true, 0}, {0, 1015, "BLOCK 1, 1, 1\r\nEND\r\n", true, textPane}}},
        {"stored.mod", Module(), {"Info && Preview"},
         {{0, 1002, "  6.01", true, 0}, {0, 1003, "Release:", false, 0}, {0, 1015, "", false, 0}}, red},
        // The preview of the stored metafile, through the module's converter.
        {"converted.mod", test::Module({3, StoredMetafile()}, {0xD002, PreviewRecord(0xD002)}),
         {"Info && Preview"}, {{0, 1002, "  4.5", true, 0}, {0, 1004, "4", true, 0}}},
        {"empty.qdd", {}, {}, {}},
        {"noversion.vec", InfoFileBuilder().FontTable("MACT", 1, "Geneva").Version(2, "1.0").Build(), {}, {}},
        {"damaged.lay", damagedBook, {}, {}},
        {"garbage.pln", std::vector<uint8_t>(300, 0xA5), {}, {}},
        {"lower.qdl", Bytes("! document name: Door\r\n"), {}, {}},
        {"typeA2.mod", typeA2, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HRESULT added = S_OK;
        std::vector<host::PageInfo> pages = Show(scratch.Write(c.name, c.bytes), &added);
        EXPECT_EQ(added, c.titles.empty() ? E_FAIL : S_OK);
        ASSERT_EQ(pages.size(), c.titles.size());
        for (size_t i = 0; i < pages.size(); ++i)
            EXPECT_EQ(pages[i].title, c.titles[i]);
        for (const Control& expected : c.controls) {
            SCOPED_TRACE(testing::Message() << expected.page << "/" << expected.id);
            const host::ControlInfo* control = FindControl(pages[expected.page], expected.id);
            ASSERT_NE(control, nullptr);
            EXPECT_EQ(control->text, expected.text);
            EXPECT_EQ(control->visible, expected.visible);
            HWND window = GetDlgItem(pages[expected.page].window, expected.id);
            EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)) & expected.style, expected.style);
            // The dialog manager selects the name a page opens with; nothing else comes up selected.
            if (expected.id != 1010) {
                EXPECT_EQ(control->selectionStart, control->selectionEnd) << "the text came up selected";
            }
        }
        if (c.preview != CLR_INVALID) {
            RECT area = FindControl(pages[0], 1015)->rect;
            unique_screen_dc page(GetDC(pages[0].window));
            POINT middle = {(area.left + area.right) / 2, (area.top + area.bottom) / 2};
            EXPECT_EQ(GetPixel(page.get(), middle.x, middle.y), c.preview);
        }
        EXPECT_FALSE(!pages.empty() && sheet->ApplyEnabled()) << "filling the pages is no change";
    }
}

TEST_F(Documents, ThePlanPreviewTakesTheRowsWithoutSignIn)
{
    std::vector<host::PageInfo> pages = Show(scratch.Write("Villa.pln", FullPlan()));
    ASSERT_FALSE(pages.empty());
    RECT label = FindControl(pages[0], 1009)->rect;
    RECT placeholder = FindControl(pages[0], 1015)->rect;
    pages = Show(scratch.Write("bare.pln", PlanBuilder(0x4D4D).Version(5000).DocumentName("Bare").Build()));
    ASSERT_FALSE(pages.empty());
    RECT preview = FindControl(pages[0], 1015)->rect;
    EXPECT_EQ(preview.top, label.bottom + (placeholder.top - label.bottom) / 6);
    EXPECT_EQ(preview.bottom, placeholder.bottom);
    EXPECT_EQ(preview.left, placeholder.left);
    EXPECT_EQ(preview.right, placeholder.right);
}

TEST_F(Documents, EditsAreWrittenBackOnceAndAFailedWriteChangesNothing)
{
    const DWORD shared = FILE_SHARE_READ | FILE_SHARE_WRITE;
    const DWORD unlocked = ~0u;
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
        DWORD lockShare;  // how another program holds the file open while Apply and OK run
        bool projectData;
    } cases[] = {
        {"rename.pln", FullPlan(), unlocked, true}, {"locked.pln", FullPlan(), shared, true},
        {"book.sfk", Book(), unlocked, true},       {"held.sfk", Book(), 0, true},
        {"door.qxm", Part(), unlocked, false},      {"held.qxm", Part(), 0, false},
        {"door.qdl", Script(), unlocked, false},    {"locked.qdl", Script(), shared, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = scratch.Write(c.name, c.bytes);
        Show(path);
        // The longest name each document stores.
        EXPECT_TRUE(sheet->SetControlText(1010, "Villa Bianca on the Lake, No. 7"));
        EXPECT_EQ(sheet->SetControlText(1008, "villa, garden"), c.projectData);
        EXPECT_TRUE(sheet->ApplyEnabled()) << "typing is a change";
        // Another program holding the file open, even one that shares it, bars the write
        // while Apply runs; after the failed write the dialog still offers to cancel, and
        // OK leaves it open on its page with what was typed.
        const bool locked = c.lockShare != unlocked;
        unique_hfile lock;
        if (locked)
            lock.reset(CreateFileW(PathFromUtf8(path).c_str(), GENERIC_READ, c.lockShare, nullptr, OPEN_EXISTING, 0,
                                   nullptr));
        EXPECT_EQ(static_cast<bool>(lock), locked);
        sheet->Apply();
        EXPECT_EQ(sheet->OkButtonText(), locked ? "OK" : "Close");
        if (locked) {
            HWND page = PropSheet_GetCurrentPageHwnd(sheet->Sheet());
            PropSheet_PressButton(sheet->Sheet(), PSBTN_OK);
            host::PropertySheetHost::PumpMessages();
            EXPECT_EQ(PropSheet_GetCurrentPageHwnd(sheet->Sheet()), page) << "OK closed the sheet";
            HWND namePage = PropSheet_IndexToHwnd(sheet->Sheet(), 0);
            EXPECT_EQ(host::WindowText(GetDlgItem(namePage, 1010)), "Villa Bianca on the Lake, No. 7");
            EXPECT_EQ(host::WindowText(GetDlgItem(sheet->Sheet(), IDCANCEL)), "Cancel");
        }
        lock.reset();
        std::vector<uint8_t> written = ReadWholeFile(path);
        if (locked) {
            EXPECT_EQ(written, c.bytes);
            continue;
        }
        // Applied again with nothing typed, the pages write nothing, even over a file
        // that changed meanwhile.
        scratch.Write(c.name, c.bytes);
        sheet->Apply();
        EXPECT_EQ(ReadWholeFile(path), c.bytes);
        scratch.Write(c.name, written);
        std::vector<host::PageInfo> pages = Show(path);
        ASSERT_FALSE(pages.empty());
        EXPECT_EQ(FindControl(pages[0], 1010)->text, "Villa Bianca on the Lake, No. 7");
        if (c.projectData) {
            EXPECT_EQ(FindControl(pages.back(), 1008)->text, "villa, garden");
            EXPECT_EQ(FindControl(pages.back(), 1009)->text, Lines("\r\n"));
        }
    }
}

TEST_F(Documents, OpenPagesKeepTheirDocumentWhenTheirObjectIsBoundToAnother)
{
    using Microsoft::WRL::ComPtr;
    const struct {
        const char* name;
        HRESULT (*rebind)(IUnknown* object, const std::string& path);
    } ways[] = {
        {"Initialize",
         [](IUnknown* object, const std::string& path) {
             ComPtr<IShellExtInit> init;
             object->QueryInterface(IID_PPV_ARGS(&init));
             return InitializeWith(init.Get(), {path});
         }},
        {"Load",
         [](IUnknown* object, const std::string& path) {
             ComPtr<IPersistFile> persist;
             object->QueryInterface(IID_PPV_ARGS(&persist));
             return persist->Load(PathFromUtf8(path).c_str(), STGM_READ);
         }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.name);
        std::string shown = scratch.Write("shown.pln", FullPlan());
        std::string other = scratch.Write("other.pln", FullPlan());
        sheet = std::make_unique<host::PropertySheetHost>();
        ComPtr<IShellPropSheetExt> extension = Create<IShellPropSheetExt>(IID_IShellPropSheetExt);
        ComPtr<IShellExtInit> init;
        ASSERT_EQ(extension.As(&init), S_OK);
        ASSERT_EQ(InitializeWith(init.Get(), {shown}), S_OK);
        ASSERT_EQ(sheet->AddPagesFrom(extension.Get()), S_OK);
        ASSERT_TRUE(sheet->Show("Properties"));
        // Bound twice over while the pages are open, then let go of: only the pages hold it.
        EXPECT_EQ(way.rebind(extension.Get(), other), S_OK);
        EXPECT_EQ(way.rebind(extension.Get(), shown), S_OK);
        EXPECT_EQ(way.rebind(extension.Get(), other), S_OK);
        init.Reset();
        extension.Reset();
        EXPECT_TRUE(sheet->SetControlText(1010, "Renamed"));
        sheet->Apply();
        EXPECT_EQ(sheet->OkButtonText(), "Close");
        sheet.reset();
        EXPECT_EQ(ReadWholeFile(other), FullPlan()) << "the pages wrote into the object's later document";
        std::vector<host::PageInfo> pages = Show(shown);
        ASSERT_FALSE(pages.empty());
        EXPECT_EQ(FindControl(pages[0], 1010)->text, "Renamed");
    }
}

TEST_F(Documents, EitherIconMayBeAskedForAlone)
{
    std::string plan = scratch.Write("icon.pln", FullPlan());
    std::string data = scratch.Write("table.qpd", InfoFileBuilder().Info("Layers", "Walls", "A").Build());
    const struct {
        std::string path;
        bool large;  // which pointer is given; the other is null
        int icon;  // the module's icon; 0 for one drawn from the preview
    } cases[] = {{plan, true, 0}, {plan, false, 0}, {data, true, 151}, {data, false, 151}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.path << (c.large ? ", large" : ", small"));
        HICON icon = nullptr;
        ASSERT_EQ(ExtractIcons(c.path, c.large ? &icon : nullptr, c.large ? nullptr : &icon), S_OK);
        ASSERT_NE(icon, nullptr);
        if (c.icon != 0) {
            EXPECT_EQ(icon, ModuleIcon(c.icon));
            ICONINFO info = {};
            ASSERT_TRUE(GetIconInfo(icon, &info)) << "the icon handed out was destroyed";
            unique_hbitmap colour(info.hbmColor);
            unique_hbitmap mask(info.hbmMask);
            continue;
        }
        int side = c.large ? 32 : 16;
        Canvas canvas(48, 48, magenta);
        DrawIconEx(canvas.Dc(), 0, 0, unique_hicon(icon).get(), 0, 0, 0, nullptr, DI_NORMAL);
        EXPECT_EQ(canvas.At(side - 1, side - 1), red);
        EXPECT_EQ(canvas.At(side, side), magenta);
    }
}

// Beside House.pln, a fullwidth H that a best fit makes plain and a name the ANSI code
// page cannot hold: each shows and renames its own file, named either way the shell
// names files.
TEST_F(Documents, EachNameTheShellGivesOpensThatFileAndNoOther)
{
    const std::string names[] = {"House.pln", "\xEF\xBC\xA8ouse.pln", "\xD0\x94\xD0\xBE\xD0\xBC.pln"};
    for (bool load : {false, true}) {
        SCOPED_TRACE(load ? "Load" : "Initialize");
        std::vector<std::string> paths;
        std::vector<std::vector<uint8_t>> files;
        for (const std::string& name : names) {
            std::string documentName = "Plan " + std::to_string(files.size());
            files.push_back(PlanBuilder(0x4D4D).Version(5000).DocumentName(documentName).Build());
            paths.push_back(scratch.Write(name, files.back()));
        }
        for (size_t i = 0; i < paths.size(); ++i) {
            SCOPED_TRACE(names[i]);
            std::vector<host::PageInfo> pages = Show(paths[i], nullptr, load);
            ASSERT_FALSE(pages.empty());
            EXPECT_EQ(FindControl(pages[0], 1010)->text, "Plan " + std::to_string(i));
            EXPECT_TRUE(sheet->SetControlText(1010, "Renamed " + std::to_string(i)));
            sheet->Apply();
            EXPECT_NE(ReadWholeFile(paths[i]), files[i]) << "not renamed";
            files[i] = ReadWholeFile(paths[i]);
            for (size_t other = 0; other < paths.size(); ++other)
                EXPECT_EQ(ReadWholeFile(paths[other]), files[other]) << names[other];
        }
    }
}

TEST_F(Documents, IconsAreDrawnFromPreviewsElseChosenByTypeUnlessTheSettingIsOff)
{
    std::string plan = scratch.Write("icon.pln", FullPlan());
    std::string data = scratch.Write("table.qpd", InfoFileBuilder().Info("Layers", "Walls", "A").Build());
    // Missing, or stored as anything but a DWORD, the setting is on and each new object
    // makes it the DWORD 1; a DWORD stays as it is.
    const struct {
        DWORD type;
        std::vector<uint8_t> stored;  // none: nothing stored
        std::string path;
        int icon;  // the module's icon handed out as both sizes; 0 for icons drawn from the preview
        DWORD after;
    } cases[] = {
        {REG_NONE, {}, plan, 0, 1},
        {REG_SZ, {'0', 0}, plan, 0, 1},
        {REG_DWORD, {1, 0, 0, 0}, data, 151, 1},
        {REG_NONE, {}, scratch.Write("door.qxm", Part()), 0, 1},
        {REG_NONE, {}, scratch.Write("stair.qxm", Part(0x53746169, false)), 178, 1},
        {REG_NONE, {}, scratch.Write("lamp.lmp", Part(0x50534153, false)), 179, 1},
        {REG_NONE, {}, scratch.Write("plain.qxm", Part(0x446F6F72, false)), 153, 1},
        {REG_NONE, {}, scratch.Write("door.qdl", Script()), 152, 1},
        {REG_NONE, {}, scratch.Write("stored.mod", Module()), 0, 1},
        {REG_DWORD, {0, 0, 0, 0}, plan, 170, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.path << ", setting of type " << c.type);
        if (!c.stored.empty()) {
            auto size = static_cast<DWORD>(c.stored.size());
            LSTATUS status = RegSetKeyValueA(HKEY_CURRENT_USER, settingsKey, "PreviewIcons", c.type,
                                             c.stored.data(), size);
            ASSERT_EQ(status, ERROR_SUCCESS);
        }
        HICON large = nullptr;
        HICON small = nullptr;
        ASSERT_EQ(ExtractIcons(c.path, &large, &small), S_OK);
        DWORD type = 0;
        DWORD value = 0;
        DWORD size = sizeof value;
        EXPECT_EQ(RegGetValueA(HKEY_CURRENT_USER, settingsKey, "PreviewIcons", RRF_RT_ANY, &type, &value, &size),
                  ERROR_SUCCESS);
        EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
        EXPECT_EQ(value, c.after);
        if (c.icon != 0) {
            EXPECT_EQ(large, ModuleIcon(c.icon));
            EXPECT_EQ(small, large);
            continue;
        }
        // Each drawn at the size asked for.
        for (auto [icon, side] : {std::pair{large, 32}, std::pair{small, 16}}) {
            Canvas canvas(48, 48, magenta);
            DrawIconEx(canvas.Dc(), 0, 0, unique_hicon(icon).get(), 0, 0, 0, nullptr, DI_NORMAL);
            EXPECT_EQ(canvas.At(side - 1, side - 1), red) << side;
            EXPECT_EQ(canvas.At(side, side), magenta) << side;
        }
    }
}

}  // namespace
}  // namespace orv::test
