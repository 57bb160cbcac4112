#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ByteWriter.h"

namespace orv::test {

// Builds a data file (".qpd", ".qdd") or a vector font file (".vec") as a Macintosh
// writes them, big-endian: the 20-byte header, the directory, then the data of the
// entries in entry order. Tags are given by their four characters.
class InfoFileBuilder {
public:
    // An entry whose data is these bytes.
    InfoFileBuilder& Entry(const std::string& tag, uint32_t id, const std::vector<uint8_t>& data)
    {
        entries.push_back({tag, id, data, std::nullopt, static_cast<uint32_t>(data.size())});
        return *this;
    }
    // An entry that claims a data start and length of its own, whatever the file holds.
    InfoFileBuilder& PlacedEntry(const std::string& tag, uint32_t id, uint32_t dataStart, uint32_t dataLength)
    {
        entries.push_back({tag, id, {}, dataStart, dataLength});
        return *this;
    }
    // An "info" record; each text is cut or padded with zeros to its 32 bytes, and the
    // fourteen 16-bit values are 1 to 14.
    InfoFileBuilder& Info(const std::string& group, const std::string& item, const std::string& detail)
    {
        ByteWriter record(ByteOrder::Big);
        record.Text(group, 32).Text(item, 32).Text(detail, 32);
        for (uint16_t value = 1; value <= 14; ++value)
            record.U16(value);
        return Entry("info", 0, record.Data());
    }
    // A font table ("MACT" or "WICT") whose name follows 514 bytes of table data,
    // without a terminator.
    InfoFileBuilder& FontTable(const std::string& tag, uint32_t id, const std::string& name)
    {
        return Entry(tag, id, ByteWriter().Fill(514, 0x5A).Bytes(name.data(), name.size()).Data());
    }
    // A "VERS" entry whose data is the text, without a terminator.
    InfoFileBuilder& Version(uint32_t id, const std::string& text)
    {
        return Entry("VERS", id, {text.begin(), text.end()});
    }
    // Stores this entry count in the header instead of the number of entries.
    InfoFileBuilder& StoredCount(int32_t count)
    {
        storedCount = count;
        return *this;
    }

    std::vector<uint8_t> Build() const
    {
        ByteWriter file(ByteOrder::Big);
        file.At(16).U32(static_cast<uint32_t>(storedCount.value_or(static_cast<int32_t>(entries.size()))));
        auto dataStart = static_cast<uint32_t>(20 + 20 * entries.size());
        for (const Pending& entry : entries) {
            file.Tag(entry.tag).U32(entry.id).U32(entry.dataStart.value_or(dataStart)).U32(entry.dataLength).U32(0);
            dataStart += static_cast<uint32_t>(entry.data.size());
        }
        for (const Pending& entry : entries)
            file.Bytes(entry.data);
        return file.Data();
    }

private:
    struct Pending {
        std::string tag;
        uint32_t id;
        std::vector<uint8_t> data;
        std::optional<uint32_t> dataStart;  // instead of where the data lands
        uint32_t dataLength;
    };

    std::vector<Pending> entries;
    std::optional<int32_t> storedCount;
};

}  // namespace orv::test
