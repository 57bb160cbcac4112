// Plan documents opened and read as the icon and page paths do: PlanFile::Load from a
// path reads the header, the notes, the project data and the sign-in block and
// decodes the GIF preview. 1000 documents, built once by the test builders and
// written to a scratch folder, are loaded in turn; the same documents read from
// memory, and their previews decoded alone, show where the time goes. Every
// document is checked once before anything is timed.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <sys/resource.h>

#include "handlers/Document.h"
#include "GifWriter.h"
#include "MedianReporter.h"
#include "PlanBuilder.h"
#include "ProjectDataBuilder.h"
#include "Report.h"
#include "ScratchFolder.h"
#include "plan/PlanFile.h"
#include "preview/GifDecoder.h"
#include "preview/PictureHeaders.h"
#include "util/CharTables.h"
#include "util/MemoryFile.h"

namespace {

using namespace orv::test;

constexpr int DocumentCount = 1000;
constexpr int PreviewWidth = 200;
constexpr int PreviewHeight = 150;

struct Document {
    std::string name;
    std::string path;
    std::vector<uint8_t> bytes;
    std::vector<uint8_t> gif;
};

using Indices = std::vector<uint8_t>;

// A floor plan as its preview shows it: rooms in light tints, walls, doors and
// furniture on white, in 16 colours. Long runs.
Indices FloorPlan(unsigned seed)
{
    std::mt19937 random(seed);
    Indices indices(size_t{PreviewWidth} * PreviewHeight, 0);
    auto fill = [&](int left, int top, int width, int height, uint8_t colour) {
        for (int y = std::max(top, 0); y < std::min(top + height, PreviewHeight); ++y)
            for (int x = std::max(left, 0); x < std::min(left + width, PreviewWidth); ++x)
                indices[size_t(y) * PreviewWidth + x] = colour;
    };
    const int left = 8, top = 8, right = PreviewWidth - 8, bottom = PreviewHeight - 8;
    int x = left;
    while (x < right - 20) {
        int width = std::min(30 + int(random() % 50), right - x);
        int y = top;
        while (y < bottom - 15) {
            int height = std::min(25 + int(random() % 45), bottom - y);
            fill(x, y, width, height, uint8_t(2 + random() % 6));
            for (int piece = int(random() % 4); piece > 0; --piece)
                fill(x + 4 + int(random() % std::max(width - 14, 1)), y + 4 + int(random() % std::max(height - 12, 1)),
                     4 + int(random() % 8), 3 + int(random() % 6), uint8_t(8 + random() % 4));
            fill(x, y, width, 2, 1);
            fill(x, y, 2, height, 1);
            fill(x + width / 3, y, 9, 2, 0);
            y += height;
        }
        x += width;
    }
    fill(left, top, right - left, 3, 1);
    fill(left, bottom - 3, right - left, 3, 1);
    fill(left, top, 3, bottom - top, 1);
    fill(right - 3, top, 3, bottom - top, 1);
    fill(left, bottom + 3, right - left, 1, 12);
    return indices;
}

Palette PlanPalette()
{
    return {{255, 255, 255}, {20, 20, 20},    {250, 240, 220}, {225, 240, 250}, {235, 250, 225}, {250, 225, 225},
            {240, 235, 250}, {245, 245, 235}, {150, 110, 70},  {90, 120, 160},  {120, 160, 90},  {170, 170, 170},
            {200, 30, 30},   {0, 0, 0},       {0, 0, 0},       {0, 0, 0}};
}

// A rendered view: shading with noise in a 3-3-2 colour cube, dithered. Short strings.
Indices Rendering(unsigned seed)
{
    std::mt19937 random(seed);
    std::normal_distribution<double> noise(0.0, 10.0);
    double phase = (seed % 17) / 5.0;
    Indices indices(size_t{PreviewWidth} * PreviewHeight);
    for (int y = 0; y < PreviewHeight; ++y) {
        for (int x = 0; x < PreviewWidth; ++x) {
            double u = double(x) / PreviewWidth, v = double(y) / PreviewHeight;
            double r = 140 + 90 * std::sin(3.0 * u + 1.5 * v + phase);
            double g = 130 + 80 * std::cos(2.2 * v - 1.3 * u + phase);
            double b = 120 + 70 * std::sin(4.0 * (u - v) + phase);
            auto level = [&](double c, int levels) {
                double scaled = (c + noise(random)) * (levels - 1) / 255.0;
                return std::clamp(int(std::lround(scaled)), 0, levels - 1);
            };
            indices[size_t(y) * PreviewWidth + x] = uint8_t(level(r, 8) << 5 | level(g, 8) << 2 | level(b, 4));
        }
    }
    return indices;
}

Palette ColourCube()
{
    Palette palette;
    for (int i = 0; i < 256; ++i)
        palette.push_back({uint8_t((i >> 5) * 255 / 7), uint8_t(((i >> 2) & 7) * 255 / 7), uint8_t((i & 3) * 255 / 3)});
    return palette;
}

std::vector<uint8_t> Preview(int number)
{
    GifImage image;
    image.width = PreviewWidth;
    image.height = PreviewHeight;
    bool drawing = number % 2 == 0;
    image.minCodeSize = drawing ? 4 : 8;
    image.indices = drawing ? FloorPlan(unsigned(number)) : Rendering(unsigned(number));
    return GifWriter()
        .Screen(PreviewWidth, PreviewHeight, drawing ? PlanPalette() : ColourCube())
        .Image(image)
        .Trailer()
        .Data();
}

std::vector<uint8_t> Notes(int number, const char* lineEnd)
{
    std::string notes;
    for (const char* line : {"Client: Familie Arnold", "Phase: permit drawings", "Structure checked by the engineer",
                             "Windows to the south enlarged", "Roof pitch 35 degrees, clay tiles",
                             "Next meeting on site, bring the revised sections"})
        notes += std::string(line) + " (" + std::to_string(number) + ")" + lineEnd;
    return {notes.begin(), notes.end()};
}

// Every other document comes from a Macintosh: big-endian, Mac characters, lone CRs.
std::vector<Document> BuildDocuments(const ScratchFolder& folder)
{
    std::vector<Document> documents;
    for (int number = 0; number < DocumentCount; ++number) {
        bool mac = number % 2 == 1;
        uint16_t platform = mac ? 0x4D4D : 0x5757;
        char name[32];
        std::snprintf(name, sizeof name, "Plan %04d", number);
        orv::ProjectTexts texts = {std::string("Haus Arnold ") + name,
                                   mac ? "B\x8Ar & Partner" : "B\xE4r & Partner",
                                   "C",
                                   "HA-",
                                   "house, garden, permit",
                                   "Ground floor\rRevised after the site meeting\r"};
        Document document;
        document.name = name;
        document.gif = Preview(number);
        document.bytes = PlanBuilder(platform)
                             .Version(12000)
                             .Release(40)
                             .DocumentName(name)
                             .SignInMarker('C')
                             .Block(581, document.gif, PlanPointer::Preview)
                             .Block(270, Notes(number, mac ? "\r" : "\r\n"))
                             .Block(584, ProjectDataRecord(platform, texts), PlanPointer::ProjectData)
                             .Block(520,
                                    SignInBlock(mac ? ByteOrder::Big : ByteOrder::Little, number, 3 * number, true,
                                                std::string("C:\\Projects\\Arnold\\") + name),
                                    PlanPointer::SignIn)
                             .Build();
        document.path = folder.Write(std::string(name) + ".pln", document.bytes);
        documents.push_back(std::move(document));
    }
    return documents;
}

bool ReadAsBuilt(const orv::PlanFile& plan, const Document& document)
{
    const uint8_t* block = plan.preview.GetBlock();
    return plan.documentName == document.name && plan.HasNotes() && plan.HasProjectData() && plan.ShowsSignIn() &&
           block != nullptr && plan.preview.GetBlockSize() == 64 + PreviewWidth * PreviewHeight * 4 &&
           orv::LoadStruct<orv::PreviewHeader>(block).frameRight == PreviewWidth;
}

// Minor page faults so far, of this process or of its ended children: each is a
// fresh page of memory, given by the system and cleared.
long Faults(int who = RUSAGE_SELF)
{
    rusage usage{};
    getrusage(who, &usage);
    return usage.ru_minflt;
}

void CountDocuments(benchmark::State& state, size_t documents, long faults)
{
    state.counters["docs/s"] = benchmark::Counter(double(documents), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["faults/doc"] = double(faults) / (double(state.iterations()) * double(documents));
}

void LoadFromPath(benchmark::State& state, const std::vector<Document>* documents)
{
    const long faults = Faults();
    for (auto _ : state) {
        for (const Document& document : *documents) {
            orv::PlanFile plan;
            bool loaded = plan.Load(document.path.c_str());
            benchmark::DoNotOptimize(loaded);
        }
    }
    CountDocuments(state, documents->size(), Faults() - faults);
}

void ReadFromMemory(benchmark::State& state, const std::vector<Document>* documents)
{
    const long faults = Faults();
    for (auto _ : state) {
        for (const Document& document : *documents) {
            orv::MemoryFile file(document.bytes.data(), document.bytes.size());
            orv::PlanFile plan;
            bool read = plan.Read(file);
            benchmark::DoNotOptimize(read);
        }
    }
    CountDocuments(state, documents->size(), Faults() - faults);
}

void DecodePreviews(benchmark::State& state, const std::vector<Document>* documents)
{
    const long faults = Faults();
    for (auto _ : state) {
        for (const Document& document : *documents) {
            uint32_t blockSize = 0;
            orv::PictureBlock block = orv::DecodeGif(document.gif.data(), uint32_t(document.gif.size()), blockSize);
            benchmark::DoNotOptimize(block.get());
        }
    }
    CountDocuments(state, documents->size(), Faults() - faults);
}

// What `orvdoc info --json` does for each file, without the process around it.
void InfoInProcess(benchmark::State& state, const std::vector<Document>* documents)
{
    const long faults = Faults();
    for (auto _ : state) {
        for (const Document& document : *documents) {
            orv::Document read;
            std::string error;
            std::string json = read.Load(document.path, error) ? orv::InfoJson(document.path, read) : error;
            benchmark::DoNotOptimize(json.data());
        }
    }
    CountDocuments(state, documents->size(), Faults() - faults);
}

// One run of the tool over every document, as a script would start it; wall time.
void InfoCommand(benchmark::State& state, const std::vector<Document>* documents)
{
    std::string command = ORVDOC_PATH " info --json";
    for (const Document& document : *documents)
        command += " '" + document.path + "'";
    command += " >/dev/null";
    const long faults = Faults(RUSAGE_CHILDREN);
    for (auto _ : state) {
        int status = std::system(command.c_str());
        if (status != 0)
            state.SkipWithError("orvdoc failed");
    }
    CountDocuments(state, documents->size(), Faults(RUSAGE_CHILDREN) - faults);
}

}  // namespace

int main(int argc, char** argv)
{
    // As in the shell extension, whose module picks the tables of its code page.
    orv::SetActiveCharTables(&orv::RomanChars);
    ScratchFolder folder;
    std::vector<Document> documents = BuildDocuments(folder);
    size_t totalBytes = 0;
    for (const Document& document : documents) {
        orv::PlanFile plan;
        if (!plan.Load(document.path.c_str()) || !ReadAsBuilt(plan, document)) {
            std::fprintf(stderr, "%s: not read as built\n", document.path.c_str());
            return 1;
        }
        totalBytes += document.bytes.size();
    }

    const std::pair<const char*, void (*)(benchmark::State&, const std::vector<Document>*)> cases[] = {
        {"PlanFile::Load from path", LoadFromPath},
        {"PlanFile::Read from memory", ReadFromMemory},
        {"DecodeGif of the previews", DecodePreviews},
        {"orvdoc info, in process", InfoInProcess},
        {"orvdoc info --json, a run", InfoCommand},
    };
    for (const auto& [name, function] : cases) {
        auto* registered = benchmark::RegisterBenchmark(name, function, &documents)->Unit(benchmark::kMillisecond);
        if (function == InfoCommand)
            registered->UseRealTime();
    }
    orv::bench::MedianReporter reporter;
    orv::bench::RunBenchmarks(argc, argv, reporter);

    std::printf("\n%d documents of %.1f KB on average, each with a %dx%d GIF preview, notes, project data and "
                "a sign-in block\n",
                DocumentCount, totalBytes / 1024.0 / DocumentCount, PreviewWidth, PreviewHeight);
    std::printf("%-28s %12s %10s %11s   (median, CPU time; the run of the tool in wall time)\n", "",
                "documents/s", "ms/doc", "faults/doc");
    for (const auto& [name, function] : cases) {
        double rate = reporter.Counter(name, "docs/s");
        std::printf("%-28s %12.0f %10.3f %11.1f\n", name, rate, rate > 0 ? 1000.0 / rate : 0.0,
                    reporter.Counter(name, "faults/doc"));
    }
    return 0;
}
