#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "registry/KeyStore.h"

namespace orv {

// The one place where the server touches the registry. Every operation names its key
// as a path plus an optional subkey, opens and closes its own key, and reports only
// whether it succeeded. A value name of null means the key's default value.
class RegistryAccess {
public:
    explicit RegistryAccess(KeyStore* store = nullptr);

    // The module's instance. It has no store until one is given: the DLL gives it the
    // Win32 registry, tests give it a memory store. Without a store every key reads
    // as absent and every write fails.
    static RegistryAccess& Instance();
    void SetStore(KeyStore* store);

    // Creates the key as needed; true when it could be created or opened. Null data
    // creates the key only; whether the value write itself succeeded is not reported.
    bool SetStringValue(RegistryRoot root, const char* key, const char* subkey,
                        const char* data, const char* valueName);
    bool SetDwordValue(RegistryRoot root, const char* key, const char* subkey,
                       uint32_t number, const char* valueName);
    // Reads a value of at most 512 bytes, whatever its type, as text.
    bool GetStringValue(RegistryRoot root, const char* key, const char* subkey,
                        const char* valueName, std::string& out);
    // True only for a REG_DWORD value; out is left alone otherwise.
    bool GetDwordValue(RegistryRoot root, const char* key, const char* subkey,
                       const char* valueName, uint32_t& out);
    bool DeleteKey(RegistryRoot root, const char* key, const char* subkey);
    // Deletes the key only when it holds no value and no subkey.
    bool DeleteKeyIfEmpty(RegistryRoot root, const char* key, const char* subkey);
    bool DeleteValue(RegistryRoot root, const char* key, const char* subkey, const char* valueName);

    // The file and index of the "DefaultIcon" that the extension's program id names.
    // file holds 260 bytes; index is left alone when the value has no ','. Both are
    // left alone on failure.
    bool GetDefaultIcon(const char* extension, char* file, int& index);

    // The icon handler of the extension's file type: under its program id when the
    // extension names one, otherwise under the extension's own key. Another class's
    // handler found there is kept beside ours, to be put back when ours goes.
    void RegisterIconHandler(const char* extension, const char* classIdString);
    // Removes the icon handler keys that name this class, under the program id and
    // under the extension, or puts back the handler ours replaced; another class's
    // icon handler stays. True when one of ours went.
    bool UnregisterIconHandler(const char* extension, const char* classIdString);
    void RegisterQuickView(const char* extension, const char* classIdString);
    // True when the extension's "QuickView" key went; it stays while other viewers
    // are registered under it.
    bool UnregisterQuickView(const char* extension, const char* classIdString);

private:
    enum class KeyUse { Read, Write, WriteExisting };
    // The key at key\subkey; for Write made as needed. Null without a store, for a
    // path the registry would refuse, or when the key cannot be opened.
    std::unique_ptr<KeyStore::Key> Open(RegistryRoot root, const char* key, const char* subkey, KeyUse use);

    KeyStore* store;
};

}  // namespace orv
