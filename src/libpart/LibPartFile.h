#pragma once
#include <cstdint>
#include <string>

#include "preview/PreviewPicture.h"
#include "util/File.h"
#include "util/TextBuffer.h"

namespace orv {

// A library part: a header with the document name, the object's scripts as texts, a
// comment and a GIF preview. The sectioned form begins with a platform mark and
// keeps its parts in tagged sections; the older forms (versions 7 and 12) begin with
// a big-endian version word and point at their scripts from a fixed header.
class LibPartFile {
public:
    static constexpr size_t MaxNameLength = 31;

    LibPartFile() = default;
    LibPartFile(const LibPartFile&) = delete;
    LibPartFile& operator=(const LibPartFile&) = delete;

    // Reads the header, the whole section directory and every section that can be
    // read; a section that cannot be read is skipped. Every field is cleared first;
    // on failure the fields read so far keep their values.
    bool Load(const std::string& path);
    bool Read(File& file);

    // Rewrites the 32-byte name field in place, in the form and character set that
    // the reader read it in, and takes the new name. Refused, without opening the
    // file, when the document has no writable name, or the name is empty, longer than
    // 31 characters or the same as the stored one; refused as well when the file no
    // longer begins as it did when it was read.
    bool WriteDocumentName(const std::string& path, const std::string& newName);
    bool WriteDocumentName(File& file, const std::string& newName);

    uint16_t platformMark = 0;  // 0 until a load has set it
    std::string documentName;   // Windows characters, at most 31
    uint32_t nameOffset = 0;    // 0: no writable name
    int16_t version = 0;
    uint32_t typeCode = 0;  // sectioned form only
    PreviewPicture preview;
    TextBuffer script1D;
    TextBuffer script2D;
    TextBuffer script3D;
    TextBuffer propertiesScript;
    TextBuffer valueListScript;
    TextBuffer uidScript;
    TextBuffer comment;

private:
    enum class NameForm : uint8_t {
        None,
        Terminated,  // zero-terminated, in the sectioned form
        Counted,     // count byte first, in the older forms
    };

    void Clear(File& file);
    bool ReadSectioned(File& file);
    bool ReadOlder(File& file, uint16_t versionWord);
    void ReadSection(File& file, uint32_t tag, uint32_t start, uint32_t length);
    bool CanRename(const std::string& newName) const;

    // The first two bytes as read: the platform mark, or the older forms' version word.
    uint16_t leadingBytes = 0;
    NameForm nameForm = NameForm::None;
    bool nameInMacChars = false;
};

}  // namespace orv
