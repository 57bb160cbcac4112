#include "registry/PerUserKeyStore.h"

namespace orv {

PerUserKeyStore::PerUserKeyStore(KeyStore& store) : store(store) {}

std::string PerUserKeyStore::UserPath(RegistryRoot root, const char* path)
{
    return root == RegistryRoot::ClassesRoot ? std::string("Software\\Classes\\") + path : std::string(path);
}

std::unique_ptr<KeyStore::Key> PerUserKeyStore::CreateKey(RegistryRoot root, const char* path)
{
    return store.CreateKey(RegistryRoot::CurrentUser, UserPath(root, path).c_str());
}

std::unique_ptr<KeyStore::Key> PerUserKeyStore::OpenKey(RegistryRoot root, const char* path)
{
    return store.OpenKey(RegistryRoot::CurrentUser, UserPath(root, path).c_str());
}

bool PerUserKeyStore::DeleteKey(RegistryRoot root, const char* path)
{
    return store.DeleteKey(RegistryRoot::CurrentUser, UserPath(root, path).c_str());
}

}  // namespace orv
