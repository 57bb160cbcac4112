#include "PlanRecorder.h"

namespace orv {

class PlanRecorder::RecordedKey : public KeyStore::Key {
public:
    RecordedKey(std::unique_ptr<Key> key, PlanRecorder& recorder, RegistryRoot root, const char* path)
        : key(std::move(key)), recorder(recorder), root(root), path(path)
    {
    }

    bool SetValue(const char* name, uint32_t type, const void* data, uint32_t size) override
    {
        const auto* bytes = static_cast<const uint8_t*>(data);
        recorder.steps.push_back({Step::Kind::Value, root, path, name ? name : "", type, {bytes, bytes + size}});
        return key->SetValue(name, type, data, size);
    }
    bool DeleteValue(const char* name) override { return key->DeleteValue(name); }
    bool QueryValue(const char* name, uint32_t& type, void* data, uint32_t& size) override
    {
        return key->QueryValue(name, type, data, size);
    }
    bool IsEmpty() override { return key->IsEmpty(); }

private:
    std::unique_ptr<Key> key;
    PlanRecorder& recorder;
    RegistryRoot root;
    std::string path;
};

std::unique_ptr<KeyStore::Key> PlanRecorder::CreateKey(RegistryRoot root, const char* path)
{
    auto key = keys.CreateKey(root, path);
    if (!key)
        return nullptr;
    steps.push_back({Step::Kind::Key, root, path, "", 0, {}});
    return std::make_unique<RecordedKey>(std::move(key), *this, root, path);
}

std::unique_ptr<KeyStore::Key> PlanRecorder::OpenKey(RegistryRoot root, const char* path)
{
    auto key = keys.OpenKey(root, path);
    if (!key)
        return nullptr;
    return std::make_unique<RecordedKey>(std::move(key), *this, root, path);
}

bool PlanRecorder::DeleteKey(RegistryRoot root, const char* path)
{
    steps.push_back({Step::Kind::Deletion, root, path, "", 0, {}});
    return keys.DeleteKey(root, path);
}

}  // namespace orv
