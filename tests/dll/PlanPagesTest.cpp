#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Canvas.h"
#include "GifWriter.h"
#include "PlanBuilder.h"
#include "ProjectDataBuilder.h"
#include "ScratchFolder.h"
#include "ServerFixture.h"
#include "SfoldBuilder.h"
#include "plan/SfoldFile.h"

namespace orv::test {
namespace {

constexpr uint16_t WW = 0x5757;
constexpr uint16_t MM = 0x4D4D;

// Signed in, with notes, project data (the third block) and a red 64 x 32 preview.
PlanBuilder FullPlan(uint16_t platform, const std::string& comment = "one\rtwo")
{
    std::string notes = "Notes\rline two";
    GifImage red;
    red.width = 64;
    red.height = 32;
    red.minCodeSize = 2;
    red.indices.assign(64 * 32, 1);
    return PlanBuilder(platform)
        .Version(4550).Release(42).DocumentName("Villa Rosa").SignInMarker('C')
        .Block(520, SignInBlock(platform == WW ? ByteOrder::Little : ByteOrder::Big, 12, 345, true, "C:\\Projects\\Villa"),
               PlanPointer::SignIn)
        .Block(270, {notes.begin(), notes.end()})
        .Block(584, ProjectDataRecord(platform, {"Villa", "Ann", "C", "VR-", "villa", comment}),
               PlanPointer::ProjectData)
        .Block(581, GifWriter().Screen(64, 32, {{0, 0, 0}, {255, 0, 0}}).Image(red).Trailer().Data(), PlanPointer::Preview);
}

// The zero-terminated text stored at an offset.
std::string TextAt(const std::vector<uint8_t>& bytes, size_t offset)
{
    std::string rest(bytes.begin() + offset, bytes.end());
    return rest.substr(0, rest.find('\0'));
}

class PlanPages : public ServerFixture {
protected:
    ScratchFolder scratch;

    // Types into one field of the file's dialog, presses Apply and closes the dialog;
    // gives the OK button's text after Apply. A lock, if asked for, bars every other
    // open of the file while Apply runs.
    std::string Edit(const std::string& path, int id, const std::string& text, bool locked = false)
    {
        auto sheet = OpenProperties(path);
        EXPECT_TRUE(sheet->SetControlText(id, text)) << id;
        EXPECT_TRUE(sheet->ApplyEnabled()) << "typing is a change";
        unique_hfile lock;
        if (locked)
            lock.reset(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        EXPECT_EQ(static_cast<bool>(lock), locked);
        sheet->Apply();
        return sheet->OkButtonText();
    }
};

TEST_F(PlanPages, AFullPlanShowsAllThreePagesWithItsFields)
{
    auto sheet = OpenProperties(scratch.Write("Villa.pln", FullPlan(WW).Build()));
    std::vector<host::PageInfo> pages = sheet->ReadPages();
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[0].title, "Info && Preview");
    EXPECT_EQ(pages[1].title, "Project Notes");
    EXPECT_EQ(pages[2].title, "Project Info");

