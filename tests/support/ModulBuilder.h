#pragma once
#include <cstdint>
#include <vector>

namespace orv::test {

enum class ModulRecord { A, B, C };

// Module files: the magic number, the variant word, records A, B and C of 89 bytes
// each (type, data length, data start, then fillers), and the data of each record in
// that order. Little-endian throughout. By default record A holds a small stored
// metafile and records B and C are of type 0 without data.
class ModulBuilder {
public:
    ModulBuilder();

    ModulBuilder& Magic(uint16_t magic);
    ModulBuilder& Variant(uint16_t variant);
    ModulBuilder& Record(ModulRecord record, uint16_t type, const std::vector<uint8_t>& data);
    // A record's data length and start as the caller gives them.
    ModulBuilder& Point(ModulRecord record, uint32_t length, uint32_t start);

    std::vector<uint8_t> Build() const;

private:
    struct PlannedRecord {
        uint16_t type = 0;
        std::vector<uint8_t> data;
        bool pointed = false;
        uint32_t length = 0;
        uint32_t start = 0;
    };

    uint16_t magic = 50000;
    uint16_t variant = 0;
    PlannedRecord records[3];
};

// Record A's data: the 8-byte head (mapping mode, extents, 2 bytes not used), then
// the metafile bits.
std::vector<uint8_t> StoredMetafile(int16_t mappingMode, int16_t width, int16_t height,
                                    const std::vector<uint8_t>& bits);

// A Windows metafile of 48 bytes: its header, a window extent, a rectangle and the
// end record.
std::vector<uint8_t> WindowsMetafileBits();

// The header record that a preview made from the stored metafile keeps: 16 bytes for
// kind 0xD001, 18 for 0xD002 (tag, frame top, left, bottom, right, bytes not used,
// flags, picture type).
std::vector<uint8_t> PreviewRecord(uint16_t kind);

// Record C's data: 2 bytes not used, the release and the version times 1000.
std::vector<uint8_t> VersionBlock(int16_t release, uint32_t version);

}  // namespace orv::test
