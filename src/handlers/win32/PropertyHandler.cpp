#include "handlers/win32/PropertyHandler.h"

#include <propvarutil.h>
#include <shlwapi.h>

#include <vector>

#include "handlers/win32/PropertyKeys.h"
#include "util/win32/StreamFile.h"

namespace orv {
namespace {

// The documents' texts are in the Western European Windows code page.
constexpr UINT DocumentCodePage = 1252;

std::wstring Widened(const std::string& text)
{
    if (text.empty())
        return {};
    int size = MultiByteToWideChar(DocumentCodePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(DocumentCodePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
    return wide;
}

// False, rather than a best fit or the default character, for text the code page
// cannot hold: the text must come back from it unchanged.
bool Narrowed(const std::wstring& wide, std::string& text)
{
    text.clear();
    if (wide.empty())
        return true;
    int size = WideCharToMultiByte(DocumentCodePage, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                                   nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return false;
    text.assign(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(DocumentCodePage, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                        text.data(), size, nullptr, nullptr);
    return Widened(text) == wide;
}

// A list as the shell keeps one: a vector of task-memory strings.
HRESULT InitFromList(const std::vector<std::string>& items, PROPVARIANT* value)
{
    auto* strings = static_cast<LPWSTR*>(CoTaskMemAlloc(sizeof(LPWSTR) * items.size()));
    if (strings == nullptr)
        return E_OUTOFMEMORY;
    value->vt = VT_VECTOR | VT_LPWSTR;
    value->calpwstr.pElems = strings;
    value->calpwstr.cElems = 0;
    for (const std::string& item : items) {
        HRESULT result = SHStrDupW(Widened(item).c_str(), &strings[value->calpwstr.cElems]);
        if (FAILED(result)) {
            PropVariantClear(value);
            return result;
        }
        ++value->calpwstr.cElems;
    }
    return S_OK;
}

// The text of a string or a list of strings (joined as the document keeps a list), or
// of nothing, which empties the property.
bool TextOfValue(const PROPVARIANT& value, std::wstring& text)
{
    switch (value.vt) {
    case VT_EMPTY:
        text.clear();
        return true;
    case VT_LPWSTR:
        text = value.pwszVal ? value.pwszVal : L"";
        return true;
    case VT_VECTOR | VT_LPWSTR:
        text.clear();
        for (ULONG i = 0; i < value.calpwstr.cElems; ++i)
            text += (i == 0 ? L"" : L"; ") + std::wstring(value.calpwstr.pElems[i] ? value.calpwstr.pElems[i] : L"");
        return true;
    default:
        return false;
    }
}

}  // namespace

HRESULT STDMETHODCALLTYPE PropertyHandler::QueryInterface(REFIID iid, void** out) noexcept
{
    // IUnknown is answered by the first entry.
    static const QITAB interfaces[] = {
        QITABENT(PropertyHandler, IPropertyStore),
        QITABENT(PropertyHandler, IInitializeWithStream),
        QITABENT(PropertyHandler, IPropertyStoreCapabilities),
        {nullptr, 0},
    };
    return QISearch(this, interfaces, iid, out);
}

// IInitializeWithStream

HRESULT STDMETHODCALLTYPE PropertyHandler::Initialize(IStream* source, DWORD mode) noexcept
{
    try {
        if (source == nullptr)
            return E_INVALIDARG;
        if (initialized)
            return HRESULT_FROM_WIN32(ERROR_ALREADY_INITIALIZED);
        StreamFile file(source);
        std::string error;
        if (!properties.Read(file, file.Name(), error))
            return E_FAIL;
        initialized = true;
        if ((mode & (STGM_WRITE | STGM_READWRITE)) == STGM_READWRITE)
            stream = source;
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

// IPropertyStore

HRESULT STDMETHODCALLTYPE PropertyHandler::GetCount(DWORD* count) noexcept
{
    if (count == nullptr)
        return E_POINTER;
    try {
        *count = static_cast<DWORD>(properties.Values().size());
        return S_OK;
    } catch (...) {
        *count = 0;
        return E_OUTOFMEMORY;
    }
}

HRESULT STDMETHODCALLTYPE PropertyHandler::GetAt(DWORD index, PROPERTYKEY* key) noexcept
{
    if (key == nullptr)
        return E_POINTER;
    try {
        std::vector<DocumentProperty> values = properties.Values();
        if (index >= values.size() || !PropertyKeyOf(values[index].name, *key))
            return E_INVALIDARG;
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT STDMETHODCALLTYPE PropertyHandler::GetValue(REFPROPERTYKEY key, PROPVARIANT* value) noexcept
{
    if (value == nullptr)
        return E_POINTER;
    PropVariantInit(value);
    try {
        std::string name = PropertyNameOf(key);
        for (const DocumentProperty& property : properties.Values()) {
            if (name != property.name)
                continue;
            if (DocumentProperties::IsList(name))
                return InitFromList(DocumentProperties::SplitList(property.text), value);
            return InitPropVariantFromString(Widened(property.text).c_str(), value);
        }
        return S_OK;
    } catch (...) {
        PropVariantClear(value);
        return E_OUTOFMEMORY;
    }
}

HRESULT STDMETHODCALLTYPE PropertyHandler::SetValue(REFPROPERTYKEY key, REFPROPVARIANT value) noexcept
{
    try {
        std::string name = PropertyNameOf(key);
        if (!properties.IsWritable(name))
            return STG_E_ACCESSDENIED;
        std::wstring wide;
        if (!TextOfValue(value, wide))
            return E_INVALIDARG;
        std::string text;
        if (!Narrowed(wide, text)) {
            unstorable.insert(name);
            return S_OK;
        }
        unstorable.erase(name);
        properties.Set(name, text);
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT STDMETHODCALLTYPE PropertyHandler::Commit() noexcept
{
    try {
        if (!stream)
            return STG_E_ACCESSDENIED;
        if (!unstorable.empty())
            return E_FAIL;
        StreamFile file(stream.Get());
        std::string error;
        if (!properties.Commit(file, error))
            return E_FAIL;
        return stream->Commit(STGC_DEFAULT);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

// IPropertyStoreCapabilities

HRESULT STDMETHODCALLTYPE PropertyHandler::IsPropertyWritable(REFPROPERTYKEY key) noexcept
{
    try {
        return properties.IsWritable(PropertyNameOf(key)) ? S_OK : S_FALSE;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

}  // namespace orv
