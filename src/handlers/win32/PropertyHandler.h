#pragma once
#include <windows.h>
#include <propsys.h>
#include <wrl/client.h>

#include <set>
#include <string>

#include "handlers/DocumentProperties.h"
#include "shell/win32/ComObject.h"

namespace orv {

// The shell's property handler for the Details columns: reads the document from the
// stream once, serves what its pages show as system properties, and writes the
// editable ones back with the pages' writers when the stream was opened for writing.
class PropertyHandler final
    : public ComObject<IInitializeWithStream, IPropertyStore, IPropertyStoreCapabilities> {
public:
    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) noexcept override;

    // IInitializeWithStream
    HRESULT STDMETHODCALLTYPE Initialize(IStream* stream, DWORD mode) noexcept override;

    // IPropertyStore
    HRESULT STDMETHODCALLTYPE GetCount(DWORD* count) noexcept override;
    HRESULT STDMETHODCALLTYPE GetAt(DWORD index, PROPERTYKEY* key) noexcept override;
    HRESULT STDMETHODCALLTYPE GetValue(REFPROPERTYKEY key, PROPVARIANT* value) noexcept override;
    HRESULT STDMETHODCALLTYPE SetValue(REFPROPERTYKEY key, REFPROPVARIANT value) noexcept override;
    HRESULT STDMETHODCALLTYPE Commit() noexcept override;

    // IPropertyStoreCapabilities
    HRESULT STDMETHODCALLTYPE IsPropertyWritable(REFPROPERTYKEY key) noexcept override;

private:
    ~PropertyHandler() override = default;

    bool initialized = false;
    DocumentProperties properties;
    // Held only when the shell opened the document for writing.
    Microsoft::WRL::ComPtr<IStream> stream;
    // Properties last given a text that code page 1252 cannot hold; Commit refuses them.
    std::set<std::string> unstorable;
};

}  // namespace orv
