#include <gtest/gtest.h>

#include <array>
#include <string>
#include <tuple>
#include <vector>

#include "GifWriter.h"
#include "LibPartBuilder.h"
#include "ScopedCharTables.h"
#include "ScratchFolder.h"
#include "UntouchableFile.h"
#include "libpart/LibPartFile.h"
#include "preview/PictureHeaders.h"
#include "util/MemoryFile.h"

namespace orv {
namespace {

using RomanTables = test::ScopedCharTables;
using test::FourCc;
using test::LibPartBuilder;
using test::OlderLibPartBuilder;
using test::UntouchableFile;

constexpr uint16_t WW = 0x5757;
constexpr uint16_t MM = 0x4D4D;
constexpr uint16_t UU = 0x5555;

std::vector<uint8_t> SmallGif()
{
    test::GifImage image;
    image.width = image.height = image.minCodeSize = 2;
    image.indices = {0, 1, 1, 0};
    return test::GifWriter().Screen(2, 2, {{255, 0, 0}, {0, 0, 255}}).Image(image).Trailer().Data();
}

std::string Text(const TextBuffer& buffer)
{
    return buffer.GetText() ? std::string(buffer.GetText(), buffer.GetLength()) : std::string();
}

// The seven texts in the order of their tags.
std::array<std::string, 7> Texts(const LibPartFile& part)
{
    return {Text(part.script1D),         Text(part.script2D),  Text(part.script3D),
            Text(part.propertiesScript), Text(part.valueListScript), Text(part.uidScript),
            Text(part.comment)};
}

bool HasGifPreview(const LibPartFile& part)
{
    const uint8_t* block = part.preview.GetBlock();
    return block != nullptr && LoadStruct<PreviewHeader>(block).flags == PreviewFlagGif;
}

bool ReadPart(LibPartFile& part, const std::vector<uint8_t>& bytes)
{
    MemoryFile file(bytes);
    return part.Read(file);
}

// Sectioned form

TEST(LibPartSectioned, EveryPlatformReadsTheSameParts)
{
    RomanTables roman;
    const struct {
        uint16_t platform;
        int16_t version;
        std::string stored;
    } cases[] = {
        {WW, 13, "Fen\xEAtre \xE9t\xE9"},
        {MM, 13, "Fen\x90tre \x8Et\x8E"},
        {UU, 13, "Fen\x90tre \x8Et\x8E"},
        {MM, -2, "Fen\x90tre \x8Et\x8E"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.platform << " " << c.version);
        LibPartBuilder builder(c.platform);
        builder.Version(c.version).DocumentName(c.stored).TypeCode(FourCc("Stai"));
        builder.Section(FourCc("UISC"), "ui\rx").Section(FourCc("CTXT"), "notes\nx");
        builder.Section(FourCc("GIFF"), SmallGif()).Section(FourCc("3DSC"), "three\r\nx");
        builder.Section(FourCc("1DSC"), "one").Section(FourCc("VLSC"), "values\r");
        builder.Section(FourCc("2DSC"), "two\n\r").Section(FourCc("PRSC"), "properties");
        LibPartFile part;
        ASSERT_TRUE(ReadPart(part, builder.Build()));
        EXPECT_EQ(std::tuple(part.platformMark, part.version, part.documentName, part.nameOffset,
                             part.typeCode),
                  std::tuple(c.platform, c.version, std::string("Fen\xEAtre \xE9t\xE9"), 4u, 0x53746169u));
        EXPECT_EQ(Texts(part), (std::array<std::string, 7>{"one", "two\r\n\r\n", "three\r\nx", "properties",
                                                          "values\r\n", "ui\r\nx", "notes\r\nx"}));
        EXPECT_TRUE(HasGifPreview(part));
    }
}

TEST(LibPartSectioned, SectionsThatCannotBeReadAreSkipped)
{
    const uint32_t script3D = FourCc("3DSC");
    const struct {
        const char* label;
        uint32_t tag;
        uint32_t start;   // with length: an entry pointing anywhere; start 0: a section laid out
        uint32_t length;  // of the laid-out section's text when start is 0
        std::string text;
        std::string expected;
    } cases[] = {
        {"a later section replaces", script3D, 0, 0, "second", "second"},
        {"an empty later section empties", script3D, 0, 0, "", ""},
        {"unknown tag", FourCc("4DSC"), 0, 0, "other", "first"},
        {"tag in the other byte order", FourCc("CSD3"), 0, 0, "other", "first"},
        {"start past the end", script3D, 5000, 20, "", "first"},
        {"empty content past the end", script3D, 5000, 16, "", "first"},
        {"start that wraps", script3D, 0xFFFFFFF8u, 20, "", "first"},
        {"length past the end", script3D, 64, 0xFFFFFFFFu, "", "first"},
        {"shorter than its head", script3D, 64, 15, "", "first"},
        {"no length at all", script3D, 64, 0, "", "first"},
    };
    for (uint16_t platform : {WW, MM}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message() << platform << " " << c.label);
            LibPartBuilder builder(platform);
            builder.Section(script3D, "first").Section(FourCc("GIFF"), SmallGif());
            if (c.start == 0)
                builder.Section(c.tag, c.text);
            else
                builder.Entry(c.tag, c.start, c.length);
            builder.Section(FourCc("GIFF"), std::string("not a GIF stream"));
            LibPartFile part;
            ASSERT_TRUE(ReadPart(part, builder.Build()));
            EXPECT_EQ(Text(part.script3D), c.expected);
            EXPECT_EQ(Text(part.script2D), "");
            EXPECT_TRUE(HasGifPreview(part));
        }
    }

