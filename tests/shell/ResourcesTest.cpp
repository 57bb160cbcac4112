#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <vector>

// The module's resources, linked into this program and read back from it; the pages'
// texts and which icon each file type is given are checked through the server.
namespace orv {
namespace {

std::vector<unsigned char> ResourceBytes(LPCSTR name, LPCSTR type)
{
    HRSRC found = FindResourceA(nullptr, name, type);
    if (!found)
        return {};
    auto* data = static_cast<const unsigned char*>(LockResource(LoadResource(nullptr, found)));
    return {data, data + SizeofResource(nullptr, found)};
}

TEST(Icons, EveryGroupLoadsWithAPictureOfItsOwn)
{
    std::set<std::vector<unsigned char>> pictures;
    for (UINT id = 150; id <= 179; ++id) {
        if (id == 157 || id == 176)
            continue;
        EXPECT_NE(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id)), nullptr) << "icon " << id;
        // The image of the group that best fits 32 x 32.
        std::vector<unsigned char> directory = ResourceBytes(MAKEINTRESOURCEA(id), RT_GROUP_ICON);
        ASSERT_FALSE(directory.empty()) << "icon " << id;
        int image = LookupIconIdFromDirectoryEx(directory.data(), TRUE, 32, 32, LR_DEFAULTCOLOR);
        std::vector<unsigned char> picture = ResourceBytes(MAKEINTRESOURCEA(image), RT_ICON);
        ASSERT_FALSE(picture.empty()) << "icon " << id;
        EXPECT_TRUE(pictures.insert(picture).second) << "icon " << id << " repeats another";
    }
}

}  // namespace
}  // namespace orv
