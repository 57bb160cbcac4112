// orvdoc: what the property pages show and do, from the command line.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "CodePage1252.h"
#include "CommandLine.h"
#include "handlers/Document.h"
#include "MetafileImage.h"
#include "PngFile.h"
#include "Report.h"
#include "util/CharTables.h"

namespace {

using namespace orv;
using Arguments = std::vector<std::string>;

constexpr int Failed = 1;
constexpr int Misused = 2;

const std::map<std::string, const char*> Usage = {
    {"info", "orvdoc info [--json] FILE...\n"
             "  Prints what the property pages show: kind, platform, version, release, document name,\n"
             "  project data, the length of each text and the preview's kind and size.\n"
             "  --json  one JSON object per line and file; a file that cannot be read gives {\"file\", \"error\"}.\n"},
    {"preview", "orvdoc preview FILE -o OUT.png [--size N]\n"
                "  Writes the stored preview as PNG, at its own size or scaled down to fit N x N;\n"
                "  a metafile preview is drawn at N x N (Windows only).\n"},
    {"thumbnail", "orvdoc thumbnail FILE OUT.png SIZE\n"
                  "  The desktop thumbnailer's form of preview: scaled down to fit SIZE x SIZE.\n"},
    {"rename", "orvdoc rename FILE NEWNAME\n"
               "  Writes a new document name into the file, as the Info page does.\n"},
    {"set-project", "orvdoc set-project FILE [--project T] [--author T] [--revision T] [--prefix T]\n"
                    "                   [--keywords T] [--comments T]\n"
                    "  Writes the given project data texts into a plan or layout book; others stay.\n"},
    {"text", "orvdoc text FILE [--section NAME]\n"
             "  Prints the document's texts (notes, scripts, listings) in UTF-8; NAME picks one\n"
             "  (notes, 1D, 2D, 3D, properties, values, uid, comment, script, listing).\n"},
};

int Fail(const std::string& path, const std::string& error)
{
    std::fprintf(stderr, "orvdoc: %s: %s\n", path.c_str(), error.c_str());
    return Failed;
}

int Misuse(const std::string& command, const std::string& problem)
{
    std::fprintf(stderr, "orvdoc: %s\n%s", problem.c_str(), Usage.count(command) ? Usage.at(command) : "");
    return Misused;
}

std::optional<uint32_t> Size(const std::string& text)
{
    char* end = nullptr;
    unsigned long value = std::strtoul(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || value == 0 || value > 4096)
        return std::nullopt;
    return static_cast<uint32_t>(value);
}

int Info(const Arguments& args)
{
    bool json = !args.empty() && args[0] == "--json";
    if (args.size() <= size_t{json})
        return Misuse("info", "no file given");
    int status = 0;
    for (size_t i = json; i < args.size(); ++i) {
        Document document;
        std::string error;
        if (document.Load(args[i], error)) {
            std::fputs(json ? (InfoJson(args[i], document) + "\n").c_str() : InfoText(args[i], document).c_str(),
                       stdout);
            continue;
        }
        status = Failed;
        if (json)
            std::puts(ErrorJson(args[i], error).c_str());
        else
            Fail(args[i], error);
    }
    return status;
}

int Preview(const std::string& path, const std::string& out, uint32_t size)
{
    Document document;
    std::string error;
    if (!document.Load(path, error))
        return Fail(path, error);
    RgbaImage image;
    PreviewShape shape = document.preview ? ShapeOf(*document.preview) : PreviewShape{};
    if (shape.content == PreviewContent::None)
        return Fail(path, "the document has no preview");
    if (shape.content == PreviewContent::Metafile && !MetafileImage(*document.preview, size, image))
        return Fail(path, "the preview is a metafile, which cannot be rendered on this system");
    if (shape.content == PreviewContent::Bitmap && !PreviewBitmap(*document.preview, size, image))
        return Fail(path, "the preview cannot be read");
    return WritePng(out, image, error) ? 0 : Fail(out, error);
}

int PreviewCommand(const Arguments& args)
{
    std::string out;
    std::optional<uint32_t> size = 0;
    std::vector<std::string> files;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o" && i + 1 < args.size())
            out = args[++i];
        else if (args[i] == "--size" && i + 1 < args.size())
            size = Size(args[++i]);
        else
            files.push_back(args[i]);
    }
    if (files.size() != 1 || out.empty() || !size)
        return Misuse("preview", "expected one FILE, -o OUT.png and an optional --size from 1 to 4096");
    return Preview(files[0], out, *size);
}

