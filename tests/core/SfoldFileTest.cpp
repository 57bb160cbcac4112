#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "DocumentWrites.h"
#include "ScopedCharTables.h"
#include "SfoldBuilder.h"
#include "plan/SfoldFile.h"

namespace orv {
namespace {

using namespace test;

// Only a platform byte of 1 keeps the header in Windows form. A renamed book's name
// is followed by zeros.
SfoldFields Fields(uint8_t platformByte, uint8_t writerCode = 0, const std::string& renamed = {})
{
    bool mac = platformByte != 1;
    return {.platformByte = platformByte, .writerCode = writerCode,
            .versionText = mac ? "Version \x8E" : "Version \xE9",
            .documentName = !renamed.empty() ? renamed : mac ? "Livre R\x8Esidence" : "Livre R\xE9sidence",
            .nameFiller = renamed.empty()};
}

std::vector<uint8_t> Record(uint8_t platformByte)
{
    return test::ProjectDataRecord(platformByte == 1 ? 0x5757 : 0x4D4D, {"V", "A", "C", "VR-", "v", "a\rb"});
}

// A book whose project data block follows the header, with its own length unless
// another is claimed.
std::vector<uint8_t> Book(uint8_t platformByte, std::optional<uint32_t> claimed = std::nullopt,
                          uint8_t writerCode = 0)
{
    return SfoldBook(Fields(platformByte, writerCode), 372, Record(platformByte), claimed);
}

// Everything a load sets, in one line; the book held another one before, of which
// nothing may stay.
std::string Shown(const std::vector<uint8_t>& bytes)
{
    static const std::vector<uint8_t> held = Book(1, std::nullopt, 1);
    SfoldFile book;
    MemoryFile earlier(held), file(bytes);
    EXPECT_TRUE(book.Read(earlier));
    std::string shown = book.Read(file) ? "" : "fails: ";
    shown += book.platform ? std::string(2, char(book.platform)) : "--";
    shown += " w" + std::to_string(book.writerCode) + " '" + book.versionText + "' '" + book.documentName;
    shown += "' data@" + std::to_string(book.projectDataOffset);
    return shown + " " + test::Joined(book.projectData.Texts());
}

TEST(SfoldWrite, NameAndProjectDataChangeOnlyTheirFieldsOrNothing)
{
    test::ScopedCharTables roman;
    const std::string name = "Caf\xE9 Nord", longest(31, 'n');
    std::vector<uint8_t> damaged = Book(1);
    damaged[50] ^= 1;
    auto renamed = [](uint8_t platformByte, const std::string& stored) {
        return SfoldBook(Fields(platformByte, 0, stored), 372, Record(platformByte));
    };
    const struct {
        const char* label;
        test::Written written, expected;
    } cases[] = {
        {"Mac", test::Renamed<SfoldFile>(Book(0), name), renamed(0, "Caf\x8E Nord")},
        {"Windows", test::Renamed<SfoldFile>(Book(1), name), renamed(1, name)},
        {"platform byte 2", test::Renamed<SfoldFile>(Book(2), name), renamed(2, "Caf\x8E Nord")},
        {"31 characters", test::Renamed<SfoldFile>(Book(1), longest), renamed(1, longest)},
        {"32 characters", test::Renamed<SfoldFile>(Book(1), longest + "n"), std::nullopt},
        {"empty", test::Renamed<SfoldFile>(Book(1), ""), std::nullopt},
        {"unchanged", test::Renamed<SfoldFile>(Book(1), "Livre R\xE9sidence"), std::nullopt},
        {"header damaged since", test::Renamed<SfoldFile>(Book(1), name, damaged), test::Failed},
        {"write fails", test::Renamed<SfoldFile>(Book(0), name, {}, 0), test::Failed},
        // Project data changes only the record's texts
        {"data Mac", test::Rewritten<SfoldFile>(Book(0)),
         WithStoredTexts(Book(0), 94, {{4, "caf\x8E"}, {5, "\x8Et\x8E\rhiver"}})},
        {"data unchanged", test::Rewritten<SfoldFile>(Book(1), {}, true), std::nullopt},
        {"no record", test::Rewritten<SfoldFile>(SfoldBook(Fields(1))), std::nullopt},
        {"short block", test::Rewritten<SfoldFile>(Book(1, 2047)), test::Failed},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.written, c.expected) << c.label;
}

TEST(SfoldWrite, OnDiskNameAndProjectDataAreWrittenIntoTheBook)
{
    test::ScopedCharTables roman;
    EXPECT_EQ(Shown(test::WrittenOnDisk<SfoldFile>(Book(0))),
              "MM w0 'Version \xE9' 'New' data@88 V|A|C|VR-|v|x\r\ny");
}

}  // namespace
}  // namespace orv
