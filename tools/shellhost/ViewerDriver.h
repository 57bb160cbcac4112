#pragma once
#include <windows.h>

#include <functional>
#include <vector>

#include "shell/win32/ShellInterfaces.h"

namespace orv::host {

// Acts on a viewer while its Show runs the message loop: each step runs on this
// thread, from a timer the loop dispatches, a delay after the one before, and is
// handed the viewer's frame. Steps still pending when Show returns are dropped.
class ViewerDriver {
public:
    using Step = std::function<void(HWND frame)>;

    ViewerDriver(std::vector<Step> steps, UINT delay);
    ~ViewerDriver();
    ViewerDriver(const ViewerDriver&) = delete;
    ViewerDriver& operator=(const ViewerDriver&) = delete;

    HRESULT Show(IFileViewerA* viewer, FVSHOWINFO& info);
    size_t StepsRun() const { return next; }

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR timer, DWORD);
    void Schedule();

    std::vector<Step> steps;
    UINT delay;
    size_t next = 0;
    UINT_PTR timer = 0;
};

// The frame of the viewer shown now; null when there is none.
HWND ViewerFrame();

}  // namespace orv::host
