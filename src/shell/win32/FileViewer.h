#pragma once
#include <windows.h>

#include <memory>

#include "shell/win32/FileHandler.h"
#include "shell/win32/ShellInterfaces.h"

namespace orv {

// The Quick View window as the shell object sees it. The module hands the object a
// function that makes one, so that the shell layer needs no window of its own.
class FileViewer {
public:
    virtual ~FileViewer() = default;

    // False once the user has closed the frame: such a viewer cannot be shown again.
    virtual bool HasFrame() const = 0;
    // Loads the handler's contents and titles the frame; the site is held, outer only
    // kept (it owns the viewer).
    virtual bool Prepare(FileHandler& handler, IFileViewerSite* site, IUnknown* outer) = 0;
    // Shows the frame and runs the thread's messages until the frame closes or a
    // dropped file is handed back through info.
    virtual void ShowAndRun(FVSHOWINFO& info) = 0;
};

// Makes a viewer with its windows; null when they cannot be created.
using MakeViewerFunction = std::unique_ptr<FileViewer> (*)();

}  // namespace orv
