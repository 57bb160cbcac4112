#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "plan/ProjectData.h"
#include "util/File.h"

namespace orv {

// An 88-byte layout-book header. Bytes 2 to 79 are stored masked with the date at 80
// as key, and 84 to 87 hold a check value over the stored bytes 0 to 83.
using SfoldHeader = std::array<uint8_t, 88>;

// A layout book or layout file: the masked header and the project data block that
// may follow it directly.
class SfoldFile {
public:
    static constexpr uint16_t ProjectDataTag = 372;
    static constexpr uint32_t HeaderSize = 88;
    static constexpr size_t MaxNameLength = 31;

    // Masks stored bytes, or unmasks them: the operation is its own inverse.
    static void Mask(SfoldHeader& header);
    // The check value of a header in its stored form.
    static std::array<uint8_t, 4> CheckValue(const SfoldHeader& header);
    // Reads a stored header at the file's position and brings it to Windows form;
    // false on a short read or a check value that does not match.
    static bool ReadHeader(File& file, SfoldHeader& header);
    // Brings a header in Windows form back to its stored form, with a new check
    // value, and writes it at the file's position; true when all 88 bytes went out.
    static bool WriteHeader(File& file, SfoldHeader header);

    // Reads the header and the project data block. Every field is cleared first.
    bool Load(const std::string& path);
    bool Read(File& file);

    // Rewrites the header with the new name in place. Refused, without opening the
    // file, when the name is empty, longer than 31 characters or the same as the
    // stored one.
    bool WriteDocumentName(const std::string& path, const std::string& newName);
    bool WriteDocumentName(File& file, const std::string& newName);

    // Rewrites the project data record from the shown texts. Refused, without
    // opening the file, when there is no record or nothing differs from it; false
    // as well when the block is not a whole project data block or the rewrite fails.
    bool WriteProjectData(const std::string& path, const ProjectTexts& shown);
    bool WriteProjectData(File& file, const ProjectTexts& shown);

    bool HasProjectData() const { return projectDataOffset > 0; }

    uint32_t platform = 0;  // 'WW' or 'MM' after a load
    std::string documentName;
    std::string versionText;
    uint32_t projectDataOffset = 0;  // 88 when a project data block follows the header
    int32_t writerCode = 0;          // 0 Sheetfold, 1 Bauvelle
    ProjectData projectData;

private:
    bool CanRename(const std::string& newName) const;
    bool CanWriteProjectData(const ProjectTexts& shown) const;
    bool BigEndian() const;
};

}  // namespace orv
