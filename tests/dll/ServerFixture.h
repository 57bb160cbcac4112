#pragma once
// Loads the built server the way the shell does and gives tests its class factory,
// with the registry roots redirected to scratch keys.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>
#include <wrl/client.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "DropDataObject.h"
#include "PropertySheetHost.h"
#include "RedirectedRegistry.h"
#include "ServerModule.h"
#include "shell/win32/ShellInterfaces.h"
#include "util/win32/UniqueHandle.h"

namespace orv::test {

class ServerFixture : public ::testing::Test {
protected:
    RedirectedRegistry registry;
    host::ServerModule server{"orvshell.dll"};

    void SetUp() override { ASSERT_TRUE(server.Loaded()) << "orvshell.dll did not load"; }

    template <typename Interface>
    Microsoft::WRL::ComPtr<Interface> Create(REFIID iid)
    {
        Microsoft::WRL::ComPtr<Interface> object;
        EXPECT_EQ(server.Create(iid, object), S_OK);
        return object;
    }

    // The files handed over as Explorer hands a selection, as a drop list.
    static HRESULT InitializeWith(IShellExtInit* init, std::vector<std::string> paths, bool offerDrop = true)
    {
        Microsoft::WRL::ComPtr<IDataObject> data;
        data.Attach(host::DropDataObject::Create(std::move(paths), offerDrop));
        return init->Initialize(nullptr, data.Get(), nullptr);
    }

    // The Properties dialog of one file, as Explorer opens it: the object is
    // released once its pages are added, and the pages keep it alive.
    std::unique_ptr<host::PropertySheetHost> OpenProperties(const std::string& path, HRESULT* addPages = nullptr)
    {
        auto host = std::make_unique<host::PropertySheetHost>();
        auto init = Create<IShellExtInit>(IID_IShellExtInit);
        Microsoft::WRL::ComPtr<IShellPropSheetExt> sheet;
        HRESULT result = InitializeWith(init.Get(), {path});
        if (SUCCEEDED(result))
            result = init.As(&sheet);
        if (SUCCEEDED(result))
            result = host->AddPagesFrom(sheet.Get());
        if (addPages)
            *addPages = result;
        host->Show("Properties");
        return host;
    }

    // The icons the shell is given for a file by a new object loaded with it.
    HRESULT ExtractIcons(const std::string& path, HICON& large, HICON& small, UINT sizes = MAKELONG(32, 16))
    {
        auto persist = Create<IPersistFile>(IID_IPersistFile);
        Microsoft::WRL::ComPtr<IExtractIconA> extract;
        HRESULT result = persist.As(&extract);
        if (SUCCEEDED(result))
            result = persist->Load(std::filesystem::path(path).c_str(), STGM_READ);
        return SUCCEEDED(result) ? extract->Extract("", 0, &large, &small, sizes) : result;
    }
};

// The control of a page, or null.
inline const host::ControlInfo* FindControl(const host::PageInfo& page, int id)
{
    for (const host::ControlInfo& control : page.controls)
        if (control.id == id)
            return &control;
    return nullptr;
}

// The count an object holds now, read through a balanced AddRef and Release.
inline ULONG RefCount(IUnknown* object)
{
    object->AddRef();
    return object->Release();
}

// Whether nobody holds the file: a document must never stay open after a call.
inline bool OpensExclusively(const std::string& path)
{
    return static_cast<bool>(
        unique_hfile(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr)));
}

}  // namespace orv::test
