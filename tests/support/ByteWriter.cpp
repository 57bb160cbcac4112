#include "ByteWriter.h"

namespace orv::test {

ByteWriter& ByteWriter::At(size_t offset)
{
    while (bytes.size() < offset)
        bytes.push_back(static_cast<uint8_t>(0x61 + bytes.size() % 19));
    position = offset;
    return *this;
}

void ByteWriter::Put(uint8_t value)
{
    if (position < bytes.size())
        bytes[position] = value;
    else
        bytes.push_back(value);
    ++position;
}

ByteWriter& ByteWriter::Number(uint64_t value, size_t size)
{
    for (size_t i = 0; i < size; ++i) {
        size_t shift = order == ByteOrder::Little ? 8 * i : 8 * (size - 1 - i);
        Put(static_cast<uint8_t>(value >> shift));
    }
    return *this;
}

ByteWriter& ByteWriter::Tag(std::string_view tag)
{
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i)
        value = value << 8 | static_cast<uint8_t>(tag.at(i));
    return U32(value);
}

ByteWriter& ByteWriter::Bytes(const void* data, size_t size)
{
    const auto* source = static_cast<const uint8_t*>(data);
    for (size_t i = 0; i < size; ++i)
        Put(source[i]);
    return *this;
}

ByteWriter& ByteWriter::Text(const std::string& text, size_t size)
{
    std::string field = text.substr(0, size);
    field.resize(size, '\0');
    return Bytes(field.data(), size);
}

}  // namespace orv::test
