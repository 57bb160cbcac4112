#pragma once
// Windows only.
#include <windows.h>

#include <string>

#include "registry/win32/Win32KeyStore.h"
#include "util/win32/UniqueHandle.h"

namespace orv::test {

// The real registry with both roots redirected to scratch keys, so that no test
// touches the prefix's own classes or user settings.
class RedirectedRegistry {
public:
    RedirectedRegistry()
    {
        scratch = "Software\\OrvenstaalTests\\" + std::to_string(GetCurrentProcessId()) + "-" +
                  std::to_string(counter++);
        Redirect(HKEY_CLASSES_ROOT, classes, "classes");
        Redirect(HKEY_CURRENT_USER, user, "user");
    }
    ~RedirectedRegistry()
    {
        RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        classes.reset();
        user.reset();
        RegDeleteTreeA(HKEY_CURRENT_USER, scratch.c_str());
    }
    RedirectedRegistry(const RedirectedRegistry&) = delete;
    RedirectedRegistry& operator=(const RedirectedRegistry&) = delete;

    KeyStore& Store() { return Win32KeyStore::Instance(); }

private:
    void Redirect(HKEY root, unique_hkey& key, const char* name)
    {
        std::string path = scratch + "\\" + name;
        RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        key.put(), nullptr);
        RegOverridePredefKey(root, key.get());
    }

    static inline int counter = 0;
    std::string scratch;
    unique_hkey classes;
    unique_hkey user;
};

}  // namespace orv::test
