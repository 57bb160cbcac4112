#pragma once
#include <windows.h>
#include <shobjidl.h>
#include <wrl/client.h>

#include <string>
#include <vector>

#include "PreviewFrame.h"
#include "ServerModule.h"

namespace orv::host {

struct PaneChild {
    std::string className;
    std::string text;  // UTF-8
    bool visible;
    RECT rect;  // in the pane's client coordinates
};

// The shell's preview pane: a top-level window whose client area the handler's pane
// fills, a PreviewFrame as the handler's site, and the document handed over as a
// read-only stream, in the order the shell calls them.
class PreviewHost {
public:
    PreviewHost(int width, int height);
    ~PreviewHost();
    PreviewHost(const PreviewHost&) = delete;
    PreviewHost& operator=(const PreviewHost&) = delete;

    HWND Window() const { return window; }
    PreviewFrame& Frame() const { return *frame.Get(); }
    IPreviewHandler* Handler() const { return handler.Get(); }

    // A new handler of the server's class with the frame as its site, the file as a
    // stream (the host keeps no reference to it), the window and its client area, the
    // dark colours through the visuals when asked, then DoPreview. Answers the result
    // of the last call made, which Step names: a failing one ends the sequence.
    HRESULT Preview(const ServerModule& server, const std::string& path, bool dark);
    const char* Step() const { return step; }

    // The handler's window (IOleWindow); null when it names none.
    HWND Pane() const;
    HRESULT Unload();

    // The controls of a window, in their order.
    static std::vector<PaneChild> Children(HWND pane);
    // Lets the windows process what is pending, paints included.
    static void Pump();
    // Runs the window as the shell would until the user closes it, the handler
    // offered each key first.
    void RunUntilClosed();

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window = nullptr;
    Microsoft::WRL::ComPtr<PreviewFrame> frame = PreviewFrame::Create();
    Microsoft::WRL::ComPtr<IPreviewHandler> handler;
    const char* step = "";
};

}  // namespace orv::host
