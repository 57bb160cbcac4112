// DecodeGif against giflib on the same streams: giflib's DGifSlurp followed by the
// expansion that DecodeGif does too (background, every frame painted in order, 32-bit
// pixels bottom row first). Both results are compared before anything is timed.
#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "GifWriter.h"
#include "MedianReporter.h"
#include "preview/GifDecoder.h"

namespace {

using namespace orv::test;

struct Stream {
    std::string name;
    std::vector<uint8_t> bytes;
    double pixels;  // decoded image pixels, all frames
    bool photoLike;
};

// A 3-3-2 colour cube, the palette a quick quantiser gives a photograph.
Palette ColourCube()
{
    Palette palette;
    for (int i = 0; i < 256; ++i)
        palette.push_back({uint8_t((i >> 5) * 255 / 7), uint8_t(((i >> 2) & 7) * 255 / 7), uint8_t((i & 3) * 255 / 3)});
    return palette;
}

// Smooth shading with sensor noise, quantised to the cube with random dithering:
// strings stay short, as in photographs and rendered previews.
std::vector<uint8_t> PhotoLike(int width, int height, unsigned seed)
{
    std::mt19937 random(seed);
    std::normal_distribution<double> noise(0.0, 12.0);
    std::vector<uint8_t> indices(size_t(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            double u = double(x) / width, v = double(y) / height;
            double r = 128 + 100 * std::sin(3.1 * u + 1.7 * v) + 20 * std::sin(23 * u * v);
            double g = 120 + 90 * std::cos(2.3 * v - 1.1 * u) + 25 * std::sin(17 * u);
            double b = 110 + 80 * std::sin(4.2 * (u - v)) + 30 * std::cos(11 * v);
            auto level = [&](double c, int levels) {
                double scaled = (c + noise(random)) * (levels - 1) / 255.0 + (random() % 100) / 100.0 - 0.5;
                return std::clamp(int(std::lround(scaled)), 0, levels - 1);
            };
            indices[size_t(y) * width + x] = uint8_t(level(r, 8) << 5 | level(g, 8) << 2 | level(b, 4));
        }
    }
    return indices;
}

// Windows, bars and lines of text in a handful of colours: long runs.
std::vector<uint8_t> ScreenshotLike(int width, int height, unsigned seed)
{
    std::mt19937 random(seed);
    std::vector<uint8_t> indices(size_t(width) * height, 1);
    auto fill = [&](int left, int top, int w, int h, uint8_t colour) {
        for (int y = std::max(top, 0); y < std::min(top + h, height); ++y)
            for (int x = std::max(left, 0); x < std::min(left + w, width); ++x)
                indices[size_t(y) * width + x] = colour;
    };
    fill(0, height - 30, width, 30, 2);
    for (int window = 0; window < 6; ++window) {
        int left = int(random() % (width - 300)), top = int(random() % (height - 250));
        int w = 250 + int(random() % 300), h = 200 + int(random() % 250);
        fill(left, top, w, h, 3);
        fill(left, top, w, 22, 4);
        for (int line = top + 30; line < top + h - 12; line += 14) {
            int x = left + 8;
            while (x < left + w - 20) {
                int word = 10 + int(random() % 50);
                for (int c = 0; c < word; c += 6)
                    fill(x + c, line, 4, 9, uint8_t(5 + random() % 2));
                x += word + 6;
            }
        }
    }
    return indices;
}

Palette FlatPalette()
{
    return {{0, 0, 0}, {58, 110, 165}, {192, 192, 192}, {255, 255, 255}, {0, 0, 128}, {0, 0, 0}, {64, 64, 64},
            {128, 0, 0}};
}

Stream Single(const std::string& name, int width, int height, std::vector<uint8_t> indices, const Palette& palette,
              bool interlaced, bool photoLike)
{
    GifImage image;
    image.width = uint16_t(width);
    image.height = uint16_t(height);
    image.interlaced = interlaced;
    image.minCodeSize = palette.size() > 16 ? 8 : 4;
    image.indices = std::move(indices);
    return {name, GifWriter().Screen(uint16_t(width), uint16_t(height), palette).Image(image).Trailer().Data(),
            double(width) * height, photoLike};
}

Stream Frames()
{
    GifWriter writer;
    writer.Screen(640, 480, ColourCube());
    double pixels = 0;
    GifImage background;
    background.width = 640;
    background.height = 480;
    background.indices = PhotoLike(640, 480, 11);
    writer.Image(background);
    pixels += 640.0 * 480;
    for (int frame = 0; frame < 7; ++frame) {
        GifImage patch;
        patch.left = uint16_t(40 * frame);
        patch.top = uint16_t(30 * frame);
        patch.width = 320;
        patch.height = 240;
        patch.indices = frame % 2 ? PhotoLike(320, 240, 20 + frame) : ScreenshotLike(320, 240, 30 + frame);
        if (frame % 2 == 0) {
            patch.localTable = FlatPalette();
            patch.minCodeSize = 4;
        }
        writer.GraphicControl(0).Image(patch);
        pixels += 320.0 * 240;
    }
    return {"frames 640x480 (8)", writer.Trailer().Data(), pixels, true};
}

std::vector<Stream> Streams()
{
    std::vector<Stream> streams;
    streams.push_back(Single("preview 128x128", 128, 128, PhotoLike(128, 128, 1), ColourCube(), false, true));
    streams.push_back(Single("preview 200x150", 200, 150, PhotoLike(200, 150, 4), ColourCube(), false, true));
    streams.push_back(Single("photo 1024x768", 1024, 768, PhotoLike(1024, 768, 2), ColourCube(), false, true));
    streams.push_back(Single("photo 1024x768 interlaced", 1024, 768, PhotoLike(1024, 768, 2), ColourCube(), true, true));
    streams.push_back(Single("flat 1024x768", 1024, 768, ScreenshotLike(1024, 768, 3), FlatPalette(), false, false));
    streams.push_back(Frames());
    return streams;
}

struct MemoryReader {
    const std::vector<uint8_t>* bytes;
    size_t position;
};

int ReadFromMemory(GifFileType* file, GifByteType* buffer, int count)
{
    auto* reader = static_cast<MemoryReader*>(file->UserData);
    size_t done = std::min(size_t(count), reader->bytes->size() - reader->position);
    std::memcpy(buffer, reader->bytes->data() + reader->position, done);
    reader->position += done;
    return int(done);
}

uint32_t Pixel(const GifColorType& c)
{
    return uint32_t(c.Blue) | uint32_t(c.Green) << 8 | uint32_t(c.Red) << 16;
}

// giflib's decode and the same expansion into a preview block.
orv::PictureBlock DecodeWithGiflib(const std::vector<uint8_t>& bytes, uint32_t& blockSize)
{
    MemoryReader reader{&bytes, 0};
    int error = 0;
    GifFileType* gif = DGifOpen(&reader, ReadFromMemory, &error);
    if (gif == nullptr)
        return nullptr;
    std::unique_ptr<GifFileType, void (*)(GifFileType*)> owner(gif, [](GifFileType* g) { DGifCloseFile(g, nullptr); });
    if (DGifSlurp(gif) != GIF_OK)
        return nullptr;
    const uint32_t width = uint32_t(gif->SWidth), height = uint32_t(gif->SHeight);
    blockSize = 64 + width * height * 4;
    orv::PictureBlock block = orv::NewPictureBlock(blockSize);
    if (!block)
        return nullptr;
    uint8_t* pixels = block.get() + 64;
    auto row = [&](uint32_t y) { return reinterpret_cast<uint32_t*>(pixels) + size_t(height - 1 - y) * width; };
    uint32_t background = 117u << 16;
    if (gif->SColorMap && gif->SBackGroundColor < gif->SColorMap->ColorCount)
        background = Pixel(gif->SColorMap->Colors[gif->SBackGroundColor]);
    for (uint32_t y = 0; y < height; ++y)
        std::fill_n(row(y), width, background);
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& image = gif->SavedImages[i];
        const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
        std::array<uint32_t, 256> colours;
        for (int c = 0; c < 256; ++c)
            colours[c] = Pixel(map->Colors[c < map->ColorCount ? c : 0]);
        const uint32_t left = uint32_t(image.ImageDesc.Left), top = uint32_t(image.ImageDesc.Top);
        const uint32_t w = uint32_t(image.ImageDesc.Width), h = uint32_t(image.ImageDesc.Height);
        if (left >= width || top >= height)
            continue;
        for (uint32_t r = 0; r < std::min(h, height - top); ++r) {
            const GifByteType* from = image.RasterBits + size_t(r) * w;
            uint32_t* to = row(top + r) + left;
            for (uint32_t c = 0; c < std::min(w, width - left); ++c)
                to[c] = colours[from[c]];
        }
    }
    return block;
}

