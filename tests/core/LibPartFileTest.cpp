#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "DocumentWrites.h"
#include "LibPartBuilder.h"
#include "ScopedCharTables.h"
#include "libpart/LibPartFile.h"

namespace orv {
namespace {

using namespace test;

// Everything a load into part sets, in one line: "fails" when it failed, the platform
// and version, the name at its offset, the type code, the texts that are not empty by
// their tags and "GIF" for a preview.
std::string Loaded(LibPartFile& part, const std::vector<uint8_t>& bytes)
{
    MemoryFile file(bytes);
    std::ostringstream out;
    out << (part.Read(file) ? "" : "fails ") << std::hex << part.platformMark << std::dec << " " << part.version
        << " '" << part.documentName << "'@" << part.nameOffset << " " << std::hex << part.typeCode;
    const std::pair<const char*, const TextBuffer*> texts[] = {
        {"1D", &part.script1D},        {"2D", &part.script2D},        {"3D", &part.script3D},
        {"PR", &part.propertiesScript}, {"VL", &part.valueListScript}, {"UI", &part.uidScript},
        {"CT", &part.comment}};
    for (const auto& [tag, text] : texts)
        if (text->GetLength() != 0)
            out << " " << tag << ":" << std::string(text->GetText(), text->GetLength());
    return out.str() + (part.preview.GetBlock() != nullptr ? " GIF" : "");
}

// Each case is read into the part the case before it filled.
TEST(LibPartRead, EverySectionThatLiesWholeInTheFileIsReadAndTheRestSkipped)
{
    test::ScopedCharTables roman;
    const std::vector<uint8_t> gifBytes = SmallGif();
    const std::string gif(gifBytes.begin(), gifBytes.end()), longest(31, 'x');
    auto full = [&gif](uint16_t platform, int16_t version, const std::string& name) {
        return LibPart(platform, name,
                       {{"UISC", "ui\rx"}, {"CTXT", "notes\nx"}, {"GIFF", gif}, {"3DSC", "three\r\nx"},
                        {"1DSC", "one"}, {"VLSC", "values\r"}, {"2DSC", "two\n\r"}, {"PRSC", "properties"}},
                       version, 0x53746169);
    };
    // The 3D script "first" and a preview, then the section given and one that is no GIF stream.
    auto around = [&gif](uint16_t platform, const test::LibSection& section) {
        return LibPart(platform, "", {{"3DSC", "first"}, {"GIFF", gif}, section, {"GIFF", "not a GIF"}});
    };
    const std::string texts = " 1D:one 2D:two\r\n\r\n 3D:three\r\nx PR:properties VL:values\r\n UI:ui\r\nx"
                              " CT:notes\r\nx GIF";
    const std::string first = " 13 ''@4 0 3D:first GIF";
    const std::vector<uint8_t> two = LibPart(MM, "Two", {{"1DSC", "a"}, {"2DSC", "b"}});
    const std::pair<std::vector<uint8_t>, std::string> cases[] = {
        {full(WW, 13, "Fen\xEAtre \xE9t\xE9"), "5757 13 'Fen\xEAtre \xE9t\xE9'@4 53746169" + texts},
        {{0x57}, "fails 0 0 ''@0 0"},
        {full(MM, -2, "Fen\x90tre \x8Et\x8E"), "4d4d -2 'Fen\xEAtre \xE9t\xE9'@4 53746169" + texts},
        {Cut(LibPart(WW, "Old"), 63), "fails 0 0 ''@0 0"},
        {LibPart(UU, std::string(32, 'n')), "5555 13 '" + std::string(31, 'n') + "'@4 0"},
        // A later section replaces an earlier one; sections that cannot be read are skipped.
        {around(WW, {"3DSC", "second"}), "5757 13 ''@4 0 3D:second GIF"},
        {around(MM, {"3DSC", ""}), "4d4d 13 ''@4 0 GIF"},
        {around(WW, {"4DSC", "unknown"}), "5757" + first},
        {around(MM, {"CSD3", "other byte order"}), "4d4d" + first},
        // Beyond the file, start + 16 wraps, length - 16 beyond the
        // file, shorter than the section's head.
        {around(WW, {"3DSC", "", 5000, 20}), "5757" + first},
        {around(WW, {"3DSC", "", 0xFFFFFFF8u, 20}), "5757" + first},
        {around(MM, {"3DSC", "", 64, 0xFFFFFFFFu}), "4d4d" + first},
        {around(WW, {"3DSC", "", 64, 15}), "5757" + first},
        // Counts below zero or beyond the file, a short directory, one that ends the file.
        {LibPart(WW, "Old", {}, 13, 0, -1), "fails 5757 13 'Old'@4 0"},
        {LibPart(WW, "", {}, 13, 0, 0x10000000), "fails 5757 13 ''@4 0"},
        {Cut(two, 64 + 31), "fails 4d4d 13 'Two'@4 0"}, {Cut(two, 64 + 32), "4d4d 13 'Two'@4 0"},
        // The older forms, with scripts beyond the file, wrapping, longer than the file.
        {OlderLibPart(107, "Caf\xE9", "3D\r"), "5757 7 'Caf\xE9'@50 0 3D:3D\r\n"},
        {OlderLibPart(7, "", "3D\r"), "4d4d 7 ''@0 0 3D:3D\r\n"},
        {OlderLibPart(112, "Caf\xE9", "3D", "2D\rx"), "5757 12 'Caf\xE9'@96 0 2D:2D\r\nx 3D:3D"},
        {OlderLibPart(12, "Caf\x8E", "3D", "2D\nx"), "4d4d 12 'Caf\xE9'@96 0 2D:2D\r\nx 3D:3D"},
        {OlderLibPart(12, longest, "", "", 40), "4d4d 12 '" + longest + "'@96 0"},
        {OlderLibPart(7, "", "", "", 0, 5000, 4), "4d4d 7 ''@0 0"},
        {OlderLibPart(112, "", "", "", 0, 0xFFFFFFFEu, 4), "5757 12 ''@96 0"},
        {OlderLibPart(112, "", "", "", 0, 100, 29), "5757 12 ''@96 0"},
        // Versions other than 7 and 12, short headers.
        {OlderLibPart(8), "fails 4d4d 8 ''@0 0"},
        {OlderLibPart(13), "fails 4d4d 13 ''@0 0"},
        {OlderLibPart(100), "fails 4d4d 100 ''@0 0"},
        {OlderLibPart(0xFF9C), "fails 4d4d -100 ''@0 0"},
        {Cut(OlderLibPart(107), 81), "fails 5757 7 ''@0 0"},
        {Cut(OlderLibPart(7), 49), "fails 4d4d 7 ''@0 0"},
        {Cut(OlderLibPart(112), 127), "fails 5757 12 ''@0 0"},
    };
    LibPartFile part;
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(Loaded(part, cases[i].first), cases[i].second) << i;
}

TEST(LibPartDocumentName, IsWrittenInTheFormItWasReadInOrRefused)
{
    test::ScopedCharTables roman;
    const std::string name = "Caf\xE9 Nord", mac = "Caf\x8E Nord", longest(31, 'L');
    const std::vector<uint8_t> windows13 = LibPart(WW, "Old", {{"3DSC", "3D"}});
    const std::vector<uint8_t> mac12 = LibPart(MM, "Old", {}, 12), mac7 = OlderLibPart(7, "", "3D");
    const std::vector<uint8_t> windows7 = OlderLibPart(107, "Old", "3D"), windows12 = OlderLibPart(112, "Old");
    const std::vector<uint8_t> older12 = OlderLibPart(12, "Old", "3D");
    const std::pair<test::Written, test::Written> cases[] = {
        {Renamed<LibPartFile>(windows13, name), LibPart(WW, name, {{"3DSC", "3D"}})},
        {Renamed<LibPartFile>(mac12, name), LibPart(MM, mac, {}, 12)},
        {Renamed<LibPartFile>(windows13, longest), LibPart(WW, longest, {{"3DSC", "3D"}})},
        {Renamed<LibPartFile>(windows7, name), OlderLibPart(107, name, "3D")},
        {Renamed<LibPartFile>(windows12, name), OlderLibPart(112, name)},
        {Renamed<LibPartFile>(older12, name), OlderLibPart(12, mac, "3D")},
        {Renamed<LibPartFile>(older12, longest), OlderLibPart(12, longest, "3D")},
        {Renamed<LibPartFile>(mac7, "New"), std::nullopt},
        {Renamed<LibPartFile>(windows13, ""), std::nullopt},
        {Renamed<LibPartFile>(windows13, longest + "L"), std::nullopt},
        {Renamed<LibPartFile>(windows13, "Old"), std::nullopt},
        // Saved again in another form, platform or version, or cut inside the field.
        {Renamed<LibPartFile>(windows13, "New", mac12), test::Failed},
        {Renamed<LibPartFile>(windows12, "New", windows7), test::Failed},
        {Renamed<LibPartFile>(windows13, "New", Cut(windows13, 35)), test::Failed},
        // A full disk.
        {Renamed<LibPartFile>(windows13, "New", windows13, 0), test::Failed},
    };
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(cases[i].first, cases[i].second) << i;
}

}  // namespace
}  // namespace orv
