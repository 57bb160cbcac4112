#pragma once
#include <windows.h>
#include <objidl.h>
#include <wrl/client.h>

#include <string>
#include <vector>

namespace orv::host {

// The files (UTF-8 paths) as one CF_HDROP block of UTF-16 names, as a drop delivers them.
HGLOBAL MakeDropList(const std::vector<std::string>& paths);

// A data object as Explorer hands one to a property sheet handler: the selected
// files (UTF-8 paths) as a CF_HDROP of UTF-16 names. Every medium it gives holds a
// reference on it until released, so a count left over shows a medium kept.
class DropDataObject final : public IDataObject {
public:
    // What GetData gives for CF_HDROP: the drop list, nothing at all, or, as a faulty
    // source might, a stream in place of the memory asked for.
    enum class Medium { Drop, None, Stream };

    static Microsoft::WRL::ComPtr<IDataObject> Create(const std::vector<std::string>& paths,
                                                      Medium medium = Medium::Drop);

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
    DropDataObject(const std::vector<std::string>& paths, Medium medium);
    ~DropDataObject();

    LONG refCount = 1;
    Medium medium;
    HGLOBAL drop;
};

}  // namespace orv::host
