#include <gtest/gtest.h>

#include <array>
#include <string>
#include <tuple>
#include <vector>

#include "GifWriter.h"
#include "LibPartBuilder.h"
#include "RecordingFile.h"
#include "ScopedCharTables.h"
#include "ScratchFolder.h"
#include "libpart/LibPartFile.h"
#include "util/MemoryFile.h"

namespace orv {
namespace {

using RomanTables = test::ScopedCharTables;
using test::FourCc;
using test::LibPartBuilder;
using test::OlderLibPartBuilder;
using Texts = std::array<std::string, 7>;

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

// Everything a load sets; the texts in the order of their tags, then whether there
// is a preview.
auto Fields(const LibPartFile& part)
{
    return std::tuple(part.platformMark, part.version, part.documentName, part.nameOffset, part.typeCode,
                      Texts{Text(part.script1D), Text(part.script2D), Text(part.script3D),
                            Text(part.propertiesScript), Text(part.valueListScript), Text(part.uidScript),
                            Text(part.comment)},
                      part.preview.GetBlock() != nullptr);
}

bool ReadPart(LibPartFile& part, const std::vector<uint8_t>& bytes)
{
    MemoryFile file(bytes);
    return part.Read(file);
}

std::vector<uint8_t> Cut(std::vector<uint8_t> bytes, size_t count)
{
    bytes.resize(bytes.size() - count);
    return bytes;
}

TEST(LibPartRead, EveryPlatformReadsTheSameSectionsAndTheNextLoadClearsThem)
{
    RomanTables roman;
    const std::tuple<uint16_t, int16_t, std::string> cases[] = {
        {WW, 13, "Fen\xEAtre \xE9t\xE9"},
        {MM, 13, "Fen\x90tre \x8Et\x8E"},
        {UU, 13, "Fen\x90tre \x8Et\x8E"},
        {MM, -2, "Fen\x90tre \x8Et\x8E"},
    };
    for (const auto& [platform, version, stored] : cases) {
        SCOPED_TRACE(testing::Message() << platform << " " << version);
        LibPartBuilder builder(platform);
        builder.Version(version).DocumentName(stored).TypeCode(FourCc("Stai"));
        builder.Section(FourCc("UISC"), "ui\rx").Section(FourCc("CTXT"), "notes\nx");
        builder.Section(FourCc("GIFF"), SmallGif()).Section(FourCc("3DSC"), "three\r\nx");
        builder.Section(FourCc("1DSC"), "one").Section(FourCc("VLSC"), "values\r");
        builder.Section(FourCc("2DSC"), "two\n\r").Section(FourCc("PRSC"), "properties");
        LibPartFile part;
        ASSERT_TRUE(ReadPart(part, builder.Build()));
        const Texts texts = {"one", "two\r\n\r\n", "three\r\nx", "properties", "values\r\n", "ui\r\nx",
                             "notes\r\nx"};
        const std::string name = "Fen\xEAtre \xE9t\xE9";
        EXPECT_EQ(Fields(part), std::tuple(platform, version, name, 4u, 0x53746169u, texts, true));
        EXPECT_FALSE(ReadPart(part, {0x57}));
        EXPECT_EQ(Fields(part), Fields(LibPartFile()));
    }
}

TEST(LibPartRead, SectionsThatCannotBeReadAreSkipped)
{
    const uint32_t script3D = FourCc("3DSC");
    const struct {
        const char* label;
        uint32_t tag;
        uint32_t start, length;  // an entry pointing anywhere; start 0: a section holding text
        std::string text, expected;
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
            EXPECT_EQ(Fields(part), std::tuple(platform, int16_t{13}, std::string(), 4u, 0u,
                                               Texts{"", "", c.expected, "", "", "", ""}, true));
        }
    }
    LibPartFile none;
    ASSERT_TRUE(ReadPart(none, LibPartBuilder(UU).Build()));
    EXPECT_EQ(Fields(none), std::tuple(UU, int16_t{13}, std::string(), 4u, 0u, Texts{}, false));
}

TEST(LibPartRead, OlderFormsByTheirVersionWord)
{
    RomanTables roman;
    const std::string windows = "Caf\xE9", mac = "Caf\x8E", longest(31, 'x');
    const struct {
        const char* label;
        OlderLibPartBuilder builder;
        uint16_t platform;
        int16_t version;
        uint32_t nameOffset;
        std::string name, script2D, script3D;
    } cases[] = {
        {"0x00 0x6B: Windows 7", OlderLibPartBuilder(107).Name(windows).Script3D("3D\r"), WW, 7, 50, windows,
         "", "3D\r\n"},
        {"0x00 0x07: Mac 7", OlderLibPartBuilder(7).Script3D("3D\r"), MM, 7, 0, "", "", "3D\r\n"},
        {"0x00 0x70: Windows 12", OlderLibPartBuilder(112).Name(windows).Script2D("2D\rx").Script3D("3D"), WW,
         12, 96, windows, "2D\r\nx", "3D"},
        {"0x00 0x0C: Mac 12", OlderLibPartBuilder(12).Name(mac).Script2D("2D\nx").Script3D("3D"), MM, 12, 96,
         windows, "2D\r\nx", "3D"},
        {"count 40", OlderLibPartBuilder(12).CountedName(40, longest), MM, 12, 96, longest, "", ""},
        {"script past the end", OlderLibPartBuilder(7).Point3D(5000, 4), MM, 7, 0, "", "", ""},
        {"script start that wraps", OlderLibPartBuilder(112).Point3D(0xFFFFFFFEu, 4), WW, 12, 96, "", "", ""},
        {"script longer than the file", OlderLibPartBuilder(7).Point3D(4, 0xFFFFFFFFu), MM, 7, 0, "", "", ""},
        {"script one byte past the end", OlderLibPartBuilder(112).Point3D(100, 29), WW, 12, 96, "", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        LibPartFile part;
        ASSERT_TRUE(ReadPart(part, c.builder.Build()));
        EXPECT_EQ(Fields(part), std::tuple(c.platform, c.version, c.name, c.nameOffset, 0u,
                                           Texts{"", c.script2D, c.script3D, "", "", "", ""}, false));
    }
}

TEST(LibPartRead, FilesThatCannotBeReadFail)
{
    const std::vector<uint8_t> twoSections =
        LibPartBuilder(MM).Section(FourCc("1DSC"), "a").Section(FourCc("2DSC"), "b").Build();
    const std::pair<const char*, std::vector<uint8_t>> cases[] = {
        {"one byte", {0x00}},
        {"short sectioned header", Cut(LibPartBuilder(WW).Build(), 1)},
        {"negative count", LibPartBuilder(WW).ClaimCount(-1).Build()},
        {"most negative count", LibPartBuilder(MM).ClaimCount(INT32_MIN).Build()},
        {"more entries than the file holds", LibPartBuilder(WW).ClaimCount(0x10000000).Build()},
        {"short directory", Cut(twoSections, 2 * 17 + 1)},
        {"version word 8", OlderLibPartBuilder(8).Build()},
        {"Windows version 8", OlderLibPartBuilder(108).Build()},
        {"version 13", OlderLibPartBuilder(13).Build()},
        {"version -100", OlderLibPartBuilder(0xFF9C).Build()},
        {"short Windows 7 name", Cut(OlderLibPartBuilder(107).Build(), 1)},
        {"short Mac 7 header", Cut(OlderLibPartBuilder(7).Build(), 1)},
        {"short version 12 header", Cut(OlderLibPartBuilder(112).Build(), 1)},
    };
    for (const auto& [label, bytes] : cases) {
        LibPartFile part;
        EXPECT_FALSE(ReadPart(part, bytes)) << label;
    }
    // An older form that is not read still tells its platform and version.
    LibPartFile hundred;
    EXPECT_FALSE(ReadPart(hundred, OlderLibPartBuilder(100).Build()));
    EXPECT_EQ(std::tuple(hundred.platformMark, hundred.version), std::tuple(MM, int16_t{100}));
}

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
        std::vector<uint8_t> part;
        std::string name;
        uint32_t nameOffset;
        std::string stored;
        bool counted;
    } cases[] = {
        {Sectioned(WW, 13), newName, 4, newName, false},
        {Sectioned(MM, 12), newName, 4, mac, false},
        {Sectioned(UU, 20), newName, 4, mac, false},
        {Sectioned(WW, 13), longest, 4, longest, false},
        {OlderLibPartBuilder(107).Name("Old").Script3D("3D").Build(), newName, 50, newName, true},
        {OlderLibPartBuilder(112).Name("Old").Build(), newName, 96, newName, true},
        {OlderLibPartBuilder(12).Name("Old").Script3D("3D").Build(), newName, 96, mac, true},
        {OlderLibPartBuilder(12).Name("Old").Build(), longest, 96, longest, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.nameOffset << " " << c.name);
        LibPartFile part, reread;
        ASSERT_TRUE(ReadPart(part, c.part));
        ASSERT_EQ(part.documentName, "Old");
        MemoryFile file(c.part);
        ASSERT_TRUE(part.WriteDocumentName(file, c.name));
        EXPECT_EQ(file.Bytes(), WithName(c.part, c.nameOffset, c.stored, c.counted));
        ASSERT_TRUE(reread.Read(file));
        EXPECT_EQ(std::tuple(part.documentName, reread.documentName), std::tuple(c.name, c.name));
    }
}

