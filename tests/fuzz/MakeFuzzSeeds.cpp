// Writes the fuzz targets' first inputs, built by the test builders, into DIR/TARGET
// for each target (DIR/plan_file, ...); with --check, runs each target on its inputs
// instead, so that every test run holds the seeds to the targets' rules.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <tuple>

#include "ByteWriter.h"
#include "FuzzTargets.h"
#include "GifWriter.h"
#include "LibPartBuilder.h"
#include "ModulBuilder.h"
#include "PlanBuilder.h"
#include "PreviewBlockBuilder.h"
#include "ProjectDataBuilder.h"
#include "SfoldBuilder.h"

namespace {

using namespace orv::test;
using orv::ProjectTexts;
using Bytes = std::vector<uint8_t>;
using Seeds = std::vector<Bytes>;

constexpr uint16_t WW = 0x5757;
constexpr uint16_t MM = 0x4D4D;
constexpr uint16_t UU = 0x5555;

Palette Ramp(size_t entries)
{
    Palette palette;
    for (size_t i = 0; i < entries; ++i)
        palette.push_back({uint8_t(i), uint8_t(i * 3), uint8_t(255 - i)});
    return palette;
}

Bytes Noise(size_t count, unsigned colours, unsigned seed)
{
    std::mt19937 random(seed);
    Bytes indices(count);
    for (uint8_t& i : indices)
        i = static_cast<uint8_t>(random() % colours);
    return indices;
}

Bytes SmallGif(unsigned seed)
{
    GifImage image{.width = 12, .height = 9, .minCodeSize = 2, .indices = Noise(108, 4, seed)};
    return GifWriter().Screen(12, 9, Ramp(4)).Image(image).Trailer().Data();
}

// Edits as the document targets take them from the end of an input (FuzzTargets.cpp):
// single bytes, and typed texts as a count and the characters; 255 keeps a text as
// shown. They are read backwards, so they follow the document in reverse order of use.
Bytes WithEdits(Bytes document, const std::string& edits)
{
    document.insert(document.end(), edits.rbegin(), edits.rend());
    return document;
}

std::string Byte(uint8_t value)
{
    return std::string(1, static_cast<char>(value));
}

std::string Typed(const std::string& text)
{
    return Byte(static_cast<uint8_t>(text.size())) + text;
}

std::string Kept(size_t texts)
{
    return std::string(texts, '\xFF');
}

// Texts as a record stores them: Mac or Windows characters, lone CRs.
ProjectTexts StoredTexts(bool mac)
{
    return {mac ? "Villa R\x8Esidence" : "Villa R\xE9sidence", "Atelier Nord", "C", "VR-", "villa\rhouse",
            "one\rtwo\r\rthree"};
}

// Texts at the limits: 127 characters, 128 without a terminator, a full field with
// line ends, and stored CR LF pairs.
ProjectTexts FullTexts()
{
    return {std::string(127, 'p'), std::string(128, 'a'), std::string(118, 'r') + std::string(9, '\r'), "x\r\ny",
            "", "\r"};
}

Seeds GifSeeds()
{
    GifImage small{.width = 5, .height = 3, .minCodeSize = 2, .indices = Noise(15, 4, 1)};
    GifImage interlaced{.left = 3, .top = 2, .width = 9, .height = 11, .interlaced = true,
                        .localTable = Ramp(16), .minCodeSize = 4, .indices = Noise(99, 16, 2)};
    GifImage wide{.width = 64, .height = 64, .indices = Noise(64 * 64, 256, 3), .subBlockSize = 77};
    GifImage flat{.left = 30, .top = 50, .width = 40, .height = 20,
                  .indices = Bytes(800, 7), .lzw = {.deferredClear = true}};
    GifImage full{.width = 200, .height = 60, .indices = Noise(200 * 60, 256, 4), .lzw = {.deferredClear = true}};
    // Images far larger than the canvas with no data, which once cost a full image buffer each.
    GifWriter empty;
    empty.Screen(1, 1, Ramp(2));
    for (int i = 0; i < 400; ++i)
        empty.ImageWithCodes({.width = 4095, .height = 4095, .interlaced = i % 2 == 1}, {});
    // Strings of up to 3839 indices that show one pixel each on a canvas one pixel wide,
    // which were once walked whole: every code defines the next one, then the longest
    // is repeated.
    std::vector<unsigned> runs = {256, 0};
    for (unsigned code = 258; code < 4096; ++code)
        runs.push_back(code);
    runs.insert(runs.end(), 1000, 4095);
    const Bytes runCodes = PackCodes(runs, 8);
    GifWriter column;
    column.Screen(1, 4095, Ramp(256));
    for (int i = 0; i < 200; ++i)
        column.ImageWithCodes({.width = 4095, .height = 4095, .interlaced = i % 2 == 1}, runCodes);
    return {
        GifWriter("87a").Screen(5, 3, Ramp(4), 1).Image(small).Trailer().Data(),
        GifWriter().Screen(10, 12).GraphicControl(3).Comment("seed").Image(interlaced).Trailer().Data(),
        GifWriter().Screen(64, 64, Ramp(256), 200).Image(wide).Image(flat).Trailer().Data(),
        GifWriter().Screen(200, 60, Ramp(256)).Image(full).Trailer().Data(),
        empty.Trailer().Data(),
        column.Trailer().Data(),
    };
}

Seeds LzwSeeds()
{
    Seeds seeds;
    for (unsigned minCodeSize : {0u, 1u, 2u, 5u, 8u, 11u}) {
        Bytes indices = Noise(300, std::min(1u << minCodeSize, 256u), minCodeSize);
        for (size_t i = 100; i < 300; ++i)
            indices[i] = indices[i % 5];
        Bytes codes = minCodeSize >= 2 ? PackCodes(EncodeLzw(indices, minCodeSize), minCodeSize)
                                       : PackCodes({1u << minCodeSize, 0, 1, 0, 1, 5, 6, 7}, minCodeSize);
        seeds.push_back(ByteWriter().U8(static_cast<uint8_t>(minCodeSize)).U8(19).U8(14)
                            .U8(minCodeSize % 2 ? 0x41 : 0xFE).Bytes(codes).Data());
    }
    return seeds;
}

// Operation byte, stored length, metafile length, metafile bits, file.
Seeds PreviewSeeds(const Bytes& gif)
{
    Seeds seeds = {ByteWriter().U8(2).U32(40).U16(0).U16(1).U16(0).U16(0).U16(0).U16(50).U16(60).U32(7).U16(0)
                       .U16(0).U32(0).Fill(16, 0x33).Data()};
    for (uint8_t kind : {0x10, 0x11}) {
        ByteWriter record;
        record.U8(kind).U32(kind == 0x10 ? 16 : 18).U16(108).U32(640).U32(16).U32(480).U32(12).U32(0).U32(0);
        record.U32(0).U32(0).U32(254).U32(127).Fill(108 - 40, 0x44);
        record.U16(9).U16(1).U16(2).U16(3).U16(4).Fill(kind == 0x10 ? 2 : 4).U16(0).U16(1);
        seeds.push_back(record.Data());
    }
    seeds.push_back(ByteWriter().U8(4).U32(static_cast<uint32_t>(gif.size())).U16(0).Bytes(gif).Data());
    return seeds;
}

Seeds PlanSeeds()
{
    Seeds seeds;
    const Bytes storedPreview = PreviewBlockBuilder::Indexed(6, 4, 4, {0x000000, 0xFF0000, 0x00FF00, 0x0000FF},
                                                             [](int x, int y) { return uint8_t((x + y) % 4); })
                                    .Build();
    const std::string notes = "Notes\rline two\n";
    for (uint16_t platform : {WW, MM, UU}) {
        bool mac = platform != WW;
        ByteOrder order = mac ? ByteOrder::Big : ByteOrder::Little;
        std::string name = StoredTexts(mac).project;
        seeds.push_back(PlanBuilder(platform).Version(4550).Release(45).DocumentName(name).Build());
        seeds.push_back(WithEdits(
            PlanBuilder(platform).Version(12000).Release(40).DocumentName(name).SignInMarker('C')
                .Block(581, SmallGif(platform), PlanPointer::Preview).Block(270, {notes.begin(), notes.end()})
                .Block(584, ProjectDataRecord(mac ? MM : WW, StoredTexts(mac)), PlanPointer::ProjectData)
                .Block(520, SignInBlock(order, 12, 345, true, "C:\\Projects"), PlanPointer::SignIn).Build(),
            Byte(1) + Typed("Tour Est") + Byte(12) + Kept(4) + Typed("caf\xE9") + Typed("one\r\ntwo")));
        seeds.push_back(WithEdits(
            PlanBuilder(platform).Release(39).DocumentName(std::string(32, 'u')).SignInMarker('B')
                .Block(999, {1, 2, 3}).Block(520, SignInBlock(order, 1, 2, false), PlanPointer::SignIn)
                .Block(468, storedPreview, PlanPointer::Preview)
                .Block(584, ProjectDataRecord(WW, FullTexts()), PlanPointer::ProjectData).Build(),
            Byte(2) + Typed(std::string(31, 'n')) + Byte(0)));
        seeds.push_back(PlanBuilder(platform).Release(40).Block(468, SmallGif(platform + 1), PlanPointer::Preview)
                            .BlockClaiming(270, 0x7FFFFFF0, {'a', '\n', 'b'}).Build());
    }
    // Many empty blocks before the notes, once walked with a seek and a read each.
    PlanBuilder emptyBlocks(WW);
    for (int i = 0; i < 4000; ++i)
        emptyBlocks.Block(999, {});
    seeds.push_back(emptyBlocks.Block(270, {notes.begin(), notes.end()}).Build());
    // The legacy header in each of its forms, from both platforms: the leading value,
    // the size and where a name is (0: none).
    const std::tuple<float, size_t, size_t> forms[] = {
        {100.5f, 36, 4}, {0.5f, 4, 0}, {104.1f, 512, 120}, {4.15f, 86, 0}, {104.5f, 512, 96}, {4.5f, 512, 96},
        {100.0f, 512, 96},
    };
    uint8_t tables = 0;
    for (const auto& [leading, size, nameAt] : forms) {
        std::string name = leading > 100.0f ? "Maison \xE9t\xE9" : "Maison \x8Et\x8E";
        seeds.push_back(WithEdits(LegacyPlan(leading, size, nameAt, name),
                                  Byte(tables++) + Typed("Maison neuve") + Byte(31)));
    }
    return seeds;
}

Seeds ProjectDataSeeds()
{
    Seeds seeds;
    for (uint16_t code : {WW, MM, UU}) {
        seeds.push_back(WithEdits(ProjectDataRecord(code, StoredTexts(code != WW)), Byte(1) + Kept(6) + Byte(0)));
        seeds.push_back(WithEdits(ProjectDataRecord(code, FullTexts(), 0xBEEF, 0xCAFEF00D),
                                  Byte(3) + Kept(4) + Typed("caf\xE9") + Typed("one\r\ntwo\n\rthree") + Byte(100)));
    }
    seeds.push_back(WithEdits(ProjectDataRecord(WW, StoredTexts(false)),
                              Byte(2) + Typed(std::string(200, 'k')) + Typed(std::string(126, 'c') + "\r\n") +
                                  Kept(4) + Byte(255)));
    seeds.push_back(Cut(ProjectDataRecord(MM, StoredTexts(true)), 2000));
    return seeds;
}

Seeds SfoldSeeds()
{
    Seeds seeds = {SfoldHeaderBytes({})};
    for (uint8_t platformByte : {0, 1, 2}) {
        bool mac = platformByte != 1;
        for (uint8_t writer : {0, 1}) {
            SfoldFields fields{.platformByte = platformByte, .writerCode = writer,
                               .fileKind = writer == 0 ? 0x504C4F54u : 0x4C41594Fu,  // "PLOT", "LAYO"
                               .documentName = mac ? "Cahier \x8Et\x8E" : "Cahier \xE9t\xE9",
                               .nameFiller = writer == 0};
            Bytes record = ProjectDataRecord(platformByte != 0 ? WW : MM, StoredTexts(mac));
            std::string edits = Byte(platformByte) + Typed("Cahier neuf") + Byte(40) + Kept(5) + Typed("deux\r\n");
            seeds.push_back(SfoldBook(fields));
            seeds.push_back(WithEdits(SfoldBook(fields, 372, record), edits));
            seeds.push_back(SfoldBook(fields, 372, record, writer == 0 ? 100 : 0xFFFFFFFF));
            seeds.push_back(SfoldBook(fields, 584, record));
        }
    }
    SfoldFields undated{.platformByte = 0, .versionText = std::string(31, 'v'), .storedDate = 0};
    seeds.push_back(SfoldBook(undated, 372, ProjectDataRecord(MM, FullTexts())));
    return seeds;
}

Seeds LibPartSeeds()
{
    Seeds seeds;
    const Bytes gif = SmallGif(1);
    const std::vector<LibSection> sections = {
        {"1DSC", "! 1D\rA = 1\r"}, {"2DSC", "PROJECT2 3, 270, 2\n"}, {"3DSC", "BLOCK A, B, ZZYZX\r\n"},
        {"PRSC", ""}, {"VLSC", "VALUES \"A\" 1, 2"}, {"UISC", "UI_DIALOG \"Door\""},
        {"CTXT", "A door\rwith a frame"},
        {"GIFF", std::string(gif.begin(), gif.end())}, {"3DSC", "", 0xFFFFFFF8u, 40}, {"CTXT", "", 64, 15}};
    uint8_t tables = 0;
    for (uint16_t platform : {WW, MM, UU}) {
        const std::string name = platform == WW ? "Fen\xEAtre" : "Fen\x90tre";
        const Bytes full = LibPart(platform, name, sections, 15, 0x50534153);
        seeds.push_back(WithEdits(full, Byte(tables++) + Typed("Porte d\xE9" "cor\xE9" "e") + Byte(9)));
    }
    seeds.push_back(LibPart(MM, std::string(32, 'n'), {{"3DSC", "first"}, {"CSD3", "swapped"}}, 12, 0, 3));
    for (uint16_t word : {uint16_t{107}, uint16_t{7}, uint16_t{112}, uint16_t{12}}) {
        const Bytes older = OlderLibPart(word, word > 100 ? "Fen\xEAtre" : "Fen\x90tre",
                                         "BLOCK 1, 1, 1\rADD 1, 0, 0\n", word % 100 == 12 ? "LINE2 0, 0, 1, 1\r" : "");
        seeds.push_back(WithEdits(older, Byte(tables++) + Typed("Fen\xEAtre neuve") + Byte(20)));
    }
    seeds.push_back(OlderLibPart(12, std::string(31, 'c'), "", "", 40, 90, 40));
    return seeds;
}

Seeds QdlSeeds()
{
    const std::string prefix = "! Document name: ";
    Seeds seeds;
    for (const std::string end : {"\r\n", "\r", "\n"}) {
        const std::string text = prefix + "Door" + end + "BLOCK 1, 1, 1" + end + end + "END" + end;
        seeds.push_back(WithEdits({text.begin(), text.end()}, Typed("Door 2") + Byte(7)));
    }
    const std::string mixed = prefix + std::string(40, 'n') + "\r\nBLOCK 1, 1, 1\n\rADD\r\n\n\rEND";
    seeds.push_back(WithEdits({mixed.begin(), mixed.end()}, Typed("D") + Byte(30)));
    seeds.push_back(WithEdits({prefix.begin(), prefix.end()}, Typed(std::string(31, 'x')) + Byte(3)));
    return seeds;
}

Seeds ModulSeeds()
{
    const ModulRecord a = {3, StoredMetafile()};
    const ModulRecord stored = {
        0xD005, PreviewBlockBuilder::Bitmap32(3, 2, [](int x, int y) { return uint32_t(x * 40 + y * 90); }).Build()};
    // Previews from the stored metafile; the last byte 0 makes the converter fail.
    const Bytes record16 = Module(a, {0xD001, PreviewRecord(0xD001)});
    Seeds seeds = {WithEdits(record16, Byte(1)), WithEdits(record16, Byte(0)),
                   WithEdits(Module(a, {0xD002, PreviewRecord(0xD002)}), Byte(1)),
                   WithEdits(Module(a, {0xD003, PreviewRecord(0xD001)}, {}, 2), Byte(2))};
    for (uint16_t versionType : {uint16_t{0xD003}, uint16_t{0xD004}, uint16_t{0xD006}})
        seeds.push_back(Module(a, stored, {versionType, VersionBlock(2, 6010)}));
    seeds.push_back(Module(a, stored, {0xD004}));
    return seeds;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_fuzz_seeds DIR | --check\n");
        return 2;
    }
    const bool check = std::string(argv[1]) == "--check";
    using namespace orv::fuzz;
    const Seeds gifs = GifSeeds();
    const std::tuple<const char*, void (*)(const uint8_t*, size_t), Seeds> corpora[] = {
        {"gif_decoder", FuzzGifDecoder, gifs},
        {"lzw_definition", FuzzLzwDefinition, LzwSeeds()},
        {"preview_picture", FuzzPreviewPicture, PreviewSeeds(gifs[0])},
        {"plan_file", FuzzPlanFile, PlanSeeds()},
        {"project_data", FuzzProjectData, ProjectDataSeeds()},
        {"sfold_file", FuzzSfoldFile, SfoldSeeds()},
        {"lib_part_file", FuzzLibPartFile, LibPartSeeds()},
        {"qdl_file", FuzzQdlFile, QdlSeeds()},
        {"modul_file", FuzzModulFile, ModulSeeds()},
    };
    for (const auto& [target, run, seeds] : corpora) {
        if (check) {
            // A target aborts on an input that breaks one of its rules.
            for (const Bytes& seed : seeds)
                run(seed.data(), seed.size());
            continue;
        }
        const std::filesystem::path folder = std::filesystem::path(argv[1]) / target;
        std::filesystem::create_directories(folder);
        for (size_t i = 0; i < seeds.size(); ++i)
            std::ofstream(folder / ("seed" + std::to_string(i)), std::ios::binary)
                .write(reinterpret_cast<const char*>(seeds[i].data()), static_cast<std::streamsize>(seeds[i].size()));
    }
    return 0;
}
