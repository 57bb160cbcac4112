#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "RegistryAccessCases.h"
#include "server/win32/Win32KeyStore.h"
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
