#include <gtest/gtest.h>
#include <windows.h>
#include <propsys.h>
#include <propkey.h>
#include <propvarutil.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ServerFixture.h"
#include "WideText.h"
#include "handlers/Document.h"

namespace orv::test {
namespace {

// mingw's keys lack these two of the summary information set.
const PROPERTYKEY SubjectKey = {FMTID_SummaryInformation, PIDSI_SUBJECT};
const PROPERTYKEY RevisionKey = {FMTID_SummaryInformation, PIDSI_REVNUMBER};

const std::pair<const char*, const PROPERTYKEY*> Keys[] = {
    {"Title", &PKEY_Title},       {"Subject", &SubjectKey}, {"Author", &PKEY_Author},
    {"Keywords", &PKEY_Keywords}, {"Comment", &PKEY_Comment}, {"Revision", &RevisionKey},
    {"Application", &PKEY_ApplicationName}, {"Company", &PKEY_Company},
};

// What a value shows: "text", or a list as [item|item], or "(empty)".
std::string Shown(const PROPVARIANT& value)
{
    if (value.vt == VT_LPWSTR)
        return host::Narrow(value.pwszVal);
    if (value.vt == (VT_VECTOR | VT_LPWSTR)) {
        std::string items;
        for (ULONG i = 0; i < value.calpwstr.cElems; ++i)
            items += (i == 0 ? "" : "|") + host::Narrow(value.calpwstr.pElems[i]);
        return "[" + items + "]";
    }
    return value.vt == VT_EMPTY ? "(empty)" : "type " + std::to_string(value.vt);
}

const char* NameOf(const PROPERTYKEY& key)
{
    for (const auto& [name, known] : Keys)
        if (IsEqualPropertyKey(key, *known))
            return name;
    return "?";
}

// A value to set: a string, or a list of more than one.
struct Value {
    const PROPERTYKEY* key;
    std::vector<std::wstring> items;
};

class PropertyStore : public ServerFixture {
protected:
    host::ServerModule handlers{"orvshell.dll", PropertyClassId};

    // The handler as the shell initializes it, with the stream opened as it opens it.
    ComPtr<IPropertyStore> Open(const std::string& path, bool write, HRESULT* initialized = nullptr)
    {
        ComPtr<IInitializeWithStream> init;
        EXPECT_EQ(handlers.Create(IID_IInitializeWithStream, init), S_OK);
        DWORD mode = write ? STGM_READWRITE | STGM_SHARE_EXCLUSIVE : STGM_READ | STGM_SHARE_DENY_WRITE;
        HRESULT result = init->Initialize(FileStream(path, mode).Get(), mode);
        if (initialized)
            *initialized = result;
        ComPtr<IPropertyStore> store;
        EXPECT_EQ(init.As(&store), S_OK);
        return store;
    }

    // Every property the handler lists, "name=value" a line, then the writable ones.
    static std::string Listed(IPropertyStore* store)
    {
        DWORD count = 0;
        EXPECT_EQ(store->GetCount(&count), S_OK);
        std::string listed;
        for (DWORD i = 0; i < count; ++i) {
            PROPERTYKEY key;
            PROPVARIANT value;
            EXPECT_EQ(store->GetAt(i, &key), S_OK);
            EXPECT_EQ(store->GetValue(key, &value), S_OK);
            listed += std::string(NameOf(key)) + "=" + Shown(value) + "\n";
            PropVariantClear(&value);
        }
        PROPERTYKEY beyond;
        EXPECT_EQ(store->GetAt(count, &beyond), E_INVALIDARG);
        ComPtr<IPropertyStoreCapabilities> capabilities;
        EXPECT_EQ(store->QueryInterface(IID_PPV_ARGS(&capabilities)), S_OK);
        std::string writable = "writable:";
        for (const auto& [name, key] : Keys) {
            PROPVARIANT value;
            EXPECT_EQ(store->GetValue(*key, &value), S_OK);
            EXPECT_EQ(value.vt != VT_EMPTY, listed.find(std::string(name) + "=") != std::string::npos) << name;
            PropVariantClear(&value);
            HRESULT answer = capabilities->IsPropertyWritable(*key);
            writable += answer == S_OK ? std::string(" ") + name : answer == S_FALSE ? "" : " (failed)";
        }
        listed += writable;
        return listed;
    }

