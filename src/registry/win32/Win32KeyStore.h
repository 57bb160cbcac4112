#pragma once
#include <windows.h>

#include "registry/KeyStore.h"

namespace orv {

// The Windows registry as a key store.
class Win32KeyStore : public KeyStore {
public:
    static Win32KeyStore& Instance();

    std::unique_ptr<Key> CreateKey(RegistryRoot root, const char* path) override;
    std::unique_ptr<Key> OpenKey(RegistryRoot root, const char* path) override;
    bool DeleteKey(RegistryRoot root, const char* path) override;
};

}  // namespace orv
