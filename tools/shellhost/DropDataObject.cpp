#include "DropDataObject.h"

#include <shlobj.h>

#include <cstring>

namespace orv::host {

HGLOBAL MakeDropList(const std::vector<std::string>& paths)
{
    // DROPFILES, then each path as ANSI with its terminator, then one more zero.
    size_t size = sizeof(DROPFILES) + 1;
    for (const std::string& path : paths)
        size += path.size() + 1;
    HGLOBAL global = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (global == nullptr)
        return nullptr;
    auto* drop = static_cast<DROPFILES*>(GlobalLock(global));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = FALSE;
    char* cursor = reinterpret_cast<char*>(drop + 1);
    for (const std::string& path : paths) {
        std::memcpy(cursor, path.c_str(), path.size() + 1);
        cursor += path.size() + 1;
    }
    GlobalUnlock(global);
    return global;
}

IDataObject* DropDataObject::Create(std::vector<std::string> paths, bool offerDrop)
{
    return new DropDataObject(std::move(paths), offerDrop);
}

DropDataObject::DropDataObject(std::vector<std::string> paths, bool offerDrop)
    : paths(std::move(paths)), offerDrop(offerDrop)
{
}

HRESULT STDMETHODCALLTYPE DropDataObject::QueryInterface(REFIID iid, void** out)
{
    *out = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IDataObject))
        return E_NOINTERFACE;
    *out = static_cast<IDataObject*>(this);
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE DropDataObject::AddRef()
{
    return InterlockedIncrement(&refCount);
}

ULONG STDMETHODCALLTYPE DropDataObject::Release()
{
    LONG count = InterlockedDecrement(&refCount);
    if (count == 0)
        delete this;
    return count;
}

HRESULT STDMETHODCALLTYPE DropDataObject::QueryGetData(FORMATETC* format)
{
    if (!offerDrop || format->cfFormat != CF_HDROP)
        return DV_E_FORMATETC;
    return (format->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_TYMED;
}

HRESULT STDMETHODCALLTYPE DropDataObject::GetData(FORMATETC* format, STGMEDIUM* medium)
{
    HRESULT result = QueryGetData(format);
    if (FAILED(result))
        return result;
    HGLOBAL global = MakeDropList(paths);
    if (global == nullptr)
        return E_OUTOFMEMORY;
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = global;
    medium->pUnkForRelease = nullptr;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE DropDataObject::GetDataHere(FORMATETC*, STGMEDIUM*)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE DropDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out)
{
    out->ptd = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE DropDataObject::SetData(FORMATETC*, STGMEDIUM*, BOOL)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE DropDataObject::EnumFormatEtc(DWORD, IEnumFORMATETC** out)
{
    *out = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE DropDataObject::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*)
{
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT STDMETHODCALLTYPE DropDataObject::DUnadvise(DWORD)
{
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT STDMETHODCALLTYPE DropDataObject::EnumDAdvise(IEnumSTATDATA** out)
{
    *out = nullptr;
    return OLE_E_ADVISENOTSUPPORTED;
}

}  // namespace orv::host
