#include <gtest/gtest.h>

#include <string>

#include "DropDataObject.h"
#include "InfoFileBuilder.h"
#include "ScratchFolder.h"
#include "ServerFixture.h"
#include "server/win32/ClassId.h"
#include "shell/win32/ShellInterfaces.h"

namespace orv::test {
namespace {

using Microsoft::WRL::ComPtr;

std::vector<uint8_t> SmallDataFile()
{
    return InfoFileBuilder().Info("Layers", "Walls", "A").Build();
}

class ComContract : public ServerFixture {
protected:
    ScratchFolder scratch;
    std::string dataFile = scratch.Write("table.qpd", SmallDataFile());

    HRESULT InitializeWith(IShellExtInit* init, std::vector<std::string> paths, bool offerDrop = true)
    {
        ComPtr<IDataObject> data;
        data.Attach(host::DropDataObject::Create(std::move(paths), offerDrop));
        return init->Initialize(nullptr, data.Get(), nullptr);
    }
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
    ComPtr<IUnknown> viewer;
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
}

TEST_F(ComContract, InitializeBindsExactlyOneClaimedFile)
{
    ComPtr<IShellExtInit> init = Create<IShellExtInit>(IID_IShellExtInit);
    ComPtr<IShellPropSheetExt> sheet;
    ASSERT_EQ(init.As(&sheet), S_OK);
    auto refuse = [](HPROPSHEETPAGE, LPARAM) -> BOOL { return FALSE; };

    EXPECT_EQ(init->Initialize(nullptr, nullptr, nullptr), E_FAIL);
    EXPECT_EQ(InitializeWith(init.Get(), {dataFile}, false), DV_E_FORMATETC);
    EXPECT_EQ(InitializeWith(init.Get(), {}), E_FAIL);
    EXPECT_EQ(InitializeWith(init.Get(), {dataFile, dataFile}), E_FAIL);
    EXPECT_EQ(sheet->AddPages(refuse, 0), E_FAIL);
    EXPECT_EQ(InitializeWith(init.Get(), {scratch.PathOf("notes.txt")}), E_FAIL);
    EXPECT_EQ(InitializeWith(init.Get(), {dataFile}), S_OK);
    EXPECT_EQ(sheet->AddPages(refuse, 0), S_OK);
}

TEST_F(ComContract, RefusedPagesGiveTheirReferenceBack)
{
    ComPtr<IShellExtInit> init = Create<IShellExtInit>(IID_IShellExtInit);
    ASSERT_EQ(InitializeWith(init.Get(), {dataFile}), S_OK);
    ComPtr<IShellPropSheetExt> sheet;
    ASSERT_EQ(init.As(&sheet), S_OK);
    ULONG before = RefCount(init.Get());
    int offered = 0;
    auto refuse = [](HPROPSHEETPAGE, LPARAM counter) -> BOOL {
        ++*reinterpret_cast<int*>(counter);
        return FALSE;
    };
    EXPECT_EQ(sheet->AddPages(refuse, reinterpret_cast<LPARAM>(&offered)), S_OK);
    EXPECT_EQ(offered, 1);
    EXPECT_EQ(RefCount(init.Get()), before);
}

TEST_F(ComContract, AcceptedPagesHoldTheObjectUntilDestroyed)
{
    ComPtr<IShellExtInit> init = Create<IShellExtInit>(IID_IShellExtInit);
    ASSERT_EQ(InitializeWith(init.Get(), {dataFile}), S_OK);
    ComPtr<IShellPropSheetExt> sheet;
    ASSERT_EQ(init.As(&sheet), S_OK);
    std::vector<HPROPSHEETPAGE> pages;
    auto keep = [](HPROPSHEETPAGE page, LPARAM list) -> BOOL {
        reinterpret_cast<std::vector<HPROPSHEETPAGE>*>(list)->push_back(page);
        return TRUE;
    };
    ULONG before = RefCount(init.Get());
    ASSERT_EQ(sheet->AddPages(keep, reinterpret_cast<LPARAM>(&pages)), S_OK);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(RefCount(init.Get()), before + 1);
    sheet.Reset();
    init.Reset();
    EXPECT_EQ(server.CanUnloadNow(), S_FALSE);
    DestroyPropertySheetPage(pages[0]);
    EXPECT_EQ(server.CanUnloadNow(), S_OK);
}

TEST_F(ComContract, IconsForBoundAndUnboundObjects)
{
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

    std::wstring wide(dataFile.begin(), dataFile.end());
    ASSERT_EQ(persist->Load(wide.c_str(), STGM_READ), S_OK);
    ASSERT_EQ(extract->Extract(location, 0, &large, &small, MAKELONG(32, 16)), S_OK);
    // The module's own icon 151 for ".qpd", handed out as both sizes.
    EXPECT_EQ(large, LoadIconA(server.Module(), MAKEINTRESOURCEA(151)));
    EXPECT_EQ(small, large);
}

TEST_F(ComContract, LoadTwiceServesTheSecondFile)
{
    std::string fonts = scratch.Write("fonts.vec", InfoFileBuilder().FontTable("MACT", 1, "Chicago").Version(1, "1.0").Build());
    ComPtr<IPersistFile> persist = Create<IPersistFile>(IID_IPersistFile);
    ComPtr<IExtractIconA> extract;
    ASSERT_EQ(persist.As(&extract), S_OK);
    std::wstring first(dataFile.begin(), dataFile.end());
    std::wstring second(fonts.begin(), fonts.end());
    ASSERT_EQ(persist->Load(first.c_str(), STGM_READ), S_OK);
    ASSERT_EQ(persist->Load(second.c_str(), STGM_READ), S_OK);
    HICON large = nullptr;
    HICON small = nullptr;
    ASSERT_EQ(extract->Extract("", 0, &large, &small, MAKELONG(32, 16)), S_OK);
    EXPECT_EQ(large, LoadIconA(server.Module(), MAKEINTRESOURCEA(174)));
}

TEST_F(ComContract, PreviewIconsSettingIsCreatedAndRepaired)
{
    HKEY settings = nullptr;
    const char* key = "Software\\Orvenstaal\\ShellExtension";
    auto readSetting = [&](DWORD& type, DWORD& value) {
        DWORD size = sizeof value;
        return RegGetValueA(HKEY_CURRENT_USER, key, "PreviewIcons", RRF_RT_ANY, &type, &value, &size) == ERROR_SUCCESS;
    };
    DWORD type = 0;
    DWORD value = 0;
    ASSERT_FALSE(readSetting(type, value));
    Create<IUnknown>(IID_IUnknown);
    ASSERT_TRUE(readSetting(type, value));
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(value, 1u);

    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &settings, nullptr), ERROR_SUCCESS);
    RegSetValueExA(settings, "PreviewIcons", 0, REG_SZ, reinterpret_cast<const BYTE*>("0"), 2);
    Create<IUnknown>(IID_IUnknown);
    ASSERT_TRUE(readSetting(type, value));
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(value, 1u);

