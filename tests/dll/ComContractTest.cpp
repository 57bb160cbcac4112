#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "InfoFileBuilder.h"
#include "ScratchFolder.h"
#include "ServerFixture.h"
#include "module/win32/ClassId.h"

namespace orv::test {
namespace {

using Microsoft::WRL::ComPtr;

class ComContract : public ServerFixture {
protected:
    ScratchFolder scratch;
    std::string dataFile = scratch.Write("table.qpd", InfoFileBuilder().Info("Layers", "Walls", "A").Build());
};

TEST_F(ComContract, TheFactoryIsStaticUncountedAndServesOnlyItsClass)
{
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    auto get = reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(server.Module(), "DllGetClassObject")));
    ASSERT_NE(get, nullptr);
    IClassFactory* first = nullptr;
    IClassFactory* second = nullptr;
    ASSERT_EQ(get(ServerClassId, IID_IClassFactory, reinterpret_cast<void**>(&first)), S_OK);
    ASSERT_EQ(get(ServerClassId, IID_IUnknown, reinterpret_cast<void**>(&second)), S_OK);
    EXPECT_EQ(static_cast<IUnknown*>(first), static_cast<IUnknown*>(second));
    EXPECT_EQ(first->AddRef(), 1u);
    EXPECT_EQ(first->Release(), 1u);

    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(get(IID_IClassFactory, IID_IClassFactory, &out), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(out, nullptr);
    out = reinterpret_cast<void*>(1);
    EXPECT_EQ(first->QueryInterface(IID_IShellExtInit, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(server.CanUnloadNow(), S_OK);
}

TEST_F(ComContract, ObjectsAndLocksKeepTheModuleLoaded)
{
    IClassFactory* factory = server.Factory();
    void* out = reinterpret_cast<void*>(1);
    ComPtr<IUnknown> outer = Create<IUnknown>(IID_IUnknown);
    ASSERT_TRUE(outer);
    EXPECT_EQ(factory->CreateInstance(outer.Get(), IID_IUnknown, &out), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(server.CanUnloadNow(), S_FALSE);
    outer.Reset();
    EXPECT_EQ(server.CanUnloadNow(), S_OK);

    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IDropTarget, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(server.CanUnloadNow(), S_OK);

    factory->LockServer(TRUE);
    EXPECT_EQ(server.CanUnloadNow(), S_FALSE);
    factory->LockServer(FALSE);
    EXPECT_EQ(server.CanUnloadNow(), S_OK);
}

TEST_F(ComContract, OneObjectAnswersForAllItsInterfaces)
{
    ComPtr<IUnknown> object = Create<IUnknown>(IID_IUnknown);
    ASSERT_TRUE(object);
    EXPECT_EQ(RefCount(object.Get()), 1u);
    ComPtr<IShellPropSheetExt> sheet;
    ComPtr<IShellExtInit> init;
    ComPtr<IPersist> persist;
    ComPtr<IPersistFile> persistFile;
    ComPtr<IExtractIconA> extract;
    ComPtr<IFileViewerA> viewer;
    ASSERT_EQ(object.As(&sheet), S_OK);
    ASSERT_EQ(object.As(&init), S_OK);
    ASSERT_EQ(object.As(&persist), S_OK);
    ASSERT_EQ(object.As(&persistFile), S_OK);
    ASSERT_EQ(object.As(&extract), S_OK);
    ASSERT_EQ(object->QueryInterface(IID_IFileViewerA, reinterpret_cast<void**>(viewer.GetAddressOf())), S_OK);
    EXPECT_EQ(static_cast<IUnknown*>(sheet.Get()), object.Get());
    EXPECT_EQ(static_cast<void*>(persist.Get()), static_cast<void*>(persistFile.Get()));
    EXPECT_EQ(RefCount(object.Get()), 7u);

    ComPtr<IDropTarget> other;
    EXPECT_EQ(object.As(&other), E_NOINTERFACE);
    EXPECT_FALSE(other);

    CLSID classId = {};
    EXPECT_EQ(persist->GetClassID(&classId), S_OK);
    EXPECT_TRUE(IsEqualCLSID(classId, ServerClassId));
    EXPECT_EQ(persistFile->IsDirty(), S_FALSE);
    EXPECT_EQ(persistFile->Save(nullptr, FALSE), E_NOTIMPL);
    EXPECT_EQ(persistFile->SaveCompleted(nullptr), E_NOTIMPL);
    LPOLESTR current = nullptr;
    EXPECT_EQ(persistFile->GetCurFile(&current), E_NOTIMPL);
    EXPECT_EQ(sheet->ReplacePage(0, nullptr, 0), E_FAIL);
    // Quick View without a viewer to show in.
    FVSHOWINFO info = {};
    info.cbSize = sizeof info;
    EXPECT_EQ(viewer->Show(&info), E_UNEXPECTED);
    EXPECT_EQ(viewer->ShowInitialize(nullptr), E_FAIL);
    EXPECT_EQ(viewer->PrintTo(nullptr, TRUE), E_NOTIMPL);
}

TEST_F(ComContract, PagesComeForOneClaimedFileAndOnlyAcceptedOnesHoldTheObject)
{
    ComPtr<IShellExtInit> init = Create<IShellExtInit>(IID_IShellExtInit);
    ComPtr<IShellPropSheetExt> sheet;
    ASSERT_EQ(init.As(&sheet), S_OK);
    struct Offered {
        BOOL accept;
        std::vector<HPROPSHEETPAGE> pages;
    } offered{FALSE, {}};
    auto add = [](HPROPSHEETPAGE page, LPARAM state) -> BOOL {
        reinterpret_cast<Offered*>(state)->pages.push_back(page);
        return reinterpret_cast<Offered*>(state)->accept;
    };
    const auto state = reinterpret_cast<LPARAM>(&offered);

    EXPECT_EQ(init->Initialize(nullptr, nullptr, nullptr), E_FAIL);
    EXPECT_EQ(InitializeWith(init.Get(), {dataFile}, false), DV_E_FORMATETC);
    EXPECT_EQ(InitializeWith(init.Get(), {}), E_FAIL);
    EXPECT_EQ(InitializeWith(init.Get(), {dataFile, dataFile}), E_FAIL);
    EXPECT_EQ(sheet->AddPages(add, state), E_FAIL);
    EXPECT_TRUE(offered.pages.empty());
    EXPECT_EQ(InitializeWith(init.Get(), {scratch.PathOf("notes.txt")}), E_FAIL);
    ASSERT_EQ(InitializeWith(init.Get(), {dataFile}), S_OK);

    ULONG before = RefCount(init.Get());
    EXPECT_EQ(sheet->AddPages(add, state), S_OK);
    EXPECT_EQ(offered.pages.size(), 1u);
    EXPECT_EQ(RefCount(init.Get()), before) << "a refused page kept its reference";

    offered = {TRUE, {}};
    ASSERT_EQ(sheet->AddPages(add, state), S_OK);
    ASSERT_EQ(offered.pages.size(), 1u);
    EXPECT_EQ(RefCount(init.Get()), before + 1);
    sheet.Reset();
    init.Reset();
    EXPECT_EQ(server.CanUnloadNow(), S_FALSE);
    DestroyPropertySheetPage(offered.pages[0]);
    EXPECT_EQ(server.CanUnloadNow(), S_OK);
}

TEST_F(ComContract, IconsComeOnlyFromTheLastFileLoaded)
{
    std::string fonts = scratch.Write("fonts.vec", InfoFileBuilder().FontTable("MACT", 1, "Chicago").Version(1, "1.0").Build());
    ComPtr<IPersistFile> persist = Create<IPersistFile>(IID_IPersistFile);
    ComPtr<IExtractIconA> extract;
    ASSERT_EQ(persist.As(&extract), S_OK);
    UINT flags = 0;
    int index = 0;
    char location[MAX_PATH];
    EXPECT_EQ(extract->GetIconLocation(0, location, MAX_PATH, &index, &flags), S_OK);
    EXPECT_EQ(flags, 0x1Au);

    HICON large = nullptr;
    HICON small = nullptr;
    EXPECT_EQ(extract->Extract(location, 0, &large, &small, MAKELONG(32, 16)), S_FALSE);
    EXPECT_EQ(persist->Load(L"C:\\no\\such.txt", STGM_READ), E_FAIL);
    EXPECT_EQ(extract->Extract(location, 0, &large, &small, MAKELONG(32, 16)), S_FALSE);

    ASSERT_EQ(persist->Load(std::filesystem::path(dataFile).c_str(), STGM_READ), S_OK);
    ASSERT_EQ(extract->Extract(location, 0, &large, &small, MAKELONG(32, 16)), S_OK);
    // The module's own icon 151 for ".qpd", handed out as both sizes.
    EXPECT_EQ(large, LoadIconA(server.Module(), MAKEINTRESOURCEA(151)));
    EXPECT_EQ(small, large);

    ASSERT_EQ(persist->Load(std::filesystem::path(fonts).c_str(), STGM_READ), S_OK);
    ASSERT_EQ(extract->Extract("", 0, &large, &small, MAKELONG(32, 16)), S_OK);
    EXPECT_EQ(large, LoadIconA(server.Module(), MAKEINTRESOURCEA(174)));
}

TEST_F(ComContract, PreviewIconsSettingIsCreatedAndRepaired)
{
    const char* key = "Software\\Orvenstaal\\ShellExtension";
    DWORD type = 0;
    DWORD value = 0;
    auto readSetting = [&] {
        DWORD size = sizeof value;
        return RegGetValueA(HKEY_CURRENT_USER, key, "PreviewIcons", RRF_RT_ANY, &type, &value, &size) == ERROR_SUCCESS;
    };
    ASSERT_FALSE(readSetting());
    // Missing, then stored as a string: each new object makes it the DWORD 1.
    for (bool storedAsString : {false, true}) {
        if (storedAsString) {
            ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, key, "PreviewIcons", REG_SZ, "0", 2), ERROR_SUCCESS);
        }
        Create<IUnknown>(IID_IUnknown);
        ASSERT_TRUE(readSetting());
        EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
        EXPECT_EQ(value, 1u);
    }

    // Off: the fixed icon, read without opening the file, so even a missing one gets it.
    DWORD off = 0;
    ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, key, "PreviewIcons", REG_DWORD, &off, 4), ERROR_SUCCESS);
    HICON large = nullptr;
    HICON small = nullptr;
    ASSERT_EQ(ExtractIcons("C:\\missing\\gone.qdd", large, small, MAKELONG(48, 24)), S_OK);
    EXPECT_EQ(large, LoadIconA(server.Module(), MAKEINTRESOURCEA(150)));
    ASSERT_TRUE(readSetting());
    EXPECT_EQ(value, 0u);
}

}  // namespace
}  // namespace orv::test
