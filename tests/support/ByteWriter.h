#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace orv::test {

enum class ByteOrder { Little, Big };

// Builds a document byte by byte, in either byte order, as the format descriptions
// lay it out.
class ByteWriter {
public:
    explicit ByteWriter(ByteOrder order = ByteOrder::Little) : order(order) {}

    ByteWriter& U8(uint8_t value);
    ByteWriter& U16(uint16_t value);
    ByteWriter& U32(uint32_t value);
    // A four-character tag, most significant byte first in the document's order.
    ByteWriter& Tag(const char (&tag)[5]);
    ByteWriter& Bytes(const void* data, size_t size);
    ByteWriter& Bytes(const std::vector<uint8_t>& data);
    ByteWriter& Fill(size_t count, uint8_t value = 0);
    // The text, cut or padded with zeros to exactly size bytes.
    ByteWriter& Text(const std::string& text, size_t size);
    // A count byte followed by the text.
    ByteWriter& PString(const std::string& text);

    void PatchU16(size_t offset, uint16_t value);
    void PatchU32(size_t offset, uint32_t value);

    size_t Size() const { return bytes.size(); }
    const std::vector<uint8_t>& Data() const { return bytes; }
    ByteOrder Order() const { return order; }

private:
    void Put(uint64_t value, int size, size_t offset);

    ByteOrder order;
    std::vector<uint8_t> bytes;
};

}  // namespace orv::test
