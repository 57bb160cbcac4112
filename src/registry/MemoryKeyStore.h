#pragma once
#include <map>
#include <string>
#include <vector>

#include "registry/KeyStore.h"

namespace orv {

// A registry in memory, for tests and for running the registration plan without the
// platform. It behaves as the registry does where the server relies on it.
class MemoryKeyStore : public KeyStore {
public:
    std::unique_ptr<Key> CreateKey(RegistryRoot root, const char* path) override;
    std::unique_ptr<Key> OpenKey(RegistryRoot root, const char* path) override;
    bool DeleteKey(RegistryRoot root, const char* path) override;

    struct Value {
        uint32_t type = 0;
        std::vector<uint8_t> data;
        bool operator==(const Value&) const = default;
    };
    // Lower-cased value name ("" for the default value) to value.
    using Values = std::map<std::string, Value>;

    // Every key of a root by its lower-cased full path, parents included, in order.
    const std::map<std::string, Values>& Keys(RegistryRoot root) const;

private:
    class MemoryKey;
    std::map<std::string, Values>& Tree(RegistryRoot root);

    std::map<std::string, Values> classesRoot;
    std::map<std::string, Values> currentUser;
    std::map<std::string, Values> localMachine;
};

}  // namespace orv
