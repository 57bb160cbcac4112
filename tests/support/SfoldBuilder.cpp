#include "SfoldBuilder.h"

#include <stdexcept>

#include "ByteWriter.h"

namespace orv::test {
namespace {

// The text, its terminator, then a filler or zeros to the end of the 32-byte field.
void TextField(ByteWriter& out, const std::string& text, bool filler)
{
    if (text.size() > 31)
        throw std::length_error("a header text holds at most 31 characters");
    out.Bytes(text.data(), text.size()).U8(0);
    for (size_t i = text.size() + 1; i < 32; ++i)
        out.U8(filler ? static_cast<uint8_t>(0x70 + i) : 0);
}

}  // namespace

std::vector<uint8_t> SfoldHeaderBytes(const SfoldFields& fields)
{
    ByteWriter out(fields.platformByte == 1 ? ByteOrder::Little : ByteOrder::Big);
    out.U8(fields.leading[0]).U8(fields.leading[1]).U8(fields.platformByte).U8(fields.writerCode);
    out.U32(fields.number4).U32(fields.fileKind).U16(fields.number12).U16(fields.number14);
    TextField(out, fields.versionText, true);
    TextField(out, fields.documentName, fields.nameFiller);
    out.U32(fields.storedDate);

    std::vector<uint8_t> header = out.Data();
    for (size_t i = 2; i < 80; ++i)
        header[i] ^= static_cast<uint8_t>(~header[80 + (i - 2) % 4]);
    uint8_t check[4] = {};
    for (size_t i = 0; i < 84; ++i)
        check[i % 4] ^= header[i];
    header.insert(header.end(), check, check + 4);
    return header;
}

std::vector<uint8_t> SfoldBook(const SfoldFields& fields, std::optional<uint16_t> tag,
                               const std::vector<uint8_t>& data,
                               std::optional<uint32_t> claimedLength)
{
    ByteWriter out(fields.platformByte != 0 ? ByteOrder::Little : ByteOrder::Big);
    out.Bytes(SfoldHeaderBytes(fields));
    if (tag)
        out.U16(*tag).U32(claimedLength.value_or(static_cast<uint32_t>(data.size()))).Bytes(data);
    out.Fill(16, 0x99);
    return out.Data();
}

}  // namespace orv::test
