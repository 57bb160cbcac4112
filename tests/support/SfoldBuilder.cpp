#include "SfoldBuilder.h"

#include "ByteWriter.h"

namespace orv::test {

std::vector<uint8_t> SfoldHeaderBytes(const SfoldFields& fields)
{
    ByteWriter out(fields.platformByte == 1 ? ByteOrder::Little : ByteOrder::Big);
    out.U8(fields.leading[0]).U8(fields.leading[1]).U8(fields.platformByte).U8(fields.writerCode);
    out.At(8).U32(fields.fileKind).At(16).Text(fields.versionText, fields.versionText.size() + 1);
    out.At(48).Text(fields.documentName, fields.nameFiller ? fields.documentName.size() + 1 : 32);
    out.At(80).U32(fields.storedDate);

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
    return out.Fill(16, 0x99).Data();
}

}  // namespace orv::test
