#pragma once
#include <bit>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>

namespace orv {

// Records are brought to Windows form in place and then read as they lie in memory,
// which is little-endian on every host this code runs on.
static_assert(std::endian::native == std::endian::little);

enum class FieldKind : uint8_t {
    Number16,  // Swap16
    Number32,  // Swap32
    CString,   // TranslateCString, never past the field
    PString,   // TranslatePString, never past the field
    MacDate,   // ConvertMacDate
};

struct FieldConversion {
    uint16_t offset;
    uint16_t size;  // of a text field; numbers and dates have their own
    FieldKind kind;
};

// Converts every listed field of a record between the Mac form and the Windows form
// (fromMac as for the translations). Fields that do not lie wholly inside the record
// are left alone.
void ConvertFields(std::span<uint8_t> record, std::span<const FieldConversion> fields, int fromMac);

// The text of a zero-terminated field, cut at the terminator or at maxLength bytes,
// whichever comes first; the field is never read past its size.
std::string TextOfField(const uint8_t* field, size_t size, size_t maxLength);

// The text of a length-prefixed field, its count limited to maxLength and to the field.
std::string TextOfCountedField(const uint8_t* field, size_t size, size_t maxLength);

inline uint16_t Load16(const uint8_t* bytes)
{
    uint16_t value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

inline uint32_t Load32(const uint8_t* bytes)
{
    uint32_t value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

}  // namespace orv
