#pragma once
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "libpart/LibPartFile.h"
#include "libpart/ModulFile.h"
#include "libpart/QdlFile.h"
#include "plan/PlanFile.h"
#include "plan/SfoldFile.h"
#include "util/File.h"
#include "util/TextBuffer.h"

namespace orv {

// One text a read-only page shows, under the name that selects it on the command
// line ("notes", "3D", "script", ...). Windows characters, CR LF line ends.
struct DocumentText {
    const char* section;
    std::string text;
};

// Any document of the family, read by the reader its extension selects, with what
// its property pages show and the write-backs of its editable fields. Texts are in
// Windows characters (code page 1252) as the pages have them.
class Document {
public:
    Document() = default;
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    // The reader is chosen by the extension; a file without one of the family's is
    // tried by the readers of the formats that carry a mark of their own. False, with a
    // one-line reason, when no reader takes the file. Load keeps the path for the
    // write-backs; Read takes an open file and the name it came under (its extension
    // chooses the reader), and keeps nothing of the file once it returns.
    bool Load(const std::string& path, std::string& error);
    bool Read(File& file, const std::string& name, std::string& error);

    // The same write-backs as the pages, with the same refusals, into the file loaded or
    // into the given one, open for reading and writing; the file is unchanged whenever
    // they answer false.
    bool Rename(const std::string& newName, std::string& error);
    bool Rename(File& file, const std::string& newName, std::string& error);
    bool SetProjectTexts(const ProjectTexts& texts, std::string& error);
    bool SetProjectTexts(File& file, const ProjectTexts& texts, std::string& error);
    // Whether the pages let the user rename the document.
    bool CanRename() const;

    const char* kind = "";
    std::string platform;  // "Windows", "Macintosh", "Unix", "Unknown"; empty when the kind has none
    std::string version;   // as the pages show it, without the leading spaces
    std::string writer;    // the application a layout book names as its writer, if it names one
    std::optional<int32_t> release;
    std::optional<std::string> name;
    std::optional<ProjectTexts> project;
    std::vector<DocumentText> texts;
    const PreviewPicture* preview = nullptr;

private:
    // Reads the file with a new reader, kept with its kind only when it read the file.
    template <class Reader>
    bool Take(File& file, std::unique_ptr<Reader>& reader, const char* readerKind, std::string& error);
    bool ReadPlan(File& file, std::string& error);
    bool ReadSfold(File& file, std::string& error);
    bool ReadLibPart(File& file, std::string& error);
    bool ReadQdl(File& file, std::string& error);
    bool ReadModul(File& file, std::string& error);
    bool ReadListing(File& file, bool fonts, std::string& error);
    // Null file: the path loaded.
    bool RenameIn(File* file, const std::string& newName, std::string& error);
    bool RenameScriptIn(File& file, const std::string& newName);
    bool WriteProjectTexts(File* file, const ProjectTexts& texts, std::string& error);

    std::string path;
    std::unique_ptr<PlanFile> plan;
    std::unique_ptr<SfoldFile> sfold;
    std::unique_ptr<LibPartFile> part;
    std::unique_ptr<QdlFile> script;
    std::unique_ptr<ModulFile> module;
};

}  // namespace orv
