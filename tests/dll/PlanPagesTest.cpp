#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GifWriter.h"
#include "PlanBuilder.h"
#include "ProjectDataBuilder.h"
#include "ScratchFolder.h"
#include "ServerFixture.h"
#include "SfoldBuilder.h"
#include "plan/SfoldFile.h"
#include "shell/win32/ShellInterfaces.h"

namespace orv::test {
namespace {

using Microsoft::WRL::ComPtr;

constexpr uint16_t WW = 0x5757;
constexpr uint16_t MM = 0x4D4D;

std::vector<uint8_t> Bytes(const std::string& text)
{
    return {text.begin(), text.end()};
}

// A 64 x 32 GIF in one colour.
std::vector<uint8_t> SolidGif(Rgb colour)
{
    GifImage image;
    image.width = 64;
    image.height = 32;
    image.minCodeSize = 2;
    image.indices.assign(64 * 32, 1);
    return GifWriter().Screen(64, 32, {{0, 0, 0}, colour}).Image(image).Trailer().Data();
}

// Signed in, with notes, project data (the third block) and a red preview.
PlanBuilder FullPlanBuilder(uint16_t platform)
{
    return PlanBuilder(platform)
        .Version(4550)
        .Release(42)
        .DocumentName("Villa Rosa")
        .SignInMarker('C')
        .Block(520, SignInBlock(platform == WW ? ByteOrder::Little : ByteOrder::Big, 12, 345, true, "C:\\Projects\\Villa"),
               PlanPointer::SignIn)
        .Block(270, Bytes("Notes\rline two"))
        .Block(584, ProjectDataRecord(platform, {"Villa", "Ann", "C", "VR-", "villa", "one\rtwo"}),
               PlanPointer::ProjectData)
        .Block(581, SolidGif({255, 0, 0}), PlanPointer::Preview);
}

std::vector<uint8_t> FullPlan(uint16_t platform)
{
    return FullPlanBuilder(platform).Build();
}

class PlanPages : public ServerFixture {
protected:
    ScratchFolder scratch;
};

TEST_F(PlanPages, AFullPlanShowsAllThreePagesWithItsFields)
{
    std::string path = scratch.Write("Villa.pln", FullPlan(WW));
    auto sheet = OpenProperties(path);
    std::vector<host::PageInfo> pages = sheet->ReadPages();
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[0].title, "Info && Preview");
    EXPECT_EQ(pages[1].title, "Project Notes");
    EXPECT_EQ(pages[2].title, "Project Info");

    struct Expected {
        int id;
        const char* text;
        bool visible;
    };
    for (Expected e : {Expected{1002, "  4.55", true}, Expected{1003, "Release:", true}, Expected{1004, "42", true},
                       Expected{1008, "Windows", true}, Expected{1010, "Villa Rosa", true},
                       Expected{1012, "12 / 345", true}, Expected{1014, "C:\\Projects\\Villa", true},
                       Expected{1015, "", false}}) {
        const host::ControlInfo* control = FindControl(pages[0], e.id);
        ASSERT_NE(control, nullptr) << e.id;
        EXPECT_EQ(control->text, e.text) << e.id;
        EXPECT_EQ(control->visible, e.visible) << e.id;
    }
    EXPECT_EQ(FindControl(pages[1], 1015)->text, "Notes\r\nline two");
    EXPECT_EQ(FindControl(pages[2], 1003)->text, "Villa");
    EXPECT_EQ(FindControl(pages[2], 1009)->text, "one\r\ntwo");
    EXPECT_FALSE(sheet->ApplyEnabled()) << "filling the pages is no change";
}

TEST_F(PlanPages, WithoutSignInThePreviewGrowsIntoTheFreedRows)
{
    auto full = OpenProperties(scratch.Write("full.pln", FullPlan(WW)));
    std::vector<host::PageInfo> fullPages = full->ReadPages();
    full.reset();
    ASSERT_FALSE(fullPages.empty());
    RECT label = FindControl(fullPages[0], 1009)->rect;
    RECT original = FindControl(fullPages[0], 1015)->rect;

    std::string path = scratch.Write("bare.pln", PlanBuilder(MM).Version(5000).Release(0).DocumentName("Bare").Build());
    auto sheet = OpenProperties(path);
    std::vector<host::PageInfo> pages = sheet->ReadPages();
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

TEST_F(PlanPages, RenamingRewritesOnlyTheNameField)
{
    std::vector<uint8_t> before = FullPlan(MM);
    std::string path = scratch.Write("rename.pln", before);
    auto sheet = OpenProperties(path);
    ASSERT_TRUE(sheet->SetControlText(1010, "Villa Bianca"));
    EXPECT_TRUE(sheet->ApplyEnabled());
    sheet->Apply();
    EXPECT_EQ(sheet->OkButtonText(), "Close");
    sheet.reset();

    std::vector<uint8_t> after = ReadWholeFile(path);
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < after.size(); ++i) {
        if (i < 16 || i >= 48) {
            ASSERT_EQ(after[i], before[i]) << "byte " << i;
        }
    }
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&after[16])), "Villa Bianca");
}

TEST_F(PlanPages, AFailedWriteKeepsTheFileAndTheCancelButton)
{
    std::vector<uint8_t> before = FullPlan(WW);
    std::string path = scratch.Write("locked.pln", before);
    auto sheet = OpenProperties(path);
    ASSERT_TRUE(sheet->SetControlText(1010, "Other"));
    HANDLE lock = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    sheet->Apply();
    CloseHandle(lock);
    EXPECT_EQ(sheet->OkButtonText(), "OK");
    sheet.reset();
    EXPECT_EQ(ReadWholeFile(path), before);
}

