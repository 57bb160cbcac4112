// orvdoc run as a user runs it, on the demo's sample documents and on documents built
// for the case: what it prints, the exit status, the files it writes and leaves alone.
#include <gtest/gtest.h>
#include <png.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "ByteWriter.h"
#include "LibPartBuilder.h"
#include "ModulBuilder.h"
#include "PlanBuilder.h"
#include "PreviewBlockBuilder.h"
#include "ProjectDataBuilder.h"
#include "ScratchFolder.h"

namespace orv {
namespace {

using Bytes = std::vector<uint8_t>;
using test::PlanBuilder;
using test::ScratchFolder;

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

std::string Contents(const std::string& path)
{
    const Bytes bytes = test::ReadWholeFile(path);
    return {bytes.begin(), bytes.end()};
}

// A command line run by the shell in the folder, with its output captured. A tool that
// loops is ended by its CPU limit rather than left running after the test.
Outcome Shell(const ScratchFolder& folder, const std::string& command)
{
    std::string line =
        "cd '" + folder.Folder().string() + "' && ulimit -t 60 && " + command + " >stdout.txt 2>stderr.txt";
    int status = std::system(line.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Contents(folder.PathOf("stdout.txt")),
            Contents(folder.PathOf("stderr.txt"))};
}

// The demo's documents, written by the samples program.
class Samples : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(Shell(folder, std::string(SAMPLES_PATH) + " .").status, 0); }

    ScratchFolder folder;
};

struct Png {
    uint32_t width = 0;
    uint32_t height = 0;
    Bytes rgba;
};

// Read back with libpng, as a file manager reads a thumbnail.
Png ReadPng(const std::string& path)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    Png png;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return png;
    image.format = PNG_FORMAT_RGBA;
    png.rgba.resize(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, png.rgba.data(), 0, nullptr)) {
        png.width = image.width;
        png.height = image.height;
    }
    return png;
}

