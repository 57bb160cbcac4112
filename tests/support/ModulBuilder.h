#pragma once
#include <cstdint>
#include <optional>
#include <vector>

namespace orv::test {

// A Windows metafile of 48 bytes: its header, a window extent, a rectangle and the
// end record.
std::vector<uint8_t> WindowsMetafileBits();

// Record A's data: the 8-byte head (mapping mode, extents, 2 bytes not used), then
// the metafile bits.
std::vector<uint8_t> StoredMetafile(int16_t mappingMode = 8, int16_t width = 2000, int16_t height = 1000,
                                    const std::vector<uint8_t>& bits = WindowsMetafileBits());

// The header record that a preview made from the stored metafile keeps: 16 bytes for
// kind 0xD001, 18 for 0xD002 (tag, frame top, left, bottom, right, bytes not used,
// flags, picture type).
std::vector<uint8_t> PreviewRecord(uint16_t kind);

// Record C's data: 2 bytes not used, the release and the version times 1000.
std::vector<uint8_t> VersionBlock(int16_t release, uint32_t version);

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
std::vector<uint8_t> Module(const ModulRecord& a, const ModulRecord& b, const ModulRecord& c = {},
                            uint16_t variant = 0, uint16_t magic = 50000);

}  // namespace orv::test
