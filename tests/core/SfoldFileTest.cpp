#include <gtest/gtest.h>

#include <filesystem>
#include <string>
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
using test::UntouchableFile;

using test::SfoldBook;
using test::SfoldFields;

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

uint16_t RecordCode(uint8_t platformByte)
{
    return platformByte == 1 ? 0x5757 : 0x4D4D;
}

std::vector<uint8_t> Record(uint8_t platformByte)
{
    return test::ProjectDataRecord(RecordCode(platformByte),
                                   {"Villa", "Author", "C", "VR-", "villa", "a\rb"});
}

bool ReadBook(SfoldFile& book, const std::vector<uint8_t>& bytes)
{
    MemoryFile file(bytes);
    return book.Read(file);
}

TEST(SfoldHeader, EveryPlatformByteIsRead)
{
    RomanTables roman;
    struct Case {
        uint8_t platformByte;
        uint32_t platform;
    };
    for (Case c : {Case{0, MM}, Case{1, WW}, Case{2, WW}}) {
        SCOPED_TRACE(int(c.platformByte));
        SfoldFields fields = Fields(c.platformByte);
        fields.writerCode = 1;
        SfoldFile book;
        ASSERT_TRUE(ReadBook(book, SfoldBook(fields, 372, Record(c.platformByte))));
        EXPECT_EQ(book.platform, c.platform);
        EXPECT_EQ(book.writerCode, 1);
        EXPECT_EQ(book.versionText, "Version 4.1 \xE9");
        EXPECT_EQ(book.documentName, "Livre R\xE9sidence");
        EXPECT_EQ(book.projectDataOffset, 88u);
        EXPECT_TRUE(book.HasProjectData());
        EXPECT_EQ(book.projectData.Texts().comments, "a\r\nb");
    }
}

TEST(SfoldHeader, AnyFileKindAndWriterLoad)
{
    for (uint32_t kind : {0x504C4F54u, 0x4C41594Fu, 0x58585858u}) {
        SfoldFields fields = Fields(0);
        fields.fileKind = kind;
        fields.writerCode = 0xFF;
        SfoldFile book;
        ASSERT_TRUE(ReadBook(book, SfoldBook(fields))) << std::hex << kind;
        EXPECT_EQ(book.writerCode, -1);
        EXPECT_FALSE(book.HasProjectData());
    }
}

