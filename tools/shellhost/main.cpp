// A stand-in for Explorer and the Quick View host: drives the server through the
// call sequences the shell uses and prints what the user would see.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <wrl/client.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "DropDataObject.h"
#include "Image.h"
#include "PreviewCommand.h"
#include "PropertySheetHost.h"
#include "PropsCommand.h"
#include "ServerModule.h"
#include "ThumbnailCommand.h"
#include "ViewerDriver.h"
#include "ViewerSite.h"
#include "WideText.h"
#include "shell/win32/ShellInterfaces.h"

using Microsoft::WRL::ComPtr;
using namespace orv::host;

namespace {

struct Options {
    std::string command;
    std::string file;
    std::string dll;
    std::vector<std::pair<int, std::string>> sets;
    bool apply = false;
    bool wait = false;
    std::string screenshot;
    int largeSize = 32;
    int smallSize = 16;
    std::string out;
    bool pin = false;
    bool hasRect = false;
    RECT rect = {};
    std::string drop;
    // The arguments of a command that reads its own.
    std::vector<std::string> rest;
};

int Usage()
{
    std::fputs("usage: shellhost register|unregister [--dll PATH]\n"
               "       shellhost properties FILE [--dll PATH] [--set ID=TEXT ...] [--apply] [--screenshot PNG] [--wait]\n"
               "       shellhost icon FILE [--dll PATH] [--sizes LARGE,SMALL] [--out PREFIX]\n"
               "       shellhost preview FILE [--size WxH] [--dark] [--screenshot PNG] [--dll PATH] [--wait]\n"
               "       shellhost view FILE [--dll PATH] [--screenshot PNG] [--pin] [--rect L,T,R,B] [--drop FILE2] "
               "[--wait]\n"
               "       shellhost props FILE [--set NAME=VALUE ...] [--dll PATH]\n"
               "       shellhost thumbnail FILE --size N [--out PNG] [--dll PATH]\n",
               stderr);
    return 2;
}

bool Parse(const std::vector<std::string>& argv, Options& options)
{
    size_t argc = argv.size();
    if (argc < 2)
        return false;
    options.command = argv[1];
    if (options.command != "register" && options.command != "unregister" && options.command != "properties" &&
        options.command != "icon" && options.command != "view") {
        options.rest.assign(argv.begin() + 2, argv.end());
        return true;
    }
    size_t i = 2;
    if (options.command == "preview") {
        options.rest.assign(argv.begin() + 2, argv.end());
        return true;
    }
    if (options.command == "properties" || options.command == "icon" || options.command == "view") {
        if (argc < 3)
            return false;
        options.file = argv[i++];
    }
    for (; i < argc; ++i) {
        const std::string& arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (arg == "--dll" && hasValue) {
            options.dll = argv[++i];
        } else if (arg == "--set" && hasValue) {
            std::string pair = argv[++i];
            size_t equals = pair.find('=');
            if (equals == std::string::npos)
                return false;
            int id = std::atoi(pair.substr(0, equals).c_str());
            options.sets.emplace_back(id, ToAnsi(pair.substr(equals + 1)));
        } else if (arg == "--apply") {
            options.apply = true;
        } else if (arg == "--wait") {
            options.wait = true;
        } else if (arg == "--screenshot" && hasValue) {
            options.screenshot = argv[++i];
        } else if (arg == "--sizes" && hasValue) {
            if (std::sscanf(argv[++i].c_str(), "%d,%d", &options.largeSize, &options.smallSize) != 2)
                return false;
        } else if (arg == "--out" && hasValue) {
            options.out = argv[++i];
        } else if (arg == "--pin") {
            options.pin = true;
        } else if (arg == "--rect" && hasValue) {
            RECT& r = options.rect;
            if (std::sscanf(argv[++i].c_str(), "%ld,%ld,%ld,%ld", &r.left, &r.top, &r.right, &r.bottom) != 4)
                return false;
            options.hasRect = true;
        } else if (arg == "--drop" && hasValue) {
            options.drop = argv[++i];
        } else {
            return false;
        }
    }
    return true;
}

std::string DefaultDll()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::string program = Narrow(path);
    return program.substr(0, program.rfind('\\') + 1) + "orvshell.dll";
}

