#include "Document.h"

#include <strings.h>

#include <cstring>

#include "libpart/InfoFiles.h"
#include "plan/PageTexts.h"
#include "preview/MetafileConverter.h"
#include "resources/resource.h"
#include "shell/ExtensionMatch.h"

namespace orv {
namespace {

// The page texts' words for the string resources the readers name.
std::string PlatformName(uint32_t platform)
{
    switch (PlatformStringId(platform)) {
    case IDS_WINDOWS:
        return "Windows";
    case IDS_MACINTOSH:
        return "Macintosh";
    case IDS_UNIX:
        return "Unix";
    default:
        return "Unknown";
    }
}

std::string Trimmed(const std::string& text)
{
    size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? "" : text.substr(first);
}

std::string Text(const TextBuffer& buffer)
{
    return buffer.GetText() ? std::string(buffer.GetText(), buffer.GetLength()) : "";
}

// Listings are sorted as the pages sort them: letters of either case together.
int CompareNames(const char* a, const char* b)
{
    int folded = strcasecmp(a, b);
    return folded != 0 ? folded : std::strcmp(a, b);
}

// Why a rename that the reader refused was refused.
std::string NameRefusal(const std::string& newName, const std::string& oldName, size_t maxLength, bool writable)
{
    if (!writable)
        return "the document has no name that can be written";
    if (newName.empty())
        return "the new name is empty";
    if (newName.size() > maxLength)
        return "the new name is longer than " + std::to_string(maxLength) + " characters";
    if (newName == oldName)
        return "the name is unchanged";
    if (newName.find_first_of(std::string("\r\n\0", 3)) != std::string::npos)
        return "the new name holds a line end or a zero";
    return "the file could not be written as read; it was left unchanged";
}

}  // namespace

bool Document::Load(const std::string& newPath, std::string& error)
{
    path = newPath;
    using Loader = bool (Document::*)(std::string&);
    const std::pair<const ExtensionTable*, Loader> loaders[] = {
        {&PlanExtensions, &Document::LoadPlan},       {&LibPartExtensions, &Document::LoadLibPart},
        {&QdlExtensions, &Document::LoadQdl},         {&ModulExtensions, &Document::LoadModul},
        {&SfoldExtensions, &Document::LoadSfold},
    };
    ExtensionMatch match;
    for (const auto& [table, loader] : loaders)
        if (match.MatchExtension(path.c_str(), *table))
            return (this->*loader)(error);
    if (match.MatchExtension(path.c_str(), InfoExtensions) || match.MatchExtension(path.c_str(), InfoScriptExtensions))
        return LoadListing(match.extensionTable == &InfoScriptExtensions, error);
    // Copies and downloads lose their extensions; the formats that carry a mark of their
    // own are still recognised by it.
    for (Loader loader : {&Document::LoadModul, &Document::LoadQdl, &Document::LoadPlan, &Document::LoadLibPart}) {
        if ((this->*loader)(error))
            return true;
    }
    error = "not a document of the family";
    return false;
}

template <class Reader>
bool Document::Take(std::unique_ptr<Reader>& reader, const char* readerKind, std::string& error)
{
    auto read = std::make_unique<Reader>();
    if (!read->Load(path)) {
        error = std::string("not a readable ") + readerKind;
        return false;
    }
    reader = std::move(read);
    kind = readerKind;
    return true;
}

bool Document::LoadPlan(std::string& error)
{
    if (!Take(plan, "plan", error))
        return false;
    platform = PlatformName(plan->platform);
    version = Trimmed(VersionText(plan->version));
    release = plan->release;
    name = plan->documentName;
    if (plan->HasProjectData())
        project = plan->projectData.Texts();
    if (plan->HasNotes())
        texts.push_back({"notes", Text(plan->notes)});
    preview = &plan->preview;
    return true;
}

bool Document::LoadSfold(std::string& error)
{
    if (!Take(sfold, "layout book", error))
        return false;
    platform = PlatformName(sfold->platform);
    version = Trimmed(sfold->versionText);
    name = sfold->documentName;
    if (sfold->HasProjectData())
        project = sfold->projectData.Texts();
    return true;
}

bool Document::LoadLibPart(std::string& error)
{
    if (!Take(part, "library part", error))
        return false;
    platform = PlatformName(part->platformMark);
    version = std::to_string(part->version);
    name = part->documentName;
    const std::pair<const char*, const TextBuffer*> sections[] = {
        {"1D", &part->script1D},          {"2D", &part->script2D},          {"3D", &part->script3D},
        {"properties", &part->propertiesScript}, {"values", &part->valueListScript}, {"uid", &part->uidScript},
        {"comment", &part->comment},
    };
    for (const auto& [section, buffer] : sections)
        if (buffer->GetLength() > 0)
            texts.push_back({section, Text(*buffer)});
    preview = &part->preview;
    return true;
}

bool Document::LoadQdl(std::string& error)
{
    if (!Take(script, "object script", error)) {
        error += std::string(" (the first line must begin with \"") + QdlFile::DocumentNamePrefix + "\")";
        return false;
    }
    name = script->documentName;
    texts.push_back({"script", Text(script->scriptText)});
    return true;
}

bool Document::LoadModul(std::string& error)
{
    if (!Take(module, "module", error)) {
        if (!MetafileConverter::Current())
            error += ", or one whose preview is a stored metafile, which only Windows can convert";
        return false;
    }
    if (module->version != 0) {
        version = Trimmed(VersionText(module->version));
        release = module->release;
    }
    preview = &module->preview;
    return true;
}

bool Document::LoadListing(bool fonts, std::string& error)
{
    const char* listed = fonts ? "vector font file" : "data file";
    std::unique_ptr<File> file = OpenFile(path.c_str(), File::Access::Read);
    TextBuffer listing;
    bool built = file && (fonts ? BuildFontListing(*file, {"Macintosh vector fonts:", "Windows vector fonts:"},
                                                   CompareNames, listing)
                                : BuildInfoListing(*file, CompareNames, listing));
    if (!built) {
        error = std::string("not a readable ") + listed;
        return false;
    }
    kind = listed;
    texts.push_back({"listing", Text(listing)});
    return true;
}

bool Document::Rename(const std::string& newName, std::string& error)
{
    bool done = false;
    if (plan)
        done = plan->WriteDocumentName(path.c_str(), newName);
    else if (sfold)
        done = sfold->WriteDocumentName(path.c_str(), newName);
    else if (part)
        done = part->WriteDocumentName(path.c_str(), newName);
    else if (script)
        done = script->WriteDocumentName(path.c_str(), newName);
    if (done)
        return true;
    bool writable = (plan && plan->nameOffset != 0) || sfold || (part && part->nameOffset != 0) || script;
    error = NameRefusal(newName, name.value_or(""), PlanFile::MaxNameLength, writable);
    return false;
}

bool Document::SetProjectTexts(const ProjectTexts& texts, std::string& error)
{
    if (!project) {
        error = "the document has no project data";
        return false;
    }
    if (texts == *project) {
        error = "the project data is unchanged";
        return false;
    }
    if ((plan && plan->WriteProjectData(path.c_str(), texts)) ||
        (sfold && sfold->WriteProjectData(path.c_str(), texts)))
        return true;
    error = "the project data could not be written as read; the file was left unchanged";
    return false;
}

}  // namespace orv
