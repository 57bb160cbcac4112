#pragma once
#include <cstdint>
#include <string>

#include "util/File.h"
#include "util/TextBuffer.h"

namespace orv {

// An object script: a text file whose first line names the document after the
// prefix "! Document name: ". Characters are never translated.
class QdlFile {
public:
    static constexpr char DocumentNamePrefix[] = "! Document name: ";
    static constexpr uint32_t PrefixLength = sizeof DocumentNamePrefix - 1;
    static constexpr size_t MaxNameLength = 31;

    QdlFile() = default;
    QdlFile(const QdlFile&) = delete;
    QdlFile& operator=(const QdlFile&) = delete;

    // Reads the whole file; true when it begins with the prefix. Every field is
    // cleared first.
    bool Load(const std::string& path);
    bool Read(File& file);

    // Rewrites the first line as the prefix and the new name, followed by the rest of
    // the file byte for byte as it is stored at the time of the write, and takes the
    // new name. Only a file read with CR LF line ends that still has them and still
    // begins with the prefix is rewritten. Refused, without opening the file, when
    // the name is empty, longer than 31 characters, holds a line end or a zero, or is
    // the same as the stored one. A failed rewrite leaves the file as it was.
    bool WriteDocumentName(const std::string& path, const std::string& newName);
    // The same rewrite composed from source into target, an empty file.
    bool WriteDocumentName(File& source, File& target, const std::string& newName);

    LineEndKind lineEndKind{};  // 0 until a load has set it
    std::string documentName;   // at most 31 characters
    uint32_t bodyOffset = 0;    // in scriptText, past the first CR LF; 0: no line end
    TextBuffer scriptText;      // the whole file, with CR LF line ends

private:
    bool CanRename(const std::string& newName) const;
    static bool ComposeRenamed(File& source, File& target, const std::string& newName);
};

}  // namespace orv
