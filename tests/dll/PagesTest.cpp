#include <gtest/gtest.h>

#include <string>

#include "ByteWriter.h"
#include "InfoFileBuilder.h"
#include "PropertySheetHost.h"
#include "ScratchFolder.h"
#include "ServerFixture.h"

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
        auto host = OpenProperties(path, &shown.addPages);
        shown.pages = host->ReadPages();
        host.reset();
        EXPECT_EQ(server.CanUnloadNow(), S_OK) << "a page kept its object";
        DWORD attributes = GetFileAttributesA(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            EXPECT_TRUE(OpensExclusively(path)) << "the document stayed open";
        }
        return shown;
    }

    // The text of control 1015 on the only page, with the page's title.
    std::pair<std::string, std::string> TextPage(const std::string& path)
    {
        ShownPages shown = Show(path);
        EXPECT_EQ(shown.addPages, S_OK);
        if (shown.pages.size() != 1)
            return {};
        const host::ControlInfo* text = FindControl(shown.pages[0], 1015);
        if (!text)
            return {shown.pages[0].title, "<no control 1015>"};
        EXPECT_EQ(text->selectionStart, text->selectionEnd) << "the text came up selected";
        return {shown.pages[0].title, text->text};
    }
};

TEST_F(Pages, DataFilesListTheirInfoRecordsSortedAndTranslated)
{
    std::string path = scratch.Write("materials.qpd", InfoFileBuilder()
                                                          .Info("Materials", "Stone", "grey")
                                                          .Info("Layers", "Walls", "12")
                                                          .Info("Materials", "Brick", "red")
                                                          .Info("Gl\x8A" "ser", "Clear", "")
                                                          .Build());
    auto [title, text] = TextPage(path);
    EXPECT_EQ(title, "Info");
    EXPECT_EQ(text,
              "Gl\xE4ser:\r\n        Clear \r\n"
              "Layers:\r\n        Walls 12\r\n"
              "Materials:\r\n        Brick red\r\n        Stone grey\r\n");
}

TEST_F(Pages, FontFilesListMacintoshTablesFirst)
{
    std::string path = scratch.Write("fonts.vec", InfoFileBuilder()
                                                      .FontTable("WICT", 2, "Arial Outline")
                                                      .FontTable("MACT", 1, "Chicago Outline")
                                                      .FontTable("MACT", 3, "")
                                                      .Version(1, "1.2")
                                                      .Version(2, "2.0")
                                                      .Version(3, "0.9")
                                                      .Build());
    auto [title, text] = TextPage(path);
    EXPECT_EQ(text,
              "\r\nMacintosh vector fonts:\r\n      0.9\r\n     Chicago Outline 1.2\r\n"
              "\r\nWindows vector fonts:\r\n     Arial Outline 2.0\r\n");
}

TEST_F(Pages, DocumentsThatCannotBeListedGetNoPage)
{
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
    };
    std::vector<uint8_t> huge = InfoFileBuilder().Info("A", "B", "C").StoredCount(0x7FFFFFFF).Build();
    const Case cases[] = {
        {"empty.qdd", {}},
        {"noinfo.qdd", InfoFileBuilder().Entry("VERS", 1, {1, 2, 3}).Build()},
        {"noversion.vec", InfoFileBuilder().FontTable("MACT", 1, "Geneva").Version(2, "1.0").Build()},
        {"garbage.qpd", std::vector<uint8_t>(300, 0xA5)},
        {"hugecount.qpd", huge},
        {"truncated.qpd", std::vector<uint8_t>(huge.begin(), huge.begin() + 30)},
        {"outside.qpd", InfoFileBuilder().PlacedEntry("info", 1, 0xFFFFFF00u, 124).Build()},
    };
    for (const Case& c : cases) {
        std::string path = scratch.Write(c.name, c.bytes);
        ShownPages shown = Show(path);
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
