#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Canvas.h"
#include "InfoFileBuilder.h"
#include "PlanBuilder.h"
#include "PropertySheetHost.h"
#include "ServerFixture.h"
#include "shell/ExtensionTables.h"

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

std::string ControlText(const std::vector<host::PageInfo>& pages, size_t page, int id)
{
    const host::ControlInfo* control = page < pages.size() ? FindControl(pages[page], id) : nullptr;
    return control ? control->text : "<no control>";
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

    // The pages of the file's dialog, each made current once; the dialog stays open
    // until the next call. The object is released once the dialog shows, after being
    // bound to each of the other files: then only its pages hold it.
    std::vector<host::PageInfo> Show(const std::string& path, bool load = false, HRESULT* added = nullptr,
                                     const std::vector<std::string>& rebinds = {})
    {
        sheet = std::make_unique<host::PropertySheetHost>();
        auto extension = Create<IShellPropSheetExt>(IID_IShellPropSheetExt);
        HRESULT result = Bind(extension.Get(), path, load);
        result = SUCCEEDED(result) ? sheet->AddPagesFrom(extension.Get()) : result;
        if (added)
            *added = result;
        const bool shown = sheet->Show("Properties");
        for (const std::string& other : rebinds)
            EXPECT_EQ(Bind(extension.Get(), other, load), S_OK);
        extension.Reset();
        if (!shown)
            return {};
        EXPECT_TRUE(OpensExclusively(path)) << "the open dialog holds the document";
        return sheet->ReadPages();
    }
};

