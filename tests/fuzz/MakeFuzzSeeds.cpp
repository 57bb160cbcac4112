// Writes the fuzzers' first inputs, built by the test builders, into
// DIR/gif_decoder, DIR/lzw_definition and DIR/preview_picture.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

#include "ByteWriter.h"
#include "GifWriter.h"

namespace {

using namespace orv::test;
namespace fs = std::filesystem;

void Save(const fs::path& folder, const std::string& name, const std::vector<uint8_t>& bytes)
{
    fs::create_directories(folder);
    std::ofstream(folder / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Palette Ramp(size_t entries)
{
    Palette palette;
    for (size_t i = 0; i < entries; ++i)
        palette.push_back({uint8_t(i), uint8_t(i * 3), uint8_t(255 - i)});
    return palette;
}

std::vector<uint8_t> Noise(size_t count, unsigned colours, unsigned seed)
{
    std::mt19937 random(seed);
    std::vector<uint8_t> indices(count);
    for (uint8_t& i : indices)
        i = static_cast<uint8_t>(random() % colours);
    return indices;
}

std::vector<std::vector<uint8_t>> GifSeeds()
{
    std::vector<std::vector<uint8_t>> seeds;
    GifImage small;
    small.width = 5;
    small.height = 3;
    small.minCodeSize = 2;
    small.indices = Noise(15, 4, 1);
    seeds.push_back(GifWriter("87a").Screen(5, 3, Ramp(4), 1).Image(small).Trailer().Data());

    GifImage interlaced;
    interlaced.width = 9;
    interlaced.height = 11;
    interlaced.interlaced = true;
    interlaced.localTable = Ramp(16);
    interlaced.minCodeSize = 4;
    interlaced.left = 3;
    interlaced.top = 2;
    interlaced.indices = Noise(99, 16, 2);
    seeds.push_back(GifWriter().Screen(10, 12).GraphicControl(3).Comment("seed").Image(interlaced).Trailer().Data());

    GifImage wide;
    wide.width = 64;
    wide.height = 64;
    wide.indices = Noise(64 * 64, 256, 3);
    wide.subBlockSize = 77;
    GifImage flat;
    flat.width = 40;
    flat.height = 20;
    flat.left = 30;
    flat.top = 50;
    flat.indices.assign(800, 7);
    flat.lzw.deferredClear = true;
    seeds.push_back(GifWriter().Screen(64, 64, Ramp(256), 200).Image(wide).Image(flat).Trailer().Data());

    GifImage full;
    full.width = 200;
    full.height = 60;
    full.indices = Noise(200 * 60, 256, 4);
    full.lzw.deferredClear = true;
    seeds.push_back(GifWriter().Screen(200, 60, Ramp(256)).Image(full).Trailer().Data());
    return seeds;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_fuzz_seeds DIR\n");
        return 2;
    }
    fs::path root = argv[1];
    std::vector<std::vector<uint8_t>> gifs = GifSeeds();
    for (size_t i = 0; i < gifs.size(); ++i)
        Save(root / "gif_decoder", "gif" + std::to_string(i), gifs[i]);

    for (unsigned minCodeSize : {0u, 1u, 2u, 5u, 8u, 11u}) {
        std::vector<uint8_t> indices = Noise(300, std::min(1u << minCodeSize, 256u), minCodeSize);
        for (size_t i = 100; i < 300; ++i)
            indices[i] = indices[i % 5];
        std::vector<uint8_t> codes = minCodeSize >= 2 ? PackCodes(EncodeLzw(indices, minCodeSize), minCodeSize)
                                                      : PackCodes({1u << minCodeSize, 0, 1, 0, 1, 5, 6, 7}, minCodeSize);
        ByteWriter seed;
        seed.U8(static_cast<uint8_t>(minCodeSize)).U8(19).U8(14).U8(minCodeSize % 2 ? 0x41 : 0xFE).Bytes(codes);
        Save(root / "lzw_definition", "codes" + std::to_string(minCodeSize), seed.Data());
    }

    // Operation byte, stored length, metafile length, metafile bits, file.
    ByteWriter stored;
    stored.U8(2).U32(40).U16(0);
    stored.U16(1).U16(0).U16(0).U16(0).U16(50).U16(60).U32(7).U16(0).U16(0).U32(0).Fill(16, 0x33);
    Save(root / "preview_picture", "block", stored.Data());
    for (uint8_t kind : {0x10, 0x11}) {
        ByteWriter record;
        record.U8(kind).U32(kind == 0x10 ? 16 : 18).U16(108);
        record.U32(640).U32(16).U32(480).U32(12).U32(0).U32(0);
        record.U32(0).U32(0).U32(254).U32(127).Fill(108 - 40, 0x44);
        record.U16(9).U16(1).U16(2).U16(3).U16(4).Fill(kind == 0x10 ? 2 : 4).U16(0).U16(1);
        Save(root / "preview_picture", "record" + std::to_string(kind), record.Data());
    }
    ByteWriter gif;
    gif.U8(4).U32(static_cast<uint32_t>(gifs[0].size())).U16(0).Bytes(gifs[0]);
    Save(root / "preview_picture", "gif", gif.Data());
    return 0;
}
