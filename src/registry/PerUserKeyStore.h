#pragma once
#include <string>

#include "registry/KeyStore.h"

namespace orv {

// The registry as one user sees the places of a registration: the classes root is the
// user's own classes (HKEY_CURRENT_USER\Software\Classes, which the shell merges into
// the classes root for that user) and the machine's settings are the user's settings
// of the same path. Registering through it needs no administrator rights and leaves
// the machine's keys alone.
class PerUserKeyStore : public KeyStore {
public:
    explicit PerUserKeyStore(KeyStore& store);

    std::unique_ptr<Key> CreateKey(RegistryRoot root, const char* path) override;
    std::unique_ptr<Key> OpenKey(RegistryRoot root, const char* path) override;
    bool DeleteKey(RegistryRoot root, const char* path) override;

private:
    static std::string UserPath(RegistryRoot root, const char* path);

    KeyStore& store;
};

}  // namespace orv