    LibPartFile none;
    ASSERT_TRUE(ReadPart(none, LibPartBuilder(UU).Build()));
    EXPECT_EQ(Texts(none), (std::array<std::string, 7>{}));
    EXPECT_EQ(none.preview.GetBlock(), nullptr);
}

TEST(LibPartSectioned, HeadersAndDirectoriesTheFileCannotHoldFail)
{
    std::vector<uint8_t> twoSections =
        LibPartBuilder(MM).Section(FourCc("1DSC"), "a").Section(FourCc("2DSC"), "b").Build();
    const struct {
        const char* label;
        std::vector<uint8_t> bytes;
        size_t cut;
    } cases[] = {
        {"short header", LibPartBuilder(WW).Build(), 1},
        {"negative count", LibPartBuilder(WW).ClaimCount(-1).Build(), 0},
        {"most negative count", LibPartBuilder(MM).ClaimCount(INT32_MIN).Build(), 0},
        {"more entries than the file holds", LibPartBuilder(WW).ClaimCount(0x10000000).Build(), 0},
        {"short directory", twoSections, twoSections.size() - 64 - 31},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        std::vector<uint8_t> bytes(c.bytes.begin(), c.bytes.end() - static_cast<ptrdiff_t>(c.cut));
        LibPartFile part;
        EXPECT_FALSE(ReadPart(part, bytes));
    }
}

// Older forms

TEST(LibPartOlder, TheVersionWordGivesPlatformVersionNameAndScripts)
{
    RomanTables roman;
    const std::string windows = "Caf\xE9", mac = "Caf\x8E", longest(31, 'x');
    const struct {
        const char* label;
        OlderLibPartBuilder builder;
        uint16_t platform;
        int16_t version;
        uint32_t nameOffset;
        std::string name, script2D;
    } cases[] = {
        {"0x00 0x6B: Windows 7", OlderLibPartBuilder(107).Name(windows), WW, 7, 50, windows, ""},
        {"0x00 0x07: Mac 7", OlderLibPartBuilder(7), MM, 7, 0, "", ""},
        {"0x00 0x70: Windows 12", OlderLibPartBuilder(112).Name(windows).Script2D("2D\rx"), WW, 12, 96,
         windows, "2D\r\nx"},
        {"0x00 0x0C: Mac 12", OlderLibPartBuilder(12).Name(mac).Script2D("2D\nx"), MM, 12, 96, windows,
         "2D\r\nx"},
        {"count 40", OlderLibPartBuilder(12).CountedName(40, longest), MM, 12, 96, longest, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        LibPartFile part;
        ASSERT_TRUE(ReadPart(part, OlderLibPartBuilder(c.builder).Script3D("3D\r\ny").Build()));
        EXPECT_EQ(
            std::tuple(part.platformMark, part.version, part.nameOffset, part.documentName, part.typeCode),
            std::tuple(c.platform, c.version, c.nameOffset, c.name, 0u));
        EXPECT_EQ(Texts(part), (std::array<std::string, 7>{"", c.script2D, "3D\r\ny", "", "", "", ""}));
        EXPECT_EQ(part.preview.GetBlock(), nullptr);
    }
}

TEST(LibPartOlder, OtherVersionsAndShortHeadersFail)
{
    const struct {
        uint16_t word;
        size_t cut;
        uint16_t platform;
        int16_t version;
    } cases[] = {
        {8, 0, MM, 8},       {108, 0, WW, 8},    {13, 0, MM, 13},  {0, 0, MM, 0},
        {0xFF9C, 0, MM, -100}, {107, 1, WW, 7}, {7, 1, MM, 7},    {112, 1, WW, 12},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.word << " cut " << c.cut);
        std::vector<uint8_t> bytes = OlderLibPartBuilder(c.word).Build();
        bytes.resize(bytes.size() - c.cut);
        LibPartFile part;
        EXPECT_FALSE(ReadPart(part, bytes));
        EXPECT_EQ(std::tuple(part.platformMark, part.version), std::tuple(c.platform, c.version));
    }
    LibPartFile empty;
    EXPECT_FALSE(ReadPart(empty, {0x00}));
}

