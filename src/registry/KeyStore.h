#pragma once
#include <cstdint>
#include <memory>

namespace orv {

// The registry roots the server uses.
enum class RegistryRoot { ClassesRoot, CurrentUser, LocalMachine };

// Value types as the registry numbers them.
enum ValueType : uint32_t {
    ValueString = 1,        // REG_SZ
    ValueExpandString = 2,  // REG_EXPAND_SZ
    ValueBinary = 3,        // REG_BINARY
    ValueDword = 4,         // REG_DWORD
};

// A hierarchical key store with the registry's behaviour: keys named by paths with
// a backslash between levels, names compared without regard to case, each key with
// a default value (name null) and named values of any type. The DLL uses the Win32
// registry; tests use MemoryKeyStore.
class KeyStore {
public:
    class Key {
    public:
        virtual ~Key() = default;
        virtual bool SetValue(const char* name, uint32_t type, const void* data,
                              uint32_t size) = 0;
        // Removes a named value; fails when it is missing.
        virtual bool DeleteValue(const char* name) = 0;
        // As the registry reads: size holds the buffer's capacity on entry and the
        // value's size on success; a missing value or one larger than the buffer
        // fails the read.
        virtual bool QueryValue(const char* name, uint32_t& type, void* data,
                                uint32_t& size) = 0;
        // No values, the default one included, and no subkeys.
        virtual bool IsEmpty() = 0;
    };

    virtual ~KeyStore() = default;
    // Opens the key, creating it and its missing parents; null on failure.
    virtual std::unique_ptr<Key> CreateKey(RegistryRoot root, const char* path) = 0;
    // Opens an existing key for reading; null when it does not exist.
    virtual std::unique_ptr<Key> OpenKey(RegistryRoot root, const char* path) = 0;
    // Deletes one key; fails when it is missing or still has subkeys.
    virtual bool DeleteKey(RegistryRoot root, const char* path) = 0;
};

}  // namespace orv
