#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ByteWriter.h"

namespace orv::test {

// The fields of a layout-book header as its writer sets them. Numbers are stored
// little-endian only when the platform byte is 1; texts and the date as given.
struct SfoldFields {
    uint8_t leading[2] = {0xC1, 0xC2};
    uint8_t platformByte = 1;
    uint8_t writerCode = 0;
    uint32_t fileKind = 0x504C4F54;  // "PLOT"
    std::string versionText = "4.1";
    std::string documentName = "Book";
    // Whether the name's terminator is followed by other bytes, as the version text's is, or by zeros.
    bool nameFiller = true;
    uint32_t storedDate = 0xB1C2D3E4;  // the date as stored, which is also the mask key
};

// The 88 stored bytes: the fields laid out, bytes 2 to 79 masked with the complement
// of the date's stored bytes, and the check value over bytes 0 to 83 at 84.
inline std::vector<uint8_t> SfoldHeaderBytes(const SfoldFields& fields)
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

// A layout book: the header, then, if given, a block (little-endian header when the
// platform byte is nonzero, big-endian otherwise) whose length is the data's unless
// another is claimed, and a few bytes of what follows it.
inline std::vector<uint8_t> SfoldBook(const SfoldFields& fields, std::optional<uint16_t> tag = std::nullopt,
                                      const std::vector<uint8_t>& data = {},
                                      std::optional<uint32_t> claimedLength = std::nullopt)
{
    ByteWriter out(fields.platformByte != 0 ? ByteOrder::Little : ByteOrder::Big);
    out.Bytes(SfoldHeaderBytes(fields));
    if (tag)
        out.U16(*tag).U32(claimedLength.value_or(static_cast<uint32_t>(data.size()))).Bytes(data);
    return out.Fill(16, 0x99).Data();
}

}  // namespace orv::test
