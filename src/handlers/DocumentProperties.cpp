#include "DocumentProperties.h"

#include <algorithm>
#include <optional>

#include "util/MemoryFile.h"
#include "util/TextBuffer.h"

namespace orv {
namespace {

enum class From : uint8_t {
    Name,
    ProjectData,
    Program,
};

struct PropertySource {
    const char* name;
    From from;
    bool list;
    std::string ProjectTexts::*projectText;
};

// The drawing number prefix has no system property of its meaning, and a library
// part's version numbers its format, which is neither the program's nor the document's.
constexpr PropertySource Sources[] = {
    {"System.Title", From::Name, false, nullptr},
    {"System.Subject", From::ProjectData, false, &ProjectTexts::project},
    {"System.Author", From::ProjectData, true, &ProjectTexts::author},
    {"System.Keywords", From::ProjectData, true, &ProjectTexts::keywords},
    {"System.Comment", From::ProjectData, false, &ProjectTexts::comments},
    {"System.Document.RevisionNumber", From::ProjectData, false, &ProjectTexts::revision},
    {"System.ApplicationName", From::Program, false, nullptr},
};

const PropertySource* SourceOf(const std::string& property)
{
    for (const PropertySource& source : Sources)
        if (property == source.name)
            return &source;
    return nullptr;
}

// "Orvenstaal 4.55 release 42 (Windows)": the program that wrote the document, as far
// as the document tells.
std::string ProgramText(const Document& document)
{
    const std::string kind = document.kind;
    std::string version = kind == "library part" ? "" : document.version;
    std::string platform = document.platform == "Unknown" ? "" : document.platform;
    // Layout books name their writer; the family's other documents come from its own program.
    std::string text = kind == "layout book" ? document.writer : "Orvenstaal";
    if (text.empty() || (version.empty() && platform.empty()))
        return "";
    if (!version.empty())
        text += " " + version;
    if (document.release.value_or(0) >= 1)
        text += " release " + std::to_string(*document.release);
    if (!platform.empty())
        text += " (" + platform + ")";
    return text;
}

std::optional<std::string> TextOf(const Document& document, const PropertySource& source)
{
    if (source.from == From::Name)
        return document.name;
    if (source.from == From::Program)
        return ProgramText(document);
    if (!document.project)
        return std::nullopt;
    return (*document.project).*source.projectText;
}

// The text as the document would hold it: lists joined anew, the project data's texts
// with CR LF line ends as a read gives them.
std::string Wanted(const PropertySource& source, const std::string& text)
{
    if (source.list)
        return DocumentProperties::JoinList(DocumentProperties::SplitList(text));
    if (source.from != From::ProjectData)
        return text;
    auto length = static_cast<uint32_t>(text.size());
    std::unique_ptr<char[]> lines = NormalizeLineEnds(text.c_str(), length);
    return lines ? std::string(lines.get(), length) : text;
}

bool SameValue(const PropertySource& source, const std::string& a, const std::string& b)
{
    return source.list ? DocumentProperties::SplitList(a) == DocumentProperties::SplitList(b) : a == b;
}

bool ReadAll(File& file, std::vector<uint8_t>& bytes)
{
    uint64_t size = file.Size();
    if (size > UINT32_MAX || !file.Seek(0))
        return false;
    bytes.resize(size);
    return file.ReadExactly(bytes.data(), static_cast<uint32_t>(size));
}

// Only the bytes that differ go out: from the first difference to the last, or to the
// new end when the length changed.
bool WriteChanges(File& file, const std::vector<uint8_t>& before, const std::vector<uint8_t>& after)
{
    size_t common = std::min(before.size(), after.size());
    size_t first = static_cast<size_t>(
        std::mismatch(before.begin(), before.begin() + static_cast<ptrdiff_t>(common), after.begin()).first -
        before.begin());
    size_t end = after.size();
    if (before.size() == after.size()) {
        while (end > first && before[end - 1] == after[end - 1])
            --end;
        if (end == first)
            return true;
    }
    return file.Seek(first) && file.WriteExactly(after.data() + first, static_cast<uint32_t>(end - first)) &&
           (after.size() >= before.size() || file.Cut());
}

}  // namespace

bool DocumentProperties::Read(File& file, const std::string& newName, std::string& error)
{
    auto read = std::make_unique<Document>();
    if (!read->Read(file, newName, error))
        return false;
    name = newName;
    document = std::move(read);
    pending.clear();
    return true;
}

std::vector<DocumentProperty> DocumentProperties::Values() const
{
    std::vector<DocumentProperty> values;
    if (!document)
        return values;
    for (const PropertySource& source : Sources) {
        auto kept = pending.find(source.name);
        std::optional<std::string> text =
            kept != pending.end() ? Wanted(source, kept->second) : TextOf(*document, source);
        if (text && source.list)
            text = JoinList(SplitList(*text));
        if (text && !text->empty())
            values.push_back({source.name, *text});
    }
    return values;
}

bool DocumentProperties::IsWritable(const std::string& property) const
{
    const PropertySource* source = SourceOf(property);
    if (!document || source == nullptr)
        return false;
    if (source->from == From::Name)
        return document->CanRename();
    return source->from == From::ProjectData && document->project.has_value();
}

bool DocumentProperties::Set(const std::string& property, const std::string& text)
{
    if (!IsWritable(property))
        return false;
    pending[property] = text;
    return true;
}

bool DocumentProperties::Commit(File& file, std::string& error)
{
    if (pending.empty())
        return true;
    std::vector<uint8_t> original;
    if (!ReadAll(file, original)) {
        error = "the document could not be read again";
        return false;
    }
    MemoryFile draft(original);
    Document edited;
    if (!edited.Read(draft, name, error))
        return false;

    auto title = pending.find("System.Title");
    // The pages edit a name on one line.
    if (title != pending.end() && title->second.find_first_of("\r\n") != std::string::npos) {
        error = "System.Title holds a line end";
        return false;
    }
    if (title != pending.end() && title->second != edited.name.value_or("") &&
        !edited.Rename(draft, title->second, error))
        return false;
    if (edited.project) {
        ProjectTexts texts = *edited.project;
        for (const PropertySource& source : Sources) {
            auto kept = pending.find(source.name);
            if (source.from != From::ProjectData || kept == pending.end())
                continue;
            // A list given again with the same items keeps the document's own spelling.
            std::string wanted = Wanted(source, kept->second);
            if (!SameValue(source, wanted, texts.*source.projectText))
                texts.*source.projectText = wanted;
        }
        if (texts != *edited.project && !edited.SetProjectTexts(draft, texts, error))
            return false;
    }

    // The writers cut and convert as the pages do; a property store keeps a value
    // exactly or refuses it.
    auto written = std::make_unique<Document>();
    if (!written->Read(draft, name, error))
        return false;
    for (const auto& [property, text] : pending) {
        const PropertySource& source = *SourceOf(property);
        std::optional<std::string> stored = TextOf(*written, source);
        if (!stored || !SameValue(source, Wanted(source, text), *stored)) {
            error = property + " cannot be kept as given: it is longer than the document holds, or has "
                               "characters the document cannot store";
            return false;
        }
    }
    if (!WriteChanges(file, original, draft.Bytes())) {
        error = "the document could not be written";
        return false;
    }
    document = std::move(written);
    pending.clear();
    return true;
}

bool DocumentProperties::IsList(const std::string& property)
{
    const PropertySource* source = SourceOf(property);
    return source != nullptr && source->list;
}

std::vector<std::string> DocumentProperties::SplitList(const std::string& text)
{
    constexpr const char* blanks = " \t\r\n";
    std::vector<std::string> items;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = std::min(text.find(';', start), text.size());
        size_t first = text.find_first_not_of(blanks, start);
        if (first < end)
            items.push_back(text.substr(first, text.find_last_not_of(blanks, end - 1) + 1 - first));
        start = end + 1;
    }
    return items;
}

std::string DocumentProperties::JoinList(const std::vector<std::string>& items)
{
    std::string text;
    for (const std::string& item : items)
        text += (text.empty() ? "" : "; ") + item;
    return text;
}

}  // namespace orv
