#include "RedirectedRegistry.h"
#include "RegistryAccessCases.h"

namespace orv::test {

INSTANTIATE_TYPED_TEST_SUITE_P(Win32, RegistryAccessCases, RedirectedRegistry);

}  // namespace orv::test
