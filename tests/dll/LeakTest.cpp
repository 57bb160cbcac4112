// Every operation the shell runs, many rounds over in one process: what the process
// holds afterwards must not grow with the rounds.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <propsys.h>
#include <propkey.h>
#include <propvarutil.h>
#include <thumbcache.h>
#include <winternl.h>

#include <functional>
#include <string>
#include <vector>

#include "InfoFileBuilder.h"
#include "PreviewHost.h"
#include "PropertySheetHost.h"
#include "ServerFixture.h"
#include "module/win32/ClassId.h"

namespace orv::test {
namespace {

// By then every cache the operations fill has its size.
constexpr int settlingRounds = 100;

// What the process holds, each counted in a way Wine keeps: its GetGuiResources and
// GetProcessHandleCount answer 0 whatever is held.

// The process's entries in the system's handle list.
long long HandleCount()
{
    // SYSTEM_HANDLE_INFORMATION, class 16.
    struct Entry {
        ULONG process;
        UCHAR type;
        UCHAR flags;
        USHORT handle;
        PVOID object;
        ACCESS_MASK access;
    };
    std::vector<char> buffer(1 << 20);
    ULONG length = 0;
    constexpr NTSTATUS tooSmall = static_cast<NTSTATUS>(0xC0000004);
    NTSTATUS status;
    while ((status = NtQuerySystemInformation(static_cast<SYSTEM_INFORMATION_CLASS>(16), buffer.data(),
                                              static_cast<ULONG>(buffer.size()), &length)) == tooSmall)
        buffer.resize(buffer.size() * 2);
    if (status != 0)
        return -1;
    ULONG count = *reinterpret_cast<ULONG*>(buffer.data());
    auto* entries = reinterpret_cast<Entry*>(buffer.data() + sizeof(ULONG_PTR));
    long long mine = 0;
    for (ULONG i = 0; i < count; ++i)
        mine += entries[i].process == GetCurrentProcessId();
    return mine;
}

// GDI objects in use, as how many fewer can still be made before the process's table
// is full. A leaked icon counts too: Wine keeps its pictures as GDI bitmaps.
long long GdiObjects()
{
    std::vector<HBRUSH> made;
    while (HBRUSH brush = CreateSolidBrush(0))
        made.push_back(brush);
    for (HBRUSH brush : made)
        DeleteObject(brush);
    return -static_cast<long long>(made.size());
}

BOOL CALLBACK CountWindow(HWND window, LPARAM count)
{
    ++*reinterpret_cast<long long*>(count);
    EnumChildWindows(window, CountWindow, count);
    return TRUE;
}

// Windows of this thread, children included.
long long WindowCount()
{
    long long windows = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

// Bytes in use in the process's heaps.
long long HeapBytes()
{
    std::vector<HANDLE> heaps(GetProcessHeaps(0, nullptr) + 8);
    heaps.resize(GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data()));
    long long bytes = 0;
    for (HANDLE heap : heaps) {
        HeapLock(heap);
        PROCESS_HEAP_ENTRY entry = {};
        while (HeapWalk(heap, &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
                bytes += entry.cbData;
        HeapUnlock(heap);
    }
    return bytes;
}

// A few objects of slack, and 64 KiB of heap: under 7 bytes a round over 10,000, under
// 17 over 4,000.
const struct {
    const char* name;
    long long (*count)();
    long long slack;
} measures[] = {
    {"handles", HandleCount, 4}, {"GDI objects", GdiObjects, 4}, {"windows", WindowCount, 0},
    {"heap bytes", HeapBytes, 64 * 1024},
};

std::vector<long long> Measure()
{
    std::vector<long long> counts;
    for (const auto& measure : measures)
        counts.push_back(measure.count());
    return counts;
}

BOOL CALLBACK CollectPage(HPROPSHEETPAGE page, LPARAM pages)
{
    reinterpret_cast<std::vector<HPROPSHEETPAGE>*>(pages)->push_back(page);
    return TRUE;
}

BOOL CALLBACK RefusePage(HPROPSHEETPAGE, LPARAM)
{
    return FALSE;
}

// Keeps the sheet hidden: without a window manager Wine waits two seconds for each
// shown window that is destroyed.
int CALLBACK HideSheet(HWND, UINT message, LPARAM lParam)
{
    if (message != PSCB_PRECREATE)
        return 0;
    auto* words = reinterpret_cast<WORD*>(lParam);
    // DLGTEMPLATEEX begins 1, 0xFFFF and has its style 12 bytes in; DLGTEMPLATE at once.
    auto* style = reinterpret_cast<DWORD*>(words[0] == 1 && words[1] == 0xFFFF ? words + 6 : words);
    *style &= ~WS_VISIBLE;
    return 0;
}

class Leaks : public ServerFixture {
protected:
    // Explorer's Properties dialog: pages added, the first painted, a new name typed
    // and applied, the dialog closed. True when the name was written.
    bool Properties(IDataObject* selection, int round)
    {
        std::vector<HPROPSHEETPAGE> pages;
        {
            auto init = Create<IShellExtInit>(IID_IShellExtInit);
            ComPtr<IShellPropSheetExt> extension;
            init.As(&extension);
            if (FAILED(init->Initialize(nullptr, selection, nullptr)) ||
                FAILED(extension->AddPages(CollectPage, reinterpret_cast<LPARAM>(&pages))))
                return false;
        }
        PROPSHEETHEADERA header = {};
        header.dwSize = sizeof header;
        header.dwFlags = PSH_MODELESS | PSH_USECALLBACK;
        header.pfnCallback = HideSheet;
        header.nPages = static_cast<UINT>(pages.size());
        header.phpage = pages.data();
        auto sheet = reinterpret_cast<HWND>(PropertySheetA(&header));
        if (sheet == nullptr)
            return false;
        HWND page = PropSheet_GetCurrentPageHwnd(sheet);
        SendMessageA(page, WM_PAINT, 0, 0);
        SetDlgItemTextA(page, 1010, round / 2 % 2 ? "Odd" : "Even");
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(1010, EN_CHANGE), 0);
        PropSheet_Apply(sheet);
        host::PreviewHost::Pump();
        bool written = host::WindowText(GetDlgItem(sheet, IDOK)) == "Close";
        DestroyWindow(sheet);
        host::PreviewHost::Pump();
        return written;
    }

    // The shell's icon request, with both pointers and with each alone. True when the
    // icons asked for came.
    bool Icons(const std::string& path, int round)
    {
        auto extract = Create<IExtractIconA>(IID_IExtractIconA);
        if (FAILED(Bind(extract.Get(), path, true)))
            return false;
        HICON large = nullptr;
        HICON small = nullptr;
        HICON* asked[][2] = {{&large, &small}, {&large, nullptr}, {nullptr, &small}};
        if (extract->Extract("", 0, asked[round % 3][0], asked[round % 3][1], MAKELONG(32, 16)) != S_OK)
            return false;
        // Icons drawn from a preview are the caller's; the type's icons are shared.
        for (HICON icon : {large, small})
            if (icon != nullptr && icon != previewOffIcon)
                DestroyIcon(icon);
        return (large != nullptr) == (round % 3 != 2) && (small != nullptr) == (round % 3 != 1);
    }

    // Load of each kind, its pages made and refused by the sheet. True when there were
    // pages.
    bool Pages(const std::string& path)
    {
        auto extension = Create<IShellPropSheetExt>(IID_IShellPropSheetExt);
        return SUCCEEDED(Bind(extension.Get(), path, true)) && extension->AddPages(RefusePage, 0) == S_OK;
    }

    // The Details pane: every value read, a new title written. True when it was committed.
    bool Details(const std::string& path, int round)
    {
        ComPtr<IInitializeWithStream> init;
        ComPtr<IPropertyStore> store;
        DWORD mode = STGM_READWRITE | STGM_SHARE_EXCLUSIVE;
        if (FAILED(details.Create(IID_IInitializeWithStream, init)) ||
            FAILED(init->Initialize(FileStream(path, mode).Get(), mode)) || FAILED(init.As(&store)))
            return false;
        DWORD count = 0;
        store->GetCount(&count);
        for (DWORD i = 0; i < count; ++i) {
            PROPERTYKEY key;
            PROPVARIANT value;
            if (FAILED(store->GetAt(i, &key)) || FAILED(store->GetValue(key, &value)))
                return false;
            PropVariantClear(&value);
        }
        PROPVARIANT title;
        InitPropVariantFromString(round % 2 ? L"Odd" : L"Even", &title);
        HRESULT set = store->SetValue(PKEY_Title, title);
        PropVariantClear(&title);
        return count == 7 && set == S_OK && store->Commit() == S_OK;
    }

    // The shell's thumbnail request, the document as a read-only stream. True when a
    // bitmap came.
    bool Thumbnail(const std::string& path)
    {
        ComPtr<IInitializeWithStream> init;
        ComPtr<IThumbnailProvider> provider;
        HBITMAP bitmap = nullptr;
        WTS_ALPHATYPE alpha = WTSAT_UNKNOWN;
        return SUCCEEDED(thumbnails.Create(__uuidof(IInitializeWithStream), init)) && SUCCEEDED(init.As(&provider)) &&
               SUCCEEDED(init->Initialize(FileStream(path, STGM_READ | STGM_SHARE_DENY_WRITE).Get(), STGM_READ)) &&
               provider->GetThumbnail(256, &bitmap, &alpha) == S_OK && DeleteObject(bitmap);
    }

    // The preview pane's sequence into a hidden window, dark in turn, then unloaded.
    // True when the document was shown.
    bool Preview(const std::string& path, HWND parent, bool dark)
    {
        ComPtr<IPreviewHandler> handler;
        ComPtr<IInitializeWithStream> init;
        ComPtr<IPreviewHandlerVisuals> visuals;
        const RECT rect = {0, 0, 400, 500};
        if (FAILED(previews.Create(IID_IPreviewHandler, handler)) || FAILED(handler.As(&init)) ||
            FAILED(handler.As(&visuals)) ||
            FAILED(init->Initialize(FileStream(path, STGM_READ | STGM_SHARE_DENY_WRITE).Get(), STGM_READ)) ||
            FAILED(handler->SetWindow(parent, &rect)))
            return false;
        if (dark)
            visuals->SetBackgroundColor(RGB(32, 32, 32));
        bool shown = handler->DoPreview() == S_OK;
        host::PreviewHost::Pump();
        return handler->Unload() == S_OK && shown;
    }

    HICON previewOffIcon = nullptr;
    host::ServerModule previews{"orvshell.dll", PreviewClassId};
    host::ServerModule details{"orvshell.dll", PropertyClassId};
    host::ServerModule thumbnails{"orvshell.dll", ThumbnailClassId};
};

TEST_F(Leaks, ManyRoundsOfEveryOperationHoldNoMoreThanTheFirstHundred)
{
    const std::vector<std::pair<std::string, std::vector<uint8_t>>> documents = {
        {"plan.pln", FullPlan()}, {"book.sfk", Book()}, {"door.qxm", Part()}, {"door.qdl", Script()},
        {"stored.mod", Module()}, {"table.qpd", InfoFileBuilder().Info("Layers", "Walls", "A").Build()},
        {"garbage.pln", std::vector<uint8_t>(300, 0xA5)}, {"empty.qxm", {}}, {"damaged.sfk", Book()},
    };
    std::vector<std::string> paths;
    for (auto [name, bytes] : documents) {
        if (name == "damaged.sfk")
            bytes[50] ^= 0x01;
        paths.push_back(scratch.Write(name, bytes));
    }
    const std::string plan = paths[0];
    const std::string thumbnailed[] = {plan, paths[4], scratch.Write("drawn.mod", MetafileModule()), paths[3]};
    // Hidden: Wine takes two seconds to destroy a window it has shown.
    HWND paneParent =
        CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 400, 500, nullptr, nullptr, nullptr, nullptr);
    // One selection for all rounds: the host's data object holds on to some heap
    // each time one is made and released.
    ComPtr<IDataObject> selections[2] = {host::DropDataObject::Create({plan}),
                                         host::DropDataObject::Create({paths[1]})};
    // 10,000 rounds where Wine runs them in a minute or so. A sheet takes about 75 ms
    // to make, apply and destroy, and registering and unregistering about 450 ms of
    // registry requests: 10,000 of those would take 13 and 75 minutes.
    // Each round answers whether it did what it should, so that no round passes by
    // doing nothing.
    const struct {
        const char* name;
        int rounds;
        std::function<bool(int)> run;
    } operations[] = {
        {"Properties with apply", 1000, [&](int round) { return Properties(selections[round % 2].Get(), round); }},
        {"Extract with PreviewIcons on and off", 10000,
         [&](int round) {
             DWORD on = round % 2;
             RegSetKeyValueA(HKEY_CURRENT_USER, settingsKey, "PreviewIcons", REG_DWORD, &on, sizeof on);
             return Icons(plan, round);
         }},
        {"Load and pages of every kind; the last three documents are bad", 10000,
         [&](int round) {
             size_t document = round % paths.size();
             return Pages(paths[document]) == (document + 3 < paths.size());
         }},
        // A written and committed title takes about 30 ms: 10,000 would take five minutes.
        {"Details read and a title written", 2000, [&](int round) { return Details(plan, round); }},
        {"Thumbnails of a GIF, a bitmap, a metafile and a script, which has none", 10000,
         [&](int round) { return Thumbnail(thumbnailed[round % 4]) == (round % 4 != 3); }},
        // A pane takes up to 30 ms to make, fill and unload: 10,000 would take five minutes.
        {"Preview pane of every kind; the last three documents are bad", 4000,
         [&](int round) {
             size_t document = round % paths.size();
             return Preview(paths[document], paneParent, round % 2) == (document + 3 < paths.size());
         }},
        {"register and unregister", 200, [&](int) { return server.Register() == S_OK && server.Unregister() == S_OK; }},
    };
    previewOffIcon = ModuleIcon(170);

    // The measures see one more object held, and an icon as GDI objects.
    long long gdi = GdiObjects();
    HBRUSH brush = CreateSolidBrush(0);
    EXPECT_EQ(GdiObjects(), gdi + 1);
    DeleteObject(brush);
    unique_hicon icon(CopyIcon(previewOffIcon));
    EXPECT_GT(GdiObjects(), gdi);
    icon.reset();
    long long handles = HandleCount();
    unique_hfile file(CreateFileA(plan.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_EQ(HandleCount(), handles + 1);
    file.reset();

    for (const auto& operation : operations) {
        SCOPED_TRACE(operation.name);
        DWORD start = GetTickCount();
        int done = 0;
        for (int round = 0; round < settlingRounds; ++round)
            done += operation.run(round);
        std::vector<long long> settled = Measure();
        for (int round = settlingRounds; round < operation.rounds; ++round)
            done += operation.run(round);
        std::vector<long long> after = Measure();
        EXPECT_EQ(done, operation.rounds);
        printf("%s: %lu ms", operation.name, GetTickCount() - start);
        for (size_t i = 0; i < std::size(measures); ++i) {
            printf(", %s %lld -> %lld", measures[i].name, settled[i], after[i]);
            EXPECT_LE(after[i], settled[i] + measures[i].slack) << measures[i].name;
        }
        printf("\n");
    }
    DestroyWindow(paneParent);
}

}  // namespace
}  // namespace orv::test
