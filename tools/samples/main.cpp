// Writes a folder of sample documents, built by the same builders the tests use, for
// the demo and the end-to-end tests.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "GifWriter.h"
#include "InfoFileBuilder.h"
#include "LibPartBuilder.h"
#include "ModulBuilder.h"
#include "PlanBuilder.h"
#include "PreviewBlockBuilder.h"
#include "ProjectDataBuilder.h"
#include "SfoldBuilder.h"

namespace {

bool Write(const std::filesystem::path& folder, const char* name, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    std::printf("%s\n", (folder / name).string().c_str());
    return static_cast<bool>(out);
}

// A 128 x 96 preview of a small house: sky, walls, roof, door and lawn.
std::vector<uint8_t> HousePreview()
{
    using orv::test::GifImage;
    const orv::test::Palette colours = {
        {150, 200, 240}, {200, 170, 120}, {180, 40, 30}, {90, 60, 30}, {80, 160, 60}, {255, 255, 255},
    };
    GifImage image;
    image.width = 128;
    image.height = 96;
    image.minCodeSize = 3;
    for (int y = 0; y < 96; ++y)
        for (int x = 0; x < 128; ++x) {
            uint8_t index = y >= 80 ? 4 : 0;
            int roofHalf = y - 16;
            if (y >= 16 && y < 44 && x >= 64 - roofHalf * 2 && x < 64 + roofHalf * 2)
                index = 2;
            if (y >= 44 && y < 80 && x >= 28 && x < 100)
                index = (x >= 56 && x < 72 && y >= 56) ? 3 : (x >= 36 && x < 48 && y >= 52 && y < 64) ? 5 : 1;
            image.indices.push_back(index);
        }
    return orv::test::GifWriter().Screen(128, 96, colours).Image(image).Trailer().Data();
}

std::vector<uint8_t> Bytes(const std::string& text)
{
    return {text.begin(), text.end()};
}

// A 96 x 64 terrace seen from above: paving slabs with a lawn border.
std::vector<uint8_t> TerracePreview()
{
    auto colour = [](int x, int y) {
        if (x < 8 || y < 8 || x >= 88 || y >= 56)
            return 0x50A03Cu;
        return (x / 16 + y / 16) % 2 ? 0xC8B496u : 0xA0968Cu;
    };
    return orv::test::PreviewBlockBuilder::Bitmap32(96, 64, colour).Build();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: make_samples FOLDER\n", stderr);
        return 2;
    }
    using namespace orv::test;
    std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    const std::vector<uint8_t> house = HousePreview();
    bool written =
        Write(folder, "Materials.qpd",
              InfoFileBuilder()
                  .Info("Materials", "Stone", "grey granite")
                  .Info("Materials", "Brick", "red, 240 x 115")
                  .Info("Layers", "Walls", "load-bearing")
                  .Info("Layers", "Furniture", "2D only")
                  .Build()) &&
        Write(folder, "Empty.qdd", InfoFileBuilder().Entry("VERS", 1, {'1', '.', '0'}).Build()) &&
        Write(folder, "Villa.pln",
              PlanBuilder(0x5757)
                  .Version(4550)
                  .Release(42)
                  .DocumentName("Villa Rosa")
                  .SignInMarker('C')
                  .Block(520, SignInBlock(ByteOrder::Little, 12, 345, true, "C:\\Projects\\Villa"), PlanPointer::SignIn)
                  .Block(270, Bytes("Ground floor finished.\rRoof: check the gutters."))
                  .Block(584,
                         ProjectDataRecord(0x5757, {"Villa Rosa", "A. Lindqvist", "C", "VR-", "house, garden",
                                                    "Second draft\rfor the client"}),
                         PlanPointer::ProjectData)
                  .Block(581, HousePreview(), PlanPointer::Preview)
                  .Build()) &&
        Write(folder, "Sketch.pla", PlanBuilder(0x4D4D).Version(5000).DocumentName("Sketch").Build()) &&
        Write(folder, "Sheets.sfk",
              SfoldBook(SfoldFields{}, 372,
                        ProjectDataRecord(0x5757, {"Villa Rosa", "A. Lindqvist", "C", "VR-", "sheets", ""}))) &&
        Write(folder, "Outline.vec",
              InfoFileBuilder()
                  .FontTable("WICT", 2, "Arial Outline")
                  .FontTable("MACT", 1, "Chicago Outline")
                  .Version(1, "1.2")
                  .Version(2, "2.0")
                  .Build()) &&
        Write(folder, "Door.qxm",
              LibPart(0x5757, "Door 90",
                      {{"3DSC", "BLOCK 0.9, 0.1, 2.1\rADD 0, 0.1, 0\r"},
                       {"2DSC", "RECT2 0, 0, 0.9, 0.1\r"},
                       {"CTXT", "A single door, 90 cm wide."},
                       {"GIFF", {house.begin(), house.end()}}},
                      13, 0x446F6F72)) &&
        Write(folder, "Window.qdl",
              Bytes("! Document name: Window 120\r\n! A window of two casements\r\nBLOCK 1.2, 0.1, 1.4\r\nEND\r\n")) &&
        Write(folder, "Terrace.mod",
              Module({3, StoredMetafile()}, {0xD005, TerracePreview()}, {0xD004, VersionBlock(2, 6010)}));
    return written ? 0 : 1;
}
