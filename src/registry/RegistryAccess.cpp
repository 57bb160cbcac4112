#include "registry/RegistryAccess.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "util/Strings.h"

namespace orv {
namespace {

// Key paths are composed in 256 bytes; a longer one is refused rather than cut,
// so that no operation lands on a different key.
constexpr size_t MaxKeyPath = 255;

bool ComposePath(const char* key, const char* subkey, std::string& path)
{
    path = key;
    if (subkey) {
        path += '\\';
        path += subkey;
    }
    return path.size() <= MaxKeyPath;
}

// The decimal number at text as atoi reads it, kept within int.
int ParseIndex(const char* text)
{
    long value = std::strtol(text, nullptr, 10);
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

constexpr const char* IconHandlerKey = "shellex\\IconHandler";
// Beside our icon handler: the handler of another product that ours replaced.
constexpr const char* ReplacedHandlerValue = "Orvenstaal.ReplacedHandler";
constexpr const char* QuickViewKey = "QuickView";

// The file type's program id that the extension's key names; an empty name is none.
bool ReadProgramId(RegistryAccess& registry, const char* extension, std::string& programId)
{
    return registry.GetStringValue(RegistryRoot::ClassesRoot, extension, nullptr, nullptr,
                                   programId) &&
           !programId.empty();
}

// The icon handler key under key goes only when it names this class: another
// product's handler is not ours to remove.
bool DeleteIconHandler(RegistryAccess& registry, const char* key, const char* classIdString)
{
    std::string handler;
    if (!registry.GetStringValue(RegistryRoot::ClassesRoot, key, IconHandlerKey, nullptr, handler) ||
        !EqualIgnoringCase(handler.c_str(), classIdString))
        return false;
    std::string replaced;
    if (registry.GetStringValue(RegistryRoot::ClassesRoot, key, IconHandlerKey, ReplacedHandlerValue, replaced))
        return registry.SetStringValue(RegistryRoot::ClassesRoot, key, IconHandlerKey, replaced.c_str(),
                                       nullptr) &&
               registry.DeleteValue(RegistryRoot::ClassesRoot, key, IconHandlerKey, ReplacedHandlerValue);
    return registry.DeleteKey(RegistryRoot::ClassesRoot, key, IconHandlerKey);
}

}  // namespace

RegistryAccess::RegistryAccess(KeyStore* store) : store(store) {}

std::unique_ptr<KeyStore::Key> RegistryAccess::Open(RegistryRoot root, const char* key, const char* subkey,
                                                    KeyUse use)
{
    std::string path;
    if (!store || !ComposePath(key, subkey, path))
        return nullptr;
    if (use == KeyUse::Read)
        return store->OpenKey(root, path.c_str());
    // A key opened for writing is made when missing, which a deletion must not do.
    if (use == KeyUse::WriteExisting && !store->OpenKey(root, path.c_str()))
        return nullptr;
    return store->CreateKey(root, path.c_str());
}

RegistryAccess& RegistryAccess::Instance()
{
    static RegistryAccess instance;
    return instance;
}

void RegistryAccess::SetStore(KeyStore* newStore)
{
    store = newStore;
}

bool RegistryAccess::SetStringValue(RegistryRoot root, const char* key, const char* subkey,
                                    const char* data, const char* valueName)
{
    auto opened = Open(root, key, subkey, KeyUse::Write);
    if (!opened)
        return false;
    if (data)
        opened->SetValue(valueName, ValueString, data, static_cast<uint32_t>(std::strlen(data) + 1));
    return true;
}

bool RegistryAccess::SetDwordValue(RegistryRoot root, const char* key, const char* subkey,
                                   uint32_t number, const char* valueName)
{
    auto opened = Open(root, key, subkey, KeyUse::Write);
    if (!opened)
        return false;
    opened->SetValue(valueName, ValueDword, &number, sizeof number);
    return true;
}

bool RegistryAccess::GetStringValue(RegistryRoot root, const char* key, const char* subkey,
                                    const char* valueName, std::string& out)
{
    auto opened = Open(root, key, subkey, KeyUse::Read);
    if (!opened)
        return false;
    char buffer[512];
    uint32_t type = 0;
    uint32_t size = sizeof buffer;
    if (!opened->QueryValue(valueName, type, buffer, size))
        return false;
    out.assign(buffer, strnlen(buffer, size));
    return true;
}

bool RegistryAccess::GetDwordValue(RegistryRoot root, const char* key, const char* subkey,
                                   const char* valueName, uint32_t& out)
{
    auto opened = Open(root, key, subkey, KeyUse::Read);
    if (!opened)
        return false;
    uint32_t number = 0;
    uint32_t type = 0;
    uint32_t size = sizeof number;
    if (!opened->QueryValue(valueName, type, &number, size) || type != ValueDword ||
        size != sizeof number)
        return false;
    out = number;
    return true;
}

bool RegistryAccess::DeleteKey(RegistryRoot root, const char* key, const char* subkey)
{
    std::string path;
    if (!store || !ComposePath(key, subkey, path))
        return false;
    return store->DeleteKey(root, path.c_str());
}

bool RegistryAccess::DeleteKeyIfEmpty(RegistryRoot root, const char* key, const char* subkey)
{
    auto opened = Open(root, key, subkey, KeyUse::Read);
    return opened && opened->IsEmpty() && DeleteKey(root, key, subkey);
}

bool RegistryAccess::DeleteValue(RegistryRoot root, const char* key, const char* subkey, const char* valueName)
{
    auto opened = Open(root, key, subkey, KeyUse::WriteExisting);
    return opened && opened->DeleteValue(valueName);
}

bool RegistryAccess::GetDefaultIcon(const char* extension, char* file, int& index)
{
    std::string programId;
    if (!GetStringValue(RegistryRoot::ClassesRoot, extension, nullptr, nullptr, programId))
        return false;
    std::string icon;
    if (!GetStringValue(RegistryRoot::ClassesRoot, programId.c_str(), "DefaultIcon", nullptr, icon))
        return false;
    size_t comma = icon.find(',');
    if (comma != std::string::npos) {
        index = ParseIndex(icon.c_str() + comma + 1);
        icon.resize(comma);
    }
    CopyStringN(icon.c_str(), file, 260);
    return true;
}

void RegistryAccess::RegisterIconHandler(const char* extension, const char* classIdString)
{
    std::string programId;
    const char* owner = ReadProgramId(*this, extension, programId) ? programId.c_str() : extension;
    std::string current;
    if (GetStringValue(RegistryRoot::ClassesRoot, owner, IconHandlerKey, nullptr, current) && !current.empty() &&
        !EqualIgnoringCase(current.c_str(), classIdString))
        SetStringValue(RegistryRoot::ClassesRoot, owner, IconHandlerKey, current.c_str(), ReplacedHandlerValue);
    SetStringValue(RegistryRoot::ClassesRoot, owner, IconHandlerKey, classIdString, nullptr);
}

bool RegistryAccess::UnregisterIconHandler(const char* extension, const char* classIdString)
{
    bool removed = false;
    std::string programId;
    if (ReadProgramId(*this, extension, programId))
        removed = DeleteIconHandler(*this, programId.c_str(), classIdString);
    bool removedUnderExtension = DeleteIconHandler(*this, extension, classIdString);
    return removed || removedUnderExtension;
}

void RegistryAccess::RegisterQuickView(const char* extension, const char* classIdString)
{
    std::string key = std::string(QuickViewKey) + '\\' + extension;
    SetStringValue(RegistryRoot::ClassesRoot, key.c_str(), classIdString, nullptr, nullptr);
}

bool RegistryAccess::UnregisterQuickView(const char* extension, const char* classIdString)
{
    std::string key = std::string(QuickViewKey) + '\\' + extension;
    DeleteKey(RegistryRoot::ClassesRoot, key.c_str(), classIdString);
    return DeleteKey(RegistryRoot::ClassesRoot, QuickViewKey, extension);
}

}  // namespace orv