orv::PictureBlock DecodeWithOrv(const std::vector<uint8_t>& bytes, uint32_t& blockSize)
{
    return orv::DecodeGif(bytes.data(), uint32_t(bytes.size()), blockSize);
}

bool SamePixels(const Stream& stream)
{
    uint32_t ours = 0, theirs = 0;
    orv::PictureBlock a = DecodeWithOrv(stream.bytes, ours);
    orv::PictureBlock b = DecodeWithGiflib(stream.bytes, theirs);
    return a && b && ours == theirs && std::memcmp(a.get() + 64, b.get() + 64, ours - 64) == 0;
}

using Decoder = orv::PictureBlock (*)(const std::vector<uint8_t>&, uint32_t&);

void Run(benchmark::State& state, const Stream* stream, Decoder decode)
{
    for (auto _ : state) {
        uint32_t size = 0;
        orv::PictureBlock block = decode(stream->bytes, size);
        benchmark::DoNotOptimize(block.get());
    }
    state.counters["Mpx/s"] = benchmark::Counter(stream->pixels / 1e6, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["bytes/px"] = stream->bytes.size() / stream->pixels;
}

// The machine's speed swings in phases of half a minute or so, longer than a
// repetition, so the medians of the two sides may come from different phases. Here
// the two decoders take turns, each decoding the stream for two milliseconds or so,
// and every pair of turns gives a ratio measured within one phase: the median and
// quartiles of 101 pairs.
struct PairedRatio {
    double low, median, high;
};

// Seconds per decode over count decodes.
double Seconds(const Stream& stream, Decoder decode, int count)
{
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < count; ++i) {
        uint32_t size = 0;
        orv::PictureBlock block = decode(stream.bytes, size);
        benchmark::DoNotOptimize(block.get());
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / count;
}

PairedRatio MeasurePairs(const Stream& stream)
{
    auto turn = [&](Decoder decode) { return std::max(1, int(0.002 / Seconds(stream, decode, 1))); };
    const int theirCount = turn(DecodeWithGiflib), ourCount = turn(DecodeWithOrv);
    std::vector<double> ratios;
    for (int pair = 0; pair < 101; ++pair) {
        // Each side goes first in every other pair, so a drift within a pair cancels.
        double theirs = 0, ours = 0;
        if (pair % 2 == 0) {
            theirs = Seconds(stream, DecodeWithGiflib, theirCount);
            ours = Seconds(stream, DecodeWithOrv, ourCount);
        } else {
            ours = Seconds(stream, DecodeWithOrv, ourCount);
            theirs = Seconds(stream, DecodeWithGiflib, theirCount);
        }
        ratios.push_back(theirs / ours);
    }
    std::sort(ratios.begin(), ratios.end());
    return {ratios[25], ratios[50], ratios[75]};
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<Stream> streams = Streams();
    for (const Stream& stream : streams) {
        if (!SamePixels(stream)) {
            std::fprintf(stderr, "%s: DecodeGif and giflib disagree\n", stream.name.c_str());
            return 1;
        }
    }
    for (const Stream& stream : streams) {
        benchmark::RegisterBenchmark(("giflib/" + stream.name).c_str(), Run, &stream, DecodeWithGiflib);
        benchmark::RegisterBenchmark(("DecodeGif/" + stream.name).c_str(), Run, &stream, DecodeWithOrv);
    }
    orv::bench::MedianReporter reporter;
    orv::bench::RunBenchmarks(argc, argv, reporter);

    std::printf("\n%-28s %10s %10s %8s %24s\n", "stream", "giflib", "DecodeGif", "ratio", "paired ratio (quartiles)");
    for (const Stream& stream : streams) {
        double theirs = reporter.Counter("giflib/" + stream.name, "Mpx/s");
        double ours = reporter.Counter("DecodeGif/" + stream.name, "Mpx/s");
        if (theirs == 0 || ours == 0)
            continue;
        PairedRatio paired = MeasurePairs(stream);
        std::printf("%-28s %10.1f %10.1f %7.2fx %9.2fx (%.2f to %.2f)\n", stream.name.c_str(), theirs, ours,
                    ours / theirs, paired.median, paired.low, paired.high);
    }
    std::printf("(median Mpx/s of the repetitions; output identical)\n");
    return 0;
}