int Thumbnail(const Arguments& args)
{
    std::optional<uint32_t> size = args.size() == 3 ? Size(args[2]) : std::nullopt;
    if (!size)
        return Misuse("thumbnail", "expected FILE OUT.png SIZE, SIZE from 1 to 4096");
    return Preview(args[0], args[1], *size);
}

// A text typed on the command line, in the documents' characters; CR LF line ends as
// the pages hand them over.
std::optional<std::string> Typed(const std::string& utf8)
{
    std::string lines;
    for (size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] == '\n' && (i == 0 || utf8[i - 1] != '\r'))
            lines += '\r';
        lines += utf8[i];
    }
    return Utf8To1252(lines);
}

int Rename(const Arguments& args)
{
    if (args.size() != 2)
        return Misuse("rename", "expected FILE NEWNAME");
    std::optional<std::string> name = Utf8To1252(args[1]);
    if (!name)
        return Fail(args[0], "the new name holds characters a document cannot store");
    Document document;
    std::string error;
    if (!document.Load(args[0], error) || !document.Rename(*name, error))
        return Fail(args[0], error);
    return 0;
}

int SetProject(const Arguments& args)
{
    const std::map<std::string, std::string ProjectTexts::*> options = {
        {"--project", &ProjectTexts::project},   {"--author", &ProjectTexts::author},
        {"--revision", &ProjectTexts::revision}, {"--prefix", &ProjectTexts::drawingPrefix},
        {"--keywords", &ProjectTexts::keywords}, {"--comments", &ProjectTexts::comments},
    };
    if (args.size() < 3 || args.size() % 2 == 0)
        return Misuse("set-project", "expected FILE and at least one --FIELD TEXT pair");
    Document document;
    std::string error;
    if (!document.Load(args[0], error))
        return Fail(args[0], error);
    ProjectTexts texts = document.project.value_or(ProjectTexts{});
    for (size_t i = 1; i < args.size(); i += 2) {
        auto option = options.find(args[i]);
        if (option == options.end())
            return Misuse("set-project", "unknown option " + args[i]);
        std::optional<std::string> text = Typed(args[i + 1]);
        if (!text)
            return Fail(args[0], "the text of " + args[i] + " holds characters a document cannot store");
        texts.*(option->second) = *text;
    }
    return document.SetProjectTexts(texts, error) ? 0 : Fail(args[0], error);
}

int Text(const Arguments& args)
{
    if (args.size() != 1 && !(args.size() == 3 && args[1] == "--section"))
        return Misuse("text", "expected FILE and an optional --section NAME");
    Document document;
    std::string error;
    if (!document.Load(args[0], error))
        return Fail(args[0], error);
    bool found = false;
    for (const DocumentText& text : document.texts) {
        if (args.size() == 3 && args[2] != text.section)
            continue;
        if (args.size() == 1 && document.texts.size() > 1)
            std::printf("== %s\n", text.section);
        std::string shown = TerminalText(text.text);
        std::fputs((shown.empty() || shown.back() == '\n' ? shown : shown + "\n").c_str(), stdout);
        found = true;
    }
    return found || args.size() == 1 ? 0 : Fail(args[0], "the document has no text " + args[2]);
}

}  // namespace

int main(int argc, char** argv)
{
    // Documents from Macintosh systems are shown in Windows characters, as the pages
    // of a Western European system show them.
    SetActiveCharTables(&RomanChars);
    UsePlatformMetafiles();
    Arguments line = CommandLineArguments(argc, argv);
    Arguments args(line.begin() + std::min<size_t>(line.size(), 2), line.end());
    std::string command = line.size() > 1 ? line[1] : "";
    bool help = !args.empty() && (args[0] == "--help" || args[0] == "-h");
    if (Usage.count(command) && help)
        return std::fputs(Usage.at(command), stdout), 0;
    const std::pair<const char*, int (*)(const Arguments&)> commands[] = {
        {"info", Info},     {"preview", PreviewCommand}, {"thumbnail", Thumbnail},
        {"rename", Rename}, {"set-project", SetProject}, {"text", Text},
    };
    for (const auto& [name, run] : commands) {
        if (command == name)
            return run(args);
    }
    std::string all = "usage:\n";
    for (const auto& [name, usage] : Usage)
        all += usage;
    std::fputs(all.c_str(), command == "--help" || command == "-h" ? stdout : stderr);
    return command == "--help" || command == "-h" ? 0 : Misused;
}
