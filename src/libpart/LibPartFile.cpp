#include "libpart/LibPartFile.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <span>
#include <utility>
#include <vector>

#include "plan/FieldConversion.h"
#include "plan/PlatformMark.h"
#include "util/CharTables.h"

namespace orv {
namespace {

constexpr size_t NameFieldSize = 32;

constexpr uint32_t HeaderSize = 64;
constexpr uint32_t SectionedNameOffset = 4;
constexpr uint32_t EntrySize = 16;
constexpr uint32_t SectionHeadSize = 16;

constexpr FieldConversion HeaderFields[] = {
    {2, 0, FieldKind::Number16},
    {4, 32, FieldKind::CString},
    {36, 0, FieldKind::Number32},
    {44, 0, FieldKind::Number32},
};

constexpr FieldConversion EntryFields[] = {
    {0, 0, FieldKind::Number32},
    {4, 0, FieldKind::Number32},
    {8, 0, FieldKind::Number32},
};

constexpr uint32_t GifTag = 0x47494646;  // "GIFF"

constexpr std::pair<uint32_t, TextBuffer LibPartFile::*> TextSections[] = {
    {0x31445343, &LibPartFile::script1D},          // "1DSC"
    {0x32445343, &LibPartFile::script2D},          // "2DSC"
    {0x33445343, &LibPartFile::script3D},          // "3DSC"
    {0x50525343, &LibPartFile::propertiesScript},  // "PRSC"
    {0x564C5343, &LibPartFile::valueListScript},   // "VLSC"
    {0x55495343, &LibPartFile::uidScript},         // "UISC"
    {0x43545854, &LibPartFile::comment},           // "CTXT"
};

constexpr FieldConversion Version7MacFields[] = {
    {10, 0, FieldKind::Number32},
    {14, 0, FieldKind::Number32},
};

constexpr FieldConversion Version12MacFields[] = {
    {12, 0, FieldKind::Number32}, {16, 0, FieldKind::Number32}, {52, 0, FieldKind::Number32},
    {56, 0, FieldKind::Number32}, {96, 32, FieldKind::PString},
};

// The older forms. A Windows version 7 file keeps its name after the header; a Mac
// one has none.
struct OlderForm {
    int16_t version;
    uint32_t windowsBytes;
    uint32_t macBytes;
    uint32_t windowsNameOffset;
    uint32_t macNameOffset;  // 0: no name
    uint32_t script3DAt;     // where the script's start and length are kept
    uint32_t script2DAt;     // 0: no 2D script
    std::span<const FieldConversion> macFields;
};

constexpr uint32_t OlderHeaderMaxSize = 128;

constexpr OlderForm OlderForms[] = {
    {7, 82, 50, 50, 0, 10, 0, Version7MacFields},
    {12, 128, 128, 96, 96, 12, 52, Version12MacFields},
};

// Reads a script that the header points at; one that does not lie whole in the file
// is left out.
void ReadScript(File& file, TextBuffer& script, const uint8_t* pointer)
{
    uint32_t start = Load32(pointer);
    uint32_t length = Load32(pointer + 4);
    if (uint64_t{start} + length <= file.Size() && file.Seek(start))
        script.ReadText(file, length);
}

}  // namespace

bool LibPartFile::Load(const std::string& path)
{
    std::unique_ptr<File> file = OpenFile(path, File::Access::Read);
    return file && Read(*file);
}

bool LibPartFile::Read(File& file)
{
    Clear(file);
    uint8_t leading[2];
    if (!file.Seek(0) || !file.ReadExactly(leading, sizeof leading) || !file.Seek(0))
        return false;
    leadingBytes = Load16(leading);
    if (IsPlatformMark(leadingBytes))
        return ReadSectioned(file);
    return ReadOlder(file, static_cast<uint16_t>(leading[0] << 8 | leading[1]));
}

void LibPartFile::Clear(File& file)
{
    platformMark = 0;
    documentName.clear();
    nameOffset = 0;
    version = 0;
    typeCode = 0;
    preview.Clear();
    // A read of no bytes empties a text and leaves the file alone.
    for (const auto& [tag, text] : TextSections)
        (this->*text).ReadText(file, 0);
    leadingBytes = 0;
    nameForm = NameForm::None;
    nameInMacChars = false;
}

bool LibPartFile::ReadSectioned(File& file)
{
    std::array<uint8_t, HeaderSize> header;
    if (!file.ReadExactly(header.data(), HeaderSize))
        return false;
    platformMark = leadingBytes;
    bool bigEndian = platformMark != PlatformWindows;
    if (bigEndian)
        ConvertFields(header, HeaderFields, 1);
    version = static_cast<int16_t>(Load16(&header[2]));
    documentName = TextOfField(&header[SectionedNameOffset], NameFieldSize, MaxNameLength);
    nameOffset = SectionedNameOffset;
    nameForm = NameForm::Terminated;
    nameInMacChars = bigEndian;
    typeCode = Load32(&header[44]);

    // The whole directory must lie in the file before it is allocated.
    auto count = static_cast<int32_t>(Load32(&header[36]));
    if (count <= 0)
        return count == 0;
    uint64_t directorySize = uint64_t(count) * EntrySize;
    if (directorySize > std::min<uint64_t>(file.Remaining(), UINT32_MAX))
        return false;
    std::vector<uint8_t> directory(directorySize);
    if (!file.ReadExactly(directory.data(), static_cast<uint32_t>(directorySize)))
        return false;
    for (size_t at = 0; at < directorySize; at += EntrySize) {
        std::span<uint8_t> entry(&directory[at], EntrySize);
        if (bigEndian)
            ConvertFields(entry, EntryFields, 1);
        ReadSection(file, Load32(&entry[0]), Load32(&entry[4]), Load32(&entry[8]));
    }
    return true;
}

void LibPartFile::ReadSection(File& file, uint32_t tag, uint32_t start, uint32_t length)
{
    // The length counts the section's head; the content after it must lie whole in
    // the file.
    if (length < SectionHeadSize)
        return;
    uint64_t contentStart = uint64_t{start} + SectionHeadSize;
    uint32_t contentLength = length - SectionHeadSize;
    if (contentStart + contentLength > file.Size() || !file.Seek(contentStart))
        return;
    if (tag == GifTag)
        preview.ReadGif(file, contentLength);
    for (const auto& [textTag, text] : TextSections)
        if (tag == textTag)
            (this->*text).ReadText(file, contentLength);
}

bool LibPartFile::ReadOlder(File& file, uint16_t versionWord)
{
    auto value = static_cast<int16_t>(versionWord);
    bool windows = value > 100;
    platformMark = windows ? PlatformWindows : PlatformMacintosh;
    version = static_cast<int16_t>(windows ? value - 100 : value);
    const OlderForm* form = nullptr;
    for (const OlderForm& candidate : OlderForms)
        if (candidate.version == version)
            form = &candidate;
    if (form == nullptr)
        return false;

    std::array<uint8_t, OlderHeaderMaxSize> header{};
    uint32_t size = windows ? form->windowsBytes : form->macBytes;
    if (!file.ReadExactly(header.data(), size))
        return false;
    if (!windows)
        ConvertFields(std::span(header).first(size), form->macFields, 1);
    if (uint32_t offset = windows ? form->windowsNameOffset : form->macNameOffset) {
        documentName = TextOfCountedField(&header[offset], NameFieldSize, MaxNameLength);
        nameOffset = offset;
        nameForm = NameForm::Counted;
        nameInMacChars = !windows;
    }
    if (form->script2DAt != 0)
        ReadScript(file, script2D, &header[form->script2DAt]);
    ReadScript(file, script3D, &header[form->script3DAt]);
    return true;
}

bool LibPartFile::CanRename(const std::string& newName) const
{
    return nameForm != NameForm::None && nameOffset != 0 && !newName.empty() &&
           newName.size() <= MaxNameLength && newName != documentName;
}

bool LibPartFile::WriteDocumentName(const std::string& path, const std::string& newName)
{
    if (!CanRename(newName))
        return false;
    std::unique_ptr<File> file = OpenFile(path, File::Access::ReadWrite);
    return file && WriteDocumentName(*file, newName);
}

bool LibPartFile::WriteDocumentName(File& file, const std::string& newName)
{
    if (!CanRename(newName))
        return false;
    // The document may have been saved again since it was read; its name is written
    // only while the file keeps the form, platform and older version it was read in.
    uint8_t leading[2];
    if (!file.Seek(0) || !file.ReadExactly(leading, sizeof leading) || Load16(leading) != leadingBytes)
        return false;

    uint8_t field[NameFieldSize] = {};
    auto length = static_cast<uint8_t>(newName.size());
    uint8_t* text = nameForm == NameForm::Counted ? field + 1 : field;
    if (nameForm == NameForm::Counted)
        field[0] = length;
    std::memcpy(text, newName.data(), length);
    if (nameInMacChars)
        TranslateChars(text, length, 0);

    // The field is overwritten where it lies; a file too short to hold it is not
    // lengthened.
    if (uint64_t{nameOffset} + NameFieldSize > file.Size() || !file.Seek(nameOffset) ||
        !file.WriteExactly(field, NameFieldSize))
        return false;
    documentName = newName;
    return true;
}

}  // namespace orv
