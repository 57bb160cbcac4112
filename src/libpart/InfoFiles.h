#pragma once
#include <cstdint>

#include "util/File.h"
#include "util/TextBuffer.h"

namespace orv {

// Data files (".qpd", ".qdd") and vector font files (".vec") share one layout,
// written on a Macintosh: a 20-byte header whose last value is the number of
// directory entries, then the 20-byte entries, all big-endian whatever wrote them.

inline constexpr uint32_t InfoTag = 0x696E666F;  // "info": one InfoRecord
inline constexpr uint32_t MactTag = 0x4D414354;  // "MACT": a Macintosh vector font table
inline constexpr uint32_t WictTag = 0x57494354;  // "WICT": a Windows vector font table
inline constexpr uint32_t VersTag = 0x56455253;  // "VERS": the version of the table with its id

// A font table's name begins this far into its data.
inline constexpr uint32_t FontNameOffset = 514;

struct DataDirectoryEntry {
    uint32_t tag;
    uint32_t id;  // links entries that belong together
    uint32_t dataStart;  // from the start of the file
    uint32_t dataLength;
    uint32_t reserved;  // in the header, which has an entry's shape: the entry count
};

struct InfoRecord {
    char groupName[32];  // Mac characters in the file
    char itemName[32];   // Mac characters in the file
    char itemDetail[32];  // never translated
    uint16_t values[14];
};
static_assert(sizeof(InfoRecord) == 124);

struct FontRecord {
    uint32_t tag;
    uint32_t id;
    char name[128];
    char version[32];
};

// Reads 20 bytes at the file's position and makes every value native.
bool ReadDirectoryEntry(File& file, DataDirectoryEntry& entry);

// The directory scans start again from the header and give the file's position back.
// A negative entry count means no entries; a count the file cannot hold fails.
uint32_t CountTaggedEntries(File& file, uint32_t tag);  // 0 on failure

// Reads the record at dataStart and brings it to Windows form; the file's position
// is given back.
bool ReadInfoRecord(File& file, uint64_t dataStart, InfoRecord& record);
// Reads exactly count bytes at dataStart; the file's position is given back.
bool ReadBytesAt(File& file, uint64_t dataStart, uint32_t count, void* bytes);

using StringCompare = int (*)(const char*, const char*);  // lstrcmpA on Windows

// The sorted listing of the "info" records of a ".qpd" or ".qdd" file; false, with
// the listing untouched, when it cannot be built.
bool BuildInfoListing(File& file, StringCompare compare, TextBuffer& listing);

struct FontHeadings {
    const char* macintosh;
    const char* windows;
};

// The sorted listing of the font tables of a ".vec" file, each under its heading.
bool BuildFontListing(File& file, const FontHeadings& headings, StringCompare compare,
                      TextBuffer& listing);

}  // namespace orv
