#include "plan/ProjectData.h"

#include <algorithm>
#include <cstring>

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

std::string Cut(const std::string& text)
{
    return text.substr(0, std::min(text.find('\0'), ProjectData::MaxTextLength));
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
        std::string stored =
            TextOfField(record.data() + field.offset, TextFieldSize, MaxTextLength);
        char shown[ShownTextSize];
        ToCrLfLineEnds(stored.c_str(), shown, sizeof shown);
        read.*field.text = shown;
    }
    texts = std::move(read);
    return true;
}

bool ProjectData::IsChanged(const ProjectTexts& shown) const
{
    for (const TextField& field : TextFields)
        if (Cut(shown.*field.text) != texts.*field.text)
            return true;
    return false;
}

bool ProjectData::WriteBack(File& file, const ProjectTexts& shown)
{
    uint64_t position = file.Position();
    Record record;
    if (!file.ReadExactly(record.data(), RecordSize) || !file.Seek(position))
        return false;

    // The stored bytes are changed only where a new text goes, so the bytes after a
    // text's terminator, the numbers and the rest of the record stay as stored.
    bool toMac = !IsWindowsRecord(record);
    ProjectTexts written;
    for (const TextField& field : TextFields) {
        std::string text = Cut(shown.*field.text);
        char stored[TextFieldSize];
        size_t length = ToCrLineEnds(text.c_str(), stored, sizeof stored);
        if (toMac)
            TranslateChars(stored, static_cast<int32_t>(length), 0);
        std::memcpy(record.data() + field.offset, stored, length + 1);
        written.*field.text = std::move(text);
    }

    if (!file.WriteExactly(record.data(), RecordSize))
        return false;
    texts = std::move(written);
    return true;
}

}  // namespace orv
