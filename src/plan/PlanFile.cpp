#include "plan/PlanFile.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <span>

#include "plan/BlockHeader.h"
#include "plan/FieldConversion.h"
#include "plan/PlatformMark.h"
#include "util/CharTables.h"

namespace orv {
namespace {

constexpr size_t NameFieldSize = 32;

constexpr FieldConversion PlanHeaderFields[] = {
    {2, 0, FieldKind::Number16},   {4, 0, FieldKind::Number32},   {8, 0, FieldKind::Number16},
    {10, 0, FieldKind::Number16},  {12, 0, FieldKind::Number32},  {16, 32, FieldKind::CString},
    {48, 0, FieldKind::Number32},  {52, 32, FieldKind::CString},  {84, 0, FieldKind::Number32},
    {88, 0, FieldKind::Number16},  {92, 0, FieldKind::Number32},  {96, 0, FieldKind::Number32},
    {100, 0, FieldKind::Number32}, {104, 0, FieldKind::Number32}, {108, 0, FieldKind::Number32},
    {112, 0, FieldKind::Number32}, {116, 0, FieldKind::Number32}, {120, 0, FieldKind::Number32},
    {124, 64, FieldKind::CString}, {188, 0, FieldKind::Number32}, {192, 0, FieldKind::Number32},
    {196, 0, FieldKind::Number32}, {200, 0, FieldKind::Number32}, {204, 0, FieldKind::Number32},
};

constexpr FieldConversion LegacyL2MacFields[] = {
    {36, 0, FieldKind::Number32}, {40, 0, FieldKind::Number16}, {42, 0, FieldKind::Number16},
    {44, 0, FieldKind::Number16}, {46, 0, FieldKind::Number16}, {48, 32, FieldKind::PString},
    {80, 0, FieldKind::Number16}, {82, 0, FieldKind::Number32},
};

constexpr FieldConversion LegacyL3MacFields[] = {
    {36, 0, FieldKind::Number32}, {40, 0, FieldKind::Number16},  {42, 0, FieldKind::Number16},
    {44, 0, FieldKind::Number16}, {46, 0, FieldKind::Number16},  {48, 32, FieldKind::PString},
    {80, 0, FieldKind::Number32}, {84, 0, FieldKind::Number16},  {86, 0, FieldKind::Number16},
    {88, 0, FieldKind::Number16}, {90, 0, FieldKind::Number16},  {92, 0, FieldKind::Number32},
    {96, 32, FieldKind::PString}, {128, 32, FieldKind::PString},
};

// The forms of the legacy header by version. Versions between the forms, and 0 or
// less, are not plans this reader knows.
struct LegacyForm {
    int32_t firstVersion;
    int32_t lastVersion;
    uint32_t windowsBytes;
    uint32_t macBytes;
    uint32_t windowsNameOffset;  // 0: no name
    uint32_t macNameOffset;
    bool hasRelease;
    std::span<const FieldConversion> macFields;
};

constexpr uint32_t LegacyHeaderMaxSize = 512;
constexpr uint32_t LegacyReleaseOffset = 90;

constexpr LegacyForm LegacyForms[] = {
    {1, 1000, 36, 0, 4, 0, false, {}},
    {4100, 4180, 512, 86, 120, 0, false, LegacyL2MacFields},
    {4181, INT32_MAX, 512, 512, 96, 96, true, LegacyL3MacFields},
};

constexpr uint32_t SignInRecordSize = 144;
constexpr uint32_t ProjectPathSize = 300;

constexpr FieldConversion SignInFields[] = {
    {0, 32, FieldKind::CString},  {32, 0, FieldKind::Number32}, {36, 0, FieldKind::Number32},
    {40, 0, FieldKind::Number16}, {42, 0, FieldKind::Number16}, {44, 0, FieldKind::Number32},
    {48, 0, FieldKind::Number32}, {52, 0, FieldKind::Number16}, {54, 0, FieldKind::Number16},
    {56, 0, FieldKind::Number32}, {60, 0, FieldKind::Number32}, {64, 0, FieldKind::Number32},
    {68, 0, FieldKind::Number32}, {72, 0, FieldKind::Number32}, {80, 0, FieldKind::Number16},
    {82, 0, FieldKind::Number16}, {84, 0, FieldKind::Number32}, {88, 0, FieldKind::MacDate},
    {92, 0, FieldKind::Number32},
};

const LegacyForm* FormOfVersion(int32_t version)
{
    for (const LegacyForm& form : LegacyForms)
        if (version >= form.firstVersion && version <= form.lastVersion)
            return &form;
    return nullptr;
}

// Seeks to a block that the header points at and reads its header.
bool SeekBlock(File& file, int32_t offset, bool bigEndian, BlockHeader& block)
{
    return file.Seek(static_cast<uint64_t>(offset)) && ReadBlockHeader(file, bigEndian, block);
}

}  // namespace

bool PlanFile::Load(const std::string& path)
{
    std::unique_ptr<File> file = OpenFile(path, File::Access::Read);
    return file && Read(*file);
}

bool PlanFile::Read(File& file)
{
    Clear(file);
    if (!file.Seek(0) || !file.ReadExactly(leadingBytes.data(), leadingBytes.size()) || !file.Seek(0))
        return false;
    bool headerRead =
        IsPlatformMark(Load16(leadingBytes.data())) ? ReadPlanHeader(file) : ReadLegacyHeader(file);
    return headerRead && ReadBlocks(file);
}

void PlanFile::Clear(File& file)
{
    platform = 0;
    documentName.clear();
    nameOffset = 0;
    previewOffset = 0;
    projectDataOffset = 0;
    notesOffset = 0;
    version = 0;
    release = 0;
    signInMarker = 0;
    signInOffset = 0;
    signInValue = 0;
    changesValue = 0;
    projectPath.clear();
    preview.Clear();
    // A read of no bytes empties the notes and leaves the file alone.
    notes.ReadText(file, 0);
    projectData = ProjectData();
    nameForm = NameForm::None;
    nameInMacChars = false;
    leadingBytes = {};
}

bool PlanFile::ReadPlanHeader(File& file)
{
    std::array<uint8_t, PlanHeaderSize> header;
    if (!file.ReadExactly(header.data(), PlanHeaderSize))
        return false;
    platform = Load16(header.data());
    if (BigEndian())
        ConvertFields(header, PlanHeaderFields, 1);

    release = static_cast<int16_t>(Load16(&header[2]));
    version = static_cast<int32_t>(Load32(&header[4]));
    documentName = TextOfField(&header[16], NameFieldSize, MaxNameLength);
    nameOffset = 16;
    nameForm = NameForm::Terminated;
    nameInMacChars = BigEndian();
    signInMarker = header[90];
    previewOffset = static_cast<int32_t>(Load32(&header[188]));
    signInOffset = static_cast<int32_t>(Load32(&header[192]));
    projectDataOffset = static_cast<int32_t>(Load32(&header[204]));
    notesOffset = static_cast<int32_t>(FindBlock(file, PlanHeaderSize, NotesTag, BigEndian()));
    signInValue = -1;
    changesValue = -1;
    return true;
}

bool PlanFile::ReadLegacyHeader(File& file)
{
    uint8_t leading[4];
    if (!file.ReadExactly(leading, sizeof leading))
        return false;
    auto value = std::bit_cast<float>(uint32_t{leading[0]} << 24 | uint32_t{leading[1]} << 16 |
                                      uint32_t{leading[2]} << 8 | leading[3]);
    bool windows = value > 100.0f;
    if (windows)
        value -= 100.0f;
    // Only headers below 100.0 are in Mac form; a Mac file of exactly 100.0 is taken
    // as stored.
    bool converted = !windows && value < 100.0f;

    // NaN, and values whose version 32 bits cannot hold, fail with the rest.
    double scaled = static_cast<double>(value) * 1000.0 + 0.5;
    if (!(scaled >= 1.0 && scaled < 2147483648.0))
        return false;
    int32_t legacyVersion = static_cast<int32_t>(scaled);
    const LegacyForm* form = FormOfVersion(legacyVersion);
    if (form == nullptr)
        return false;
    platform = windows ? PlatformWindows : PlatformMacintosh;
    version = legacyVersion;

    std::array<uint8_t, LegacyHeaderMaxSize> header{};
    uint32_t size = windows ? form->windowsBytes : form->macBytes;
    if (!file.Seek(0) || !file.ReadExactly(header.data(), size))
        return false;
    if (converted)
        ConvertFields(std::span(header).first(size), form->macFields, 1);

    if (uint32_t offset = windows ? form->windowsNameOffset : form->macNameOffset) {
        documentName = TextOfCountedField(&header[offset], NameFieldSize, MaxNameLength);
        nameOffset = offset;
        nameForm = NameForm::Counted;
        nameInMacChars = converted;
    }
    if (form->hasRelease)
        release = static_cast<int16_t>(Load16(&header[LegacyReleaseOffset]));
    return true;
}

bool PlanFile::ReadBlocks(File& file)
{
    BlockHeader block;
    if (previewOffset > 0) {
        if (!SeekBlock(file, previewOffset, BigEndian(), block))
            return false;
        if (block.tag == PreviewTag || block.tag == GifPreviewTag)
            ReadPreview(file, block.tag, block.length);
    }
    if (notesOffset > 0) {
        if (!SeekBlock(file, notesOffset, BigEndian(), block))
            return false;
        if (block.tag == NotesTag && block.length <= file.Remaining())
            notes.ReadText(file, block.length);
    }
    if (projectDataOffset > 0) {
        if (!SeekBlock(file, projectDataOffset, BigEndian(), block))
            return false;
        if (block.tag == ProjectDataTag && block.length >= ProjectData::RecordSize)
            projectData.ReadFrom(file);
    }
    if (signInOffset > 0 && signInMarker != 0) {
        if (!SeekBlock(file, signInOffset, BigEndian(), block))
            return false;
        if (block.tag == SignInTag && !ReadSignIn(file))
            return false;
    }
    return true;
}

void PlanFile::ReadPreview(File& file, uint16_t tag, uint32_t length)
{
    if (length > file.Remaining())
        return;
    if (tag == PreviewTag && release <= 39)
        preview.ReadBlock(file, length, PreviewKindBlock, nullptr, 0);
    else
        preview.ReadGif(file, length);
}

bool PlanFile::ReadSignIn(File& file)
{
    std::array<uint8_t, SignInRecordSize> record;
    if (!file.ReadExactly(record.data(), SignInRecordSize))
        return false;
    if (BigEndian())
        ConvertFields(record, SignInFields, 1);
    if (ShowsSignIn()) {
        signInValue = static_cast<int32_t>(Load32(&record[44]));
        changesValue = static_cast<int32_t>(Load32(&record[92]));
    }
    if (Load32(&record[36]) == 0 && Load16(&record[40]) == 0) {
        uint8_t path[ProjectPathSize];
        if (!file.ReadExactly(path, ProjectPathSize))
            return false;
        projectPath = TextOfField(path, ProjectPathSize, ProjectPathSize - 1);
    }
    return true;
}

uint32_t PlanFile::FindBlock(File& file, uint64_t start, uint16_t tag, bool bigEndian)
{
    // Headers are taken from chunks read ahead, so that a chain of short blocks costs
    // one read per chunk rather than a seek and a read per block.
    constexpr uint32_t ChunkSize = 4096;
    std::array<uint8_t, ChunkSize> chunk;
    uint64_t chunkStart = 0;
    uint32_t chunkLength = 0;
    uint64_t saved = file.Position();
    uint64_t size = file.Size();
    // Offsets are signed 32-bit numbers in the format, so a length of 2^31 or more
    // would lead back into blocks already passed; here every step goes forward, and
    // the scan ends where 32 bits end.
    for (uint64_t position = start; position + BlockHeaderSize < size && position <= INT32_MAX;) {
        if (position == start || position + BlockHeaderSize > chunkStart + chunkLength) {
            auto wanted = static_cast<uint32_t>(std::min<uint64_t>(ChunkSize, size - position));
            if (!file.Seek(position) || file.Position() != position)
                break;
            chunkStart = position;
            chunkLength = file.Read(chunk.data(), wanted);
            if (chunkLength < BlockHeaderSize)
                break;
        }
        BlockHeader block = ParseBlockHeader(&chunk[position - chunkStart], bigEndian);
        if (block.tag == tag) {
            if (!file.Seek(position + BlockHeaderSize))
                break;
            return static_cast<uint32_t>(position);
        }
        position += uint64_t{BlockHeaderSize} + block.length;
    }
    file.Seek(saved);
    return 0;
}

bool PlanFile::CanRename(const std::string& newName) const
{
    return nameForm != NameForm::None && nameOffset != 0 && !newName.empty() &&
           newName.size() <= MaxNameLength && newName != documentName;
}

bool PlanFile::WriteDocumentName(const std::string& path, const std::string& newName)
{
    if (!CanRename(newName))
        return false;
    std::unique_ptr<File> file = OpenFile(path, File::Access::ReadWrite);
    return file && WriteDocumentName(*file, newName);
}

bool PlanFile::WriteDocumentName(File& file, const std::string& newName)
{
    if (!CanRename(newName))
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
    std::array<uint8_t, 4> leading;
    if (uint64_t{nameOffset} + NameFieldSize > file.Size() || !file.Seek(0) ||
        !file.ReadExactly(leading.data(), leading.size()) || leading != leadingBytes ||
        !file.Seek(nameOffset) || !file.WriteExactly(field, NameFieldSize))
        return false;
    documentName = newName;
    return true;
}

bool PlanFile::CanWriteProjectData(const ProjectTexts& shown) const
{
    return projectDataOffset > 0 && projectData.IsChanged(shown);
}

bool PlanFile::WriteProjectData(const std::string& path, const ProjectTexts& shown)
{
    if (!CanWriteProjectData(shown))
        return false;
    std::unique_ptr<File> file = OpenFile(path, File::Access::ReadWrite);
    return file && WriteProjectData(*file, shown);
}

bool PlanFile::WriteProjectData(File& file, const ProjectTexts& shown)
{
    return CanWriteProjectData(shown) &&
           projectData.WriteBackInBlock(file, static_cast<uint64_t>(projectDataOffset), ProjectDataTag,
                                        BigEndian(), shown);
}

bool PlanFile::BigEndian() const
{
    return platform != PlatformWindows;
}

}  // namespace orv
