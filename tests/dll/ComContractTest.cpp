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

class Module : public ServerFixture {
protected:
    std::wstring Built() const
    {
        wchar_t built[MAX_PATH] = {};
        EXPECT_NE(GetModuleFileNameW(server.Module(), built, MAX_PATH), 0u);
        return built;
    }

    // A string value; empty when there is none.
    static std::wstring Text(HKEY root, const std::wstring& key, const wchar_t* name = nullptr)
    {
        wchar_t text[MAX_PATH] = {};
        DWORD size = sizeof text;
        RegGetValueW(root, key.c_str(), name, RRF_RT_REG_SZ, nullptr, text, &size);
        return text;
    }

    static DWORD Subkeys(HKEY root)
    {
        DWORD keys = 0;
        RegQueryInfoKeyW(root, nullptr, nullptr, nullptr, &keys, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         nullptr);
        return keys;
    }
};

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

// The server registers the file it was loaded from, and only when the registry's ANSI
// strings can name that file exactly; otherwise it writes nothing at all.
TEST_F(Module, RegistersItsOwnPathOnlyWhereTheRegistryCanNameIt)
{
    const struct {
        const char* name;
        HRESULT result;
    } copies[] = {
        // Cyrillic, outside the ANSI code page the tests run with.
        {"\xD0\x94\xD0\xBE\xD0\xBC.dll", SELFREG_E_CLASS},
        {"copy.dll", S_OK},
    };
    for (const auto& c : copies) {
        SCOPED_TRACE(c.name);
        std::string path = scratch.PathOf(c.name);
        ASSERT_TRUE(std::filesystem::copy_file(Built(), PathFromUtf8(path)));
        {
            host::ServerModule copy(path);
            ASSERT_TRUE(copy.Loaded());
            EXPECT_EQ(copy.Register(), c.result);
        }
        const wchar_t serverKey[] = L"CLSID\\{7C5A2E1B-3F4D-4B8A-9E62-0D1F5A8C3B47}\\InprocServer32";
        EXPECT_EQ(Utf8Of(Text(HKEY_CLASSES_ROOT, serverKey)), c.result == S_OK ? path : "");
        EXPECT_EQ(Subkeys(HKEY_CLASSES_ROOT) == 0, c.result != S_OK);
    }
}

// regsvr32 /n /i:user registers for the current user alone: the user's classes and
// settings hold the classes and handlers, the machine's stay empty; removing it takes
// every value away again. Other command lines are refused.
TEST_F(Module, InstallsForTheUserAloneAndRemovesItAgain)
{
    using Install = HRESULT(STDAPICALLTYPE*)(BOOL, LPCWSTR);
    auto install = reinterpret_cast<Install>(reinterpret_cast<void*>(GetProcAddress(server.Module(), "DllInstall")));
    ASSERT_NE(install, nullptr);
    const struct {
        const wchar_t* key;
        const wchar_t* name;
        std::wstring data;
    } values[] = {
        {L"Software\\Classes\\CLSID\\{7C5A2E1B-3F4D-4B8A-9E62-0D1F5A8C3B47}\\InprocServer32", nullptr, Built()},
        {L"Software\\Classes\\.mod\\ShellEx\\{e357fccd-a995-4576-b01f-234630154e96}", nullptr,
         L"{C2BBCA67-AC29-4A7E-8BE4-04ECBB46C0B2}"},
        {L"Software\\Microsoft\\Windows\\CurrentVersion\\PreviewHandlers", L"{5868E1BB-86E9-4686-B1B0-668DDAB2653C}",
         L"Orvenstaal Preview Handler"},
    };
    EXPECT_EQ(install(TRUE, L"machine"), E_INVALIDARG);
    EXPECT_EQ(install(TRUE, nullptr), E_INVALIDARG);
    for (bool installed : {true, false}) {
        SCOPED_TRACE(installed ? "installed" : "removed");
        EXPECT_EQ(install(installed, installed ? L"user" : L"USER"), S_OK);
        for (const auto& v : values)
            EXPECT_EQ(Text(HKEY_CURRENT_USER, v.key, v.name), installed ? v.data : L"") << Utf8Of(v.key);
        EXPECT_EQ(Subkeys(HKEY_CLASSES_ROOT), 0u);
        EXPECT_EQ(Subkeys(HKEY_LOCAL_MACHINE), 0u);
    }
}

}  // namespace
}  // namespace orv::test