TEST_F(Documents, EachKindShowsItsPagesFilledAndThoseThatCannotBeReadNone)
{
    struct Control {
        int page;
        int id;
        std::string text;
        bool visible = true;
        DWORD style = 0;  // bits it must have
    };
    const DWORD pane = ES_MULTILINE | ES_READONLY;
    InfoFileBuilder records;
    records.Info("Materials", "Stone", "grey").Info("Materials", "brick", "red");
    const std::vector<std::string> partTitles = {"Info && Preview", "1D Script", "2D Script", "3D Script",
                                                 "Properties Script", "Value List Script", "UID Script", "Comment"};
    std::vector<Control> partControls = {{0, 1015, "", false}};
    for (int page = 1; page < 8; ++page)
        partControls.push_back({page, 1015, std::string(textTags[page - 1]) + "\r\nend", true, pane});
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
        std::vector<std::string> titles;  // none: the file gets no page
        std::vector<Control> controls;
        bool redPreview = false;  // painted in the middle of the first page's control 1015
    } cases[] = {
        // Sorted as Windows sorts words: "brick" before "Stone".
        {"materials.qpd", records.Build(), {"Info"},
         {{0, 1015, "Materials:\r\n        brick red\r\n        Stone grey\r\n", true, pane}}},
        {"Villa.pln", FullPlan(), {"Info && Preview", "Project Notes", "Project Info"},
         {{0, 1014, "C:\\Projects\\Villa", true, ES_READONLY}, {0, 1015, "", false},
          {1, 1015, "Notes\r\nline two", true, pane}, {2, 1009, Lines("\r\n"), true, ES_MULTILINE}},
         true},
        // Every text gets its page, in the pages' order.
        {"door.qxm", Part(), partTitles, partControls, true},
        {"stored.mod", Module(), {"Info && Preview"}, {{0, 1015, "", false}}, true},
        {"door.qdl", Script(), {"Script"}, {{0, 1015, "BLOCK 1, 1, 1\r\nEND\r\n", true, pane}}},
        {"empty.qdd", {}, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HRESULT added = S_OK;
        std::vector<host::PageInfo> pages = Show(scratch.Write(c.name, c.bytes), false, &added);
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
            EXPECT_EQ(control->selectionStart, control->selectionEnd) << "the text came up selected";
        }
        if (c.redPreview) {
            RECT area = FindControl(pages[0], 1015)->rect;
            unique_screen_dc page(GetDC(pages[0].window));
            EXPECT_EQ(GetPixel(page.get(), (area.left + area.right) / 2, (area.top + area.bottom) / 2), red);
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
    placeholder.top = label.bottom + (placeholder.top - label.bottom) / 6;
    EXPECT_TRUE(EqualRect(&preview, &placeholder));
}

// A name of the longest length each kind stores, and keywords where the kind has them,
// typed and applied, land in the shown file and no other: named with a fullwidth H that
// a best fit would make House.pln, bound either way, and also when its object is bound
// to other files while the pages are open. Another program holding the file open, even
// sharing it, bars the write: the dialog still offers to cancel, and OK leaves it open
// on its page with what was typed. A name the ANSI code page cannot hold is renamed in
// the end-to-end run.
TEST_F(Documents, EditsAreWrittenOnceIntoTheShownFileAndNoOther)
{
    const DWORD shared = FILE_SHARE_READ | FILE_SHARE_WRITE;
    const DWORD unlocked = ~0u;
    const std::string house[] = {"House.pln", "\xEF\xBC\xA8ouse.pln"};
    auto plan = [](const char* name) { return PlanBuilder(0x4D4D).Version(5000).DocumentName(name).Build(); };
    const struct {
        std::string name;
        std::vector<uint8_t> bytes;
        std::string shown;  // the stored name
        bool load;
        DWORD lockShare;  // how another program holds the file open while Apply and OK run
        bool projectData;
        std::vector<std::string> rebinds = {};
    } cases[] = {
        {"rename.pln", FullPlan(), "Villa Rosa", false, unlocked, true},
        {"locked.pln", FullPlan(), "Villa Rosa", false, shared, true},
        {"book.sfk", Book(), "Book", true, unlocked, true},
        {"door.qxm", Part(), "Door 90", true, unlocked, false},
        {"held.qxm", Part(), "Door 90", false, 0, false},
        {"door.qdl", Script(), "Door", false, unlocked, false},
        {house[0], plan("Plan 0"), "Plan 0", true, unlocked, false},
        {house[1], plan("Plan 1"), "Plan 1", false, unlocked, false},
        {"shown.pln", FullPlan(), "Villa Rosa", false, unlocked, true, {"rename.pln", "shown.pln", house[1]}},
    };
    std::map<std::string, std::vector<uint8_t>> files;
    for (const auto& c : cases)
        files[scratch.Write(c.name, c.bytes)] = c.bytes;
    for (size_t row = 0; row < std::size(cases); ++row) {
        const auto& c = cases[row];
        SCOPED_TRACE(testing::Message() << c.name << (c.load ? ", Load" : ", Initialize"));
        const std::string path = scratch.PathOf(c.name);
        std::vector<std::string> rebinds;
        for (const std::string& other : c.rebinds)
            rebinds.push_back(scratch.PathOf(other));
        EXPECT_EQ(ControlText(Show(path, c.load, nullptr, rebinds), 0, 1010), c.shown);
        const std::string typed = std::string("Villa Bianca on the Lake, No. ") + char('A' + row);
        EXPECT_TRUE(sheet->SetControlText(1010, typed));
        EXPECT_EQ(sheet->SetControlText(1008, "villa, garden"), c.projectData);
        EXPECT_TRUE(sheet->ApplyEnabled()) << "typing is a change";
        const bool locked = c.lockShare != unlocked;
        unique_hfile lock(locked ? CreateFileW(PathFromUtf8(path).c_str(), GENERIC_READ, c.lockShare, nullptr,
                                               OPEN_EXISTING, 0, nullptr)
                                 : INVALID_HANDLE_VALUE);
        EXPECT_EQ(static_cast<bool>(lock), locked);
        sheet->Apply();
        EXPECT_EQ(sheet->OkButtonText(), locked ? "OK" : "Close");
        if (locked) {
            HWND page = PropSheet_GetCurrentPageHwnd(sheet->Sheet());
            PropSheet_PressButton(sheet->Sheet(), PSBTN_OK);
            host::PropertySheetHost::PumpMessages();
            EXPECT_EQ(PropSheet_GetCurrentPageHwnd(sheet->Sheet()), page) << "OK closed the sheet";
            EXPECT_EQ(host::WindowText(GetDlgItem(PropSheet_IndexToHwnd(sheet->Sheet(), 0), 1010)), typed);
            EXPECT_EQ(host::WindowText(GetDlgItem(sheet->Sheet(), IDCANCEL)), "Cancel");
            lock.reset();
        } else {
            // Applied again with nothing typed, the pages write nothing, even over a file
            // that changed meanwhile.
            std::vector<uint8_t> written = ReadWholeFile(path);
            scratch.Write(c.name, files[path]);
            sheet->Apply();
            EXPECT_EQ(ReadWholeFile(path), files[path]);
            scratch.Write(c.name, written);
        }
        sheet.reset();
        std::vector<uint8_t> written = ReadWholeFile(path);
        EXPECT_EQ(written != files[path], !locked) << "written when it should not be, or not when it should";
        files[path] = written;
        for (const auto& [other, bytes] : files)
            EXPECT_EQ(ReadWholeFile(other), bytes) << other;
        if (locked)
            continue;
        std::vector<host::PageInfo> pages = Show(path);
        EXPECT_EQ(ControlText(pages, 0, 1010), typed);
        if (c.projectData) {
            EXPECT_EQ(ControlText(pages, pages.size() - 1, 1008), "villa, garden");
            EXPECT_EQ(ControlText(pages, pages.size() - 1, 1009), Lines("\r\n"));
        }
    }
}

// Missing, or stored as anything but a DWORD, the setting is on and each new object
// makes it the DWORD 1; a DWORD stays as it is. Either icon may be asked for alone;
// the module's icons are shared, so none is destroyed.
TEST_F(Documents, IconsAreDrawnFromPreviewsElseChosenByTypeUnlessTheSettingIsOff)
{
    std::string plan = scratch.Write("icon.pln", FullPlan());
    std::string data = scratch.Write("table.qpd", InfoFileBuilder().Info("Layers", "Walls", "A").Build());
    enum Asked { Both, Large, Small };
    const struct {
        DWORD type;
        std::vector<uint8_t> stored;  // none: nothing stored
        std::string path;
        Asked asked;
        int icon;  // the module's icon handed out as both sizes; 0 for icons drawn from the preview
        DWORD after;
    } cases[] = {
        {REG_NONE, {}, plan, Both, 0, 1},
        {REG_SZ, {'0', 0}, plan, Large, 0, 1},
        {REG_DWORD, {1, 0, 0, 0}, plan, Small, 0, 1},
        {REG_NONE, {}, data, Small, 151, 1},
        {REG_NONE, {}, scratch.Write("stair.qxm", Part(0x53746169, false)), Both, 178, 1},
        {REG_NONE, {}, scratch.Write("lamp.lmp", Part(0x50534153, false)), Both, 179, 1},
        {REG_NONE, {}, scratch.Write("plain.qxm", Part(0x446F6F72, false)), Both, 153, 1},
        {REG_NONE, {}, scratch.Write("stored.mod", Module()), Both, 0, 1},
        {REG_DWORD, {0, 0, 0, 0}, plan, Both, 170, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.path << ", setting of type " << c.type << ", asked " << c.asked);
        if (!c.stored.empty()) {
            ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, settingsKey, "PreviewIcons", c.type, c.stored.data(),
                                      static_cast<DWORD>(c.stored.size())),
                      ERROR_SUCCESS);
        }
        HICON icons[2] = {};
        auto persist = Create<IPersistFile>(IID_IPersistFile);
        ComPtr<IExtractIconA> extract;
        ASSERT_EQ(persist.As(&extract), S_OK);
        ASSERT_EQ(persist->Load(PathFromUtf8(c.path).c_str(), STGM_READ), S_OK);
        ASSERT_EQ(extract->Extract("", 0, c.asked == Small ? nullptr : &icons[0],
                                   c.asked == Large ? nullptr : &icons[1], MAKELONG(32, 16)),
                  S_OK);
        DWORD value = 7;
        DWORD size = sizeof value;
        EXPECT_EQ(RegGetValueA(HKEY_CURRENT_USER, settingsKey, "PreviewIcons", RRF_RT_REG_DWORD, nullptr, &value, &size),
                  ERROR_SUCCESS);
        EXPECT_EQ(value, c.after);
        for (int side : {32, 16}) {
            HICON icon = icons[side == 16];
            if ((side == 32 && c.asked == Small) || (side == 16 && c.asked == Large))
                continue;
            ASSERT_NE(icon, nullptr) << side;
            Canvas canvas(48, 48, magenta);
            EXPECT_TRUE(DrawIconEx(canvas.Dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL)) << "the icon was destroyed";
            if (c.icon != 0) {
                EXPECT_EQ(icon, ModuleIcon(c.icon));
                continue;
            }
            DestroyIcon(icon);
            EXPECT_EQ(canvas.At(side - 1, side - 1), red) << side;
            EXPECT_EQ(canvas.At(side, side), magenta) << side;
        }
    }
    // Every extension claimed but ".esm", which has its registration's icon alone, has a
    // type icon of its own.
    for (const ExtensionTable* table : AllExtensionTables)
        for (const ExtensionEntry& row : table->rows)
            EXPECT_EQ(ModuleIcon(static_cast<int>(row.iconId)) != nullptr, row.extension != std::string(".esm"))
                << row.extension;
}

}  // namespace
}  // namespace orv::test