// The command line as the shell passes it, in UTF-16, each argument as UTF-8.
std::vector<std::string> Arguments()
{
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i)
        arguments.push_back(Narrow(wide[i]));
    LocalFree(wide);
    return arguments;
}

int Registration(const Options& options)
{
    ServerModule server(options.dll.empty() ? DefaultDll() : options.dll);
    if (!server.Module()) {
        std::fprintf(stderr, "cannot load the server\n");
        return 1;
    }
    HRESULT result = options.command == "register" ? server.Register() : server.Unregister();
    std::printf("%s: 0x%08lx\n", options.command.c_str(), static_cast<unsigned long>(result));
    return SUCCEEDED(result) ? 0 : 1;
}

void PrintPages(PropertySheetHost& host)
{
    for (const PageInfo& page : host.ReadPages()) {
        std::printf("page \"%s\"\n", Escaped(page.title).c_str());
        for (const ControlInfo& control : page.controls)
            std::printf("  control %d %s %s \"%s\"\n", control.id, control.className.c_str(),
                        control.visible ? "visible" : "hidden", Escaped(control.text).c_str());
    }
}

int Properties(const Options& options)
{
    ServerModule server(options.dll);
    ComPtr<IShellExtInit> init;
    if (FAILED(server.Create(IID_IShellExtInit, init))) {
        std::fprintf(stderr, "cannot create the server's object\n");
        return 2;
    }
    ComPtr<IDataObject> data = DropDataObject::Create({options.file});
    HRESULT result = init->Initialize(nullptr, data.Get(), nullptr);
    std::printf("Initialize: 0x%08lx\n", static_cast<unsigned long>(result));
    PropertySheetHost host;
    ComPtr<IShellPropSheetExt> sheetExtension;
    if (SUCCEEDED(init.As(&sheetExtension))) {
        result = host.AddPagesFrom(sheetExtension.Get());
        std::printf("AddPages: 0x%08lx\n", static_cast<unsigned long>(result));
    }
    sheetExtension.Reset();
    init.Reset();
    std::printf("pages: %zu\n", host.PageCount());
    if (host.PageCount() == 0)
        return 1;
    if (!host.Show("Properties")) {
        std::fprintf(stderr, "the property sheet could not be shown\n");
        return 2;
    }
    PrintPages(host);
    for (const auto& [id, text] : options.sets)
        std::printf("set %d: %s\n", id, host.SetControlText(id, text) ? "ok" : "no such control");
    if (options.apply) {
        std::printf("apply: %s\n", host.Apply() ? "ok" : "refused");
        std::printf("ok button: \"%s\"\n", host.OkButtonText().c_str());
    }
    if (!options.screenshot.empty())
        std::printf("screenshot: %s\n", WritePng(CaptureWindow(host.Sheet()), options.screenshot) ? "ok" : "failed");
    if (options.wait)
        host.RunUntilClosed();
    host.Close();
    return 0;
}

int Icon(const Options& options)
{
    ServerModule server(options.dll);
    ComPtr<IPersistFile> persist;
    if (FAILED(server.Create(IID_IPersistFile, persist))) {
        std::fprintf(stderr, "cannot create the server's object\n");
        return 2;
    }
    HRESULT result = persist->Load(Widen(options.file).c_str(), STGM_READ);
    std::printf("Load: 0x%08lx\n", static_cast<unsigned long>(result));
    ComPtr<IExtractIconA> extract;
    if (FAILED(persist.As(&extract)))
        return 2;
    char location[MAX_PATH] = {};
    int index = 0;
    UINT flags = 0;
    result = extract->GetIconLocation(0, location, MAX_PATH, &index, &flags);
    std::printf("GetIconLocation: 0x%08lx flags 0x%02x\n", static_cast<unsigned long>(result), flags);
    HICON large = nullptr;
    HICON small = nullptr;
    result = extract->Extract(location, index, &large, &small, MAKELONG(options.largeSize, options.smallSize));
    Image largeImage = IconPixels(large);
    Image smallImage = IconPixels(small);
    std::printf("Extract: 0x%08lx large %dx%d small %dx%d\n", static_cast<unsigned long>(result),
                largeImage.width, largeImage.height, smallImage.width, smallImage.height);
    if (!options.out.empty()) {
        WritePng(largeImage, options.out + "-large.png");
        WritePng(smallImage, options.out + "-small.png");
    }
    if (large)
        DestroyIcon(large);
    if (small && small != large)
        DestroyIcon(small);
    return result == S_OK ? 0 : 1;
}