    struct Expected {
        int page;
        int id;
        const char* text;
        bool visible;
    };
    for (Expected e : {Expected{0, 1002, "  4.55", true}, Expected{0, 1003, "Release:", true},
                       Expected{0, 1004, "42", true}, Expected{0, 1008, "Windows", true},
                       Expected{0, 1010, "Villa Rosa", true}, Expected{0, 1012, "12 / 345", true},
                       Expected{0, 1014, "C:\\Projects\\Villa", true}, Expected{0, 1015, "", false},
                       Expected{1, 1015, "Notes\r\nline two", true}, Expected{2, 1003, "Villa", true},
                       Expected{2, 1009, "one\r\ntwo", true}}) {
        const host::ControlInfo* control = FindControl(pages[e.page], e.id);
        ASSERT_NE(control, nullptr) << e.page << "/" << e.id;
        EXPECT_EQ(control->text, e.text) << e.page << "/" << e.id;
        EXPECT_EQ(control->visible, e.visible) << e.page << "/" << e.id;
    }
    EXPECT_FALSE(sheet->ApplyEnabled()) << "filling the pages is no change";
}

TEST_F(PlanPages, WithoutSignInThePreviewGrowsIntoTheFreedRows)
{
    std::vector<host::PageInfo> fullPages = OpenProperties(scratch.Write("full.pln", FullPlan(WW).Build()))->ReadPages();
    ASSERT_FALSE(fullPages.empty());
    RECT label = FindControl(fullPages[0], 1009)->rect;
    RECT original = FindControl(fullPages[0], 1015)->rect;

    std::string path = scratch.Write("bare.pln", PlanBuilder(MM).Version(5000).Release(0).DocumentName("Bare").Build());
    std::vector<host::PageInfo> pages = OpenProperties(path)->ReadPages();
    ASSERT_EQ(pages.size(), 1u);
    for (int hidden : {1003, 1011, 1012, 1013, 1014})
        EXPECT_FALSE(FindControl(pages[0], hidden)->visible) << hidden;
    EXPECT_EQ(FindControl(pages[0], 1004)->text, "");
    EXPECT_EQ(FindControl(pages[0], 1002)->text, "  5.0");
    EXPECT_EQ(FindControl(pages[0], 1008)->text, "Macintosh");
    RECT preview = FindControl(pages[0], 1015)->rect;
    EXPECT_EQ(preview.top, label.bottom + (original.top - label.bottom) / 6);
    EXPECT_EQ(preview.bottom, original.bottom);
    EXPECT_EQ(preview.left, original.left);
    EXPECT_EQ(preview.right, original.right);
}

TEST_F(PlanPages, RenamingRewritesOnlyTheNameFieldAndAFailedWriteNothing)
{
    for (bool locked : {false, true}) {
        SCOPED_TRACE(locked ? "locked" : "free");
        std::vector<uint8_t> before = FullPlan(locked ? WW : MM).Build();
        std::string path = scratch.Write(locked ? "locked.pln" : "rename.pln", before);
        // After a failed write the dialog still offers to cancel.
        EXPECT_EQ(Edit(path, 1010, "Villa Bianca", locked), locked ? "OK" : "Close");
        std::vector<uint8_t> after = ReadWholeFile(path);
        ASSERT_EQ(after.size(), before.size());
        for (size_t i = 0; i < after.size(); ++i)
            if (locked || i < 16 || i >= 48) {
                ASSERT_EQ(after[i], before[i]) << "byte " << i;
            }
        EXPECT_EQ(TextAt(after, 16), locked ? "Villa Rosa" : "Villa Bianca");
    }
}

TEST_F(PlanPages, ProjectInfoWritesOnlyTheEditedFieldBack)
{
    // 127 stored characters; with CR LF line ends the page shows more than 127.
    std::string lines;
    for (char line = 'a'; line < 'a' + 18; ++line)
        lines += std::string("line ") + line + "\r";
    lines += "z";
    for (uint16_t platform : {MM, WW}) {
        PlanBuilder plan = FullPlan(platform, lines);
        size_t record = plan.BlockOffset(2) + 6;
        std::vector<uint8_t> before = plan.Build();
        std::string path = scratch.Write("project.pln", before);
        EXPECT_EQ(Edit(path, 1008, "villa, garden"), "Close");
        std::vector<uint8_t> after = ReadWholeFile(path);
        ASSERT_EQ(after.size(), before.size());
        for (size_t i = 0; i < after.size(); ++i)
            if (after[i] != before[i]) {
                EXPECT_LT(i - record - ProjectTextOffsets[4], 128u) << "byte " << i;
            }
        EXPECT_EQ(TextAt(after, record + ProjectTextOffsets[4]), "villa, garden") << platform;
        EXPECT_EQ(TextAt(after, record + ProjectTextOffsets[5]), lines) << platform;
    }
}

TEST_F(PlanPages, LayoutBooksShowTheirHeaderAndTakeANewName)
{
    SfoldFields fields;
    fields.writerCode = 1;
    std::string path = scratch.Write("book.sfk", SfoldBook(fields, 372, ProjectDataRecord(WW, {"P", "A", "R", "D", "K", "C"})));
    std::vector<host::PageInfo> pages = OpenProperties(path)->ReadPages();
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[0].title, "Info");
    EXPECT_EQ(pages[1].title, "Project Info");
    EXPECT_EQ(FindControl(pages[0], 1002)->text, "4.1 - Windows");
    EXPECT_EQ(FindControl(pages[0], 1006)->text, "Bauvelle");
    EXPECT_EQ(FindControl(pages[0], 1010)->text, "Book");

    EXPECT_EQ(Edit(path, 1010, "Sheets"), "Close");
    SfoldFile book;
    ASSERT_TRUE(book.Load(path.c_str()));
    EXPECT_EQ(book.documentName, "Sheets");
    EXPECT_EQ(book.versionText, "4.1");
}

TEST_F(PlanPages, IconsComeFromThePreviewUnlessTurnedOff)
{
    std::string path = scratch.Write("icon.pln", FullPlan(WW).Build());
    HICON large = nullptr;
    HICON small = nullptr;
    ASSERT_EQ(ExtractIcons(path, large, small), S_OK);
    unique_hicon ownedLarge(large), ownedSmall(small);
    // Drawn at its own size: 16 x 16 of the red preview.
    Canvas canvas(32, 32, RGB(255, 0, 255));
    DrawIconEx(canvas.Dc(), 0, 0, small, 0, 0, 0, nullptr, DI_NORMAL);
    EXPECT_EQ(canvas.At(8, 8), RGB(255, 0, 0));
    EXPECT_EQ(canvas.At(15, 15), RGB(255, 0, 0));
    EXPECT_EQ(canvas.At(16, 16), RGB(255, 0, 255));

    DWORD off = 0;
    RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\Orvenstaal\\ShellExtension", "PreviewIcons", REG_DWORD, &off, 4);
    ASSERT_EQ(ExtractIcons(path, large, small), S_OK);
    EXPECT_EQ(large, LoadIconA(server.Module(), MAKEINTRESOURCEA(170)));
    EXPECT_EQ(small, large);
}

}  // namespace
}  // namespace orv::test
