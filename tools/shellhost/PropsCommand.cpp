#include "PropsCommand.h"

#include <windows.h>
#include <propsys.h>
#include <propvarutil.h>
#include <shlwapi.h>
#include <wrl/client.h>

#include <cstdio>
#include <utility>

#include "ServerModule.h"
#include "WideText.h"
#include "handlers/win32/PropertyKeys.h"

using Microsoft::WRL::ComPtr;

namespace orv::host {
namespace {

struct PropsOptions {
    std::string file;
    std::string dll;
    std::vector<std::pair<std::string, std::string>> sets;
};

bool Parse(const std::vector<std::string>& args, PropsOptions& options)
{
    if (args.empty())
        return false;
    options.file = args[0];
    for (size_t i = 1; i < args.size(); ++i) {
        bool hasValue = i + 1 < args.size();
        if (args[i] == "--dll" && hasValue) {
            options.dll = args[++i];
        } else if (args[i] == "--set" && hasValue) {
            const std::string& pair = args[++i];
            size_t equals = pair.find('=');
            if (equals == std::string::npos)
                return false;
            options.sets.emplace_back(pair.substr(0, equals), pair.substr(equals + 1));
        } else {
            return false;
        }
    }
    return true;
}

// A value on one line, in UTF-8: a list's items joined with "; ", line ends and quotes
// escaped.
std::string Shown(const PROPVARIANT& value)
{
    std::wstring text;
    if (value.vt == VT_LPWSTR) {
        text = value.pwszVal;
    } else if (value.vt == (VT_VECTOR | VT_LPWSTR)) {
        for (ULONG i = 0; i < value.calpwstr.cElems; ++i)
            text += (i == 0 ? L"" : L"; ") + std::wstring(value.calpwstr.pElems[i]);
    }
    return Escaped(Narrow(text.c_str()));
}

std::string NameOf(REFPROPERTYKEY key)
{
    std::string name = PropertyNameOf(key);
    if (!name.empty())
        return name;
    wchar_t format[40] = {};
    StringFromGUID2(key.fmtid, format, 40);
    return Narrow(format) + " " + std::to_string(key.pid);
}

void PrintProperties(IPropertyStore* store)
{
    DWORD count = 0;
    store->GetCount(&count);
    for (DWORD i = 0; i < count; ++i) {
        PROPERTYKEY key;
        PROPVARIANT value;
        if (FAILED(store->GetAt(i, &key)) || FAILED(store->GetValue(key, &value)))
            continue;
        std::printf("%s = \"%s\"\n", NameOf(key).c_str(), Shown(value).c_str());
        PropVariantClear(&value);
    }
}

void PrintResult(const std::string& what, HRESULT result)
{
    std::printf("%s: 0x%08lx\n", what.c_str(), static_cast<unsigned long>(result));
}

}  // namespace

int PropsCommand(const std::vector<std::string>& args)
{
    PropsOptions options;
    if (!Parse(args, options)) {
        std::fputs("usage: shellhost props FILE [--set NAME=VALUE ...] [--dll PATH]\n", stderr);
        return 2;
    }
    ServerModule server(options.dll, PropertyClassId);
    ComPtr<IInitializeWithStream> init;
    if (FAILED(server.Create(IID_IInitializeWithStream, init))) {
        std::fprintf(stderr, "cannot create the server's property handler\n");
        return 2;
    }
    // The shell opens a document for writing, and for nobody else, only to write to it.
    DWORD mode = options.sets.empty() ? STGM_READ | STGM_SHARE_DENY_WRITE : STGM_READWRITE | STGM_SHARE_EXCLUSIVE;
    ComPtr<IStream> stream;
    HRESULT result = SHCreateStreamOnFileEx(Widen(options.file).c_str(), mode, FILE_ATTRIBUTE_NORMAL, FALSE, nullptr,
                                            &stream);
    if (FAILED(result)) {
        PrintResult("open", result);
        return 1;
    }
    result = init->Initialize(stream.Get(), mode);
    PrintResult("Initialize", result);
    ComPtr<IPropertyStore> store;
    if (FAILED(result) || FAILED(init.As(&store)))
        return 1;
    PrintProperties(store.Get());
    bool failed = false;
    for (const auto& [name, text] : options.sets) {
        PROPERTYKEY key;
        PROPVARIANT value;
        if (!PropertyKeyOf(name, key)) {
            std::printf("set %s: no such property\n", name.c_str());
            failed = true;
            continue;
        }
        result = InitPropVariantFromString(Widen(text).c_str(), &value);
        if (SUCCEEDED(result)) {
            result = store->SetValue(key, value);
            PropVariantClear(&value);
        }
        PrintResult("set " + name, result);
        failed = failed || result != S_OK;
    }
    if (!options.sets.empty()) {
        result = store->Commit();
        PrintResult("Commit", result);
        failed = failed || result != S_OK;
    }
    return failed ? 1 : 0;
}

}  // namespace orv::host