// What each command prints, the exit status, what it says on stderr (nothing when it
// succeeds, and for info --json, whose errors are objects of their own) and the PNG
// it writes, with a pixel of the sky or the lawn as the samples paint them.
TEST_F(Samples, CommandsPrintTheDocumentsAndWriteTheirPreviews)
{
    const Bytes notes = {'C', 'a', 'f', 0xE9, '\r', 'x'};
    folder.Write("Mac.pln", PlanBuilder(0x4D4D).DocumentName("a\x01z").Block(270, notes).Build());
    folder.Write("Bad.pln", {1, 2, 3});
    const Bytes metafile = test::PreviewBlockBuilder::Metafile({1, 2, 3, 4}, 20, 10).Build();
    folder.Write("Vector.mod", test::Module({3, test::StoredMetafile()}, {0xD005, metafile}));
    const struct {
        const char* arguments;
        int status;
        std::string out;
        const char* error = nullptr;
        uint32_t width = 0, height = 0, x = 0, y = 0, colour = 0;
    } cases[] = {
        {"info Villa.pln Window.qdl", 0,
         "Villa.pln\n  kind       plan\n  platform   Windows\n  version    4.55\n  release    42\n"
         "  name       Villa Rosa\n  project    Villa Rosa\n  author     A. Lindqvist\n  revision   C\n"
         "  prefix     VR-\n  keywords   house, garden\n  comments   Second draft\n             for the client\n"
         "  notes      47 bytes\n  preview    GIF 128 x 96\n"
         "Window.qdl\n  kind       object script\n  name       Window 120\n  script     80 bytes\n  preview    none\n"},
        {"info --json Door.qxm Terrace.mod Sheets.sfk", 0,
         "{\"file\":\"Door.qxm\",\"kind\":\"library part\",\"platform\":\"Windows\",\"version\":\"13\","
         "\"name\":\"Door 90\",\"texts\":{\"2D\":21,\"3D\":34,\"comment\":26},"
         "\"preview\":{\"kind\":\"GIF\",\"width\":128,\"height\":96}}\n"
         "{\"file\":\"Terrace.mod\",\"kind\":\"module\",\"version\":\"6.01\",\"release\":2,\"texts\":{},"
         "\"preview\":{\"kind\":\"bitmap\",\"width\":96,\"height\":64}}\n"
         "{\"file\":\"Sheets.sfk\",\"kind\":\"layout book\",\"platform\":\"Windows\",\"version\":\"4.1\","
         "\"name\":\"Book\",\"projectData\":{\"project\":\"Villa Rosa\",\"author\":\"A. Lindqvist\","
         "\"revision\":\"C\",\"prefix\":\"VR-\",\"keywords\":\"sheets\",\"comments\":\"\"},\"texts\":{},"
         "\"preview\":{\"kind\":\"none\"}}\n"},
        // A file that cannot be read is an object of its own and fails the run; the others are shown.
        {"info --json Empty.qdd Bad.pln \"a \\\"b\\\".pln\" Materials.qpd", 1,
         "{\"file\":\"Empty.qdd\",\"error\":\"not a readable data file\"}\n"
         "{\"file\":\"Bad.pln\",\"error\":\"not a readable plan\"}\n"
         "{\"file\":\"a \\\"b\\\".pln\",\"error\":\"the file cannot be opened\"}\n"
         "{\"file\":\"Materials.qpd\",\"kind\":\"data file\",\"texts\":{\"listing\":128},"
         "\"preview\":{\"kind\":\"none\"}}\n"},
        // A control character in a name is an escape of its own.
        {"info --json Mac.pln", 0,
         "{\"file\":\"Mac.pln\",\"kind\":\"plan\",\"platform\":\"Macintosh\",\"version\":\"0.0\",\"release\":0,"
         "\"name\":\"a\\u0001z\",\"texts\":{\"notes\":7},\"preview\":{\"kind\":\"none\"}}\n"},
        {"info --json Vector.mod", 0,
         "{\"file\":\"Vector.mod\",\"kind\":\"module\",\"texts\":{},"
         "\"preview\":{\"kind\":\"metafile\",\"width\":20,\"height\":10}}\n"},
        {"info notes.txt", 1, "", ""},
        {"info", 2, "", ""},
        {"frobnicate", 2, "", "usage:"},
        {"text Door.qxm --section 3D", 0, "BLOCK 0.9, 0.1, 2.1\nADD 0, 0.1, 0\n"},
        {"text Door.qxm", 0,
         "== 2D\nRECT2 0, 0, 0.9, 0.1\n== 3D\nBLOCK 0.9, 0.1, 2.1\nADD 0, 0.1, 0\n== comment\n"
         "A single door, 90 cm wide.\n"},
        {"text Mac.pln", 0, "Caf\xC3\xA9\nx\n"},
        {"text Window.qdl --section script", 0,
         "! Document name: Window 120\n! A window of two casements\nBLOCK 1.2, 0.1, 1.4\nEND\n"},
        {"text Villa.pln --section 3D", 1, "", ""},
        {"text Villa.pln --sections", 2, "", ""},
        {"text Sheets.sfk", 0, ""},
        // Previews are scaled down to fit, never up.
        {"preview Villa.pln -o out.png", 0, "", nullptr, 128, 96, 5, 5, 0x96C8F0},
        {"preview Villa.pln --size 64 -o out.png", 0, "", nullptr, 64, 48, 2, 46, 0x50A03C},
        {"thumbnail Door.qxm out.png 256", 0, "", nullptr, 128, 96, 127, 0, 0x96C8F0},
        {"preview Window.qdl -o out.png", 1, "", "no preview"},
        {"preview Vector.mod -o out.png", 1, "", "metafile"},
        {"preview Villa.pln -o missing/out.png", 1, "", "cannot create"},
        {"preview Villa.pln --size 0 -o out.png", 2, "", "expected"},
        {"preview Villa.pln -o", 2, "", "expected"},
        {"thumbnail Villa.pln out.png", 2, "", "expected"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        std::filesystem::remove(folder.PathOf("out.png"));
        Outcome run = Shell(folder, std::string(ORVDOC_PATH) + " " + c.arguments);
        EXPECT_EQ(std::pair(run.status, run.out), std::pair(c.status, c.out));
        EXPECT_EQ(run.err.empty(), c.error == nullptr) << run.err;
        EXPECT_NE(run.err.find(c.error ? c.error : ""), std::string::npos) << run.err;
        Png png = ReadPng(folder.PathOf("out.png"));
        EXPECT_EQ(std::pair(png.width, png.height), std::pair(c.width, c.height));
        if (c.colour != 0 && png.width != 0) {
            const uint8_t* at = &png.rgba[(size_t{c.y} * png.width + c.x) * 4];
            EXPECT_EQ(uint32_t(at[0]) << 16 | at[1] << 8 | at[2], c.colour);
        }
    }
}

// What a file manager does: the installed MIME package names each family's type, and
// the installed thumbnailer entry's command, with its fields filled in, makes the PNG.
TEST_F(Samples, AnInstalledDesktopEntryTypesAndThumbnailsTheDocuments)
{
    const std::string prefix = folder.PathOf("prefix");
    ASSERT_EQ(Shell(folder, std::string(CMAKE_COMMAND) + " --install '" + BUILD_DIR + "' --prefix '" + prefix + "'")
                  .status, 0);
    ASSERT_EQ(Shell(folder, "update-mime-database '" + prefix + "/share/mime'").status, 0);
    std::filesystem::copy_file(folder.PathOf("Terrace.mod"), folder.PathOf("terrace"));
    std::filesystem::copy_file(folder.PathOf("Window.qdl"), folder.PathOf("window"));
    const std::string entry = Contents(prefix + "/share/thumbnailers/orvenstaal.thumbnailer");
    auto value = [&](const std::string& key) {
        size_t at = entry.find("\n" + key + "=");
        size_t start = at + key.size() + 2;
        return at == std::string::npos ? "" : entry.substr(start, entry.find('\n', start) - start);
    };
    const struct {
        const char* file;
        const char* type;
        uint32_t width, height;
    } cases[] = {
        {"Villa.pln", "application/x-orvenstaal-plan", 64, 48},
        {"Door.qxm", "application/x-orvenstaal-library-part", 64, 48},
        {"Terrace.mod", "application/x-orvenstaal-module", 64, 43},
        // Without an extension the module's magic number and the script's first line tell.
        {"terrace", "application/x-orvenstaal-module", 64, 43},
        {"window", "application/x-orvenstaal-object-script", 0, 0},
        {"Sheets.sfk", "application/x-sheetfold-layout-book", 0, 0},
        {"Materials.qpd", "application/x-orvenstaal-data", 0, 0},
        {"Outline.vec", "application/x-orvenstaal-vector-font", 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        Outcome query = Shell(folder, "XDG_DATA_DIRS='" + prefix + "/share' xdg-mime query filetype " + c.file);
        EXPECT_EQ(query.out, std::string(c.type) + "\n");
        bool listed = (";" + value("MimeType")).find(";" + std::string(c.type) + ";") != std::string::npos;
        EXPECT_EQ(listed, c.width != 0);
        if (!listed)
            continue;
        std::string command = value("Exec");
        for (const auto& [field, text] : {std::pair("%i", std::string(c.file)), std::pair("%o", std::string("t.png")),
                                          std::pair("%s", std::string("64"))})
            command.replace(command.find(field), 2, text);
        std::filesystem::remove(folder.PathOf("t.png"));
        EXPECT_EQ(Shell(folder, "PATH='" + prefix + "/bin':\"$PATH\" " + command).status, 0);
        Png png = ReadPng(folder.PathOf("t.png"));
        EXPECT_EQ(std::pair(png.width, png.height), std::pair(c.width, c.height));
        EXPECT_NE(png.rgba, Bytes(png.rgba.size(), png.rgba.empty() ? 0 : png.rgba[0]));
    }
}

// Writes go into the document as the pages write them, byte for byte; a refused write
// leaves the file as it was.
TEST(OrvdocWrite, RenameAndProjectDataChangeOnlyTheirFields)
{
    ScratchFolder folder;
    const Bytes plan = PlanBuilder(0x5757).DocumentName("Old")
                           .Block(584, test::ProjectDataRecord(0x5757, {"P", "A", "R", "D", "K", "C"}),
                                  test::PlanPointer::ProjectData).Build();
    const Bytes part = test::LibPart(0x4D4D, "Old");
    const Bytes legacy = test::LegacyPlan(4.15f, 86);
    const std::string text = "! Document name: Old\r\nEND\r\n";
    const Bytes script(text.begin(), text.end());
    auto named = [](const Bytes& bytes, size_t at, const std::string& stored) {
        return test::ByteWriter(bytes).At(at).Text(stored, 32).Data();
    };
    const std::string longest(31, 'o');
    const Bytes longestNamed = named(plan, 16, longest);
    const struct {
        const char* file;
        Bytes bytes;
        std::string arguments;
        int status;
        Bytes expected;
        const char* error = "";
    } cases[] = {
        {"a.pln", plan, "rename a.pln 'S\xC3\xBC" "d \xE2\x80\xA6 \xE2\x82\xAC'", 0, named(plan, 16, "S\xFC" "d \x85 \x80")},
        {"b.qxm", part, "rename b.qxm 'Caf\xC3\xA9'", 0, named(part, 4, "Caf\x8E")},
        {"c.qdl", script, "rename c.qdl New", 0, test::ByteWriter(script).At(17).Bytes("New", 3).Data()},
        {"d.pln", plan, "set-project d.pln --keywords 'caf\xC3\xA9' --comments 'one\ntwo'", 0,
         test::WithStoredTexts(plan, 262, {{4, "caf\xE9"}, {5, "one\rtwo"}})},
        // Refusals, each with its reason.
        {"e.pln", plan, "rename e.pln Old", 1, plan, "e.pln: the name is unchanged"},
        {"n.pln", longestNamed, "rename n.pln " + longest, 1, longestNamed, "the name is unchanged"},
        {"f.pln", plan, "rename f.pln " + std::string(32, 'n'), 1, plan, "longer than 31"},
        {"g.pln", plan, "rename g.pln '\xE6\x97\xA5'", 1, plan, "a document cannot store"},
        {"h.qxm", part, "set-project h.qxm --keywords x", 1, part, "no project data"},
        {"i.pln", plan, "set-project i.pln --colour x", 2, plan, "unknown option --colour"},
        {"o.pln", plan, "set-project o.pln --keywords K --comments", 2, plan, "expected FILE"},
        {"j.pln", plan, "set-project j.pln --keywords K", 1, plan, "the project data is unchanged"},
        {"k.qdl", script, "rename k.qdl Old", 1, script, "the name is unchanged"},
        {"m.qdl", script, "rename m.qdl 'Do\nor'", 1, script, "the new name holds a line end"},
        {"l.pln", legacy, "rename l.pln New", 1, legacy, "no name that can be written"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        std::string path = folder.Write(c.file, c.bytes);
        Outcome run = Shell(folder, std::string(ORVDOC_PATH) + " " + c.arguments);
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_EQ(test::ReadWholeFile(path), c.expected);
        EXPECT_EQ(run.err.empty(), c.status == 0) << run.err;
        EXPECT_NE(run.err.find(c.error), std::string::npos) << run.err;
    }
}

}  // namespace
}  // namespace orv
