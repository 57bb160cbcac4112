#include "DropDataObject.h"

#include <shlobj.h>

#include <cstring>

#include "WideText.h"

namespace orv::host {

// DROPFILES, then each name with its terminator, then one more zero.
HGLOBAL MakeDropList(const std::vector<std::string>& paths)
{
    std::wstring names;
    for (const std::string& path : paths)
        names += Widen(path) + L'\0';
    names += L'\0';
    size_t size = names.size() * sizeof(wchar_t);
    HGLOBAL global = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + size);
    if (global == nullptr)
        return nullptr;
    auto* drop = static_cast<DROPFILES*>(GlobalLock(global));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    std::memcpy(drop + 1, names.data(), size);
    GlobalUnlock(global);
    return global;
}

Microsoft::WRL::ComPtr<IDataObject> DropDataObject::Create(const std::vector<std::string>& paths, Medium medium)
{
    // Handed over without a further reference (ComPtr::Attach here would add one).
    Microsoft::WRL::ComPtr<IDataObject> object;
    *object.GetAddressOf() = new DropDataObject(paths, medium);
    return object;
}

DropDataObject::DropDataObject(const std::vector<std::string>& paths, Medium medium)
    : medium(medium), drop(MakeDropList(paths))
{
}

DropDataObject::~DropDataObject()
{
    GlobalFree(drop);
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
    if (medium == Medium::None || format->cfFormat != CF_HDROP)
        return DV_E_FORMATETC;
    return (format->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_TYMED;
}

HRESULT STDMETHODCALLTYPE DropDataObject::GetData(FORMATETC* format, STGMEDIUM* given)
{
    HRESULT result = QueryGetData(format);
    if (FAILED(result))
        return result;
    if (medium == Medium::Stream) {
        given->tymed = TYMED_ISTREAM;
        result = CreateStreamOnHGlobal(nullptr, TRUE, &given->pstm);
    } else {
        given->tymed = TYMED_HGLOBAL;
        given->hGlobal = drop;
        result = drop ? S_OK : E_OUTOFMEMORY;
    }
    if (FAILED(result))
        return result;
    // The drop list stays ours: releasing the medium releases this object instead.
    given->pUnkForRelease = this;
    AddRef();
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
