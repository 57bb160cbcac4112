#pragma once
#include <windows.h>
#include <objidl.h>

#include <string>
#include <vector>

namespace orv::host {

// The files as one CF_HDROP block (DROPFILES and ANSI paths), as a drop delivers them.
HGLOBAL MakeDropList(const std::vector<std::string>& paths);

// A data object as Explorer hands one to a property sheet handler: the selected
// files as CF_HDROP. Without files it offers no CF_HDROP at all.
class DropDataObject final : public IDataObject {
public:
    static IDataObject* Create(std::vector<std::string> paths, bool offerDrop = true);

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IDataObject
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) override;
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) override;
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override;
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override;
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD connection) override;
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** out) override;

private:
    DropDataObject(std::vector<std::string> paths, bool offerDrop);
    ~DropDataObject() = default;

    LONG refCount = 1;
    std::vector<std::string> paths;
    bool offerDrop;
};

}  // namespace orv::host
