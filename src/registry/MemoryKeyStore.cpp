#include "registry/MemoryKeyStore.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <utility>

namespace orv {
namespace {

std::string Lower(const char* text)
{
    std::string result = text ? text : "";
    for (char& c : result)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return result;
}

// Normalises a key path as the registry reads it; false for a path with an empty
// level, which the registry refuses.
bool KeyPath(const char* path, std::string& out)
{
    out = Lower(path);
    if (out.empty())
        return false;
    if (out.front() == '\\' || out.back() == '\\' || out.find("\\\\") != std::string::npos)
        return false;
    return true;
}

using KeyTree = std::map<std::string, MemoryKeyStore::Values>;

bool HasSubkeys(const KeyTree& tree, const std::string& key)
{
    std::string childPrefix = key + '\\';
    auto child = tree.lower_bound(childPrefix);
    return child != tree.end() && child->first.compare(0, childPrefix.size(), childPrefix) == 0;
}

}  // namespace

class MemoryKeyStore::MemoryKey : public KeyStore::Key {
public:
    MemoryKey(const KeyTree& tree, const std::string& path, Values& values) : tree(tree), path(path), values(values) {}

    bool SetValue(const char* name, uint32_t type, const void* data, uint32_t size) override
    {
        const auto* bytes = static_cast<const uint8_t*>(data);
        values[Lower(name)] = Value{type, std::vector<uint8_t>(bytes, bytes + size)};
        return true;
    }

    bool DeleteValue(const char* name) override { return values.erase(Lower(name)) == 1; }

    bool QueryValue(const char* name, uint32_t& type, void* data, uint32_t& size) override
    {
        auto found = values.find(Lower(name));
        if (found == values.end() || found->second.data.size() > size)
            return false;
        type = found->second.type;
        size = static_cast<uint32_t>(found->second.data.size());
        std::copy(found->second.data.begin(), found->second.data.end(),
                  static_cast<uint8_t*>(data));
        return true;
    }

    bool IsEmpty() override { return values.empty() && !HasSubkeys(tree, path); }

private:
    const KeyTree& tree;
    std::string path;
    Values& values;
};

std::map<std::string, MemoryKeyStore::Values>& MemoryKeyStore::Tree(RegistryRoot root)
{
    return const_cast<KeyTree&>(std::as_const(*this).Keys(root));
}

const std::map<std::string, MemoryKeyStore::Values>& MemoryKeyStore::Keys(RegistryRoot root) const
{
    switch (root) {
    case RegistryRoot::ClassesRoot:
        return classesRoot;
    case RegistryRoot::CurrentUser:
        return currentUser;
    default:
        return localMachine;
    }
}

std::unique_ptr<KeyStore::Key> MemoryKeyStore::CreateKey(RegistryRoot root, const char* path)
{
    std::string key;
    if (!KeyPath(path, key))
        return nullptr;
    auto& tree = Tree(root);
    for (size_t slash = key.find('\\'); slash != std::string::npos; slash = key.find('\\', slash + 1))
        tree[key.substr(0, slash)];
    return std::make_unique<MemoryKey>(tree, key, tree[key]);
}

std::unique_ptr<KeyStore::Key> MemoryKeyStore::OpenKey(RegistryRoot root, const char* path)
{
    std::string key;
    if (!KeyPath(path, key))
        return nullptr;
    auto& tree = Tree(root);
    auto found = tree.find(key);
    if (found == tree.end())
        return nullptr;
    return std::make_unique<MemoryKey>(tree, key, found->second);
}

bool MemoryKeyStore::DeleteKey(RegistryRoot root, const char* path)
{
    std::string key;
    if (!KeyPath(path, key))
        return false;
    auto& tree = Tree(root);
    auto found = tree.find(key);
    if (found == tree.end())
        return false;
    if (HasSubkeys(tree, key))
        return false;
    tree.erase(found);
    return true;
}

}  // namespace orv
