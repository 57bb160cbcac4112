#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>

#include "InfoFileBuilder.h"
#include "RecordingFile.h"
#include "ScopedCharTables.h"
#include "libpart/InfoFiles.h"
#include "util/MemoryFile.h"

namespace orv {
namespace {

using test::InfoFileBuilder;
using Listing = std::optional<std::string>;

const StringCompare ByteCompare = [](const char* a, const char* b) { return std::strcmp(a, b); };
const StringCompare ReversedCompare = [](const char* a, const char* b) { return std::strcmp(b, a); };

const FontHeadings headings{"Macintosh vector fonts:", "Windows vector fonts:"};

// The listing as text, or nothing when it could not be built; a failed build leaves no text.
Listing TextOf(bool built, const TextBuffer& listing)
{
    if (!built) {
        EXPECT_EQ(listing.GetText(), nullptr);
        return std::nullopt;
    }
    return std::string(listing.GetText(), listing.GetLength());
}

TEST(InfoRecords, NamesAreTranslatedFromMacCharactersNumbersMadeNativeAndThePositionKept)
{
    test::ScopedCharTables roman;
    MemoryFile file(InfoFileBuilder().Info("Gr\x8A", "\x8A", "\x8A").Build());
    ASSERT_TRUE(file.Seek(5));
    InfoRecord record{};
    ASSERT_TRUE(ReadInfoRecord(file, 40, record));
    EXPECT_EQ(std::string(record.groupName) + "|" + record.itemName + "|" + record.itemDetail,
              "Gr\xE4|\xE4|\x8A");
    for (int i = 0; i < 14; ++i)
        EXPECT_EQ(record.values[i], i + 1);
    EXPECT_EQ(file.Position(), 5u);
    EXPECT_FALSE(ReadInfoRecord(file, 41, record));
    EXPECT_EQ(file.Position(), 5u);
}

// Data files list their records by group, vector font files their fonts, the
// Macintosh's first, by name and version; a file that cannot be listed whole gives nothing.
TEST(InfoListing, ListsRecordsByGroupAndFontsByNameOrGivesNothing)
{
    test::ScopedCharTables roman;
    const uint32_t recordStart = 20 + 2 * 20;
    auto fruit = InfoFileBuilder().Info("apple", "x", "").Info("Banana", "y", "").Build();
    InfoFileBuilder same;
    std::string sameListed = "g:\r\n";
    for (int i = 0; i < 40; ++i) {
        same.Info("g", "i", "d");
        sameListed += "        i d\r\n";
    }
    auto withInfo = [] { return InfoFileBuilder().Info("g", "i", "d"); };
    auto placed = [&withInfo](uint32_t start, uint32_t length) {
        return withInfo().PlacedEntry("info", 0, start, length).Build();
    };
    auto geneva = [] { return InfoFileBuilder().FontTable("MACT", 1, "Geneva"); };
    auto withTable = [](uint32_t start, uint32_t length) {
        return InfoFileBuilder().PlacedEntry("MACT", 1, start, length).Version(1, "1.0").Build();
    };
    auto withVersion = [&geneva](uint32_t start, uint32_t length) {
        return geneva().PlacedEntry("VERS", 1, start, length).Build();
    };
    enum Kind { Records, Fonts };
    const struct {
        const char* what;
        Kind kind;
        std::vector<uint8_t> bytes;
        Listing listing;
        StringCompare compare = ByteCompare;
    } cases[] = {
        {"groups and items sorted", Records,
         InfoFileBuilder().Info("Materials", "Steel", "S235").Version(1, "not an info entry")
             .Info("Layers", "Walls", "1").Info("Materials", "Brick", "red").Info("Materials", "Brick", "blue")
             .Build(),
         "Layers:\r\n        Walls 1\r\nMaterials:\r\n        Brick blue\r\n        Brick red\r\n"
         "        Steel S235\r\n"},
        {"forty equal records", Records, same.Build(), sameListed},
        {"byte order", Records, fruit, "Banana:\r\n        y \r\napple:\r\n        x \r\n"},
        {"the caller's order", Records, fruit, "apple:\r\n        x \r\nBanana:\r\n        y \r\n",
         ReversedCompare},
        {"Mac group names in Windows characters", Records,
         InfoFileBuilder().Info("K\x8A" "se", "Brie", "\x8A").Build(), "K\xE4se:\r\n        Brie \x8A\r\n"},
        {"unterminated fields show their first 31 characters", Records,
         InfoFileBuilder().Info(std::string(40, 'G'), std::string(32, 'I'), std::string(32, 'D')).Build(),
         std::string(31, 'G') + ":\r\n        " + std::string(31, 'I') + " " + std::string(31, 'D') + "\r\n"},
        {"no entries", Records, InfoFileBuilder().Build(), std::nullopt},
        {"no info entries", Records, InfoFileBuilder().FontTable("MACT", 1, "G").Build(), std::nullopt},
        {"negative count", Records, withInfo().StoredCount(-5).Build(), std::nullopt},
        {"header cut", Records, test::Cut(fruit, 19), std::nullopt},
        {"directory cut", Records, test::Cut(fruit, 50), std::nullopt},
        {"count beyond the file", Records, withInfo().StoredCount(0x7FFFFFFF).Build(), std::nullopt},
        {"record beyond the file", Records, placed(0x10000, 124), std::nullopt},
        {"length beyond the file", Records, placed(recordStart, ~0u - 15), std::nullopt},
        {"each heading between empty lines", Fonts,
         InfoFileBuilder().FontTable("WICT", 1, "Arial").Version(3, "1.1").FontTable("MACT", 2, "Geneva")
             .FontTable("MACT", 3, "Chicago").Version(1, "3.0").Version(2, "2.0").Build(),
         "\r\nMacintosh vector fonts:\r\n     Chicago 1.1\r\n     Geneva 2.0\r\n"
         "\r\nWindows vector fonts:\r\n     Arial 3.0\r\n"},
        {"names and versions cut, ties by version", Fonts,
         InfoFileBuilder().Entry("WICT", 1, std::vector<uint8_t>(514, 'x')).Version(1, "1.0")
             .FontTable("WICT", 2, std::string(200, 'N')).Version(2, std::string(40, 'V'))
             .FontTable("WICT", 3, "Same").FontTable("WICT", 4, "Same").Version(4, "b").Version(3, "a")
             .Version(3, "later entries of an id are not its version").Build(),
         "\r\nWindows vector fonts:\r\n      1.0\r\n     " + std::string(127, 'N') + " " +
             std::string(31, 'V') + "\r\n     Same a\r\n     Same b\r\n"},
        {"another font's version", Fonts, geneva().Version(2, "1").Build(), std::nullopt},
        {"a font without", Fonts, geneva().Version(1, "1").FontTable("WICT", 2, "Arial").Build(), std::nullopt},
        {"versions only", Fonts, InfoFileBuilder().Info("g", "i", "d").Version(0, "1").Build(), std::nullopt},
        {"table length beyond the file", Fonts, withTable(0, 0x7FFFFFFF), std::nullopt},
        {"short table beyond the file", Fonts, withTable(0x10000, 10), std::nullopt},
        {"version length beyond the file", Fonts, withVersion(0, 0x80000000), std::nullopt},
        {"count beyond the file", Fonts, geneva().Version(1, "1").StoredCount(1 << 30).Build(), std::nullopt},
    };
    for (const auto& c : cases) {
        MemoryFile file(c.bytes);
        TextBuffer listing;
        bool built = c.kind == Fonts ? BuildFontListing(file, headings, c.compare, listing)
                                     : BuildInfoListing(file, c.compare, listing);
        EXPECT_EQ(TextOf(built, listing), c.listing) << c.what;
    }
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
