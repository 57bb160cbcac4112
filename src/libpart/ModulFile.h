#pragma once
#include <cstdint>
#include <string>

#include "preview/PreviewPicture.h"
#include "util/File.h"

namespace orv {

// A module: a piece of a plan saved for reuse. Three records follow the magic number
// and a variant word: record A points at a stored Windows metafile, record B at the
// preview and record C at a version block. Module files are always little-endian.
class ModulFile {
public:
    static constexpr uint16_t Magic = 50000;

    ModulFile() = default;
    ModulFile(const ModulFile&) = delete;
    ModulFile& operator=(const ModulFile&) = delete;

    // True only when the preview was read. A preview made from the stored metafile
    // needs the module's metafile converter. Every field is cleared first.
    bool Load(const std::string& path);
    bool Read(File& file);

    int32_t version = 0;  // times 1000; 0 when the file does not say
    int32_t release = 0;
    PreviewPicture preview;

private:
    void ReadVersion(File& file);
};

}  // namespace orv
