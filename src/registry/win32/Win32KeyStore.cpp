#include "registry/win32/Win32KeyStore.h"

#include "util/win32/UniqueHandle.h"

namespace orv {
namespace {

HKEY RootKey(RegistryRoot root)
{
    switch (root) {
    case RegistryRoot::ClassesRoot:
        return HKEY_CLASSES_ROOT;
    case RegistryRoot::CurrentUser:
        return HKEY_CURRENT_USER;
    default:
        return HKEY_LOCAL_MACHINE;
    }
}

class Win32Key : public KeyStore::Key {
public:
    explicit Win32Key(unique_hkey key) : key(std::move(key)) {}

    bool SetValue(const char* name, uint32_t type, const void* data, uint32_t size) override
    {
        return RegSetValueExA(key.get(), name, 0, type, static_cast<const BYTE*>(data), size) ==
               ERROR_SUCCESS;
    }

    bool DeleteValue(const char* name) override { return RegDeleteValueA(key.get(), name) == ERROR_SUCCESS; }

    bool QueryValue(const char* name, uint32_t& type, void* data, uint32_t& size) override
    {
        DWORD valueType = 0;
        DWORD valueSize = size;
        if (RegQueryValueExA(key.get(), name, nullptr, &valueType, static_cast<BYTE*>(data),
                             &valueSize) != ERROR_SUCCESS)
            return false;
        type = valueType;
        size = valueSize;
        return true;
    }

    bool IsEmpty() override
    {
        DWORD subkeys = 0;
        DWORD values = 0;
        return RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                                nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
               subkeys == 0 && values == 0;
    }

private:
    unique_hkey key;
};

}  // namespace

Win32KeyStore& Win32KeyStore::Instance()
{
    static Win32KeyStore instance;
    return instance;
}

std::unique_ptr<KeyStore::Key> Win32KeyStore::CreateKey(RegistryRoot root, const char* path)
{
    unique_hkey key;
    if (RegCreateKeyExA(RootKey(root), path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, key.put(), nullptr) != ERROR_SUCCESS)
        return nullptr;
    return std::make_unique<Win32Key>(std::move(key));
}

std::unique_ptr<KeyStore::Key> Win32KeyStore::OpenKey(RegistryRoot root, const char* path)
{
    unique_hkey key;
    if (RegOpenKeyExA(RootKey(root), path, 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return nullptr;
    return std::make_unique<Win32Key>(std::move(key));
}

bool Win32KeyStore::DeleteKey(RegistryRoot root, const char* path)
{
    return RegDeleteKeyA(RootKey(root), path) == ERROR_SUCCESS;
}

}  // namespace orv
