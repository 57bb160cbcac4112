// InverseTableLarge against full scans of every cell for every colour on the same
// palettes, and DitherRow's throughput on a 1024-pixel row at 8 and at 4 bits. All
// tables are compared before anything is timed.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "MedianReporter.h"
#include "preview/ColorReduction.h"
#include "preview/InverseColorTable.h"

namespace {

using orv::RgbQuad;
using Palette = std::vector<RgbQuad>;

constexpr unsigned Bits = 4;
constexpr uint32_t TableSize = orv::InverseTableSize(Bits);

RgbQuad Colour(int red, int green, int blue)
{
    return {uint8_t(blue), uint8_t(green), uint8_t(red), 0};
}

struct Case {
    std::string name;
    Palette palette;
};

std::vector<Case> Palettes()
{
    std::mt19937 random(20261206);
    auto below = [&](int n) { return int(random() % uint32_t(n)); };
    auto randomColours = [&](int count) {
        Palette palette;
        for (int i = 0; i < count; ++i)
            palette.push_back(Colour(below(256), below(256), below(256)));
        return palette;
    };
    std::vector<Case> cases;
    cases.push_back({"random 256", randomColours(256)});

    Palette centres = randomColours(6);
    Palette clustered;
    for (int i = 0; i < 256; ++i) {
        const RgbQuad& c = centres[size_t(below(6))];
        auto jitter = [&](int v) { return std::clamp(v + below(41) - 20, 0, 255); };
        clustered.push_back(Colour(jitter(c.rgbRed), jitter(c.rgbGreen), jitter(c.rgbBlue)));
    }
    cases.push_back({"clustered 256", clustered});

    Palette cube;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                cube.push_back(Colour(r * 51, g * 51, b * 51));
    for (int i = 0; i < 40; ++i)
        cube.push_back(Colour(i * 255 / 39, i * 255 / 39, i * 255 / 39));
    cases.push_back({"6x6x6 cube + 40 greys", cube});

    cases.push_back({"random 17", randomColours(17)});

    Palette padded = randomColours(4);
    padded.resize(256, Colour(0, 0, 0));
    cases.push_back({"4 colours + 252 black", padded});

    Palette greys;
    for (int i = 0; i < 256; ++i) {
        int level = below(256);
        greys.push_back(Colour(level, level, level));
    }
    cases.push_back({"256 random greys", greys});
    return cases;
}

// Every cell against every colour, D computed from its definition at each cell.
void FullScan(const Palette& palette, uint8_t* table)
{
    const int cells = 1 << Bits, s = 1 << (8 - Bits), q = s / 2;
    static int32_t best[TableSize];
    for (size_t i = 0; i < palette.size(); ++i) {
        int c[3] = {palette[i].rgbRed, palette[i].rgbGreen, palette[i].rgbBlue};
        int32_t k = 0;
        for (int channel : c)
            k += 2 * (channel % s - q) + 1;
        uint32_t x = 0;
        for (int r = 0; r < cells; ++r) {
            for (int g = 0; g < cells; ++g) {
                for (int b = 0; b < cells; ++b, ++x) {
                    int32_t dr = c[0] - (r * s + q), dg = c[1] - (g * s + q), db = c[2] - (b * s + q);
                    int32_t d = dr * dr + dg * dg + db * db + k;
                    if (i == 0 || d < best[x]) {
                        best[x] = d;
                        table[x] = uint8_t(i);
                    }
                }
            }
        }
    }
}

// The same scan with the distance built incrementally: one addition per cell.
void IncrementalScan(const Palette& palette, uint8_t* table)
{
    const int cells = 1 << Bits, s = 1 << (8 - Bits), q = s / 2;
    static int32_t best[TableSize];
    int32_t terms[3][1 << Bits];
    for (size_t i = 0; i < palette.size(); ++i) {
        int c[3] = {palette[i].rgbRed, palette[i].rgbGreen, palette[i].rgbBlue};
        for (int a = 0; a < 3; ++a) {
            for (int k = 0; k < cells; ++k) {
                int32_t d = c[a] - (k * s + q);
                terms[a][k] = d * d + 2 * (c[a] % s - q) + 1;
            }
        }
        uint32_t x = 0;
        for (int r = 0; r < cells; ++r) {
            for (int g = 0; g < cells; ++g) {
                int32_t base = terms[0][r] + terms[1][g];
                for (int b = 0; b < cells; ++b, ++x) {
                    int32_t d = base + terms[2][b];
                    if (i == 0 || d < best[x]) {
                        best[x] = d;
                        table[x] = uint8_t(i);
                    }
                }
            }
        }
    }
}

void TableLarge(const Palette& palette, uint8_t* table)
{
    orv::InverseTableLarge(uint32_t(palette.size()), palette.data(), Bits, table);
}

using Builder = void (*)(const Palette&, uint8_t*);

void RunBuild(benchmark::State& state, const Case* c, Builder build)
{
    std::vector<uint8_t> table(TableSize);
    for (auto _ : state) {
        std::fill(table.begin(), table.end(), 0);
        build(c->palette, table.data());
        benchmark::DoNotOptimize(table.data());
        benchmark::ClobberMemory();
    }
}

// A display's palette with its table, and a 1024-pixel row of a shaded picture.
struct DitherCase {
    std::string name;
    uint32_t outputBits;
    Palette colours;
    std::vector<uint8_t> table;
    std::vector<uint8_t> row;
};

constexpr uint32_t RowWidth = 1024;

DitherCase MakeDitherCase(const std::string& name, uint32_t outputBits, Palette colours)
{
    DitherCase c{name, outputBits, std::move(colours), std::vector<uint8_t>(TableSize, 0), {}};
    orv::BuildInverseTable(uint32_t(c.colours.size()), c.colours.data(), Bits, c.table.data());
    std::mt19937 random(7);
    for (uint32_t x = 0; x < RowWidth; ++x) {
        double u = double(x) / RowWidth;
        int noise = int(random() % 17) - 8;
        c.row.push_back(uint8_t(std::clamp(int(110 + 80 * std::sin(4.2 * u)) + noise, 0, 255)));
        c.row.push_back(uint8_t(std::clamp(int(120 + 90 * std::cos(2.3 * u)) + noise, 0, 255)));
        c.row.push_back(uint8_t(std::clamp(int(128 + 100 * std::sin(3.1 * u + 1.7)) + noise, 0, 255)));
    }
    return c;
}

void RunDither(benchmark::State& state, const DitherCase* c)
{
    orv::ErrorRows errors;
    errors.Allocate(RowWidth);
    std::vector<uint8_t> output(RowWidth);
    orv::DitherSetup setup{c->outputBits, 24,      RowWidth, c->colours.data(), uint32_t(c->colours.size()),
                           nullptr,       0,       c->table.data(), Bits};
    for (auto _ : state) {
        orv::DitherRow(output.data(), c->row.data(), 0, errors, setup);
        benchmark::DoNotOptimize(output.data());
    }
    state.counters["Mpx/s"] = benchmark::Counter(RowWidth / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}

double CpuMicros(const orv::bench::MedianReporter& reporter, const std::string& name)
{
    const auto* run = reporter.Median(name);
    return run ? run->GetAdjustedCPUTime() : 0.0;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<Case> cases = Palettes();
    for (const Case& c : cases) {
        std::vector<uint8_t> full(TableSize), incremental(TableSize), grown(TableSize);
        FullScan(c.palette, full.data());
        IncrementalScan(c.palette, incremental.data());
        TableLarge(c.palette, grown.data());
        if (full != incremental || full != grown) {
            std::fprintf(stderr, "%s: the tables disagree\n", c.name.c_str());
            return 1;
        }
    }
    for (const Case& c : cases) {
        benchmark::RegisterBenchmark(("full scan/" + c.name).c_str(), RunBuild, &c, FullScan)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("incremental scan/" + c.name).c_str(), RunBuild, &c, IncrementalScan)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("InverseTableLarge/" + c.name).c_str(), RunBuild, &c, TableLarge)
            ->Unit(benchmark::kMicrosecond);
    }