TEST(LibPartOlder, ScriptsTheFileCannotHoldAreLeftOut)
{
    const std::pair<uint32_t, uint32_t> pointers[] = {
        {5000, 4}, {0xFFFFFFFEu, 4}, {128, 0xFFFFFFFFu}, {100, 29}};
    for (uint16_t word : {uint16_t{7}, uint16_t{112}}) {
        for (const auto& [start, length] : pointers) {
            SCOPED_TRACE(testing::Message() << word << " " << start << " " << length);
            LibPartFile part;
            std::vector<uint8_t> bytes = OlderLibPartBuilder(word).Point3D(start, length).Build();
            bytes.resize(128);
            ASSERT_TRUE(ReadPart(part, bytes));
            EXPECT_EQ(Text(part.script3D), "");
        }
    }
}

// Writing the document name

// The bytes with the 32-byte name field at offset holding the name, zero-terminated
// or after a count byte, and zeros after it.
std::vector<uint8_t> WithName(std::vector<uint8_t> bytes, size_t offset, const std::string& stored,
                              bool counted)
{
    std::string field = counted ? static_cast<char>(stored.size()) + stored : stored;
    field.resize(32, '\0');
    std::copy(field.begin(), field.end(), bytes.begin() + static_cast<ptrdiff_t>(offset));
    return bytes;
}

std::vector<uint8_t> Sectioned(uint16_t platform, int16_t version)
{
    LibPartBuilder builder(platform);
    return builder.Version(version).DocumentName("Old").Section(FourCc("3DSC"), "3D").Build();
}

