#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "ProjectDataBuilder.h"
#include "ScopedCharTables.h"
#include "ScratchFolder.h"
#include "SfoldBuilder.h"
#include "UntouchableFile.h"
#include "plan/SfoldFile.h"
#include "util/CharTables.h"
#include "util/MemoryFile.h"

namespace orv {
namespace {

using RomanTables = test::ScopedCharTables;
using test::SfoldBook;
using test::SfoldFields;
using test::UntouchableFile;

constexpr uint32_t WW = 0x5757;
constexpr uint32_t MM = 0x4D4D;

// Only a platform byte of 1 keeps the header in Windows form.
SfoldFields Fields(uint8_t platformByte)
{
    SfoldFields fields;
    fields.platformByte = platformByte;
    fields.versionText = platformByte == 1 ? "Version 4.1 \xE9" : "Version 4.1 \x8E";
    fields.documentName = platformByte == 1 ? "Livre R\xE9sidence" : "Livre R\x8Esidence";
    return fields;
}

std::vector<uint8_t> Record(uint8_t platformByte)
{
    return test::ProjectDataRecord(platformByte == 1 ? WW : MM,
                                   {"Villa", "Author", "C", "VR-", "villa", "a\rb"});
}

// A book whose project data block follows the header, with its own length unless
// another is claimed.
std::vector<uint8_t> BookWithRecord(uint8_t platformByte,
                                    std::optional<uint32_t> claimed = std::nullopt)
{
    return SfoldBook(Fields(platformByte), 372, Record(platformByte), claimed);
}

bool ReadBook(SfoldFile& book, const std::vector<uint8_t>& bytes)
{
    MemoryFile file(bytes);
    return book.Read(file);
}

TEST(SfoldHeader, EveryPlatformByteFileKindAndWriterIsRead)
{
    RomanTables roman;
    // Platform byte 2 is Windows for the block header although the header fields are
    // converted as a Macintosh's.
    const struct {
        uint8_t platformByte;
        uint32_t fileKind;
        uint8_t writerCode;
        int32_t writer;
    } cases[] = {
        {0, 0x504C4F54, 1, 1}, {1, 0x504C4F54, 1, 1}, {2, 0x504C4F54, 0, 0},
        {0, 0x4C41594F, 0xFF, -1}, {1, 0x58585858, 0xFF, -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.platformByte) << " " << std::hex << c.fileKind);
        SfoldFields fields = Fields(c.platformByte);
        fields.fileKind = c.fileKind;
        fields.writerCode = c.writerCode;
        SfoldFile book;
        ASSERT_TRUE(ReadBook(book, SfoldBook(fields, 372, Record(c.platformByte))));
        EXPECT_EQ(std::tuple(book.platform, book.writerCode, book.versionText, book.documentName),
                  std::tuple(c.platformByte == 0 ? MM : WW, c.writer, "Version 4.1 \xE9",
                             "Livre R\xE9sidence"));
        EXPECT_EQ(book.projectDataOffset, 88u);
        EXPECT_EQ(book.projectData.Texts(),
                  (ProjectTexts{"Villa", "Author", "C", "VR-", "villa", "a\r\nb"}));
    }
}

TEST(SfoldHeader, OneFlippedBitAnywhereFailsTheCheck)
{
    for (uint8_t platformByte : {0, 1}) {
        std::vector<uint8_t> bytes = BookWithRecord(platformByte);
        SfoldFile intact;
        ASSERT_TRUE(ReadBook(intact, bytes));
        for (size_t bit = 0; bit < 88 * 8; ++bit) {
            std::vector<uint8_t> flipped = bytes;
            flipped[bit / 8] ^= static_cast<uint8_t>(1u << bit % 8);
            SfoldFile book;
            EXPECT_FALSE(ReadBook(book, flipped)) << "bit " << bit;
            EXPECT_EQ(book.platform, 0u);
        }
    }
}

TEST(SfoldHeader, ShortFilesFail)
{
    std::vector<uint8_t> bytes = BookWithRecord(1);
    for (size_t size : {0u, 87u, 88u, 93u}) {
        SfoldFile book;
        EXPECT_FALSE(ReadBook(book, std::vector<uint8_t>(bytes.begin(), bytes.begin() + size)))
            << size;
    }
    SfoldFile book;
    EXPECT_TRUE(ReadBook(book, std::vector<uint8_t>(bytes.begin(), bytes.begin() + 94)));
    EXPECT_EQ(book.projectDataOffset, 88u);
    EXPECT_EQ(book.projectData.Texts(), ProjectTexts{});
}

TEST(SfoldProjectData, IsLookedForOnlyRightAfterTheHeaderInThePlatformsOrder)
{
    std::vector<uint8_t> swapped = BookWithRecord(0);
    std::swap(swapped[88], swapped[89]);
    SfoldFile wrongOrder, notAt88, tooShort;
    ASSERT_TRUE(ReadBook(wrongOrder, swapped));
    EXPECT_FALSE(wrongOrder.HasProjectData());

    std::vector<uint8_t> later = SfoldBook(Fields(1), 17, {1, 2, 3});
    std::vector<uint8_t> block = BookWithRecord(1);
    later.insert(later.end(), block.begin() + 88, block.end());
    ASSERT_TRUE(ReadBook(notAt88, later));
    EXPECT_FALSE(notAt88.HasProjectData());

    ASSERT_TRUE(ReadBook(tooShort, BookWithRecord(1, 2047)));
    EXPECT_TRUE(tooShort.HasProjectData());
    EXPECT_EQ(tooShort.projectData.Texts(), ProjectTexts{});
}

TEST(SfoldDocumentName, OnlyTheNameChangesInTheRewrittenHeader)
{
    RomanTables roman;
    for (uint8_t platformByte : {0, 1, 2}) {
        SCOPED_TRACE(int(platformByte));
        std::vector<uint8_t> bytes = BookWithRecord(platformByte);
        SfoldFile book, reread;
        ASSERT_TRUE(ReadBook(book, bytes));
        MemoryFile file(bytes);
        ASSERT_TRUE(book.WriteDocumentName(file, "Caf\xE9 Nord"));
        EXPECT_EQ(book.documentName, "Caf\xE9 Nord");

        SfoldFields renamed = Fields(platformByte);
        renamed.documentName = platformByte == 1 ? "Caf\xE9 Nord" : "Caf\x8E Nord";
        renamed.nameFiller = false;
        EXPECT_EQ(file.Bytes(), SfoldBook(renamed, 372, Record(platformByte)));
        ASSERT_TRUE(reread.Read(file));
        EXPECT_EQ(reread.documentName, "Caf\xE9 Nord");
        EXPECT_EQ(reread.versionText, "Version 4.1 \xE9");
    }
}

TEST(SfoldDocumentName, NamesThatCannotBeStoredOrChangeNothingAreRefused)
{
    std::vector<uint8_t> bytes = SfoldBook(Fields(1));
    SfoldFile book, reread;
    ASSERT_TRUE(ReadBook(book, bytes));
    UntouchableFile untouchable;
    EXPECT_FALSE(book.WriteDocumentName(untouchable, ""));
    EXPECT_FALSE(book.WriteDocumentName(untouchable, std::string(32, 'n')));
    EXPECT_FALSE(book.WriteDocumentName(untouchable, book.documentName));

    MemoryFile file(bytes);
    ASSERT_TRUE(book.WriteDocumentName(file, std::string(31, 'n')));
    ASSERT_TRUE(reread.Read(file));
    EXPECT_EQ(reread.documentName, std::string(31, 'n'));
}

TEST(SfoldDocumentName, AFailedRewriteReportsFailureAndLeavesTheFile)
{
    std::vector<uint8_t> bytes = BookWithRecord(0);
    SfoldFile book;
    ASSERT_TRUE(ReadBook(book, bytes));
    std::string oldName = book.documentName;
    for (uint64_t allowance : {0u, 40u}) {
        MemoryFile file(bytes);
        file.LimitWrites(allowance);
        EXPECT_FALSE(book.WriteDocumentName(file, "New")) << allowance;
        EXPECT_EQ(book.documentName, oldName);
        if (allowance == 0) {
            EXPECT_EQ(file.Bytes(), bytes);
        }
        ASSERT_EQ(file.Bytes().size(), bytes.size());
        EXPECT_TRUE(std::equal(bytes.begin() + 88, bytes.end(), file.Bytes().begin() + 88));
    }

    // A header that no longer passes its check is not rewritten.
    bytes[50] ^= 1;
    MemoryFile damaged(bytes);
    EXPECT_FALSE(book.WriteDocumentName(damaged, "New"));
    EXPECT_EQ(damaged.Bytes(), bytes);
}

TEST(SfoldProjectData, OnlyTheRecordsTextsChange)
{
    RomanTables roman;
    for (uint8_t platformByte : {0, 1}) {
        SCOPED_TRACE(int(platformByte));
        std::vector<uint8_t> bytes = BookWithRecord(platformByte);
        SfoldFile book, reread;
        ASSERT_TRUE(ReadBook(book, bytes));
        ProjectTexts shown = book.projectData.Texts();
        shown.comments = "\xE9t\xE9\r\nhiver";
        MemoryFile file(bytes);
        ASSERT_TRUE(book.WriteProjectData(file, shown));

        std::string stored = platformByte == 1 ? "\xE9t\xE9\rhiver" : "\x8Et\x8E\rhiver";
        std::copy_n(stored.c_str(), stored.size() + 1, bytes.begin() + 94 + 656);
        EXPECT_EQ(file.Bytes(), bytes);
        ASSERT_TRUE(reread.Read(file));
        EXPECT_EQ(reread.projectData.Texts(), shown);
    }
}

TEST(SfoldProjectData, NothingIsWrittenWithoutAChangeOrAWholeRecord)
{
    std::vector<uint8_t> bytes = BookWithRecord(1), shortBlock = BookWithRecord(1, 2047);
    SfoldFile book, without, offered;
    ASSERT_TRUE(ReadBook(book, bytes));
    UntouchableFile untouchable;
    EXPECT_FALSE(book.WriteProjectData(untouchable, book.projectData.Texts()));

    ProjectTexts shown = book.projectData.Texts();
    shown.keywords = "k";
    ASSERT_TRUE(ReadBook(without, SfoldBook(Fields(1))));
    EXPECT_FALSE(without.HasProjectData());
    EXPECT_FALSE(without.WriteProjectData(untouchable, shown));

    ASSERT_TRUE(ReadBook(offered, shortBlock));
    MemoryFile file(shortBlock);
    EXPECT_FALSE(offered.WriteProjectData(file, shown));
    EXPECT_EQ(file.Bytes(), shortBlock);

    MemoryFile failing(bytes);
    failing.LimitWrites(0);
    EXPECT_FALSE(book.WriteProjectData(failing, shown));
    EXPECT_EQ(failing.Bytes(), bytes);
    EXPECT_TRUE(book.projectData.IsChanged(shown));
}

TEST(SfoldOnDisk, NameAndProjectDataAreWrittenIntoTheBook)
{
    test::ScratchFolder folder;
    std::vector<uint8_t> bytes = BookWithRecord(0);
    std::string path = folder.Write("book.lay", bytes);
    SfoldFile book, reread;
    ASSERT_TRUE(book.Load(path.c_str()));
    ASSERT_TRUE(book.WriteDocumentName(path.c_str(), "On disk"));
    ProjectTexts shown = book.projectData.Texts();
    shown.keywords = "new keywords";
    ASSERT_TRUE(book.WriteProjectData(path.c_str(), shown));
    ASSERT_TRUE(reread.Load(path.c_str()));
    EXPECT_EQ(reread.documentName, "On disk");
    EXPECT_EQ(reread.projectData.Texts().keywords, "new keywords");
    EXPECT_EQ(test::ReadWholeFile(path).size(), bytes.size());

    std::filesystem::remove(path);
    EXPECT_FALSE(book.WriteDocumentName(path.c_str(), "Gone"));
    EXPECT_EQ(book.documentName, "On disk");
}

}  // namespace
}  // namespace orv
