#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <optional>
#include <string>
#include <tuple>

#include "ByteWriter.h"
#include "InfoFileBuilder.h"
#include "RecordingFile.h"
#include "ScopedCharTables.h"
#include "libpart/InfoFiles.h"
#include "util/CharTables.h"
#include "util/MemoryFile.h"

namespace orv {
namespace {

using ActiveTables = test::ScopedCharTables;
using test::InfoFileBuilder;

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

// The listing as text, or nothing when it could not be built; a failed build leaves no text.
std::optional<std::string> TextOf(bool built, const TextBuffer& listing)
{
    if (!built) {
        EXPECT_EQ(listing.GetText(), nullptr);
        return std::nullopt;
    }
    return std::string(listing.GetText(), listing.GetLength());
}

std::optional<std::string> InfoListing(const std::vector<uint8_t>& bytes,
                                       StringCompare compare = ByteCompare)
{
    MemoryFile file(bytes);
    TextBuffer listing;
    return TextOf(BuildInfoListing(file, compare, listing), listing);
}

std::optional<std::string> FontListing(const std::vector<uint8_t>& bytes)
{
    MemoryFile file(bytes);
    TextBuffer listing;
    return TextOf(BuildFontListing(file, headings, ByteCompare, listing), listing);
}

TEST(InfoDirectory, EntriesAreReadBigEndianAndShortOnesFail)
{
    test::ByteWriter bytes(test::ByteOrder::Big);
    bytes.Tag("WICT").U32(7).U32(0x01020304).U32(514).U32(0xFFFFFFFE);
    MemoryFile file(bytes.Data());
    DataDirectoryEntry entry{};
    ASSERT_TRUE(ReadDirectoryEntry(file, entry));
    EXPECT_EQ(std::tuple(entry.tag, entry.id, entry.dataStart, entry.dataLength, entry.reserved),
              std::tuple(WictTag, 7u, 0x01020304u, 514u, 0xFFFFFFFEu));
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
    auto truncated = twoEntries.Build();
    truncated.resize(20 + 20 + 10);
    for (const auto& bytes : {InfoFileBuilder(twoEntries).StoredCount(1000000).Build(),
                              InfoFileBuilder(twoEntries).StoredCount(-1).Build(), truncated,
                              std::vector<uint8_t>(truncated.begin(), truncated.begin() + 19)}) {
        MemoryFile file(bytes);
        EXPECT_EQ(CountTaggedEntries(file, VersTag), 0u) << bytes.size();
    }
}

TEST(InfoRecords, NamesAreTranslatedFromMacCharactersAndNumbersMadeNative)
{
    ActiveTables roman(&RomanChars);
    MemoryFile file(InfoFileBuilder().Info("Gr\x8A", "\x8A", "\x8A").Build());
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

TEST(InfoListing, GroupsComeInTheGivenOrderEachHeadingOnce)
{
    ActiveTables roman(&RomanChars);
    auto fruit = InfoFileBuilder().Info("apple", "x", "").Info("Banana", "y", "").Build();
    const struct {
        const char* what;
        std::vector<uint8_t> bytes;
        StringCompare compare;
        std::string listing;
    } cases[] = {
        {"groups and items sorted", InfoFileBuilder()
                                        .Info("Materials", "Steel", "S235")
                                        .Version(1, "not an info entry")
                                        .Info("Layers", "Walls", "1")
                                        .Info("Materials", "Brick", "red")
                                        .Info("Materials", "Brick", "blue")
                                        .Build(),
         ByteCompare,
         "Layers:\r\n"
         "        Walls 1\r\n"
         "Materials:\r\n"
         "        Brick blue\r\n"
         "        Brick red\r\n"
         "        Steel S235\r\n"},
        {"byte order", fruit, ByteCompare, "Banana:\r\n        y \r\napple:\r\n        x \r\n"},
        {"folded order", fruit, FoldedCompare, "apple:\r\n        x \r\nBanana:\r\n        y \r\n"},
        {"Mac group names shown in Windows characters",
         InfoFileBuilder().Info("K\x8A" "se", "Brie", "\x8A").Build(), ByteCompare,
         "K\xE4se:\r\n        Brie \x8A\r\n"},
        {"unterminated fields show their first 31 characters",
         InfoFileBuilder().Info(std::string(40, 'G'), std::string(32, 'I'), std::string(32, 'D'))
             .Build(),
         ByteCompare,
         std::string(31, 'G') + ":\r\n        " + std::string(31, 'I') + " " + std::string(31, 'D') +
             "\r\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(InfoListing(c.bytes, c.compare), c.listing) << c.what;
}

TEST(InfoListing, FilesWithoutWholeInfoRecordsGiveNoListing)
{
    const uint32_t recordStart = 20 + 2 * 20;
    auto cut = InfoFileBuilder().Info("g", "i", "d").Build();
    cut.pop_back();
    auto withInfo = [] { return InfoFileBuilder().Info("g", "i", "d"); };
    const struct { const char* what; std::vector<uint8_t> bytes; } cases[] = {
        {"no entries", InfoFileBuilder().Build()},
        {"no info entries", InfoFileBuilder().FontTable("MACT", 1, "Geneva").Version(1, "1").Build()},
        {"negative count", withInfo().StoredCount(-5).Build()},
        {"no file", {}},
        {"count beyond the file", withInfo().StoredCount(0x7FFFFFFF).Build()},
        {"count one too many", withInfo().StoredCount(8).Build()},
        {"record beyond the file", withInfo().PlacedEntry("info", 0, 0x10000, 124).Build()},
        {"record cut by the end", withInfo().PlacedEntry("info", 0, recordStart + 1, 124).Build()},
        {"length beyond the file", withInfo().PlacedEntry("info", 0, recordStart, ~0u - 15).Build()},
        {"start and length past 32 bits", withInfo().PlacedEntry("info", 0, 0xFFFFFF00, 0x200).Build()},
        {"last record cut", cut},
    };
    for (const auto& [what, bytes] : cases)
        EXPECT_EQ(InfoListing(bytes), std::nullopt) << what;
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

TEST(FontListing, FontTablesWithoutTheirVersionOrWithinTheFileGiveNoListing)
{
    auto geneva = [] { return InfoFileBuilder().FontTable("MACT", 1, "Geneva"); };
    auto withTable = [](uint32_t start, uint32_t length) {
        return InfoFileBuilder().PlacedEntry("MACT", 1, start, length).Version(1, "1.0").Build();
    };
    auto withVersion = [&geneva](uint32_t start, uint32_t length) {
        return geneva().PlacedEntry("VERS", 1, start, length).Build();
    };
    const struct { const char* what; std::vector<uint8_t> bytes; } cases[] = {
        {"no version", geneva().Build()},
        {"another font's version", geneva().Version(2, "1").Build()},
        {"one font without", geneva().Version(1, "1").FontTable("WICT", 2, "Arial").Build()},
        {"versions only", InfoFileBuilder().Info("g", "i", "d").Version(0, "1").Build()},
        {"name beyond the file", withTable(0x10000, 600)},
        {"table length beyond the file", withTable(0, 0x7FFFFFFF)},
        {"name start past 32 bits", withTable(0xFFFFFFF0, 600)},
        {"short table beyond the file", withTable(0x10000, 10)},
        {"version beyond the file", withVersion(0x10000, 3)},
        {"version length beyond the file", withVersion(0, 0x80000000)},
        {"count beyond the file", geneva().Version(1, "1").StoredCount(1 << 30).Build()},
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
    // Counting the reads tells a linear scan from a quadratic one.
    test::RecordingFile file(builder.Build());
    TextBuffer listing;
    ASSERT_TRUE(BuildFontListing(file, headings, ByteCompare, listing));
    EXPECT_LT(file.Count("read"), 20u * tables);
}

}  // namespace
}  // namespace orv
