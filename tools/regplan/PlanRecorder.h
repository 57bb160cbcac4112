#pragma once
#include <string>
#include <vector>

#include "registry/MemoryKeyStore.h"

namespace orv {

// A key store that keeps, besides the keys themselves, every key made, value written
// and key deleted in order and spelled as the plan spells them, so that the plan can be
// written out as an installer's registry table.
class PlanRecorder : public KeyStore {
public:
    struct Step {
        enum class Kind { Key, Value, Deletion } kind;
        RegistryRoot root;
        std::string key;
        std::string valueName;  // empty: the default value
        uint32_t type = 0;
        std::vector<uint8_t> data;
    };

    std::unique_ptr<Key> CreateKey(RegistryRoot root, const char* path) override;
    std::unique_ptr<Key> OpenKey(RegistryRoot root, const char* path) override;
    bool DeleteKey(RegistryRoot root, const char* path) override;

    const std::vector<Step>& Steps() const { return steps; }

private:
    class RecordedKey;

    MemoryKeyStore keys;
    std::vector<Step> steps;
};

}  // namespace orv
