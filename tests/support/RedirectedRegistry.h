#pragma once
// Windows only.
#include <windows.h>

#include <string>

#include "registry/win32/Win32KeyStore.h"
#include "util/win32/UniqueHandle.h"

namespace orv::test {

// The real registry with the roots the server writes redirected to scratch keys of
// this process, so that no test touches the prefix's own classes, machine or user
// settings.
class RedirectedRegistry {
public:
    RedirectedRegistry()
    {
        RegOverridePredefKey(HKEY_CLASSES_ROOT, classes.get());
        RegOverridePredefKey(HKEY_CURRENT_USER, user.get());
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, machine.get());
    }
    ~RedirectedRegistry()
    {
        RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
        classes.reset();
        user.reset();
        machine.reset();
        RegDeleteTreeA(HKEY_CURRENT_USER, scratch.c_str());
    }

    KeyStore& Store() { return Win32KeyStore::Instance(); }

private:
    static unique_hkey CreateKey(const std::string& path)
    {
        unique_hkey key;
        RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(),
                        nullptr);
        return key;
    }

    std::string scratch = "Software\\OrvenstaalTests\\" + std::to_string(GetCurrentProcessId());
    unique_hkey classes = CreateKey(scratch + "\\classes");
    unique_hkey user = CreateKey(scratch + "\\user");
    unique_hkey machine = CreateKey(scratch + "\\machine");
};

}  // namespace orv::test
