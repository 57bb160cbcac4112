#pragma once
// Loads the built server the way the shell does and gives tests its class factory,
// with the registry roots redirected to scratch keys, a folder for documents and the
// documents to put there.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <wrl/client.h>

#include <filesystem>
#include <string>
#include <vector>

#include "DropDataObject.h"
#include "RedirectedRegistry.h"
#include "SampleDocuments.h"
#include "ScratchFolder.h"
#include "ServerModule.h"
#include "shell/win32/ShellInterfaces.h"
#include "util/win32/UniqueHandle.h"

namespace orv::test {

using Microsoft::WRL::ComPtr;

class ServerFixture : public ::testing::Test {
protected:
    RedirectedRegistry registry;
    host::ServerModule server{"orvshell.dll"};
    ScratchFolder scratch;

    void SetUp() override { ASSERT_TRUE(server.Loaded()) << "orvshell.dll did not load"; }

    // Once a test has let go of its objects and sheets, nothing may hold the module or
    // a document, and the window classes, which would outlive an unload, went with the
    // last window of theirs.
    void TearDown() override
    {
        EXPECT_EQ(server.CanUnloadNow(), S_OK) << "an object or page outlived its test";
        WNDCLASSA windowClass = {};
        for (const char* name : {"OVVIEWER_FRAME", "OVVIEWER_VPORT", "OVPREVIEW_PANE"})
            EXPECT_FALSE(GetClassInfoA(server.Module(), name, &windowClass)) << name << " stayed registered";
        for (const auto& entry : std::filesystem::directory_iterator(scratch.Folder())) {
            EXPECT_TRUE(OpensExclusively(Utf8Of(entry.path()))) << entry.path() << " stayed open";
        }
    }

    template <typename Interface>
    ComPtr<Interface> Create(REFIID iid)
    {
        ComPtr<Interface> object;
        EXPECT_EQ(server.Create(iid, object), S_OK);
        return object;
    }

    // The files handed over as Explorer hands a selection, as a drop list; whatever
    // the answer, the medium must have been released.
    static HRESULT InitializeWith(IShellExtInit* init, const std::vector<std::string>& paths,
                                  host::DropDataObject::Medium medium = host::DropDataObject::Medium::Drop)
    {
        ComPtr<IDataObject> data = host::DropDataObject::Create(paths, medium);
        HRESULT result = init->Initialize(nullptr, data.Get(), nullptr);
        data->AddRef();
        EXPECT_EQ(data->Release(), 1u) << "a medium was kept";
        return result;
    }

    // Binds the object to the file as Explorer does (a drop list) or as a host that
    // names the file itself (Load).
    static HRESULT Bind(IUnknown* object, const std::string& path, bool load)
    {
        ComPtr<IShellExtInit> init;
        ComPtr<IPersistFile> persist;
        object->QueryInterface(IID_PPV_ARGS(&init));
        object->QueryInterface(IID_PPV_ARGS(&persist));
        return load ? persist->Load(PathFromUtf8(path).c_str(), STGM_READ) : InitializeWith(init.Get(), {path});
    }

    // The document as the shell hands it to its handlers: a stream on the file.
    static ComPtr<IStream> FileStream(const std::string& path, DWORD mode)
    {
        ComPtr<IStream> stream;
        EXPECT_EQ(SHCreateStreamOnFileEx(PathFromUtf8(path).c_str(), mode, 0, FALSE, nullptr, &stream), S_OK);
        return stream;
    }

    // The count an object holds now, read through a balanced AddRef and Release.
    static ULONG RefCount(IUnknown* object)
    {
        object->AddRef();
        return object->Release();
    }

    // A window's rectangle in its parent's client coordinates (the screen's for none).
    static RECT PlaceIn(HWND window, HWND parent = nullptr)
    {
        RECT rect = {};
        GetWindowRect(window, &rect);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }

    static bool SameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

    HICON ModuleIcon(int id) const { return LoadIconA(server.Module(), MAKEINTRESOURCEA(id)); }

    // Whether nobody holds the file.
    static bool OpensExclusively(const std::string& path)
    {
        const DWORD access = GENERIC_READ | GENERIC_WRITE;
        return static_cast<bool>(
            unique_hfile(CreateFileW(PathFromUtf8(path).c_str(), access, 0, nullptr, OPEN_EXISTING, 0, nullptr)));
    }
};

}  // namespace orv::test
