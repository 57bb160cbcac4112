#include "plan/SfoldFile.h"

#include <algorithm>
#include <cstring>

#include "plan/BlockHeader.h"
#include "plan/FieldConversion.h"
#include "plan/PlatformMark.h"

namespace orv {
namespace {

constexpr size_t PlatformByte = 2;
constexpr size_t WriterByte = 3;
constexpr size_t VersionTextOffset = 16;
constexpr size_t NameOffset = 48;
constexpr size_t TextFieldSize = 32;
constexpr size_t MaskedEnd = 80;  // also where the key begins
constexpr size_t CheckOffset = 84;

// Only a platform byte of exactly 1 marks a header in Windows form.
constexpr uint8_t WindowsHeader = 1;

constexpr FieldConversion MacFields[] = {
    {4, 0, FieldKind::Number32},  {8, 0, FieldKind::Number32},  {12, 0, FieldKind::Number16},
    {14, 0, FieldKind::Number16}, {16, 32, FieldKind::CString}, {48, 32, FieldKind::CString},
    {80, 0, FieldKind::MacDate},  {84, 0, FieldKind::Number32},
};

}  // namespace

void SfoldFile::Mask(SfoldHeader& header)
{
    for (size_t i = PlatformByte; i < MaskedEnd; ++i)
        header[i] ^= static_cast<uint8_t>(~header[MaskedEnd + (i - PlatformByte) % 4]);
}

std::array<uint8_t, 4> SfoldFile::CheckValue(const SfoldHeader& header)
{
    std::array<uint8_t, 4> check{};
    for (size_t i = 0; i < CheckOffset; ++i)
        check[i % 4] ^= header[i];
    return check;
}

bool SfoldFile::ReadHeader(File& file, SfoldHeader& header)
{
    SfoldHeader stored;
    if (!file.ReadExactly(stored.data(), HeaderSize))
        return false;
    std::array<uint8_t, 4> check = CheckValue(stored);
    if (!std::equal(check.begin(), check.end(), stored.begin() + CheckOffset))
        return false;
    Mask(stored);
    if (stored[PlatformByte] != WindowsHeader)
        ConvertFields(stored, MacFields, 1);
    header = stored;
    return true;
}

bool SfoldFile::WriteHeader(File& file, SfoldHeader header)
{
    if (header[PlatformByte] != WindowsHeader)
        ConvertFields(header, MacFields, 0);
    Mask(header);
    std::array<uint8_t, 4> check = CheckValue(header);
    std::copy(check.begin(), check.end(), header.begin() + CheckOffset);
    return file.WriteExactly(header.data(), HeaderSize);
}

bool SfoldFile::Load(const std::string& path)
{
    std::unique_ptr<File> file = OpenFile(path, File::Access::Read);
    return file && Read(*file);
}

bool SfoldFile::Read(File& file)
{
    platform = 0;
    documentName.clear();
    versionText.clear();
    projectDataOffset = 0;
    writerCode = 0;
    projectData = ProjectData();

    SfoldHeader header;
    if (!file.Seek(0) || !ReadHeader(file, header))
        return false;
    platform = header[PlatformByte] != 0 ? PlatformWindows : PlatformMacintosh;
    writerCode = static_cast<int8_t>(header[WriterByte]);
    documentName = TextOfField(&header[NameOffset], TextFieldSize, MaxNameLength);
    versionText = TextOfField(&header[VersionTextOffset], TextFieldSize, MaxNameLength);

    BlockHeader block;
    if (!ReadBlockHeader(file, BigEndian(), block))
        return false;
    if (block.tag == ProjectDataTag) {
        projectDataOffset = HeaderSize;
        if (block.length >= ProjectData::RecordSize)
            projectData.ReadFrom(file);
    }
    return true;
}

bool SfoldFile::CanRename(const std::string& newName) const
{
    return !newName.empty() && newName.size() <= MaxNameLength && newName != documentName;
}

bool SfoldFile::WriteDocumentName(const std::string& path, const std::string& newName)
{
    if (!CanRename(newName))
        return false;
    std::unique_ptr<File> file = OpenFile(path, File::Access::ReadWrite);
    return file && WriteDocumentName(*file, newName);
}

bool SfoldFile::WriteDocumentName(File& file, const std::string& newName)
{
    if (!CanRename(newName))
        return false;
    SfoldHeader header;
    if (!file.Seek(0) || !ReadHeader(file, header) || !file.Seek(0))
        return false;
    std::fill_n(header.begin() + NameOffset, TextFieldSize, 0);
    std::memcpy(&header[NameOffset], newName.data(), newName.size());
    if (!WriteHeader(file, header))
        return false;
    documentName = newName;
    return true;
}

bool SfoldFile::CanWriteProjectData(const ProjectTexts& shown) const
{
    return projectDataOffset > 0 && projectData.IsChanged(shown);
}

bool SfoldFile::WriteProjectData(const std::string& path, const ProjectTexts& shown)
{
    if (!CanWriteProjectData(shown))
        return false;
    std::unique_ptr<File> file = OpenFile(path, File::Access::ReadWrite);
    return file && WriteProjectData(*file, shown);
}

bool SfoldFile::WriteProjectData(File& file, const ProjectTexts& shown)
{
    return CanWriteProjectData(shown) &&
           projectData.WriteBackInBlock(file, projectDataOffset, ProjectDataTag, BigEndian(), shown);
}

bool SfoldFile::BigEndian() const
{
    return platform != PlatformWindows;
}

}  // namespace orv
