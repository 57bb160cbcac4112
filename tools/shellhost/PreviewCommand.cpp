#include "PreviewCommand.h"

#include <cstdio>

#include "Image.h"
#include "PreviewHost.h"
#include "ServerModule.h"
#include "WideText.h"

using namespace orv::host;

namespace {

struct PreviewOptions {
    std::string file;
    std::string dll;
    std::string screenshot;
    int width = 400;
    int height = 500;
    bool dark = false;
    bool wait = false;
};

bool ParsePreview(const std::vector<std::string>& args, PreviewOptions& options)
{
    if (args.empty())
        return false;
    options.file = args[0];
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        bool hasValue = i + 1 < args.size();
        if (arg == "--dll" && hasValue)
            options.dll = args[++i];
        else if (arg == "--screenshot" && hasValue)
            options.screenshot = args[++i];
        else if (arg == "--size" && hasValue) {
            if (std::sscanf(args[++i].c_str(), "%dx%d", &options.width, &options.height) != 2 ||
                options.width <= 0 || options.height <= 0)
                return false;
        } else if (arg == "--dark")
            options.dark = true;
        else if (arg == "--wait")
            options.wait = true;
        else
            return false;
    }
    return true;
}

// Where the pane lies and what it shows, as properties prints a page's controls.
void PrintPane(HWND pane, HWND host)
{
    RECT rect = {};
    GetWindowRect(pane, &rect);
    MapWindowPoints(nullptr, host, reinterpret_cast<POINT*>(&rect), 2);
    std::printf("pane: %ldx%ld at %ld,%ld, %s\n", rect.right - rect.left, rect.bottom - rect.top, rect.left,
                rect.top, GetParent(pane) == host ? "child of the host window" : "not a child of the host window");
    for (const PaneChild& child : PreviewHost::Children(pane))
        std::printf("  control %s %s \"%s\"\n", child.className.c_str(), child.visible ? "visible" : "hidden",
                    Escaped(child.text).c_str());
}

}  // namespace

int PreviewCommand(const std::vector<std::string>& args)
{
    PreviewOptions options;
    if (!ParsePreview(args, options)) {
        std::fputs("usage: shellhost preview FILE [--size WxH] [--dark] [--screenshot PNG] [--dll PATH] [--wait]\n",
                   stderr);
        return 2;
    }
    ServerModule server(options.dll, orv::PreviewClassId);
    if (!server.Loaded()) {
        std::fprintf(stderr, "cannot load the server's preview handler\n");
        return 2;
    }
    PreviewHost host(options.width, options.height);
    HRESULT result = host.Preview(server, options.file, options.dark);
    std::printf("%s: 0x%08lx\n", host.Step(), static_cast<unsigned long>(result));
    HWND pane = host.Pane();
    if (pane)
        PrintPane(pane, host.Window());
    else
        std::printf("pane: none\n");
    if (!options.screenshot.empty())
        std::printf("screenshot: %s\n",
                    WritePng(CaptureWindow(host.Window()), options.screenshot) ? "ok" : "failed");
    if (options.wait)
        host.RunUntilClosed();
    std::printf("Unload: 0x%08lx\n", static_cast<unsigned long>(host.Unload()));
    std::printf("pane after Unload: %s\n", pane && IsWindow(pane) ? "still there" : "gone");
    return SUCCEEDED(result) ? 0 : 1;
}
