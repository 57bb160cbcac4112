#include "libpart/InfoFiles.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <new>
#include <string>
#include <vector>

#include "util/ByteOrder.h"
#include "util/CharTables.h"

namespace orv {
namespace {

constexpr uint64_t EntrySize = 20;

// Runs a read elsewhere in the file and gives the position back; a failed return
// seek fails the whole read.
template <typename Read>
bool KeepingPosition(File& file, Read read)
{
    uint64_t saved = file.Position();
    bool done = read();
    bool restored = file.Seek(saved);
    return done && restored;
}

// Reads the header from offset 0 and leaves the position at the first entry. The
// count is signed in the file: a negative one means no entries. A count whose
// entries the file cannot hold is refused before anything is sized by it.
bool ReadHeader(File& file, uint32_t& count)
{
    DataDirectoryEntry header;
    if (!file.Seek(0) || !ReadDirectoryEntry(file, header))
        return false;
    auto stored = static_cast<int32_t>(header.reserved);
    count = stored < 0 ? 0 : static_cast<uint32_t>(stored);
    return EntrySize * count + EntrySize <= file.Size();
}

bool DataInFile(const DataDirectoryEntry& entry, const File& file)
{
    return uint64_t{entry.dataStart} + entry.dataLength <= file.Size();
}

template <size_t Size>
void Terminate(char (&field)[Size])
{
    field[Size - 1] = '\0';
}

bool AppendInfoListing(File& file, StringCompare compare, std::string& text)
{
    uint32_t count = 0;
    if (!ReadHeader(file, count))
        return false;
    uint32_t infoCount = CountTaggedEntries(file, InfoTag);
    if (infoCount == 0)
        return false;

    std::vector<InfoRecord> records;
    records.reserve(infoCount);
    for (uint32_t i = 0; i < count; ++i) {
        DataDirectoryEntry entry;
        if (!ReadDirectoryEntry(file, entry))
            return false;
        if (entry.tag != InfoTag)
            continue;
        InfoRecord record;
        if (!DataInFile(entry, file) || !ReadInfoRecord(file, entry.dataStart, record))
            return false;
        records.push_back(record);
    }

    std::sort(records.begin(), records.end(), [compare](const InfoRecord& a, const InfoRecord& b) {
        if (int order = compare(a.groupName, b.groupName))
            return order < 0;
        if (int order = compare(a.itemName, b.itemName))
            return order < 0;
        return compare(a.itemDetail, b.itemDetail) < 0;
    });

    const InfoRecord* previous = nullptr;
    for (const InfoRecord& record : records) {
        if (!previous || std::strcmp(record.groupName, previous->groupName) != 0)
            text.append(record.groupName).append(":\n");
        text.append(8, ' ').append(record.itemName).append(1, ' ').append(record.itemDetail);
        text.append(1, '\n');
        previous = &record;
    }
    return true;
}

bool AppendFontListing(File& file, const FontHeadings& headings, StringCompare compare,
                       std::string& text)
{
    uint32_t count = 0;
    if (!ReadHeader(file, count))
        return false;
    uint32_t tableCount = CountTaggedEntries(file, MactTag) + CountTaggedEntries(file, WictTag);
    if (tableCount == 0)
        return false;

    // One pass keeps the tables and the first version entry of every id. Searching the
    // directory again for each table's version would let a crafted directory make the
    // work grow with the square of its size.
    std::vector<DataDirectoryEntry> tables;
    tables.reserve(tableCount);
    std::map<uint32_t, DataDirectoryEntry> versions;
    for (uint32_t i = 0; i < count; ++i) {
        DataDirectoryEntry entry;
        if (!ReadDirectoryEntry(file, entry))
            return false;
        if (entry.tag == MactTag || entry.tag == WictTag)
            tables.push_back(entry);
        else if (entry.tag == VersTag)
            versions.emplace(entry.id, entry);
    }

    std::vector<FontRecord> records;
    records.reserve(tables.size());
    for (const DataDirectoryEntry& table : tables) {
        auto found = versions.find(table.id);
        if (found == versions.end())
            return false;
        const DataDirectoryEntry& version = found->second;
        if (!DataInFile(table, file) || !DataInFile(version, file))
            return false;
        FontRecord record{table.tag, table.id, {}, {}};
        uint32_t nameLength = 0;
        if (table.dataLength > FontNameOffset)
            nameLength =
                std::min<uint32_t>(table.dataLength - FontNameOffset, sizeof record.name - 1);
        uint32_t versionLength = std::min<uint32_t>(version.dataLength, sizeof record.version - 1);
        if (!ReadBytesAt(file, uint64_t{table.dataStart} + FontNameOffset, nameLength, record.name) ||
            !ReadBytesAt(file, version.dataStart, versionLength, record.version))
            return false;
        records.push_back(record);
    }

    std::sort(records.begin(), records.end(), [compare](const FontRecord& a, const FontRecord& b) {
        if (a.tag != b.tag)
            return a.tag == MactTag;
        if (int order = compare(a.name, b.name))
            return order < 0;
        return compare(a.version, b.version) < 0;
    });

    const FontRecord* previous = nullptr;
    for (const FontRecord& record : records) {
        if (!previous || record.tag != previous->tag) {
            const char* heading = record.tag == MactTag ? headings.macintosh : headings.windows;
            text.append(1, '\n').append(heading).append(1, '\n');
        }
        text.append(5, ' ').append(record.name).append(1, ' ').append(record.version).append(1, '\n');
        previous = &record;
    }
    return true;
}

}  // namespace

bool ReadDirectoryEntry(File& file, DataDirectoryEntry& entry)
{
    uint32_t values[5];
    if (!file.ReadExactly(values, sizeof values))
        return false;
    for (uint32_t& value : values)
        Swap32(&value);
    entry = {values[0], values[1], values[2], values[3], values[4]};
    return true;
}

uint32_t CountTaggedEntries(File& file, uint32_t tag)
{
    uint32_t found = 0;
    bool done = KeepingPosition(file, [&] {
        uint32_t count = 0;
        if (!ReadHeader(file, count))
            return false;
        for (uint32_t i = 0; i < count; ++i) {
            DataDirectoryEntry entry;
            if (!ReadDirectoryEntry(file, entry))
                return false;
            if (entry.tag == tag)
                ++found;
        }
        return true;
    });
    return done ? found : 0;
}

bool ReadInfoRecord(File& file, uint64_t dataStart, InfoRecord& record)
{
    InfoRecord read;
    auto readRecord = [&] { return file.Seek(dataStart) && file.ReadExactly(&read, sizeof read); };
    if (!KeepingPosition(file, readRecord))
        return false;
    Terminate(read.groupName);
    Terminate(read.itemName);
    Terminate(read.itemDetail);
    TranslateCString(read.groupName, 1);
    TranslateCString(read.itemName, 1);
    for (uint16_t& value : read.values)
        Swap16(&value);
    record = read;
    return true;
}

bool ReadBytesAt(File& file, uint64_t dataStart, uint32_t count, void* bytes)
{
    if (count == 0)
        return true;
    return KeepingPosition(file,
                           [&] { return file.Seek(dataStart) && file.ReadExactly(bytes, count); });
}

bool BuildInfoListing(File& file, StringCompare compare, TextBuffer& listing)
{
    try {
        std::string text;
        return AppendInfoListing(file, compare, text) && listing.SetText(text.c_str());
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool BuildFontListing(File& file, const FontHeadings& headings, StringCompare compare,
                      TextBuffer& listing)
{
    try {
        std::string text;
        return AppendFontListing(file, headings, compare, text) && listing.SetText(text.c_str());
    } catch (const std::bad_alloc&) {
        return false;
    }
}

}  // namespace orv