TEST_F(PlanPages, ProjectInfoWritesTheEditedRecordBack)
{
    PlanBuilder plan = FullPlanBuilder(MM);
    std::vector<uint8_t> before = plan.Build();
    size_t record = plan.BlockOffset(2) + 6;
    std::string path = scratch.Write("project.pln", before);
    auto sheet = OpenProperties(path);
    ASSERT_TRUE(sheet->SetControlText(1008, "villa, garden"));
    sheet->Apply();
    EXPECT_EQ(sheet->OkButtonText(), "Close");
    sheet.reset();

    std::vector<uint8_t> after = ReadWholeFile(path);
    ASSERT_EQ(after.size(), before.size());
    std::vector<size_t> changed;
    for (size_t i = 0; i < after.size(); ++i)
        if (after[i] != before[i])
            changed.push_back(i);
    ASSERT_FALSE(changed.empty());
    // Only the keywords field of the record moved; the comment kept its lone CR.
    for (size_t i : changed)
        EXPECT_LT(i - record - ProjectTextOffsets[4], 128u) << "byte " << i;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&after[record + ProjectTextOffsets[4]])), "villa, garden");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&after[record + ProjectTextOffsets[5]])), "one\rtwo");
}

TEST_F(PlanPages, AFullCommentOfManyLinesSurvivesAnEditElsewhere)
{
    // 127 stored characters; with CR LF line ends the page shows more than 127.
    std::string lines;
    for (char line = 'a'; line < 'a' + 18; ++line)
        lines += std::string("line ") + line + "\r";
    lines += "z";
    PlanBuilder plan = PlanBuilder(WW).Version(5000).Block(
        584, ProjectDataRecord(WW, {"P", "A", "R", "D", "k", lines}), PlanPointer::ProjectData);
    size_t record = plan.BlockOffset(0) + 6;
    std::string path = scratch.Write("lines.pln", plan.Build());
    auto sheet = OpenProperties(path);
    ASSERT_TRUE(sheet->SetControlText(1008, "keywords"));
    sheet->Apply();
    sheet.reset();
    std::vector<uint8_t> after = ReadWholeFile(path);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&after[record + ProjectTextOffsets[5]]), 127), lines);
}

TEST_F(PlanPages, LayoutBooksShowTheirHeaderAndTakeANewName)
{
    SfoldFields fields;
    fields.writerCode = 1;
    std::string path = scratch.Write("book.sfk", SfoldBook(fields, 372, ProjectDataRecord(WW, {"P", "A", "R", "D", "K", "C"})));
    auto sheet = OpenProperties(path);
    std::vector<host::PageInfo> pages = sheet->ReadPages();
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[0].title, "Info");
    EXPECT_EQ(pages[1].title, "Project Info");
    EXPECT_EQ(FindControl(pages[0], 1002)->text, "4.1 - Windows");
    EXPECT_EQ(FindControl(pages[0], 1006)->text, "Bauvelle");
    EXPECT_EQ(FindControl(pages[0], 1010)->text, "Book");

    ASSERT_TRUE(sheet->SetControlText(1010, "Sheets"));
    sheet->Apply();
    EXPECT_EQ(sheet->OkButtonText(), "Close");
    sheet.reset();
    SfoldFile book;
    ASSERT_TRUE(book.Load(path.c_str()));
    EXPECT_EQ(book.documentName, "Sheets");
    EXPECT_EQ(book.versionText, "4.1");
}

TEST_F(PlanPages, DamagedLayoutBooksGetNoPage)
{
    std::vector<uint8_t> bytes = SfoldBook(SfoldFields{});
    bytes[50] ^= 0x01;
    HRESULT addPages = S_OK;
    auto sheet = OpenProperties(scratch.Write("damaged.lay", bytes), &addPages);
    EXPECT_EQ(addPages, E_FAIL);
    EXPECT_EQ(sheet->PageCount(), 0u);
}

TEST_F(PlanPages, IconsComeFromThePreviewUnlessTurnedOff)
{
    std::string path = scratch.Write("icon.pln", FullPlan(WW));
    std::wstring wide(path.begin(), path.end());
    auto extract = [&](HICON& large, HICON& small) {
        auto persist = Create<IPersistFile>(IID_IPersistFile);
        ComPtr<IExtractIconA> icons;
        EXPECT_EQ(persist->Load(wide.c_str(), STGM_READ), S_OK);
        EXPECT_EQ(persist.As(&icons), S_OK);
        return icons->Extract("", 0, &large, &small, MAKELONG(32, 16));
    };
    HICON large = nullptr;
    HICON small = nullptr;
    ASSERT_EQ(extract(large, small), S_OK);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(small, &info));
    BITMAP facts = {};
    GetObjectA(info.hbmColor, sizeof facts, &facts);
    EXPECT_EQ(facts.bmWidth, 16);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, info.hbmColor);
    EXPECT_EQ(GetPixel(dc, 8, 8), RGB(255, 0, 0));
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(large);
    DestroyIcon(small);

    DWORD off = 0;
    RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\Orvenstaal\\ShellExtension", "PreviewIcons", REG_DWORD, &off, 4);
    ASSERT_EQ(extract(large, small), S_OK);
    EXPECT_EQ(large, LoadIconA(server.Module(), MAKEINTRESOURCEA(170)));
    EXPECT_EQ(small, large);
}

}  // namespace
}  // namespace orv::test