TEST(LibPartDocumentName, IsWrittenInTheFormTheReaderReads)
{
    RomanTables roman;
    const std::string newName = "Caf\xE9 Nord", mac = "Caf\x8E Nord", longest(31, 'L');
    const struct {
        const char* label;
        std::vector<uint8_t> part;
        std::string name;
        uint32_t nameOffset;
        std::string stored;
        bool counted;
    } cases[] = {
        {"Windows 13", Sectioned(WW, 13), newName, 4, newName, false},
        {"Mac 12 sectioned", Sectioned(MM, 12), newName, 4, mac, false},
        {"Unix 20", Sectioned(UU, 20), newName, 4, mac, false},
        {"31 characters", Sectioned(WW, 13), longest, 4, longest, false},
        {"Windows 7", OlderLibPartBuilder(107).Name("Old").Script3D("3D").Build(), newName, 50, newName,
         true},
        {"Windows 12", OlderLibPartBuilder(112).Name("Old").Build(), newName, 96, newName, true},
        {"Mac 12", OlderLibPartBuilder(12).Name("Old").Script3D("3D").Build(), newName, 96, mac, true},
        {"Mac 12, 31 characters", OlderLibPartBuilder(12).Name("Old").Build(), longest, 96, longest, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        LibPartFile part;
        ASSERT_TRUE(ReadPart(part, c.part));
        ASSERT_EQ(part.documentName, "Old");
        ASSERT_EQ(part.nameOffset, c.nameOffset);
        MemoryFile file(c.part);
        ASSERT_TRUE(part.WriteDocumentName(file, c.name));
        EXPECT_EQ(file.Bytes(), WithName(c.part, c.nameOffset, c.stored, c.counted));
        EXPECT_EQ(part.documentName, c.name);

        LibPartFile reread;
        ASSERT_TRUE(reread.Read(file));
        EXPECT_EQ(reread.documentName, c.name);
        EXPECT_EQ(Texts(reread), Texts(part));
    }
}

TEST(LibPartDocumentName, IsRefusedWithoutAFieldOrWhenTheFileChangedForm)
{
    const std::vector<uint8_t> windows13 = Sectioned(WW, 13);
    const std::vector<uint8_t> windows12 = OlderLibPartBuilder(112).Name("Old").Build();
    const std::vector<uint8_t> mac7 = OlderLibPartBuilder(7).Script3D("3D").Build();
    std::vector<uint8_t> cut = windows13;
    cut.resize(35);
    const struct {
        const char* label;
        std::vector<uint8_t> read, written;
        std::string name;
    } cases[] = {
        {"no name field", mac7, mac7, "New"},
        {"saved as a Mac part", windows13, Sectioned(MM, 13), "New"},
        {"saved in an older form", windows13, windows12, "New"},
        {"saved as version 7", windows12, OlderLibPartBuilder(107).Name("Old").Build(), "New"},
        {"saved sectioned", windows12, Sectioned(WW, 13), "New"},
        {"cut before the end of the field", windows13, cut, "New"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        LibPartFile part;
        ASSERT_TRUE(ReadPart(part, c.read));
        MemoryFile file(c.written);
        EXPECT_FALSE(part.WriteDocumentName(file, c.name));
        EXPECT_EQ(file.Bytes(), c.written);
        EXPECT_EQ(part.documentName, c.read == mac7 ? "" : "Old");
    }

    UntouchableFile untouchable;
    LibPartFile part, never;
    ASSERT_TRUE(ReadPart(part, windows13));
    for (const std::string& name : {std::string(), std::string(32, 'L'), std::string("Old")})
        EXPECT_FALSE(part.WriteDocumentName(untouchable, name)) << name;
    MemoryFile file(windows13);
    EXPECT_TRUE(part.WriteDocumentName(file, "old"));
    EXPECT_FALSE(never.WriteDocumentName(untouchable, "Name"));
}

TEST(LibPartDocumentName, AFailedWriteReportsFailureAndKeepsTheOtherBytes)
{
    const std::vector<uint8_t> parts[] = {Sectioned(MM, 13),
                                          OlderLibPartBuilder(112).Name("Old").Script3D("3D").Build()};
    for (const auto& bytes : parts) {
        for (uint64_t allowance : {0u, 5u, 31u}) {
            LibPartFile part;
            ASSERT_TRUE(ReadPart(part, bytes));
            MemoryFile file(bytes);
            file.LimitWrites(allowance);
            EXPECT_FALSE(part.WriteDocumentName(file, "New name"));
            EXPECT_EQ(part.documentName, "Old");
            EXPECT_EQ(WithName(file.Bytes(), part.nameOffset, "", false),
                      WithName(bytes, part.nameOffset, "", false))
                << allowance;
        }
    }
}

TEST(LibPartOnDisk, TheNameIsWrittenIntoTheDocument)
{
    test::ScratchFolder folder;
    std::vector<uint8_t> bytes = Sectioned(WW, 15);
    std::string path = folder.Write("door.gsm", bytes);
    LibPartFile part, reread;
    ASSERT_TRUE(part.Load(path.c_str()));
    ASSERT_TRUE(part.WriteDocumentName(path.c_str(), "New"));
    EXPECT_EQ(test::ReadWholeFile(path), WithName(bytes, 4, "New", false));
    ASSERT_TRUE(reread.Load(path.c_str()));
    EXPECT_EQ(reread.documentName, "New");

    std::string missing = folder.PathOf("missing.gsm");
    EXPECT_FALSE(part.WriteDocumentName(missing.c_str(), "Newer"));
    EXPECT_EQ(part.documentName, "New");
    EXPECT_FALSE(reread.Load(missing.c_str()));
}

}  // namespace
}  // namespace orv
