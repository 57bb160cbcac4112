#include "ByteWriter.h"

#include <stdexcept>

namespace orv::test {

void ByteWriter::Put(uint64_t value, int size, size_t offset)
{
    if (offset + size > bytes.size())
        bytes.resize(offset + size);
    for (int i = 0; i < size; ++i) {
        int shift = order == ByteOrder::Little ? 8 * i : 8 * (size - 1 - i);
        bytes[offset + i] = static_cast<uint8_t>(value >> shift);
    }
}

ByteWriter& ByteWriter::U8(uint8_t value)
{
    bytes.push_back(value);
    return *this;
}

ByteWriter& ByteWriter::U16(uint16_t value)
{
    Put(value, 2, bytes.size());
    return *this;
}

ByteWriter& ByteWriter::U32(uint32_t value)
{
    Put(value, 4, bytes.size());
    return *this;
}

ByteWriter& ByteWriter::Tag(const char (&tag)[5])
{
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value = value << 8 | static_cast<uint8_t>(tag[i]);
    return U32(value);
}

ByteWriter& ByteWriter::Bytes(const void* data, size_t size)
{
    const auto* b = static_cast<const uint8_t*>(data);
    bytes.insert(bytes.end(), b, b + size);
    return *this;
}

ByteWriter& ByteWriter::Bytes(const std::vector<uint8_t>& data)
{
    return Bytes(data.data(), data.size());
}

ByteWriter& ByteWriter::Fill(size_t count, uint8_t value)
{
    bytes.insert(bytes.end(), count, value);
    return *this;
}

ByteWriter& ByteWriter::Text(const std::string& text, size_t size)
{
    for (size_t i = 0; i < size; ++i)
        bytes.push_back(i < text.size() ? static_cast<uint8_t>(text[i]) : 0);
    return *this;
}

ByteWriter& ByteWriter::PString(const std::string& text)
{
    if (text.size() > 255)
        throw std::length_error("a length-prefixed string holds at most 255 bytes");
    U8(static_cast<uint8_t>(text.size()));
    return Bytes(text.data(), text.size());
}

void ByteWriter::PatchU16(size_t offset, uint16_t value)
{
    Put(value, 2, offset);
}

void ByteWriter::PatchU32(size_t offset, uint32_t value)
{
    Put(value, 4, offset);
}

}  // namespace orv::test
