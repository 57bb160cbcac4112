#include <gtest/gtest.h>
#include <windows.h>

#include "RedirectedRegistry.h"
#include "RegistryAccessCases.h"
#include "util/win32/UniqueHandle.h"

namespace orv::test {

INSTANTIATE_TYPED_TEST_SUITE_P(Win32, RegistryAccessCases, RedirectedRegistry);

TEST(Win32KeyStore, RedirectionKeepsTheRealClassesRootUntouched)
{
    {
        RedirectedRegistry redirected;
        RegistryAccess registry(&redirected.Store());
        ASSERT_TRUE(registry.SetStringValue(RegistryRoot::ClassesRoot, "OrvenstaalScratch.Probe",
                                            nullptr, "x", nullptr));
    }
    unique_hkey key;
    EXPECT_NE(RegOpenKeyExA(HKEY_CLASSES_ROOT, "OrvenstaalScratch.Probe", 0, KEY_READ, key.put()),
              ERROR_SUCCESS);
}

}  // namespace orv::test
