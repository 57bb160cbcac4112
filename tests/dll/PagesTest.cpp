#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "InfoFileBuilder.h"
#include "PropertySheetHost.h"
#include "ScratchFolder.h"
#include "ServerFixture.h"
#include "SfoldBuilder.h"

namespace orv::test {
namespace {

struct ShownPages {
    HRESULT addPages = E_FAIL;
    std::vector<host::PageInfo> pages;
};

// What the Properties dialog of a file shows.
class Pages : public ServerFixture {
protected:
    ScratchFolder scratch;

    ShownPages Show(const std::string& path)
    {
        ShownPages shown;
        shown.pages = OpenProperties(path, &shown.addPages)->ReadPages();
        EXPECT_EQ(server.CanUnloadNow(), S_OK) << "a page kept its object";
        if (std::filesystem::is_regular_file(path)) {
            EXPECT_TRUE(OpensExclusively(path)) << "the document stayed open";
        }
        return shown;
    }
};

TEST_F(Pages, InfoFilesListTheirRecordsOnOneTextPage)
{
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
        const char* text;
    } cases[] = {
        // Sorted by category and name, in the ANSI code page.
        {"materials.qpd",
         InfoFileBuilder().Info("Materials", "Stone", "grey").Info("Layers", "Walls", "12")
             .Info("Materials", "Brick", "red").Info("Gl\x8A" "ser", "Clear", "").Build(),
         "Gl\xE4ser:\r\n        Clear \r\n"
         "Layers:\r\n        Walls 12\r\n"
         "Materials:\r\n        Brick red\r\n        Stone grey\r\n"},
        // Macintosh tables first; a font without a name still shows its version.
        {"fonts.vec",
         InfoFileBuilder().FontTable("WICT", 2, "Arial Outline").FontTable("MACT", 1, "Chicago Outline")
             .FontTable("MACT", 3, "").Version(1, "1.2").Version(2, "2.0").Version(3, "0.9").Build(),
         "\r\nMacintosh vector fonts:\r\n      0.9\r\n     Chicago Outline 1.2\r\n"
         "\r\nWindows vector fonts:\r\n     Arial Outline 2.0\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ShownPages shown = Show(scratch.Write(c.name, c.bytes));
        EXPECT_EQ(shown.addPages, S_OK);
        ASSERT_EQ(shown.pages.size(), 1u);
        EXPECT_EQ(shown.pages[0].title, "Info");
        const host::ControlInfo* text = FindControl(shown.pages[0], 1015);
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(text->text, c.text);
        EXPECT_EQ(text->selectionStart, text->selectionEnd) << "the text came up selected";
    }
}

TEST_F(Pages, DocumentsThatCannotBeReadGetNoPage)
{
    std::vector<uint8_t> huge = InfoFileBuilder().Info("A", "B", "C").StoredCount(0x7FFFFFFF).Build();
    std::vector<uint8_t> damagedBook = SfoldBook(SfoldFields{});
    damagedBook[50] ^= 0x01;
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"empty.qdd", {}},
        {"noinfo.qdd", InfoFileBuilder().Entry("VERS", 1, {1, 2, 3}).Build()},
        {"noversion.vec", InfoFileBuilder().FontTable("MACT", 1, "Geneva").Version(2, "1.0").Build()},
        {"garbage.qpd", std::vector<uint8_t>(300, 0xA5)},
        {"hugecount.qpd", huge},
        {"truncated.qpd", std::vector<uint8_t>(huge.begin(), huge.begin() + 30)},
        {"outside.qpd", InfoFileBuilder().PlacedEntry("info", 1, 0xFFFFFF00u, 124).Build()},
        {"damaged.lay", damagedBook},
    };
    for (const auto& c : cases) {
        ShownPages shown = Show(scratch.Write(c.name, c.bytes));
        EXPECT_EQ(shown.addPages, E_FAIL) << c.name;
        EXPECT_TRUE(shown.pages.empty()) << c.name;
    }
}

TEST_F(Pages, PathsThatNameNoDocumentGetNoPage)
{
    std::string folder = scratch.PathOf("folder.qpd");
    CreateDirectoryA(folder.c_str(), nullptr);
    for (const std::string& path : {folder, scratch.PathOf("missing.qpd"), scratch.PathOf("noextension")}) {
        ShownPages shown = Show(path);
        EXPECT_NE(shown.addPages, S_OK) << path;
        EXPECT_TRUE(shown.pages.empty()) << path;
    }
}

}  // namespace
}  // namespace orv::test
