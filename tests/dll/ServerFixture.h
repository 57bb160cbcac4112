#pragma once
// Loads the built server the way the shell does and gives tests its class factory,
// with the registry roots redirected to scratch keys.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>
#include <wrl/client.h>

#include <memory>
#include <string>

#include "DropDataObject.h"
#include "PropertySheetHost.h"
#include "RedirectedRegistry.h"
#include "ServerModule.h"

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

    // The Properties dialog of one file, as Explorer opens it: the object is
    // released once its pages are added, and the pages keep it alive.
    std::unique_ptr<host::PropertySheetHost> OpenProperties(const std::string& path, HRESULT* addPages = nullptr)
    {
        auto host = std::make_unique<host::PropertySheetHost>();
        auto init = Create<IShellExtInit>(IID_IShellExtInit);
        Microsoft::WRL::ComPtr<IDataObject> data;
        data.Attach(host::DropDataObject::Create({path}));
        HRESULT result = init->Initialize(nullptr, data.Get(), nullptr);
        Microsoft::WRL::ComPtr<IShellPropSheetExt> sheet;
        if (SUCCEEDED(result))
            result = init.As(&sheet);
        if (SUCCEEDED(result))
            result = host->AddPagesFrom(sheet.Get());
        if (addPages)
            *addPages = result;
        host->Show("Properties");
        return host;
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
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

}  // namespace orv::test
