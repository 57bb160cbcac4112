#pragma once
// The documents the server is driven with: each kind, filled as a user's would be,
// with a red preview where the kind stores one.
#include <windows.h>

#include <string>
#include <vector>

#include "GifWriter.h"
#include "LibPartBuilder.h"
#include "ModulBuilder.h"
#include "PlanBuilder.h"
#include "PreviewBlockBuilder.h"
#include "ProjectDataBuilder.h"
#include "SfoldBuilder.h"

namespace orv::test {

constexpr uint16_t WW = 0x5757;
constexpr char settingsKey[] = "Software\\Orvenstaal\\ShellExtension";

// 127 stored characters; with CR LF line ends the page shows more than 127.
inline std::string Lines(const char* end)
{
    std::string lines;
    for (char line = 'a'; line < 'a' + 18; ++line)
        lines += std::string("line ") + line + end;
    return lines + "z";
}

inline const ProjectTexts storedTexts = {"Villa", "Ann", "C", "VR-", "villa", Lines("\r")};

// A red 64 x 32 picture.
inline std::vector<uint8_t> RedGif()
{
    GifImage image;
    image.width = 64;
    image.height = 32;
    image.minCodeSize = 2;
    image.indices.assign(64 * 32, 1);
    return GifWriter().Screen(64, 32, {{0, 0, 0}, {255, 0, 0}}).Image(image).Trailer().Data();
}

inline std::vector<uint8_t> Bytes(const std::string& text)
{
    return {text.begin(), text.end()};
}

// Signed in, with notes, project data (the third block) and a red preview.
inline std::vector<uint8_t> FullPlan()
{
    return PlanBuilder(WW)
        .Version(4550).Release(42).DocumentName("Villa Rosa").SignInMarker('C')
        .Block(520, SignInBlock(ByteOrder::Little, 12, 345, true, "C:\\Projects\\Villa"), PlanPointer::SignIn)
        .Block(270, Bytes("Notes\rline two"))
        .Block(584, ProjectDataRecord(WW, storedTexts), PlanPointer::ProjectData)
        .Block(581, RedGif(), PlanPointer::Preview)
        .Build();
}

// A library part's text sections in the order of their pages.
constexpr char textTags[][5] = {"1DSC", "2DSC", "3DSC", "PRSC", "VLSC", "UISC", "CTXT"};

// Every text, stored in the reverse order of their pages, and a red preview.
inline std::vector<uint8_t> Part(uint32_t type = 0x446F6F72, bool preview = true)
{
    std::vector<LibSection> sections;
    for (int text = 6; text >= 0; --text)
        sections.push_back({textTags[text], std::string(textTags[text]) + "\rend"});
    if (preview) {
        std::vector<uint8_t> gif = RedGif();
        sections.push_back({"GIFF", {gif.begin(), gif.end()}});
    }
    return LibPart(WW, "Door 90", sections, 13, type);
}

inline std::vector<uint8_t> Script()
{
    return Bytes("! Document name: Door\r\nBLOCK 1, 1, 1\r\nEND\r\n");
}

// A module with its version block and a stored red preview.
inline std::vector<uint8_t> Module()
{
    auto red = PreviewBlockBuilder::Bitmap32(64, 32, [](int, int) { return 0xFF0000u; }).Build();
    return test::Module({3, StoredMetafile()}, {0xD005, red}, {0xD004, VersionBlock(0, 6010)});
}

// A module whose preview is its stored metafile: a rectangle from a tenth of the
// frame's width and height to three quarters and four fifths, filled white, outlined
// in black.
inline std::vector<uint8_t> MetafileModule()
{
    return test::Module({3, StoredMetafile()}, {0xD001, PreviewRecord(0xD001)});
}

inline std::vector<uint8_t> Book()
{
    return SfoldBook(SfoldFields{}, 372, ProjectDataRecord(WW, storedTexts));
}

}  // namespace orv::test
