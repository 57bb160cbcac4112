#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <optional>
#include <string>

#include "ByteWriter.h"
#include "InfoFileBuilder.h"
#include "ScopedCharTables.h"
#include "libpart/InfoFiles.h"
#include "util/CharTables.h"
#include "util/MemoryFile.h"

namespace orv {
namespace {

using ActiveTables = test::ScopedCharTables;

using test::InfoFileBuilder;

// Counts the reads that reach the file, to tell a linear scan from a quadratic one.
class CountingFile : public File {
public:
    explicit CountingFile(std::vector<uint8_t> bytes) : file(std::move(bytes)) {}

    uint32_t Read(void* buffer, uint32_t count) override
    {
        ++reads;
        return file.Read(buffer, count);
    }
    uint32_t Write(const void* buffer, uint32_t count) override { return file.Write(buffer, count); }
    bool Seek(uint64_t position) override { return file.Seek(position); }
    uint64_t Position() const override { return file.Position(); }
    uint64_t Size() const override { return file.Size(); }
    bool Cut() override { return file.Cut(); }

    uint64_t reads = 0;

private:
    MemoryFile file;
};

int ByteCompare(const char* a, const char* b)
{
    return std::strcmp(a, b);
}

int FoldedCompare(const char* a, const char* b)
{
    for (;; ++a, ++b) {
        int difference = std::tolower(static_cast<unsigned char>(*a)) -
                         std::tolower(static_cast<unsigned char>(*b));
        if (difference != 0 || *a == '\0')
            return difference;
    }
}

const FontHeadings headings{"Macintosh vector fonts:", "Windows vector fonts:"};

std::optional<std::string> InfoListing(const std::vector<uint8_t>& bytes,
                                       StringCompare compare = ByteCompare)
{
    MemoryFile file(bytes);
    TextBuffer listing;
    if (!BuildInfoListing(file, compare, listing)) {
        EXPECT_EQ(listing.GetText(), nullptr);
        return std::nullopt;
    }
    return std::string(listing.GetText(), listing.GetLength());
}

std::optional<std::string> FontListing(const std::vector<uint8_t>& bytes)
{
    MemoryFile file(bytes);
    TextBuffer listing;
    if (!BuildFontListing(file, headings, ByteCompare, listing)) {
        EXPECT_EQ(listing.GetText(), nullptr);
        return std::nullopt;
    }
    return std::string(listing.GetText(), listing.GetLength());
}

TEST(InfoDirectory, EntriesAreReadBigEndianAndShortOnesFail)
{
    test::ByteWriter bytes(test::ByteOrder::Big);
    bytes.Tag("WICT").U32(7).U32(0x01020304).U32(514).U32(0xFFFFFFFE);
    MemoryFile file(bytes.Data());
    DataDirectoryEntry entry{};
    ASSERT_TRUE(ReadDirectoryEntry(file, entry));
    EXPECT_EQ(entry.tag, WictTag);
    EXPECT_EQ(entry.id, 7u);
    EXPECT_EQ(entry.dataStart, 0x01020304u);
    EXPECT_EQ(entry.dataLength, 514u);
    EXPECT_EQ(entry.reserved, 0xFFFFFFFEu);
    EXPECT_EQ(file.Position(), 20u);

    MemoryFile shortFile(bytes.Data().data(), 19);
    EXPECT_FALSE(ReadDirectoryEntry(shortFile, entry));
}

TEST(InfoDirectory, ScansStartAtTheHeaderAndGiveThePositionBack)
{
    MemoryFile file(InfoFileBuilder()
                        .Info("g", "i", "d")
                        .Version(7, "first")
                        .Version(9, "other")
                        .Version(7, "second")
                        .Build());
    ASSERT_TRUE(file.Seek(33));
    EXPECT_EQ(CountTaggedEntries(file, InfoTag), 1u);
    EXPECT_EQ(CountTaggedEntries(file, VersTag), 3u);
    EXPECT_EQ(CountTaggedEntries(file, MactTag), 0u);
    EXPECT_EQ(file.Position(), 33u);
}

TEST(InfoDirectory, CountsTheFileCannotHoldFindNothing)
{
    auto twoEntries = InfoFileBuilder().Version(1, "a").Version(2, "b");
    MemoryFile overstated(InfoFileBuilder(twoEntries).StoredCount(1000000).Build());
    EXPECT_EQ(CountTaggedEntries(overstated, VersTag), 0u);

    MemoryFile negative(InfoFileBuilder(twoEntries).StoredCount(-1).Build());
    EXPECT_EQ(CountTaggedEntries(negative, VersTag), 0u);

    auto bytes = twoEntries.Build();
    bytes.resize(20 + 20 + 10);
    MemoryFile truncated(bytes);
    EXPECT_EQ(CountTaggedEntries(truncated, VersTag), 0u);

    MemoryFile headerOnly(bytes.data(), 19);
    EXPECT_EQ(CountTaggedEntries(headerOnly, VersTag), 0u);
}

TEST(InfoRecords, NamesAreTranslatedFromMacCharactersAndNumbersMadeNative)
{
    ActiveTables roman(&RomanChars);
    auto bytes = InfoFileBuilder().Info("Gr\x8A", "\x8A", "\x8A").Build();
    MemoryFile file(bytes);
    ASSERT_TRUE(file.Seek(5));
    InfoRecord record{};
    ASSERT_TRUE(ReadInfoRecord(file, 40, record));
    EXPECT_STREQ(record.groupName, "Gr\xE4");
    EXPECT_STREQ(record.itemName, "\xE4");
    EXPECT_STREQ(record.itemDetail, "\x8A");
    for (int i = 0; i < 14; ++i)
        EXPECT_EQ(record.values[i], i + 1);
    EXPECT_EQ(file.Position(), 5u);

    EXPECT_FALSE(ReadInfoRecord(file, 41, record));
    EXPECT_FALSE(ReadInfoRecord(file, uint64_t{1} << 40, record));
    EXPECT_EQ(file.Position(), 5u);
}

TEST(InfoRecords, BytesAreReadExactlyAtTheirStart)
{
    MemoryFile file(std::vector<uint8_t>{'a', 'b', 'c', 'd', 'e'});
    ASSERT_TRUE(file.Seek(1));
    char bytes[4] = {};
    EXPECT_TRUE(ReadBytesAt(file, 2, 3, bytes));
    EXPECT_STREQ(bytes, "cde");
    EXPECT_EQ(file.Position(), 1u);
    EXPECT_FALSE(ReadBytesAt(file, 3, 3, bytes));
    EXPECT_EQ(file.Position(), 1u);
    EXPECT_TRUE(ReadBytesAt(file, 1000, 0, nullptr));
}

TEST(InfoListing, GroupsComeInOrderEachHeadingOnce)
{
    auto bytes = InfoFileBuilder()
                     .Info("Materials", "Steel", "S235")
                     .Version(1, "not an info entry")
                     .Info("Layers", "Walls", "1")
                     .Info("Materials", "Brick", "red")
                     .Info("Materials", "Brick", "blue")
                     .Build();
    EXPECT_EQ(InfoListing(bytes),
              "Layers:\r\n"
              "        Walls 1\r\n"
              "Materials:\r\n"
              "        Brick blue\r\n"
              "        Brick red\r\n"
              "        Steel S235\r\n");
}

TEST(InfoListing, TheGivenComparisonDecidesTheOrder)
{
    auto bytes = InfoFileBuilder().Info("apple", "x", "").Info("Banana", "y", "").Build();
    EXPECT_EQ(InfoListing(bytes, ByteCompare), "Banana:\r\n        y \r\napple:\r\n        x \r\n");
    EXPECT_EQ(InfoListing(bytes, FoldedCompare), "apple:\r\n        x \r\nBanana:\r\n        y \r\n");
}

TEST(InfoListing, MacGroupNamesShowInWindowsCharacters)
{
    ActiveTables roman(&RomanChars);
    EXPECT_EQ(InfoListing(InfoFileBuilder().Info("K\x8A" "se", "Brie", "\x8A").Build()),
              "K\xE4se:\r\n        Brie \x8A\r\n");
}

TEST(InfoListing, UnterminatedFieldsShowTheirFirst31Characters)
{
    std::string group(40, 'G');
    std::string item(32, 'I');
    std::string detail(32, 'D');
    EXPECT_EQ(InfoListing(InfoFileBuilder().Info(group, item, detail).Build()),
              std::string(31, 'G') + ":\r\n        " + std::string(31, 'I') + " " +
                  std::string(31, 'D') + "\r\n");
}

TEST(InfoListing, FilesWithoutInfoRecordsGiveNoListing)
{
    EXPECT_EQ(InfoListing(InfoFileBuilder().Build()), std::nullopt);
    EXPECT_EQ(InfoListing(InfoFileBuilder().FontTable("MACT", 1, "Geneva").Version(1, "1").Build()),
              std::nullopt);
    EXPECT_EQ(InfoListing(InfoFileBuilder().Info("g", "i", "d").StoredCount(-5).Build()), std::nullopt);
    EXPECT_EQ(InfoListing({}), std::nullopt);
}

TEST(InfoListing, HostileDirectoriesGiveNoListing)
{
    const uint32_t recordStart = 20 + 2 * 20;
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"count beyond the file",
         InfoFileBuilder().Info("g", "i", "d").StoredCount(0x7FFFFFFF).Build()},
        {"count one too many", InfoFileBuilder().Info("g", "i", "d").StoredCount(8).Build()},
        {"record beyond the file",
         InfoFileBuilder().Info("g", "i", "d").PlacedEntry("info", 0, 0x10000, 124).Build()},
        {"record cut by the end",
         InfoFileBuilder().Info("g", "i", "d").PlacedEntry("info", 0, recordStart + 1, 124).Build()},
        {"length beyond the file",
         InfoFileBuilder().Info("g", "i", "d").PlacedEntry("info", 0, recordStart, ~0u - 15).Build()},
        {"start and length past 32 bits",
         InfoFileBuilder().Info("g", "i", "d").PlacedEntry("info", 0, 0xFFFFFF00, 0x200).Build()},
    };
    for (const auto& [what, bytes] : cases)
        EXPECT_EQ(InfoListing(bytes), std::nullopt) << what;

