#include "shell/ExtensionMatch.h"

#include <cstring>

#include "registry/RegistryAccess.h"
#include "util/Strings.h"

namespace orv {

const char* PathExtension(const char* path)
{
    const char* component = path;
    for (const char* p = path; *p; ++p)
        if (*p == '\\' || *p == '/' || *p == ':')
            component = p + 1;
    const char* dot = std::strrchr(component, '.');
    return dot ? dot : component + std::strlen(component);
}

bool ExtensionMatch::MatchExtension(const char* newPath, const ExtensionTable& table)
{
    if (newPath == nullptr || *newPath == '\0')
        return false;
    const char* extension = PathExtension(newPath);
    entryIndex = -1;
    for (size_t row = 0; row < table.rows.size(); ++row) {
        if (EqualIgnoringCase(table.rows[row].extension, extension)) {
            entryIndex = static_cast<int32_t>(row);
            break;
        }
    }
    extensionTable = &table;
    if (entryIndex < 0) {
        path.clear();
        return false;
    }
    path = newPath;
    RegistryAccess::Instance().GetDefaultIcon(extension, iconFile, iconIndex);
    return true;
}

}  // namespace orv
