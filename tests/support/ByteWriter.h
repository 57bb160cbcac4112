#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orv::test {

enum class ByteOrder { Little, Big };

// Writes a document's records in either byte order: fields one after another, or at
// the offsets its format gives them. Bytes that no field takes hold a pattern of their
// own offsets, never zero, so that a read or a write that strays shows.
class ByteWriter {
public:
    explicit ByteWriter(ByteOrder order = ByteOrder::Little) : order(order) {}
    // Writes over these bytes, from their start.
    explicit ByteWriter(std::vector<uint8_t> bytes, ByteOrder order = ByteOrder::Little)
        : order(order), bytes(std::move(bytes))
    {
    }

    // The next field goes to offset; bytes before it that were never written take the pattern.
    ByteWriter& At(size_t offset)
    {
        while (bytes.size() < offset)
            bytes.push_back(static_cast<uint8_t>(0x61 + bytes.size() % 19));
        position = offset;
        return *this;
    }
    ByteWriter& Number(uint64_t value, size_t size)
    {
        for (size_t i = 0; i < size; ++i)
            Put(static_cast<uint8_t>(value >> (order == ByteOrder::Little ? 8 * i : 8 * (size - 1 - i))));
        return *this;
    }
    ByteWriter& U8(uint8_t value) { return Number(value, 1); }
    ByteWriter& U16(uint16_t value) { return Number(value, 2); }
    ByteWriter& U32(uint32_t value) { return Number(value, 4); }
    // A four-character tag as a 32-bit number, its first character the most significant.
    ByteWriter& Tag(std::string_view tag)
    {
        uint32_t value = 0;
        for (size_t i = 0; i < 4; ++i)
            value = value << 8 | static_cast<uint8_t>(tag.at(i));
        return U32(value);
    }
    ByteWriter& Bytes(const void* data, size_t size)
    {
        for (size_t i = 0; i < size; ++i)
            Put(static_cast<const uint8_t*>(data)[i]);
        return *this;
    }
    ByteWriter& Bytes(const std::vector<uint8_t>& data) { return Bytes(data.data(), data.size()); }
    ByteWriter& Fill(size_t count, uint8_t value = 0) { return Bytes(std::vector<uint8_t>(count, value)); }
    // A text field of size bytes: the text, cut or followed by zeros.
    ByteWriter& Text(const std::string& text, size_t size)
    {
        std::string field = text.substr(0, size);
        field.resize(size, '\0');
        return Bytes(field.data(), size);
    }
    // A counted text field of size bytes: a count byte, the text, zeros.
    ByteWriter& Counted(const std::string& text, size_t size) { return U8(text.size()).Text(text, size - 1); }

    size_t Size() const { return bytes.size(); }
    const std::vector<uint8_t>& Data() const { return bytes; }
    ByteOrder Order() const { return order; }

private:
    void Put(uint8_t value)
    {
        if (position < bytes.size())
            bytes[position] = value;
        else
            bytes.push_back(value);
        ++position;
    }

    ByteOrder order;
    std::vector<uint8_t> bytes;
    size_t position = 0;
};

// The bytes cut, or padded with zeros, to size.
inline std::vector<uint8_t> Cut(std::vector<uint8_t> bytes, size_t size)
{
    bytes.resize(size);
    return bytes;
}

}  // namespace orv::test
