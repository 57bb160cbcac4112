#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "DocumentWrites.h"
#include "InfoFileBuilder.h"
#include "LibPartBuilder.h"
#include "ModulBuilder.h"
#include "PlanBuilder.h"
#include "handlers/PaneContent.h"

namespace orv {

void PrintTo(const PaneFact& fact, std::ostream* out)
{
    *out << fact.label << " " << fact.value;
}

void PrintTo(const Rect& rect, std::ostream* out)
{
    *out << "{" << rect.left << ", " << rect.top << ", " << rect.right << ", " << rect.bottom << "}";
}

namespace {

using namespace test;

// Each kind as the pane shows it: the facts in order, empty ones left out, and the
// text under them (null: none).
TEST(PaneContent, FactsAndTextOfEveryKind)
{
    const ProjectTexts project = {"Villa", "Ann", "", "VR-", "", "two\rlines"};
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
        std::vector<PaneFact> facts;
        const char* text;
    } cases[] = {
        {"Villa.pln",
         test::PlanBuilder(WW).Version(4550).Release(42).DocumentName("Villa Rosa")
             .Block(270, Bytes("Notes"))
             .Block(584, test::ProjectDataRecord(WW, project), test::PlanPointer::ProjectData).Build(),
         {{"Document Name:", "Villa Rosa"}, {"Version:", "4.55"}, {"Platform:", "Windows"}, {"Release:", "42"},
          {"Project:", "Villa"}, {"Author:", "Ann"}, {"Drawing No. Prefix:", "VR-"}, {"Comments:", "two\r\nlines"}},
         nullptr},
        {"Unnamed.pln", test::PlanBuilder(0x4D4D).Version(5000).Build(),
         {{"Version:", "5.0"}, {"Platform:", "Macintosh"}, {"Release:", "0"}}, nullptr},
        {"Terrace.mod",
         test::Module({3, test::StoredMetafile()}, {0xD005, GreyPreview()}, {0xD004, test::VersionBlock(2, 6010)}),
         {{"Version:", "6.01"}, {"Release:", "2"}}, nullptr},
        {"Window.qdl", Bytes("! Document name: Window 120\r\nBLOCK 1, 1, 1\r\n"),
         {{"Document Name:", "Window 120"}},
         "! Document name: Window 120\r\nBLOCK 1, 1, 1\r\n"},
        {"Door.qxm", test::LibPart(WW, "Door", {{"1DSC", ""}, {"2DSC", "x"}}), {{"Document Name:", "Door"},
         {"Version:", "13"}, {"Platform:", "Windows"}}, nullptr},
        // Names sort ignoring case.
        {"Table.qpd", test::InfoFileBuilder().Info("Layers", "Walls", "thick").Info("Layers", "attic", "low").Build(),
         {}, "Layers:\r\n        attic low\r\n        Walls thick\r\n"},
    };
    for (const auto& [name, bytes, facts, text] : cases) {
        SCOPED_TRACE(name);
        MemoryFile file(bytes);
        Document document;
        std::string error;
        ASSERT_TRUE(document.Read(file, name, error)) << error;
        EXPECT_EQ(PaneFacts(document), facts);
        const std::string* shown = PaneText(document);
        EXPECT_EQ(shown ? *shown : "(none)", text ? text : "(none)");
    }
}

// Values wrap at 6 pixels a character into lines 16 high; a width of 0 puts each
// character on a line of its own.
int32_t Wrapped(size_t length, int32_t width)
{
    int32_t characters = static_cast<int32_t>(length);
    return 16 * (width > 0 ? std::max(1, (characters * 6 + width - 1) / width) : characters);
}

TEST(PaneContent, PictureFactsAndTextStackFromTheTop)
{
    const struct {
        const char* name;
        int32_t width, height;
        PreviewShape picture;
        std::vector<size_t> valueLengths;
        int32_t lineHeight;
        bool text;
        Rect picturePlace;
        std::vector<Rect> labels, values;
        Rect textPlace;
    } cases[] = {
        {"a small picture at its own height, a value wrapped to three lines", 300, 500,
         {PreviewContent::Bitmap, 128, 96}, {10, 60}, 16, false, {8, 8, 292, 104},
         {{8, 112, 108, 128}, {8, 132, 108, 148}}, {{116, 112, 292, 128}, {116, 132, 292, 180}}, {}},
        {"a wide picture scaled to the pane's width, the text down to its bottom", 100, 400,
         {PreviewContent::Metafile, 400, 200}, {}, 16, true, {8, 8, 92, 50}, {}, {}, {8, 58, 92, 392}},
        {"a tall picture no taller than the pane; no room left for the text", 300, 100,
         {PreviewContent::Bitmap, 100, 200}, {}, 16, true, {8, 8, 292, 92}, {}, {}, {8, 100, 292, 100}},
        {"no picture; labels as high as a line, rows at least that high", 200, 300, {}, {3}, 20, true, {},
         {{8, 8, 108, 28}}, {{116, 8, 192, 28}}, {8, 36, 192, 292}},
        {"room for one row of the picture", 300, 17, {PreviewContent::Bitmap, 100, 200}, {}, 16, false,
         {8, 8, 292, 9}, {}, {}, {}},
        {"a picture without height", 200, 300, {PreviewContent::Metafile, 100, 0}, {3}, 16, false, {},
         {{8, 8, 108, 24}}, {{116, 8, 192, 24}}, {}},
        {"a picture without width", 200, 300, {PreviewContent::Metafile, 0, 100}, {3}, 16, false, {},
         {{8, 8, 108, 24}}, {{116, 8, 192, 24}}, {}},
        {"a pane narrower than its margins", 10, 10, {PreviewContent::Bitmap, 50, 50}, {3}, 16, false, {},
         {{8, 8, 108, 24}}, {{116, 8, 116, 56}}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PaneMeasures measures{100, c.lineHeight, [&](size_t fact, int32_t width) {
                                  return Wrapped(c.valueLengths.at(fact), width);
                              }};
        PaneLayout layout = LayOutPane(c.width, c.height, c.picture, c.valueLengths.size(), measures, c.text);
        EXPECT_EQ(layout.picture, c.picturePlace);
        EXPECT_EQ(layout.labels, c.labels);
        EXPECT_EQ(layout.values, c.values);
        EXPECT_EQ(layout.text, c.textPlace);
    }
}

}  // namespace
}  // namespace orv