    auto bytes = InfoFileBuilder().Info("g", "i", "d").Build();
    bytes.pop_back();
    EXPECT_EQ(InfoListing(bytes), std::nullopt) << "last record cut";
}

TEST(FontListing, MacintoshFontsComeFirstEachHeadingBetweenEmptyLines)
{
    auto bytes = InfoFileBuilder()
                     .FontTable("WICT", 1, "Arial")
                     .Version(3, "1.1")
                     .FontTable("MACT", 2, "Geneva")
                     .FontTable("MACT", 3, "Chicago")
                     .Version(1, "3.0")
                     .Version(2, "2.0")
                     .Build();
    EXPECT_EQ(FontListing(bytes),
              "\r\n"
              "Macintosh vector fonts:\r\n"
              "     Chicago 1.1\r\n"
              "     Geneva 2.0\r\n"
              "\r\n"
              "Windows vector fonts:\r\n"
              "     Arial 3.0\r\n");
}

TEST(FontListing, NamesAndVersionsAreCutAndTiesGoByVersion)
{
    auto bytes = InfoFileBuilder()
                     .Entry("WICT", 1, std::vector<uint8_t>(514, 'x'))
                     .Version(1, "1.0")
                     .FontTable("WICT", 2, std::string(200, 'N'))
                     .Version(2, std::string(40, 'V'))
                     .FontTable("WICT", 3, "Same")
                     .FontTable("WICT", 4, "Same")
                     .Version(4, "b")
                     .Version(3, "a")
                     .Version(3, "later entries of an id are not its version")
                     .Build();
    EXPECT_EQ(FontListing(bytes),
              "\r\nWindows vector fonts:\r\n"
              "      1.0\r\n"
              "     " + std::string(127, 'N') + " " + std::string(31, 'V') + "\r\n"
              "     Same a\r\n"
              "     Same b\r\n");
}