    Palette system;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                system.push_back(Colour(r * 51, g * 51, b * 51));
    for (int i = 1; i <= 40; ++i)
        system.push_back(Colour(i * 6, i * 6, i * 6));
    Palette sixteen = {Colour(0, 0, 0),       Colour(128, 0, 0),     Colour(0, 128, 0),   Colour(128, 128, 0),
                       Colour(0, 0, 128),     Colour(128, 0, 128),   Colour(0, 128, 128), Colour(192, 192, 192),
                       Colour(128, 128, 128), Colour(255, 0, 0),     Colour(0, 255, 0),   Colour(255, 255, 0),
                       Colour(0, 0, 255),     Colour(255, 0, 255),   Colour(0, 255, 255), Colour(255, 255, 255)};
    std::vector<DitherCase> dithers = {MakeDitherCase("8 bits, 256 colours", 8, system),
                                       MakeDitherCase("4 bits, 16 colours", 4, sixteen)};
    for (const DitherCase& d : dithers)
        benchmark::RegisterBenchmark(("DitherRow/" + d.name).c_str(), RunDither, &d);

    orv::bench::MedianReporter reporter;
    orv::bench::RunBenchmarks(argc, argv, reporter);

    std::printf("\n%-24s %10s %12s %12s %9s %9s   (median us of CPU time; tables identical)\n", "palette",
                "full scan", "incremental", "Large", "vs full", "vs incr");
    for (const Case& c : cases) {
        double full = CpuMicros(reporter, "full scan/" + c.name);
        double incremental = CpuMicros(reporter, "incremental scan/" + c.name);
        double grown = CpuMicros(reporter, "InverseTableLarge/" + c.name);
        if (grown <= 0)
            continue;
        std::printf("%-24s %10.1f %12.1f %12.1f %8.2fx %8.2fx\n", c.name.c_str(), full, incremental, grown,
                    full / grown, incremental / grown);
    }
    std::printf("\n%-24s %10s\n", "DitherRow, 1024 pixels", "Mpx/s");
    for (const DitherCase& d : dithers) {
        if (reporter.Median("DitherRow/" + d.name))
            std::printf("%-24s %10.1f\n", d.name.c_str(), reporter.Counter("DitherRow/" + d.name, "Mpx/s"));
    }
    return 0;
}
