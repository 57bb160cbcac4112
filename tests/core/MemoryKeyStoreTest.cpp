#include <gtest/gtest.h>

#include "RegistryAccessCases.h"
#include "registry/MemoryKeyStore.h"

namespace orv {
namespace test {

struct MemoryStore {
    MemoryKeyStore store;
    KeyStore& Store() { return store; }
};

INSTANTIATE_TYPED_TEST_SUITE_P(Memory, RegistryAccessCases, MemoryStore);

}  // namespace test
}  // namespace orv
