#include "plan/FieldConversion.h"

#include <algorithm>

#include "util/ByteOrder.h"
#include "util/CharTables.h"

namespace orv {

void ConvertFields(std::span<uint8_t> record, std::span<const FieldConversion> fields, int fromMac)
{
    for (const FieldConversion& field : fields) {
        size_t size = field.kind == FieldKind::Number16   ? 2
                      : field.kind == FieldKind::Number32 ? 4
                      : field.kind == FieldKind::MacDate  ? 4
                                                          : field.size;
        if (size == 0 || size_t{field.offset} + size > record.size())
            continue;
        uint8_t* bytes = record.data() + field.offset;
        switch (field.kind) {
        case FieldKind::Number16:
            Swap16(bytes);
            break;
        case FieldKind::Number32:
            Swap32(bytes);
            break;
        case FieldKind::CString: {
            auto length = static_cast<int32_t>(std::find(bytes, bytes + size, 0) - bytes);
            TranslateChars(bytes, length, fromMac);
            break;
        }
        case FieldKind::PString: {
            // A count the field cannot hold is taken as far as the field goes.
            auto count = std::min<int32_t>(bytes[0], static_cast<int32_t>(size - 1));
            TranslateChars(bytes + 1, count, fromMac);
            break;
        }
        case FieldKind::MacDate: {
            uint32_t date;
            std::memcpy(&date, bytes, sizeof date);
            ConvertMacDate(&date, fromMac);
            std::memcpy(bytes, &date, sizeof date);
            break;
        }
        }
    }
}

std::string TextOfField(const uint8_t* field, size_t size, size_t maxLength)
{
    const uint8_t* end = field + std::min(size, maxLength);
    return std::string(field, std::find(field, end, 0));
}

std::string TextOfCountedField(const uint8_t* field, size_t size, size_t maxLength)
{
    if (size == 0)
        return {};
    size_t count = std::min<size_t>({field[0], size - 1, maxLength});
    return std::string(field + 1, field + 1 + count);
}

}  // namespace orv
