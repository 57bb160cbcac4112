#include "libpart/QdlFile.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace orv {

bool QdlFile::Load(const std::string& path)
{
    std::unique_ptr<File> file = OpenFile(path, File::Access::Read);
    return file && Read(*file);
}

bool QdlFile::Read(File& file)
{
    lineEndKind = {};
    documentName.clear();
    bodyOffset = 0;
    uint64_t size = file.Size();
    LineEndKind kind{};
    if (size > UINT32_MAX || !file.Seek(0) ||
        !scriptText.ReadText(file, static_cast<uint32_t>(size), &kind))
        return false;
    const char* text = scriptText.GetText();
    uint32_t length = scriptText.GetLength();
    if (length < PrefixLength || std::memcmp(text, DocumentNamePrefix, PrefixLength) != 0)
        return false;

    // The name ends at the line end, and is cut to 31 characters when it runs on.
    const char* name = text + PrefixLength;
    const char* nameEnd = name + std::min<uint32_t>(length - PrefixLength, MaxNameLength);
    documentName.assign(name, std::find_if(name, nameEnd, [](char c) { return c == '\r' || c == '\0'; }));
    if (const void* cr = std::memchr(text, '\r', length))
        bodyOffset = static_cast<uint32_t>(static_cast<const char*>(cr) - text) + 2;
    lineEndKind = kind;
    return true;
}

bool QdlFile::CanRename(const std::string& newName) const
{
    return lineEndKind == LineEndsWindows && !newName.empty() && newName.size() <= MaxNameLength &&
           newName.find_first_of(std::string("\r\n\0", 3)) == std::string::npos &&
           newName != documentName;
}

bool QdlFile::WriteDocumentName(const std::string& path, const std::string& newName)
{
    if (!CanRename(newName) ||
        !ReplaceFileContents(path, [&newName](File& source, File& target) {
            return ComposeRenamed(source, target, newName);
        }))
        return false;
    documentName = newName;
    return true;
}

bool QdlFile::WriteDocumentName(File& source, File& target, const std::string& newName)
{
    if (!CanRename(newName) || !ComposeRenamed(source, target, newName))
        return false;
    documentName = newName;
    return true;
}

bool QdlFile::ComposeRenamed(File& source, File& target, const std::string& newName)
{
    uint64_t size = source.Size();
    if (size > UINT32_MAX || !source.Seek(0))
        return false;
    // One more byte ends the text, as the line-end check reads it.
    std::vector<char> stored(size + 1);
    auto count = static_cast<uint32_t>(size);
    if (!source.ReadExactly(stored.data(), count))
        return false;
    // The file may have been saved again since it was read.
    if (count < PrefixLength || std::memcmp(stored.data(), DocumentNamePrefix, PrefixLength) != 0 ||
        DetectLineEnds(stored.data()) != LineEndsWindows)
        return false;
    const char* begin = stored.data();
    const char* end = begin + count;
    const char* rest = std::find_if(begin + PrefixLength, end,
                                    [](char c) { return c == '\r' || c == '\n'; });
    return target.WriteExactly(DocumentNamePrefix, PrefixLength) &&
           target.WriteExactly(newName.data(), static_cast<uint32_t>(newName.size())) &&
           target.WriteExactly(rest, static_cast<uint32_t>(end - rest));
}

}  // namespace orv