TEST(LibPartDocumentName, IsRefusedWithoutAFieldAFitOrTheFormItWasReadIn)
{
    const std::vector<uint8_t> windows13 = Sectioned(WW, 13);
    const std::vector<uint8_t> windows12 = OlderLibPartBuilder(112).Name("Old").Build();
    const std::vector<uint8_t> mac7 = OlderLibPartBuilder(7).Script3D("3D").Build();
    const struct {
        const char* label;
        std::vector<uint8_t> read, written;  // nothing written: the file must not be touched
        std::string name;
        uint64_t allowance;
    } cases[] = {
        {"no name field", mac7, {}, "New", 0},
        {"empty", windows13, {}, "", 0},
        {"32 characters", windows13, {}, std::string(32, 'L'), 0},
        {"unchanged", windows13, {}, "Old", 0},
        {"saved as a Mac part", windows13, Sectioned(MM, 13), "New", UINT64_MAX},
        {"saved in an older form", windows13, windows12, "New", UINT64_MAX},
        {"saved as version 7", windows12, OlderLibPartBuilder(107).Name("Old").Build(), "New", UINT64_MAX},
        {"saved sectioned", windows12, Sectioned(WW, 13), "New", UINT64_MAX},
        {"cut inside the field", windows13, Cut(windows13, windows13.size() - 35), "New", UINT64_MAX},
        {"a full disk", windows13, windows13, "New", 0},
        {"a full disk, older form", windows12, windows12, "New", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        LibPartFile part;
        ASSERT_TRUE(ReadPart(part, c.read));
        std::string name = part.documentName;
        test::RecordingFile file(c.written);
        file.LimitWrites(c.allowance);
        EXPECT_FALSE(part.WriteDocumentName(file, c.name));
        EXPECT_EQ(file.Bytes(), c.written);
        EXPECT_EQ(file.log.empty(), c.written.empty());
        EXPECT_EQ(part.documentName, name);
    }
}

TEST(LibPartOnDisk, TheNameIsWrittenIntoTheDocument)
{
    test::ScratchFolder folder;
    std::vector<uint8_t> bytes = Sectioned(WW, 15);
    std::string path = folder.Write("door.gsm", bytes), missing = folder.PathOf("missing.gsm");
    LibPartFile part;
    ASSERT_TRUE(part.Load(path.c_str()));
    ASSERT_TRUE(part.WriteDocumentName(path.c_str(), "New"));
    EXPECT_EQ(test::ReadWholeFile(path), WithName(bytes, 4, "New", false));
    EXPECT_FALSE(part.WriteDocumentName(missing.c_str(), "Newer"));
    EXPECT_EQ(part.documentName, "New");
    EXPECT_FALSE(part.Load(missing.c_str()));
}

}  // namespace
}  // namespace orv
