#pragma once
#include <cstdint>
#include <optional>
#include <vector>

#include "ByteWriter.h"

namespace orv::test {

// A Windows metafile of 48 bytes: its header, a window extent, a rectangle and the
// end record.
inline std::vector<uint8_t> WindowsMetafileBits()
{
    ByteWriter out;
    // The header: in memory, 9 words long, version 3.0, 24 words in all, no objects,
    // the longest record 7 words.
    out.U16(1).U16(9).U16(0x0300).U32(24).U16(0).U32(7).U16(0);
    out.U32(5).U16(0x020C).U16(100).U16(200);                   // SetWindowExt
    out.U32(7).U16(0x041B).U16(80).U16(150).U16(10).U16(20);    // Rectangle
    return out.U32(3).U16(0).Data();                            // end
}

// Record A's data: the 8-byte head (mapping mode, extents, 2 bytes not used), then
// the metafile bits.
inline std::vector<uint8_t> StoredMetafile(int16_t mappingMode = 8, int16_t width = 2000, int16_t height = 1000,
                                           const std::vector<uint8_t>& bits = WindowsMetafileBits())
{
    ByteWriter out;
    out.U16(static_cast<uint16_t>(mappingMode)).U16(static_cast<uint16_t>(width));
    return out.U16(static_cast<uint16_t>(height)).At(8).Bytes(bits).Data();
}

// The header record that a preview made from the stored metafile keeps: 16 bytes for
// kind 0xD001, 18 for 0xD002 (tag, frame top, left, bottom, right, bytes not used,
// flags, picture type).
inline std::vector<uint8_t> PreviewRecord(uint16_t kind)
{
    ByteWriter out;
    out.U16(0x5A5A).U16(5).U16(6).U16(70).U16(80);
    return out.At(kind == 0xD001 ? 12 : 14).U16(0x24).U16(7).Data();
}

// Record C's data: 2 bytes not used, the release and the version times 1000.
inline std::vector<uint8_t> VersionBlock(int16_t release, uint32_t version)
{
    return ByteWriter().At(2).U16(static_cast<uint16_t>(release)).U32(version).Data();
}

// A record's type and data; its length and start as stored when given, else the data's.
struct ModulRecord {
    uint16_t type = 0;
    std::vector<uint8_t> data = {};
    std::optional<uint32_t> length = {};
    std::optional<uint32_t> start = {};
};

// Module files: the magic number, the variant word, records A, B and C of 89 bytes
// each (type, data length, data start, then fillers), and the data of each record in
// that order. Little-endian throughout.
inline std::vector<uint8_t> Module(const ModulRecord& a, const ModulRecord& b, const ModulRecord& c = {},
                                   uint16_t variant = 0, uint16_t magic = 50000)
{
    ByteWriter out;
    out.U16(magic).U16(variant);
    auto start = static_cast<uint32_t>(4 + 3 * 89);
    for (const ModulRecord* record : {&a, &b, &c}) {
        auto length = static_cast<uint32_t>(record->data.size());
        out.U16(record->type).U32(record->length.value_or(length)).U32(record->start.value_or(start));
        out.Fill(79, 0xA5);
        start += length;
    }
    return out.Bytes(a.data).Bytes(b.data).Bytes(c.data).Data();
}

}  // namespace orv::test
