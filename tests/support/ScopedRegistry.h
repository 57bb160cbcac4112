#pragma once
#include "registry/MemoryKeyStore.h"
#include "registry/RegistryAccess.h"

namespace orv::test {

// Points the module's registry access at a fresh memory store for one test.
class ScopedRegistry {
public:
    ScopedRegistry() { RegistryAccess::Instance().SetStore(&store); }
    ~ScopedRegistry() { RegistryAccess::Instance().SetStore(nullptr); }
    ScopedRegistry(const ScopedRegistry&) = delete;
    ScopedRegistry& operator=(const ScopedRegistry&) = delete;

    MemoryKeyStore store;
};

}  // namespace orv::test
