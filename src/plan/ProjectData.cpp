#include "plan/ProjectData.h"

#include <algorithm>
#include <cstring>

#include "plan/BlockHeader.h"
#include "plan/FieldConversion.h"
#include "util/CharTables.h"
#include "util/Strings.h"

namespace orv {
namespace {

constexpr uint16_t WindowsCode = 0x5757;
constexpr size_t TextFieldSize = 128;
// Room for 127 characters whose every line end has become CR LF.
constexpr size_t ShownTextSize = 2 * ProjectData::MaxTextLength + 1;

using Record = std::array<uint8_t, ProjectData::RecordSize>;

struct TextField {
    uint16_t offset;
    std::string ProjectTexts::*text;
};

constexpr TextField TextFields[] = {
    {16, &ProjectTexts::project},   {144, &ProjectTexts::author},
    {272, &ProjectTexts::revision}, {400, &ProjectTexts::drawingPrefix},
    {528, &ProjectTexts::keywords}, {656, &ProjectTexts::comments},
};

constexpr FieldConversion MacFields[] = {
    {2, 0, FieldKind::Number16},
    {4, 0, FieldKind::Number32},
    {16, TextFieldSize, FieldKind::CString},
    {144, TextFieldSize, FieldKind::CString},
    {272, TextFieldSize, FieldKind::CString},
    {400, TextFieldSize, FieldKind::CString},
    {528, TextFieldSize, FieldKind::CString},
    {656, TextFieldSize, FieldKind::CString},
};

bool IsWindowsRecord(const Record& record)
{
    return Load16(record.data()) == WindowsCode;
}

// The limit counts the characters the record stores, where a line end is one CR, so a
// text that fills its field with several lines comes back whole from a page that
// shows its line ends as CR LF.
std::string StoredText(const std::string& shown)
{
    std::string text = shown.substr(0, shown.find('\0'));
    std::string stored(text.size() + 1, '\0');
    size_t length = ToCrLineEnds(text.c_str(), stored.data(), stored.size());
    stored.resize(std::min(length, ProjectData::MaxTextLength));
    return stored;
}

std::string ShownText(const std::string& stored)
{
    char shown[ShownTextSize];
    ToCrLfLineEnds(stored.c_str(), shown, sizeof shown);
    return shown;
}

}  // namespace

bool ProjectData::ReadFrom(File& file)
{
    Record record;
    if (!file.ReadExactly(record.data(), RecordSize))
        return false;
    if (!IsWindowsRecord(record))
        ConvertFields(record, MacFields, 1);

    ProjectTexts read;
    for (const TextField& field : TextFields) {
        read.*field.text =
            ShownText(TextOfField(record.data() + field.offset, TextFieldSize, MaxTextLength));
    }
    texts = std::move(read);
    return true;
}

bool ProjectData::IsChanged(const ProjectTexts& shown) const
{
    for (const TextField& field : TextFields)
        if (StoredText(shown.*field.text) != StoredText(texts.*field.text))
            return true;
    return false;
}

bool ProjectData::WriteBack(File& file, uint64_t recordOffset, const ProjectTexts& shown)
{
    Record record;
    if (!file.Seek(recordOffset) || file.Position() != recordOffset ||
        !file.ReadExactly(record.data(), RecordSize) || !file.Seek(recordOffset))
        return false;

    // The stored bytes are changed only where a new text goes, so the bytes after a
    // text's terminator, the numbers and the rest of the record stay as stored.
    bool toMac = !IsWindowsRecord(record);
    ProjectTexts written;
    for (const TextField& field : TextFields) {
        std::string text = StoredText(shown.*field.text);
        written.*field.text = ShownText(text);
        if (toMac)
            TranslateChars(text.data(), static_cast<int32_t>(text.size()), 0);
        std::memcpy(record.data() + field.offset, text.c_str(), text.size() + 1);
    }

    if (!file.WriteExactly(record.data(), RecordSize))
        return false;
    texts = std::move(written);
    return true;
}

bool ProjectData::WriteBackInBlock(File& file, uint64_t blockOffset, uint16_t tag, bool bigEndian,
                                   const ProjectTexts& shown)
{
    BlockHeader block;
    if (!file.Seek(blockOffset) || !ReadBlockHeader(file, bigEndian, block) || block.tag != tag ||
        block.length < RecordSize)
        return false;
    return WriteBack(file, blockOffset + BlockHeaderSize, shown);
}

}  // namespace orv
