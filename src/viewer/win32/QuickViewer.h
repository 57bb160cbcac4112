#pragma once
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <wrl/client.h>

#include <memory>

#include "shell/win32/FileViewer.h"

namespace orv {

// The Quick View window: a frame with menu, toolbar and status bar around a
// viewport that paints the document's preview. It lives inside the shell object
// that made it and runs its message loop on that object's thread.
class QuickViewer final : public FileViewer {
public:
    // A viewer with its windows created, the frame hidden; null when they cannot be.
    static std::unique_ptr<FileViewer> Make();

    ~QuickViewer() override;
    QuickViewer(const QuickViewer&) = delete;
    QuickViewer& operator=(const QuickViewer&) = delete;

    bool HasFrame() const override { return frame != nullptr; }
    bool Prepare(FileHandler& handler, IFileViewerSite* site, IUnknown* outer) override;
    void ShowAndRun(FVSHOWINFO& info) override;

private:
    QuickViewer() = default;

    bool CreateWindows();
    void Layout();
    void OnCommand(UINT id);
    void OpenForEditing();
    void ToggleBar(HWND bar, UINT item);
    void TogglePin();
    bool SetStatus(UINT id);
    void OnToolTip(NMTTDISPINFOA& info);
    void OnDrop(HDROP drop);

    static LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ViewportProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    Microsoft::WRL::ComPtr<IFileViewerSite> site;
    IUnknown* outer = nullptr;
    FVSHOWINFO* showInfo = nullptr;
    FileHandler* handler = nullptr;
    HWND frame = nullptr;
    HWND toolbar = nullptr;
    HWND statusBar = nullptr;
    HWND viewport = nullptr;
    bool quitOnDestroy = true;
    UINT lastStatusId = static_cast<UINT>(-1);
    // Whether this viewer counts among those that keep the window classes registered.
    bool counted = false;
};

}  // namespace orv
