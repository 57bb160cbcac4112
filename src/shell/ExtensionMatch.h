#pragma once
#include <cstdint>
#include <string>

#include "shell/ExtensionTables.h"

namespace orv {

// What a handler knows about the path it claimed: the matched row of its table and
// the icon that the file type's registration names. Every handler's Claims is one
// call of MatchExtension.
class ExtensionMatch {
public:
    // The registered icon file lives in a buffer of this size, terminator included.
    static constexpr int PathSize = 260;

    // True when the path's extension is a row of the table. The row (or -1) and the
    // table are stored in every case; the path is kept only when claimed.
    bool MatchExtension(const char* path, const ExtensionTable& table);
    const char* GetPath() const { return path.c_str(); }

    int32_t entryIndex = -1;
    const ExtensionTable* extensionTable = nullptr;
    // UTF-8, as the file seam takes it.
    std::string path;
    char iconFile[PathSize] = {};
    int32_t iconIndex = 0;
};

// The extension as the path splitter takes it: the last path component from its
// last '.', dot included; empty when that component has none.
const char* PathExtension(const char* path);

}  // namespace orv
