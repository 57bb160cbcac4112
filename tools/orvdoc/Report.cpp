#include "Report.h"

#include <cstdio>

#include "CodePage1252.h"
#include "preview/PictureHeaders.h"
#include "preview/PreviewImage.h"

namespace orv {
namespace {

using Field = std::pair<const char*, std::string ProjectTexts::*>;
const Field ProjectFields[] = {
    {"project", &ProjectTexts::project},   {"author", &ProjectTexts::author},
    {"revision", &ProjectTexts::revision}, {"prefix", &ProjectTexts::drawingPrefix},
    {"keywords", &ProjectTexts::keywords}, {"comments", &ProjectTexts::comments},
};

// "GIF 128 x 96", "bitmap 40 x 30", "metafile 200 x 150", or "none".
std::string PreviewKindName(const PreviewPicture* preview)
{
    PreviewShape shape = preview ? ShapeOf(*preview) : PreviewShape{};
    if (shape.content == PreviewContent::None)
        return "none";
    if (shape.content == PreviewContent::Metafile)
        return "metafile";
    return LoadStruct<PreviewHeader>(preview->GetBlock()).flags & PreviewFlagGif ? "GIF" : "bitmap";
}

std::string Quoted(const std::string& utf8)
{
    std::string quoted = "\"";
    for (char c : utf8) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            quoted += escaped;
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}

}  // namespace

std::string TerminalText(const std::string& text)
{
    std::string lines;
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] != '\r' || i + 1 >= text.size() || text[i + 1] != '\n')
            lines += text[i];
    return Utf8From1252(lines);
}

std::string InfoText(const std::string& path, const Document& document)
{
    std::string out = path + "\n";
    // Values after a column of keys; a value of several lines keeps to its column.
    auto line = [&](const std::string& key, const std::string& value) {
        out.append("  ").append(key).append(key.size() < 11 ? 11 - key.size() : 1, ' ');
        for (char c : value) {
            out += c;
            if (c == '\n')
                out.append(13, ' ');
        }
        out += '\n';
    };
    line("kind", document.kind);
    if (!document.platform.empty())
        line("platform", document.platform);
    if (!document.version.empty())
        line("version", document.version);
    if (document.release)
        line("release", std::to_string(*document.release));
    if (document.name)
        line("name", Utf8From1252(*document.name));
    for (const auto& [key, field] : ProjectFields)
        if (document.project && !((*document.project).*field).empty())
            line(key, TerminalText((*document.project).*field));
    for (const DocumentText& text : document.texts)
        line(text.section, std::to_string(TerminalText(text.text).size()) + " bytes");
    PreviewShape shape = document.preview ? ShapeOf(*document.preview) : PreviewShape{};
    std::string kind = PreviewKindName(document.preview);
    line("preview", kind == "none" ? kind : kind + " " + std::to_string(shape.width) + " x " +
                                                std::to_string(shape.height));
    return out;
}

std::string InfoJson(const std::string& path, const Document& document)
{
    std::string out = "{\"file\":" + Quoted(path) + ",\"kind\":" + Quoted(document.kind);
    if (!document.platform.empty())
        out += ",\"platform\":" + Quoted(document.platform);
    if (!document.version.empty())
        out += ",\"version\":" + Quoted(document.version);
    if (document.release)
        out += ",\"release\":" + std::to_string(*document.release);
    if (document.name)
        out += ",\"name\":" + Quoted(Utf8From1252(*document.name));
    if (document.project) {
        const char* separator = ",\"projectData\":{";
        for (const auto& [key, field] : ProjectFields) {
            out += separator + Quoted(key) + ":" + Quoted(TerminalText((*document.project).*field));
            separator = ",";
        }
        out += "}";
    }
    out += ",\"texts\":{";
    for (const DocumentText& text : document.texts) {
        out.append(&text == &document.texts.front() ? "" : ",").append(Quoted(text.section)).append(":");
        out.append(std::to_string(TerminalText(text.text).size()));
    }
    PreviewShape shape = document.preview ? ShapeOf(*document.preview) : PreviewShape{};
    out += "},\"preview\":{\"kind\":" + Quoted(PreviewKindName(document.preview));
    if (shape.content != PreviewContent::None)
        out += ",\"width\":" + std::to_string(shape.width) + ",\"height\":" + std::to_string(shape.height);
    return out + "}}";
}

std::string ErrorJson(const std::string& path, const std::string& error)
{
    return "{\"file\":" + Quoted(path) + ",\"error\":" + Quoted(error) + "}";
}

}  // namespace orv