TEST(SfoldHeader, OneFlippedBitAnywhereFailsTheCheck)
{
    for (uint8_t platformByte : {0, 1}) {
        std::vector<uint8_t> bytes = SfoldBook(Fields(platformByte), 372, Record(platformByte));
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
    std::vector<uint8_t> bytes = SfoldBook(Fields(1), 372, Record(1));
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
    // Platform byte 2 is Windows for the block header although the header fields are
    // converted as a Macintosh's.
    for (uint8_t platformByte : {0, 1, 2}) {
        SfoldFile book;
        ASSERT_TRUE(ReadBook(book, SfoldBook(Fields(platformByte), 372, Record(platformByte))));
        EXPECT_EQ(book.projectData.Texts().project, "Villa");
    }

    std::vector<uint8_t> swapped = SfoldBook(Fields(0), 372, Record(0));
    std::swap(swapped[88], swapped[89]);
    SfoldFile wrongOrder;
    ASSERT_TRUE(ReadBook(wrongOrder, swapped));
    EXPECT_FALSE(wrongOrder.HasProjectData());

    std::vector<uint8_t> later = SfoldBook(Fields(1), 17, {1, 2, 3});
    std::vector<uint8_t> block = SfoldBook(Fields(1), 372, Record(1));
    later.insert(later.end(), block.begin() + 88, block.end());
    SfoldFile notAt88;
    ASSERT_TRUE(ReadBook(notAt88, later));
    EXPECT_FALSE(notAt88.HasProjectData());

    SfoldFile tooShort;
    ASSERT_TRUE(ReadBook(tooShort, SfoldBook(Fields(1), 372, Record(1), 2047)));
    EXPECT_TRUE(tooShort.HasProjectData());
    EXPECT_EQ(tooShort.projectData.Texts(), ProjectTexts{});
}

TEST(SfoldDocumentName, OnlyTheNameChangesInTheRewrittenHeader)
{
    RomanTables roman;
    for (uint8_t platformByte : {0, 1, 2}) {
        SCOPED_TRACE(int(platformByte));
        SfoldFields fields = Fields(platformByte);
        std::vector<uint8_t> bytes = SfoldBook(fields, 372, Record(platformByte));
        SfoldFile book;
        ASSERT_TRUE(ReadBook(book, bytes));
        MemoryFile file(bytes);
        ASSERT_TRUE(book.WriteDocumentName(file, "Caf\xE9 Nord"));
        EXPECT_EQ(book.documentName, "Caf\xE9 Nord");

        SfoldFields renamed = fields;
        renamed.documentName = platformByte == 1 ? "Caf\xE9 Nord" : "Caf\x8E Nord";
        renamed.nameFiller = false;
        EXPECT_EQ(file.Bytes(), SfoldBook(renamed, 372, Record(platformByte)));

        SfoldFile reread;
        ASSERT_TRUE(reread.Read(file));
        EXPECT_EQ(reread.documentName, "Caf\xE9 Nord");
        EXPECT_EQ(reread.versionText, "Version 4.1 \xE9");
    }
}

TEST(SfoldDocumentName, NamesThatCannotBeStoredOrChangeNothingAreRefused)
{
    std::vector<uint8_t> bytes = SfoldBook(Fields(1));
    SfoldFile book;
    ASSERT_TRUE(ReadBook(book, bytes));
    UntouchableFile untouchable;
    EXPECT_FALSE(book.WriteDocumentName(untouchable, ""));
    EXPECT_FALSE(book.WriteDocumentName(untouchable, std::string(32, 'n')));
    EXPECT_FALSE(book.WriteDocumentName(untouchable, book.documentName));

    MemoryFile file(bytes);
    ASSERT_TRUE(book.WriteDocumentName(file, std::string(31, 'n')));
    SfoldFile reread;
    ASSERT_TRUE(reread.Read(file));
    EXPECT_EQ(reread.documentName, std::string(31, 'n'));
}

TEST(SfoldDocumentName, AFailedRewriteReportsFailureAndLeavesTheFile)
{
    std::vector<uint8_t> bytes = SfoldBook(Fields(0), 372, Record(0));
    SfoldFile book;
    ASSERT_TRUE(ReadBook(book, bytes));
    std::string oldName = book.documentName;

    MemoryFile full(bytes);
    full.LimitWrites(0);
    EXPECT_FALSE(book.WriteDocumentName(full, "New"));
    EXPECT_EQ(full.Bytes(), bytes);
    EXPECT_EQ(book.documentName, oldName);

    MemoryFile partial(bytes);
    partial.LimitWrites(40);
    EXPECT_FALSE(book.WriteDocumentName(partial, "New"));
    EXPECT_TRUE(std::equal(bytes.begin() + 88, bytes.end(), partial.Bytes().begin() + 88));
    EXPECT_EQ(book.documentName, oldName);

    // A header that no longer passes its check is not rewritten.
    std::vector<uint8_t> damaged = bytes;
    damaged[50] ^= 1;
    MemoryFile damagedFile(damaged);
    EXPECT_FALSE(book.WriteDocumentName(damagedFile, "New"));
    EXPECT_EQ(damagedFile.Bytes(), damaged);
}

TEST(SfoldDocumentName, IsWrittenIntoTheBookOnDisk)
{
    test::ScratchFolder folder;
    std::vector<uint8_t> bytes = SfoldBook(Fields(1), 372, Record(1));
    std::string path = folder.Write("book.sfk", bytes);
    SfoldFile book;
    ASSERT_TRUE(book.Load(path.c_str()));
    ASSERT_TRUE(book.WriteDocumentName(path.c_str(), "On disk"));
    SfoldFile reread;
    ASSERT_TRUE(reread.Load(path.c_str()));
    EXPECT_EQ(reread.documentName, "On disk");
    EXPECT_EQ(test::ReadWholeFile(path).size(), bytes.size());

    std::filesystem::remove(path);
    EXPECT_FALSE(book.WriteDocumentName(path.c_str(), "Gone"));
    EXPECT_EQ(book.documentName, "On disk");
}

TEST(SfoldProjectData, OnlyTheRecordsTextsChange)
{
    RomanTables roman;
    for (uint8_t platformByte : {0, 1}) {
        std::vector<uint8_t> bytes = SfoldBook(Fields(platformByte), 372, Record(platformByte));
        SfoldFile book;
        ASSERT_TRUE(ReadBook(book, bytes));
        ProjectTexts shown = book.projectData.Texts();
        shown.comments = "\xE9t\xE9\r\nhiver";
        MemoryFile file(bytes);
        ASSERT_TRUE(book.WriteProjectData(file, shown));

        std::vector<uint8_t> expected = bytes;
        std::string stored = platformByte == 1 ? "\xE9t\xE9\rhiver" : "\x8Et\x8E\rhiver";
        std::copy(stored.begin(), stored.end(), expected.begin() + 94 + 656);
        expected[94 + 656 + stored.size()] = 0;
        EXPECT_EQ(file.Bytes(), expected);

        SfoldFile reread;
        ASSERT_TRUE(reread.Read(file));
        EXPECT_EQ(reread.projectData.Texts(), shown);
    }
}

TEST(SfoldProjectData, NothingIsWrittenWithoutAChangeOrAWholeRecord)
{
    std::vector<uint8_t> bytes = SfoldBook(Fields(1), 372, Record(1));
    SfoldFile book;
    ASSERT_TRUE(ReadBook(book, bytes));
    UntouchableFile untouchable;
    EXPECT_FALSE(book.WriteProjectData(untouchable, book.projectData.Texts()));

    ProjectTexts shown = book.projectData.Texts();
    shown.keywords = "k";
    SfoldFile without;
    ASSERT_TRUE(ReadBook(without, SfoldBook(Fields(1))));
    EXPECT_FALSE(without.WriteProjectData(untouchable, shown));

    std::vector<uint8_t> shortBlock = SfoldBook(Fields(1), 372, Record(1), 2047);
    SfoldFile offered;
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

TEST(SfoldProjectData, IsWrittenIntoTheBookOnDisk)
{
    test::ScratchFolder folder;
    std::string path = folder.Write("book.lay", SfoldBook(Fields(0), 372, Record(0)));
    SfoldFile book;
    ASSERT_TRUE(book.Load(path.c_str()));
    ProjectTexts shown = book.projectData.Texts();
    shown.keywords = "new keywords";
    ASSERT_TRUE(book.WriteProjectData(path.c_str(), shown));
    SfoldFile reread;
    ASSERT_TRUE(reread.Load(path.c_str()));
    EXPECT_EQ(reread.projectData.Texts().keywords, "new keywords");
}

}  // namespace
}  // namespace orv
