#include "Document.h"

#include <strings.h>

#include <cstring>

#include "libpart/InfoFiles.h"
#include "plan/PageTexts.h"
#include "preview/MetafileConverter.h"
#include "resources/resource.h"
#include "shell/ExtensionMatch.h"
#include "util/MemoryFile.h"

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

std::string WriterName(int32_t writerCode)
{
    switch (WriterStringId(writerCode)) {
    case IDS_SHEETFOLD:
        return "Sheetfold";
    case IDS_BAUVELLE:
        return "Bauvelle";
    default:
        return "";
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
    std::unique_ptr<File> file = OpenFile(newPath, File::Access::Read);
    if (!file) {
        error = "the file cannot be opened";
        return false;
    }
    path = newPath;
    return Read(*file, newPath, error);
}

bool Document::Read(File& file, const std::string& name, std::string& error)
{
    using Reader = bool (Document::*)(File&, std::string&);
    const std::pair<const ExtensionTable*, Reader> readers[] = {
        {&PlanExtensions, &Document::ReadPlan},       {&LibPartExtensions, &Document::ReadLibPart},
        {&QdlExtensions, &Document::ReadQdl},         {&ModulExtensions, &Document::ReadModul},
        {&SfoldExtensions, &Document::ReadSfold},
    };
    ExtensionMatch match;
    for (const auto& [table, reader] : readers)
        if (match.MatchExtension(name.c_str(), *table))
            return (this->*reader)(file, error);
    if (match.MatchExtension(name.c_str(), InfoExtensions) || match.MatchExtension(name.c_str(), InfoScriptExtensions))
        return ReadListing(file, match.extensionTable == &InfoScriptExtensions, error);
    // Copies and downloads lose their extensions; the formats that carry a mark of their
    // own are still recognised by it.
    for (Reader reader : {&Document::ReadModul, &Document::ReadQdl, &Document::ReadPlan, &Document::ReadLibPart}) {
        if ((this->*reader)(file, error))
            return true;
    }
    error = "not a document of the family";
    return false;
}

template <class Reader>
bool Document::Take(File& file, std::unique_ptr<Reader>& reader, const char* readerKind, std::string& error)
{
    auto read = std::make_unique<Reader>();
    if (!read->Read(file)) {
        error = std::string("not a readable ") + readerKind;
        return false;
    }
    reader = std::move(read);
    kind = readerKind;
    return true;
}

bool Document::ReadPlan(File& file, std::string& error)
{
    if (!Take(file, plan, "plan", error))
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

bool Document::ReadSfold(File& file, std::string& error)
{
    if (!Take(file, sfold, "layout book", error))
        return false;
    platform = PlatformName(sfold->platform);
    version = Trimmed(sfold->versionText);
    writer = WriterName(sfold->writerCode);
    name = sfold->documentName;
    if (sfold->HasProjectData())
        project = sfold->projectData.Texts();
    return true;
}

bool Document::ReadLibPart(File& file, std::string& error)
{
    if (!Take(file, part, "library part", error))
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

bool Document::ReadQdl(File& file, std::string& error)
{
    if (!Take(file, script, "object script", error)) {
        error += std::string(" (the first line must begin with \"") + QdlFile::DocumentNamePrefix + "\")";
        return false;
    }
    name = script->documentName;
    texts.push_back({"script", Text(script->scriptText)});
    return true;
}

bool Document::ReadModul(File& file, std::string& error)
{
    if (!Take(file, module, "module", error)) {
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

bool Document::ReadListing(File& file, bool fonts, std::string& error)
{
    const char* listed = fonts ? "vector font file" : "data file";
    TextBuffer listing;
    bool built = fonts ? BuildFontListing(file, {"Macintosh vector fonts:", "Windows vector fonts:"}, CompareNames,
                                          listing)
                       : BuildInfoListing(file, CompareNames, listing);
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
    return RenameIn(nullptr, newName, error);
}

bool Document::Rename(File& file, const std::string& newName, std::string& error)
{
    return RenameIn(&file, newName, error);
}

bool Document::RenameIn(File* file, const std::string& newName, std::string& error)
{
    auto write = [&](auto& reader) {
        return file ? reader.WriteDocumentName(*file, newName) : reader.WriteDocumentName(path, newName);
    };
    bool done = false;
    if (plan)
        done = write(*plan);
    else if (sfold)
        done = write(*sfold);
    else if (part)
        done = write(*part);
    else if (script)
        done = file ? RenameScriptIn(*file, newName) : script->WriteDocumentName(path, newName);
    if (done)
        return true;
    error = NameRefusal(newName, name.value_or(""), PlanFile::MaxNameLength, CanRename());
    return false;
}

bool Document::CanRename() const
{
    return (plan && plan->nameOffset != 0) || sfold || (part && part->nameOffset != 0) || script;
}

bool Document::RenameScriptIn(File& file, const std::string& newName)
{
    // A script's name line changes its length, so the whole text is composed anew and
    // written over the old one only once it is complete.
    MemoryFile renamed;
    return script->WriteDocumentName(file, renamed, newName) && file.Seek(0) &&
           renamed.Bytes().size() <= UINT32_MAX &&
           file.WriteExactly(renamed.Bytes().data(), static_cast<uint32_t>(renamed.Bytes().size())) && file.Cut();
}

bool Document::SetProjectTexts(const ProjectTexts& texts, std::string& error)
{
    return WriteProjectTexts(nullptr, texts, error);
}

bool Document::SetProjectTexts(File& file, const ProjectTexts& texts, std::string& error)
{
    return WriteProjectTexts(&file, texts, error);
}

bool Document::WriteProjectTexts(File* file, const ProjectTexts& texts, std::string& error)
{
    if (!project) {
        error = "the document has no project data";
        return false;
    }
    if (texts == *project) {
        error = "the project data is unchanged";
        return false;
    }
    auto write = [&](auto& reader) {
        return file ? reader.WriteProjectData(*file, texts) : reader.WriteProjectData(path, texts);
    };
    if ((plan && write(*plan)) || (sfold && write(*sfold)))
        return true;
    error = "the project data could not be written as read; the file was left unchanged";
    return false;
}

}  // namespace orv
