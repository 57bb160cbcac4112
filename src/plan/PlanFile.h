#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "plan/ProjectData.h"
#include "preview/PreviewPicture.h"
#include "util/File.h"
#include "util/TextBuffer.h"

namespace orv {

// A plan or project file: its header, and the blocks that the pages, the icon and
// the viewer show. Two header families exist. A PlanHeader (256 bytes) begins with
// a platform mark and points at tagged blocks; a LegacyPlanHeader begins with a
// big-endian floating-point version and has no blocks that are read.
class PlanFile {
public:
    static constexpr uint16_t NotesTag = 270;
    static constexpr uint16_t PreviewTag = 468;  // stored block up to release 39, GIF from 40
    static constexpr uint16_t GifPreviewTag = 581;
    static constexpr uint16_t SignInTag = 520;
    static constexpr uint16_t ProjectDataTag = 584;
    static constexpr uint32_t PlanHeaderSize = 256;
    static constexpr size_t MaxNameLength = 31;

    PlanFile() = default;
    PlanFile(const PlanFile&) = delete;
    PlanFile& operator=(const PlanFile&) = delete;

    // Reads the whole document. Every field is cleared first; on failure the fields
    // read so far keep their values.
    bool Load(const std::string& path);
    bool Read(File& file);

    // Rewrites the 32-byte name field in place, in the form and character set that
    // the reader reads it in, and takes the new name. Refused, without opening the
    // file, when the document has no writable name, or the name is empty, longer
    // than 31 characters or the same as the stored one; refused without writing when
    // the file no longer begins as it did when read (saved again in another form).
    bool WriteDocumentName(const std::string& path, const std::string& newName);
    bool WriteDocumentName(File& file, const std::string& newName);

    // Rewrites the project data record from the shown texts. Refused, without
    // opening the file, when there is no record or nothing differs from it; false
    // as well when the block found there is not a whole project data block, or the
    // rewrite fails.
    bool WriteProjectData(const std::string& path, const ProjectTexts& shown);
    bool WriteProjectData(File& file, const ProjectTexts& shown);

    // The offset of the first block at or after start with this tag, or 0. On a
    // match the file is left just after the block header, otherwise at the position
    // it had. The scan ends at a length of 2^31 or more and never passes an offset
    // that 32 bits cannot hold.
    static uint32_t FindBlock(File& file, uint64_t start, uint16_t tag, bool bigEndian);

    bool HasNotes() const { return notes.GetLength() > 0; }
    bool HasProjectData() const { return projectDataOffset > 0; }
    bool ShowsSignIn() const { return signInMarker == 'C'; }

    uint16_t platform = 0;     // 0 until a load has set it
    std::string documentName;  // Windows characters, at most 31
    uint32_t nameOffset = 0;   // 0: no writable name
    int32_t previewOffset = 0;
    int32_t projectDataOffset = 0;
    int32_t notesOffset = 0;
    int32_t version = 0;  // times 1000
    int16_t release = 0;
    uint8_t signInMarker = 0;
    int32_t signInOffset = 0;
    int32_t signInValue = 0;
    int32_t changesValue = 0;
    std::string projectPath;  // at most 299 characters, never translated
    PreviewPicture preview;
    TextBuffer notes;
    ProjectData projectData;

private:
    enum class NameForm : uint8_t {
        None,
        Terminated,  // zero-terminated, in a PlanHeader
        Counted,     // count byte first, in a LegacyPlanHeader
    };

    void Clear(File& file);
    bool ReadPlanHeader(File& file);
    bool ReadLegacyHeader(File& file);
    bool ReadBlocks(File& file);
    void ReadPreview(File& file, uint16_t tag, uint32_t length);
    bool ReadSignIn(File& file);
    bool CanRename(const std::string& newName) const;
    bool CanWriteProjectData(const ProjectTexts& shown) const;
    bool BigEndian() const;

    NameForm nameForm = NameForm::None;
    bool nameInMacChars = false;
    // The platform mark or legacy version the form was chosen by.
    std::array<uint8_t, 4> leadingBytes{};
};

}  // namespace orv
