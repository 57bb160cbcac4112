#pragma once
// What mingw-w64 lacks of the shell's interfaces. The Quick View interfaces are
// declared from their published layout: mingw-w64 has them only for old target
// versions, and there without the IUnknown base. IExtractIconA lacks its uuid.
#include <windows.h>
#include <objbase.h>
#include <shlguid.h>
#include <shlobj.h>

struct IFileViewerSite : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE SetPinnedWindow(HWND window) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetPinnedWindow(HWND* window) = 0;
};

#include <pshpack8.h>
struct FVSHOWINFO {
    DWORD cbSize;
    HWND hwndOwner;
    int iShow;
    DWORD dwFlags;
    RECT rect;
    IUnknown* punkRel;
    OLECHAR strNewFile[MAX_PATH];
};
#include <poppack.h>

#ifndef FVSIF_RECT
#define FVSIF_RECT 0x00000001
#define FVSIF_PINNED 0x00000002
#define FVSIF_NEWFAILED 0x08000000
#define FVSIF_NEWFILE 0x80000000
#define FVSIF_CANVIEWIT 0x40000000
#endif

struct IFileViewerA : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE ShowInitialize(IFileViewerSite* site) = 0;
    virtual HRESULT STDMETHODCALLTYPE Show(FVSHOWINFO* info) = 0;
    virtual HRESULT STDMETHODCALLTYPE PrintTo(LPSTR driver, BOOL suppressUI) = 0;
};

__CRT_UUID_DECL(IExtractIconA, 0x000214eb, 0, 0, 0xc0, 0, 0, 0, 0, 0, 0, 0x46)
__CRT_UUID_DECL(IFileViewerA, 0x000214f0, 0, 0, 0xc0, 0, 0, 0, 0, 0, 0, 0x46)
__CRT_UUID_DECL(IFileViewerSite, 0x000214f3, 0, 0, 0xc0, 0, 0, 0, 0, 0, 0, 0x46)