// What the viewer shows once it has painted: its title and status, the site's pinned
// window, and the screenshot.
void PrintViewer(HWND frame, const ViewerSite& site, const std::string& screenshot)
{
    std::printf("title: \"%s\"\n", WindowText(frame).c_str());
    std::printf("status: \"%s\"\n", WindowText(GetDlgItem(frame, 2)).c_str());
    std::printf("pinned: %s\n", site.pinned == frame ? "this viewer" : site.pinned ? "another window" : "none");
    if (!screenshot.empty())
        std::printf("screenshot: %s\n", WritePng(CaptureWindow(frame), screenshot) ? "ok" : "failed");
}

// The Quick View host: each file in a new object; a file dropped on the viewer is
// shown next, in a new object at the old frame's place, which then lets the old one go.
int View(const Options& options)
{
    ServerModule server(options.dll);
    ComPtr<ViewerSite> site = ViewerSite::Create();
    FVSHOWINFO info = {};
    info.cbSize = sizeof info;
    info.iShow = SW_SHOWNORMAL;
    info.dwFlags = (options.pin ? FVSIF_PINNED : 0) | (options.hasRect ? FVSIF_RECT : 0);
    info.rect = options.rect;
    std::string file = options.file;
    std::string drop = options.drop;
    for (;;) {
        ComPtr<IPersistFile> persist;
        ComPtr<IFileViewerA> viewer;
        if (FAILED(server.Create(IID_IPersistFile, persist)) || FAILED(persist.As(&viewer))) {
            std::fprintf(stderr, "cannot create the server's object\n");
            return 2;
        }
        std::printf("Load: 0x%08lx\n", static_cast<unsigned long>(persist->Load(Widen(file).c_str(), STGM_READ)));
        HRESULT result = viewer->ShowInitialize(site.Get());
        std::printf("ShowInitialize: 0x%08lx\n", static_cast<unsigned long>(result));
        if (FAILED(result)) {
            if (info.punkRel)
                info.punkRel->Release();
            return 1;
        }
        std::vector<ViewerDriver::Step> steps = {[&](HWND frame) {
            PrintViewer(frame, *site.Get(), drop.empty() ? options.screenshot : std::string());
            if (!drop.empty())
                PostMessageA(frame, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDropList({drop})), 0);
            else if (!options.wait)
                PostMessageA(frame, WM_CLOSE, 0, 0);
            drop.clear();
        }};
        ViewerDriver driver(std::move(steps), 200);
        result = driver.Show(viewer.Get(), info);
        std::printf("Show: 0x%08lx\n", static_cast<unsigned long>(result));
        if (!(info.dwFlags & FVSIF_NEWFILE))
            return 0;
        file = Narrow(info.strNewFile);
        const RECT& r = info.rect;
        std::printf("new file: %s at %ld,%ld,%ld,%ld\n", file.c_str(), r.left, r.top, r.right, r.bottom);
    }
}

}  // namespace

int main()
{
    Options options;
    if (!Parse(Arguments(), options))
        return Usage();
    OleInitialize(nullptr);
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    int status;
    if (options.command == "register" || options.command == "unregister")
        status = Registration(options);
    else if (options.command == "properties")
        status = Properties(options);
    else if (options.command == "icon")
        status = Icon(options);
    else if (options.command == "view")
        status = View(options);
    else if (options.command == "props")
        status = PropsCommand(options.rest);
    else if (options.command == "thumbnail")
        status = ThumbnailCommand(options.rest);
    else if (options.command == "preview")
        status = PreviewCommand(options.rest);
    else
        status = Usage();
    std::fflush(stdout);
    OleUninitialize();
    return status;
}