TEST(FontListing, FontTablesWithoutTheirVersionGiveNoListing)
{
    EXPECT_EQ(FontListing(InfoFileBuilder().FontTable("MACT", 1, "Geneva").Build()), std::nullopt);
    EXPECT_EQ(FontListing(InfoFileBuilder().FontTable("MACT", 1, "Geneva").Version(2, "1").Build()),
              std::nullopt);
    EXPECT_EQ(FontListing(InfoFileBuilder()
                              .FontTable("MACT", 1, "Geneva")
                              .Version(1, "1")
                              .FontTable("WICT", 2, "Arial")
                              .Build()),
              std::nullopt);
    EXPECT_EQ(FontListing(InfoFileBuilder().Info("g", "i", "d").Version(0, "1").Build()), std::nullopt);
}

TEST(FontListing, HostileEntriesGiveNoListing)
{
    auto withTable = [](uint32_t start, uint32_t length) {
        return InfoFileBuilder().PlacedEntry("MACT", 1, start, length).Version(1, "1.0").Build();
    };
    auto withVersion = [](uint32_t start, uint32_t length) {
        return InfoFileBuilder()
            .FontTable("MACT", 1, "Geneva")
            .PlacedEntry("VERS", 1, start, length)
            .Build();
    };
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"name beyond the file", withTable(0x10000, 600)},
        {"table length beyond the file", withTable(0, 0x7FFFFFFF)},
        {"name start past 32 bits", withTable(0xFFFFFFF0, 600)},
        {"short table beyond the file", withTable(0x10000, 10)},
        {"version beyond the file", withVersion(0x10000, 3)},
        {"version length beyond the file", withVersion(0, 0x80000000)},
        {"count beyond the file",
         InfoFileBuilder().FontTable("MACT", 1, "G").Version(1, "1").StoredCount(1 << 30).Build()},
    };
    for (const auto& [what, bytes] : cases)
        EXPECT_EQ(FontListing(bytes), std::nullopt) << what;
}

TEST(FontListing, ReadsGrowLinearlyWithTheDirectory)
{
    const uint32_t tables = 3000;
    InfoFileBuilder builder;
    for (uint32_t id = 0; id < tables; ++id)
        builder.PlacedEntry("MACT", id, 0, 0);
    for (uint32_t id = tables; id-- > 0;)
        builder.PlacedEntry("VERS", id, 0, 1);
    CountingFile file(builder.Build());
    TextBuffer listing;
    ASSERT_TRUE(BuildFontListing(file, headings, ByteCompare, listing));
    EXPECT_LT(file.reads, 20u * tables);
}

}  // namespace
}  // namespace orv
