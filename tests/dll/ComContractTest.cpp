#include <gtest/gtest.h>
#include <windows.h>
#include <olectl.h>

#include <filesystem>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "InfoFileBuilder.h"
#include "ServerFixture.h"
#include "module/win32/ClassId.h"

namespace orv::test {
namespace {

class ComContract : public ServerFixture {};

TEST_F(ComContract, TheFactoryIsStaticAndObjectsAndLocksKeepTheModuleLoaded)
{
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    auto get = reinterpret_cast<GetClassObject>(
        reinterpret_cast<void*>(GetProcAddress(server.Module(), "DllGetClassObject")));
    ASSERT_NE(get, nullptr);
    IClassFactory* factory = server.Factory();
    void* out = nullptr;
    ASSERT_EQ(get(ServerClassId, IID_IUnknown, &out), S_OK);
    EXPECT_EQ(out, static_cast<IUnknown*>(factory));
    EXPECT_EQ(factory->AddRef(), 1u);
    EXPECT_EQ(factory->Release(), 1u);
    // Refusals leave no pointer behind.
    out = reinterpret_cast<void*>(1);
    EXPECT_EQ(get(IID_IClassFactory, IID_IClassFactory, &out), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(out, nullptr);
    out = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory->QueryInterface(IID_IShellExtInit, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(server.CanUnloadNow(), S_OK);

    ComPtr<IUnknown> outer = Create<IUnknown>(IID_IUnknown);
    ASSERT_TRUE(outer);
    out = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory->CreateInstance(outer.Get(), IID_IUnknown, &out), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(server.CanUnloadNow(), S_FALSE);
    outer.Reset();
    // An object asked for an interface it lacks is gone at once.
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IDropTarget, &out), E_NOINTERFACE);
    EXPECT_EQ(server.CanUnloadNow(), S_OK);
    factory->LockServer(TRUE);
    EXPECT_EQ(server.CanUnloadNow(), S_FALSE);
    factory->LockServer(FALSE);
}

TEST_F(ComContract, OneObjectAnswersForAllItsInterfaces)
{
    ComPtr<IUnknown> object = Create<IUnknown>(IID_IUnknown);
    ASSERT_TRUE(object);
    std::vector<ComPtr<IUnknown>> held;
    for (const IID* iid : {&IID_IShellPropSheetExt, &IID_IShellExtInit, &IID_IPersist, &IID_IPersistFile,
                           &IID_IExtractIconA, &IID_IFileViewerA}) {
        ComPtr<IUnknown> face;
        ComPtr<IUnknown> identity;
        ASSERT_EQ(object->QueryInterface(*iid, reinterpret_cast<void**>(face.GetAddressOf())), S_OK);
        ASSERT_EQ(face.As(&identity), S_OK);
        EXPECT_EQ(identity, object);
        held.push_back(face);
    }
    EXPECT_EQ(RefCount(object.Get()), 7u);
    ComPtr<IDropTarget> other;
    EXPECT_EQ(object.As(&other), E_NOINTERFACE);

    CLSID classId = {};
    EXPECT_EQ(static_cast<IPersist*>(held[2].Get())->GetClassID(&classId), S_OK);
    EXPECT_TRUE(IsEqualCLSID(classId, ServerClassId));
    // Quick View without a viewer to show in.
    EXPECT_EQ(static_cast<IFileViewerA*>(held[5].Get())->ShowInitialize(nullptr), E_FAIL);
}

TEST_F(ComContract, PagesComeForOneClaimedFileAndOnlyAcceptedOnesHoldTheObject)
{
    std::string dataFile = scratch.Write("table.qpd", InfoFileBuilder().Info("Layers", "Walls", "A").Build());
    ComPtr<IShellExtInit> init = Create<IShellExtInit>(IID_IShellExtInit);
    ComPtr<IShellPropSheetExt> sheet;
    ASSERT_EQ(init.As(&sheet), S_OK);
    // The pages the sheet's add function was offered; it accepts them while the flag
    // is set.
    std::pair<BOOL, std::vector<HPROPSHEETPAGE>> offered{FALSE, {}};
    auto add = [](HPROPSHEETPAGE page, LPARAM state) -> BOOL {
        auto& [accept, pages] = *reinterpret_cast<decltype(offered)*>(state);
        pages.push_back(page);
        return accept;
    };
    auto addPages = [&] { return sheet->AddPages(add, reinterpret_cast<LPARAM>(&offered)); };
    // No data object, no drop list, a medium other than memory, more than one file or
    // one that no handler claims: each also drops the file bound before.
    using Medium = host::DropDataObject::Medium;
    const struct {
        std::vector<std::string> paths;
        Medium medium;
        HRESULT result;
    } refusals[] = {
        {{dataFile}, Medium::None, DV_E_FORMATETC},
        {{dataFile}, Medium::Stream, E_INVALIDARG},
        {{dataFile, dataFile}, Medium::Drop, E_FAIL},
        {{scratch.PathOf("notes.txt")}, Medium::Drop, E_FAIL},
    };
    ASSERT_EQ(InitializeWith(init.Get(), {dataFile}), S_OK);
    EXPECT_EQ(init->Initialize(nullptr, nullptr, nullptr), E_FAIL);
    EXPECT_EQ(addPages(), E_FAIL);
    for (const auto& refused : refusals) {
        SCOPED_TRACE(testing::Message() << refused.paths.size() << " files, medium " << int(refused.medium));
        ASSERT_EQ(InitializeWith(init.Get(), {dataFile}), S_OK);
        EXPECT_EQ(InitializeWith(init.Get(), refused.paths, refused.medium), refused.result);
        EXPECT_EQ(addPages(), E_FAIL);
    }
    ASSERT_EQ(InitializeWith(init.Get(), {dataFile}), S_OK);
    ULONG before = RefCount(init.Get());
    EXPECT_EQ(addPages(), S_OK);
    EXPECT_EQ(RefCount(init.Get()), before) << "a refused page kept its reference";
    offered.first = TRUE;
    ASSERT_EQ(addPages(), S_OK);
    ASSERT_EQ(offered.second.size(), 2u);
    EXPECT_EQ(RefCount(init.Get()), before + 1);
    sheet.Reset();
    init.Reset();
    EXPECT_EQ(server.CanUnloadNow(), S_FALSE);
    DestroyPropertySheetPage(offered.second[1]);
}

// The bytes of one of the server's resources; empty when there is none.
std::vector<unsigned char> ResourceBytes(HMODULE module, LPCSTR name, LPCSTR type)
{
    HRSRC found = FindResourceA(module, name, type);
    if (!found)
        return {};
    auto* data = static_cast<const unsigned char*>(LockResource(LoadResource(module, found)));
    return {data, data + SizeofResource(module, found)};
}

DWORD Subkeys(HKEY root)
{
    DWORD keys = 0;
    RegQueryInfoKeyW(root, nullptr, nullptr, nullptr, &keys, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                     nullptr);
    return keys;
}

class Module : public ServerFixture {};

TEST_F(Module, EveryIconGroupLoadsWithAPictureOfItsOwn)
{
    std::set<std::vector<unsigned char>> pictures;
    for (UINT id = 150; id <= 179; ++id) {
        if (id == 157 || id == 176)
            continue;
        EXPECT_NE(ModuleIcon(static_cast<int>(id)), nullptr) << "icon " << id;
        // The image of the group that best fits 32 x 32.
        std::vector<unsigned char> directory = ResourceBytes(server.Module(), MAKEINTRESOURCEA(id), RT_GROUP_ICON);
        ASSERT_FALSE(directory.empty()) << "icon " << id;
        int image = LookupIconIdFromDirectoryEx(directory.data(), TRUE, 32, 32, LR_DEFAULTCOLOR);
        std::vector<unsigned char> picture = ResourceBytes(server.Module(), MAKEINTRESOURCEA(image), RT_ICON);
        ASSERT_FALSE(picture.empty()) << "icon " << id;
        EXPECT_TRUE(pictures.insert(picture).second) << "icon " << id << " repeats another";
    }
}

// Registering from a path the registry's ANSI strings cannot name exactly writes
// nothing at all. Registering from anywhere else is proven by regsvr32 in the
// end-to-end and package runs.
TEST_F(Module, RegistersNothingFromAPathTheRegistryCannotName)
{
    wchar_t built[MAX_PATH] = {};
    ASSERT_NE(GetModuleFileNameW(server.Module(), built, MAX_PATH), 0u);
    // Cyrillic, outside the ANSI code page the tests run with.
    std::string path = scratch.PathOf("\xD0\x94\xD0\xBE\xD0\xBC.dll");
    ASSERT_TRUE(std::filesystem::copy_file(built, PathFromUtf8(path)));
    {
        host::ServerModule copy(path);
        ASSERT_TRUE(copy.Loaded());
        EXPECT_EQ(copy.Register(), SELFREG_E_CLASS);
    }
    EXPECT_EQ(Subkeys(HKEY_CLASSES_ROOT), 0u);
}

// What regsvr32 /n /i:user writes and takes away again is compared with the user's
// package in the package run. The command line is taken in any case; any other is
// refused and writes nothing.
TEST_F(Module, InstallIsForTheUserAlone)
{
    using Install = HRESULT(STDAPICALLTYPE*)(BOOL, LPCWSTR);
    auto install = reinterpret_cast<Install>(reinterpret_cast<void*>(GetProcAddress(server.Module(), "DllInstall")));
    ASSERT_NE(install, nullptr);
    EXPECT_EQ(install(TRUE, L"machine"), E_INVALIDARG);
    EXPECT_EQ(install(TRUE, nullptr), E_INVALIDARG);
    for (HKEY root : {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
        EXPECT_EQ(Subkeys(root), 0u);
    EXPECT_EQ(install(TRUE, L"USER"), S_OK);
    EXPECT_NE(Subkeys(HKEY_CURRENT_USER), 0u);
    EXPECT_EQ(install(FALSE, L"User"), S_OK);
}

}  // namespace
}  // namespace orv::test