    // The value as the shell hands it over, the text's memory borrowed.
    static HRESULT Set(IPropertyStore* store, Value value)
    {
        std::vector<LPWSTR> pointers;
        for (std::wstring& item : value.items)
            pointers.push_back(item.data());
        PROPVARIANT variant = {};
        variant.vt = pointers.size() == 1 ? VT_LPWSTR : VT_VECTOR | VT_LPWSTR;
        if (pointers.size() == 1)
            variant.pwszVal = pointers[0];
        else
            variant.calpwstr = {static_cast<ULONG>(pointers.size()), pointers.data()};
        return store->SetValue(*value.key, variant);
    }
};

const std::string ProjectValues = "Subject=Villa\nAuthor=[Ann]\nKeywords=[villa]\nComment=" + Lines("\r\n") +
                                  "\nRevision=C\n";
const std::string ProjectWritable = " Subject Author Keywords Comment Revision";

TEST_F(PropertyStore, ValuesComeInUtf16AndListsAsVectors)
{
    std::vector<uint8_t> southPlan = PlanBuilder(WW).Version(4100).DocumentName("Villa S\xFC" "d \x80").Build();
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
        std::string listed;
    } cases[] = {
        {"Villa.pln", FullPlan(),
         "Title=Villa Rosa\n" + ProjectValues + "Application=Orvenstaal 4.55 release 42 (Windows)\nwritable: Title" +
             ProjectWritable},
        // Windows characters: 0x80 is the euro sign.
        {"South.pln", southPlan,
         "Title=Villa S\xC3\xBC" "d \xE2\x82\xAC\nApplication=Orvenstaal 4.1 (Windows)\nwritable: Title"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HRESULT initialized = E_FAIL;
        ComPtr<IPropertyStore> store = Open(scratch.Write(c.name, c.bytes), false, &initialized);
        ASSERT_EQ(initialized, S_OK);
        EXPECT_EQ(Listed(store.Get()), c.listed);
    }
}

TEST_F(PropertyStore, InitializeReadsOnceAndKeepsTheStreamOnlyForWriting)
{
    const std::vector<uint8_t> full = FullPlan();
    const std::string plan = scratch.Write("Villa.pln", full);
    const std::string other = scratch.Write("Other.pln", full);
    // A failed Initialize leaves the object to be initialized again.
    const std::vector<uint8_t> cut(full.begin(), full.begin() + 100);
    const struct {
        std::string path;
        bool write;
        HRESULT initialized, again, committed;
    } cases[] = {
        {plan, true, S_OK, HRESULT_FROM_WIN32(ERROR_ALREADY_INITIALIZED), S_OK},
        {plan, false, S_OK, HRESULT_FROM_WIN32(ERROR_ALREADY_INITIALIZED), STG_E_ACCESSDENIED},
        {scratch.Write("Cut.pln", cut), true, E_FAIL, S_OK, STG_E_ACCESSDENIED},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path + (c.write ? " for writing" : ""));
        const std::vector<uint8_t> before = ReadWholeFile(c.path);
        HRESULT initialized = S_FALSE;
        ComPtr<IPropertyStore> store = Open(c.path, c.write, &initialized);
        EXPECT_EQ(initialized, c.initialized);
        ComPtr<IInitializeWithStream> init;
        ASSERT_EQ(store.As(&init), S_OK);
        EXPECT_EQ(init->Initialize(FileStream(other, STGM_READ).Get(), STGM_READ), c.again);
        init.Reset();
        if (SUCCEEDED(c.initialized)) {
            EXPECT_EQ(Set(store.Get(), {&PKEY_Title, {L"Villa Nova"}}), S_OK);
        }
        EXPECT_EQ(store->Commit(), c.committed);
        store.Reset();
        EXPECT_EQ(ReadWholeFile(c.path) == before, c.committed != S_OK);
    }
}

// Committed values make the file byte for byte the one the pages' writers make. Refused
// values are driven through the shell's host in the end-to-end run; which property takes
// which text, natively.
TEST_F(PropertyStore, CommitWritesWhatThePagesWouldHaveWritten)
{
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
        std::vector<Value> sets;
        std::string title;  // the pages' texts, in Windows characters
        std::optional<ProjectTexts> project;
    } cases[] = {
        {"Villa.pln", FullPlan(),
         {{&PKEY_Title, {L"Villa S\u00FCd"}}, {&PKEY_Keywords, {L"house", L"garden"}},
          {&PKEY_Comment, {L"two\r\nlines"}}},
         "Villa S\xFC" "d", ProjectTexts{"Villa", "Ann", "C", "VR-", "house; garden", "two\r\nlines"}},
        // Shorter: the stream is cut.
        {"Door.qdl", Script(), {{&PKEY_Title, {L"D1"}}}, "D1", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = scratch.Write(c.name, c.bytes);
        const std::string pages = scratch.Write(std::string("pages-") + c.name, c.bytes);
        {
            ComPtr<IPropertyStore> store = Open(path, true);
            for (const Value& value : c.sets)
                EXPECT_EQ(Set(store.Get(), value), S_OK);
            EXPECT_EQ(store->Commit(), S_OK);
        }
        Document document;
        std::string error;
        ASSERT_TRUE(document.Load(pages, error)) << error;
        EXPECT_TRUE(document.Rename(c.title, error)) << error;
        if (c.project) {
            EXPECT_TRUE(document.SetProjectTexts(*c.project, error)) << error;
        }
        EXPECT_EQ(ReadWholeFile(path), ReadWholeFile(pages));
        EXPECT_NE(ReadWholeFile(path), c.bytes);
    }
    ComPtr<IPropertyStore> store = Open(scratch.Write("Type.pln", FullPlan()), true);
    PROPVARIANT number = {};
    number.vt = VT_I4;
    EXPECT_EQ(store->SetValue(PKEY_Title, number), E_INVALIDARG);
}

}  // namespace
}  // namespace orv::test