    // Off: the fixed icon, read without opening the file, so even a missing one gets it.
    DWORD off = 0;
    RegSetValueExA(settings, "PreviewIcons", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&off), 4);
    RegCloseKey(settings);
    ComPtr<IPersistFile> persist = Create<IPersistFile>(IID_IPersistFile);
    ComPtr<IExtractIconA> extract;
    ASSERT_EQ(persist.As(&extract), S_OK);
    ASSERT_EQ(persist->Load(L"C:\\missing\\gone.qdd", STGM_READ), S_OK);
    HICON large = nullptr;
    HICON small = nullptr;
    ASSERT_EQ(extract->Extract("", 0, &large, &small, MAKELONG(48, 24)), S_OK);
    EXPECT_EQ(large, LoadIconA(server.Module(), MAKEINTRESOURCEA(150)));
    ASSERT_TRUE(readSetting(type, value));
    EXPECT_EQ(value, 0u);
}

TEST_F(ComContract, QuickViewNeedsAViewer)
{
    ComPtr<IPersistFile> persist = Create<IPersistFile>(IID_IPersistFile);
    ComPtr<IFileViewerA> viewer;
    ASSERT_EQ(persist->QueryInterface(IID_IFileViewerA, reinterpret_cast<void**>(viewer.GetAddressOf())), S_OK);
    FVSHOWINFO info = {};
    info.cbSize = sizeof info;
    EXPECT_EQ(viewer->Show(&info), E_UNEXPECTED);
    EXPECT_EQ(viewer->ShowInitialize(nullptr), E_FAIL);
    EXPECT_EQ(viewer->PrintTo(nullptr, TRUE), E_NOTIMPL);
}

}  // namespace
}  // namespace orv::test
