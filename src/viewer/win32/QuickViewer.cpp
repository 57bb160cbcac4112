#include "viewer/win32/QuickViewer.h"

#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <mutex>
#include <new>

#include "resources/resource.h"
#include "util/win32/ModuleInstance.h"

namespace orv {
namespace {

constexpr char frameClass[] = "OVVIEWER_FRAME";
constexpr char viewportClass[] = "OVVIEWER_VPORT";
constexpr int toolbarId = 1;
constexpr int statusBarId = 2;
constexpr int viewportId = 3;
constexpr int toolbarImages = 5;
constexpr int titleSize = 388;
constexpr UINT moveOnly = SWP_NOZORDER | SWP_NOACTIVATE;

// A class registered by the module outlives an unload of it, its procedure then
// pointing nowhere; so the classes exist only while a viewer does.
std::mutex classLock;
int liveViewers = 0;

struct CommandStatus {
    UINT command;
    UINT status;
};

constexpr CommandStatus commandStatus[] = {
    {IDM_OPEN, IDS_STATUS_OPEN},         {IDM_EXIT, IDS_STATUS_EXIT},
    {IDM_TOOLBAR, IDS_STATUS_TOOLBAR},   {IDM_STATUS_BAR, IDS_STATUS_STATUS_BAR},
    {IDM_REPLACE, IDS_STATUS_REPLACE},   {IDM_ABOUT, IDS_STATUS_ABOUT},
    {SC_SIZE, IDS_STATUS_SIZE},          {SC_MOVE, IDS_STATUS_MOVE},
    {SC_MINIMIZE, IDS_STATUS_MINIMIZE},  {SC_MAXIMIZE, IDS_STATUS_MAXIMIZE},
    {SC_CLOSE, IDS_STATUS_CLOSE},        {SC_RESTORE, IDS_STATUS_RESTORE},
};

// The File, View and Help menus, by position.
constexpr UINT popupStatus[] = {IDS_STATUS_FILE_MENU, IDS_STATUS_VIEW_MENU, IDS_STATUS_HELP_MENU};

struct ButtonTip {
    UINT command;
    UINT tip;
    UINT status;
};

constexpr ButtonTip buttonTips[] = {
    {IDM_OPEN, IDS_TIP_OPEN, IDS_STATUS_OPEN},
    {IDM_REPLACE, IDS_TIP_REPLACE, IDS_STATUS_REPLACE},
};

const TBBUTTON buttons[] = {
    {0, IDM_OPEN, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
    {4, IDM_REPLACE, TBSTATE_ENABLED, BTNS_CHECK, {}, 0, 0},
};

// The status text for a WM_MENUSELECT: item and flags are its first parameter's halves.
UINT MenuStatus(UINT item, UINT flags)
{
    if (item == 0 && flags == 0xFFFF)
        return IDS_STATUS_READY;
    if (flags & MF_POPUP) {
        if (flags & MF_SYSMENU)
            return IDS_STATUS_SYSTEM_MENU;
        return item < std::size(popupStatus) ? popupStatus[item] : IDS_STATUS_NONE;
    }
    for (const CommandStatus& entry : commandStatus) {
        if (entry.command == item)
            return entry.status;
    }
    return IDS_STATUS_NONE;
}

bool RegisterWindowClass(const char* name, WNDPROC procedure, HICON icon, int colour, const char* menu)
{
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = procedure;
    // The viewer's address, whole on 64-bit.
    windowClass.cbWndExtra = sizeof(LONG_PTR);
    windowClass.hInstance = ModuleInstance();
    windowClass.hIcon = icon;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(colour + 1));
    windowClass.lpszMenuName = menu;
    windowClass.lpszClassName = name;
    return RegisterClassExA(&windowClass) != 0;
}

// The window's style says whether it is meant to show, also while its frame is hidden.
bool Shown(HWND window)
{
    return (GetWindowLongPtrA(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

int WindowHeight(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect.bottom - rect.top;
}

QuickViewer* ViewerOf(HWND window)
{
    return reinterpret_cast<QuickViewer*>(GetWindowLongPtrA(window, 0));
}

void KeepViewer(HWND window, LPARAM creation)
{
    SetWindowLongPtrA(window, 0,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(creation)->lpCreateParams));
}

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_CLOSE:
        EndDialog(dialog, 0);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) != IDOK)
            return FALSE;
        EndDialog(dialog, 1);
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace

std::unique_ptr<FileViewer> QuickViewer::Make()
{
    std::unique_ptr<QuickViewer> viewer(new (std::nothrow) QuickViewer);
    if (!viewer || !viewer->CreateWindows())
        return nullptr;
    return viewer;
}

QuickViewer::~QuickViewer()
{
    site.Reset();
    outer = nullptr;
    if (frame) {
        // Only the user's closing ends a message loop.
        quitOnDestroy = false;
        DestroyWindow(frame);
        frame = nullptr;
    }
    if (viewport) {
        DestroyWindow(viewport);
        viewport = nullptr;
    }
    if (!counted)
        return;
    std::lock_guard lock(classLock);
    if (--liveViewers == 0) {
        UnregisterClassA(frameClass, ModuleInstance());
        UnregisterClassA(viewportClass, ModuleInstance());
    }
}

bool QuickViewer::CreateWindows()
{
    HINSTANCE module = ModuleInstance();
    {
        std::lock_guard lock(classLock);
        if (liveViewers == 0) {
            HICON icon = LoadIconA(module, MAKEINTRESOURCEA(IDI_VIEWER));
            if (!RegisterWindowClass(frameClass, FrameProc, icon, COLOR_APPWORKSPACE,
                                     MAKEINTRESOURCEA(IDR_VIEWER_MENU)))
                return false;
            if (!RegisterWindowClass(viewportClass, ViewportProc, nullptr, COLOR_WINDOW, nullptr)) {
                UnregisterClassA(frameClass, module);
                return false;
            }
        }
        ++liveViewers;
        counted = true;
    }
    frame = CreateWindowExA(0, frameClass, "OV Viewer", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT,
                            CW_USEDEFAULT, 350, 450, nullptr, nullptr, module, this);
    viewport = CreateWindowExA(WS_EX_CLIENTEDGE, viewportClass, "Viewport", WS_CHILD | WS_VISIBLE, 0, 0, 100, 100,
                               frame, reinterpret_cast<HMENU>(viewportId), module, this);
    if (!frame || !viewport)
        return false;
    DragAcceptFiles(frame, TRUE);
    statusBar = CreateStatusWindowA(WS_CHILD | WS_VISIBLE, "", frame, statusBarId);
    // The strip's images are 16 high, one more than the default.
    toolbar = CreateToolbarEx(frame, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TBSTYLE_TOOLTIPS, toolbarId,
                              toolbarImages, module, IDB_TOOLBAR, buttons, static_cast<int>(std::size(buttons)), 0,
                              0, 16, 16, sizeof(TBBUTTON));
    Layout();
    return true;
}

bool QuickViewer::Prepare(FileHandler& fileHandler, IFileViewerSite* newSite, IUnknown* owner)
{
    if (!fileHandler.LoadContents())
        return false;
    site = newSite;
    outer = owner;
    handler = &fileHandler;
    char title[titleSize + MAX_PATH];
    if (LoadStringA(ModuleInstance(), IDS_VIEWER_TITLE, title, titleSize) == 0)
        return true;
    char name[_MAX_FNAME];
    char extension[_MAX_EXT];
    _splitpath(handler->GetPath(), nullptr, nullptr, name, extension);
    char text[sizeof title + sizeof name + sizeof extension];
    std::snprintf(text, sizeof text, "%s - %s%s", title, name, extension);
    SetWindowTextA(frame, text);
    return true;
}

void QuickViewer::ShowAndRun(FVSHOWINFO& info)
{
    if (!frame)
        return;
    showInfo = &info;
    // A flag left from an earlier drop would end this loop at its first message.
    info.dwFlags &= ~FVSIF_NEWFILE;
    if (!(info.dwFlags & FVSIF_NEWFAILED)) {
        const RECT& rect = info.rect;
        if (info.dwFlags & FVSIF_RECT)
            SetWindowPos(frame, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, moveOnly);
        if ((info.dwFlags & FVSIF_PINNED) && site) {
            site->SetPinnedWindow(nullptr);
            site->SetPinnedWindow(frame);
            CheckMenuItem(GetMenu(frame), IDM_REPLACE, MF_BYCOMMAND | MF_CHECKED);
        }
        ShowWindow(frame, info.iShow);
        if (info.iShow != 0) {
            InvalidateRect(viewport, nullptr, TRUE);
            UpdateWindow(frame);
        }
    }
    if (info.punkRel) {
        info.punkRel->Release();
        info.punkRel = nullptr;
    }
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
        if (info.dwFlags & FVSIF_NEWFILE)
            break;
    }
    showInfo = nullptr;
}

void QuickViewer::Layout()
{
    RECT client = {};
    GetClientRect(frame, &client);
    // Window heights: the toolbar's divider lies outside its client area.
    const int barHeight = WindowHeight(toolbar);
    const int statusHeight = WindowHeight(statusBar);
    SetWindowPos(toolbar, nullptr, 0, 0, client.right, barHeight, moveOnly);
    SetWindowPos(statusBar, nullptr, 0, client.bottom - statusHeight, client.right, statusHeight, moveOnly);
    int top = Shown(toolbar) ? barHeight : 0;
    int height = client.bottom - top - (Shown(statusBar) ? statusHeight : 0);
    SetWindowPos(viewport, nullptr, 0, top, client.right, height, moveOnly);
}

void QuickViewer::OnCommand(UINT id)
{
    switch (id) {
    case IDM_OPEN:
        OpenForEditing();
        break;
    case IDM_EXIT:
        PostMessageA(frame, WM_CLOSE, 0, 0);
        break;
    case IDM_TOOLBAR:
        ToggleBar(toolbar, IDM_TOOLBAR);
        break;
    case IDM_STATUS_BAR:
        ToggleBar(statusBar, IDM_STATUS_BAR);
        break;
    case IDM_REPLACE:
        TogglePin();
        break;
    case IDM_ABOUT:
        DialogBoxParamA(ModuleInstance(), MAKEINTRESOURCEA(IDD_ABOUT), frame, AboutProc, 0);
        break;
    default:
        break;
    }
}

void QuickViewer::OpenForEditing()
{
    SHELLEXECUTEINFOA execute = {};
    execute.cbSize = sizeof execute;
    // Failures are quiet: no message box about a missing association.
    execute.fMask = SEE_MASK_FLAG_NO_UI;
    execute.hwnd = frame;
    execute.lpFile = handler ? handler->GetPath() : nullptr;
    execute.nShow = SW_SHOWNORMAL;
    if (handler && ShellExecuteExA(&execute))
        PostMessageA(frame, WM_CLOSE, 0, 0);
}

void QuickViewer::ToggleBar(HWND bar, UINT item)
{
    bool shown = Shown(bar);
    CheckMenuItem(GetMenu(frame), item, MF_BYCOMMAND | (shown ? MF_UNCHECKED : MF_CHECKED));
    ShowWindow(bar, shown ? SW_HIDE : SW_SHOW);
    Layout();
}

void QuickViewer::TogglePin()
{
    HWND pinned = nullptr;
    bool known = site && SUCCEEDED(site->GetPinnedWindow(&pinned));
    bool pin = known && pinned == nullptr;
    if (pin || (known && pinned == frame)) {
        site->SetPinnedWindow(pin ? frame : nullptr);
        CheckMenuItem(GetMenu(frame), IDM_REPLACE, MF_BYCOMMAND | (pin ? MF_CHECKED : MF_UNCHECKED));
    }
    // Also when another window keeps the next file: the click has checked the button.
    SendMessageA(toolbar, TB_SETSTATE, IDM_REPLACE, MAKELONG(TBSTATE_ENABLED | (pin ? TBSTATE_CHECKED : 0), 0));
}

bool QuickViewer::SetStatus(UINT id)
{
    if (id == lastStatusId)
        return false;
    char text[256];
    if (LoadStringA(ModuleInstance(), id, text, sizeof text) == 0)
        return false;
    SetWindowTextA(statusBar, text);
    lastStatusId = id;
    return true;
}

void QuickViewer::OnToolTip(NMTTDISPINFOA& info)
{
    UINT status = IDS_STATUS_NONE;
    for (const ButtonTip& button : buttonTips) {
        if (info.hdr.idFrom != button.command)
            continue;
        info.hinst = ModuleInstance();
        info.lpszText = MAKEINTRESOURCEA(button.tip);
        status = button.status;
    }
    SetStatus(status);
}

void QuickViewer::OnDrop(HDROP drop)
{
    // The name goes to the host as the shell gave it; a longer one would come back cut,
    // naming another file.
    if (showInfo && outer && DragQueryFileW(drop, 0, nullptr, 0) < MAX_PATH &&
        DragQueryFileW(drop, 0, showInfo->strNewFile, MAX_PATH) > 0) {
        GetWindowRect(frame, &showInfo->rect);
        showInfo->dwFlags |= FVSIF_NEWFILE | FVSIF_RECT;
        showInfo->punkRel = outer;
        outer->AddRef();
    }
    DragFinish(drop);
}

LRESULT CALLBACK QuickViewer::FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE) {
        KeepViewer(window, lParam);
        return 0;
    }
    QuickViewer* viewer = ViewerOf(window);
    if (!viewer)
        return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case WM_DESTROY:
        if (viewer->quitOnDestroy)
            PostQuitMessage(0);
        viewer->quitOnDestroy = true;
        if (viewer->frame == window) {
            viewer->frame = nullptr;
            viewer->toolbar = nullptr;
            viewer->statusBar = nullptr;
        }
        return 0;
    case WM_SIZE:
        viewer->Layout();
        return 0;
    case WM_NOTIFY:
        if (lParam != 0 && reinterpret_cast<NMHDR*>(lParam)->code == TTN_NEEDTEXTA)
            viewer->OnToolTip(*reinterpret_cast<NMTTDISPINFOA*>(lParam));
        return 0;
    case WM_COMMAND:
        viewer->OnCommand(LOWORD(wParam));
        return 0;
    case WM_MENUSELECT:
        viewer->SetStatus(MenuStatus(LOWORD(wParam), HIWORD(wParam)));
        return 0;
    case WM_DROPFILES:
        viewer->OnDrop(reinterpret_cast<HDROP>(wParam));
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

LRESULT CALLBACK QuickViewer::ViewportProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE) {
        KeepViewer(window, lParam);
        return 0;
    }
    QuickViewer* viewer = ViewerOf(window);
    if (!viewer)
        return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case WM_DESTROY:
        if (viewer->viewport == window)
            viewer->viewport = nullptr;
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT rect;
        if (viewer->handler && GetClientRect(window, &rect))
            viewer->handler->DrawPreview(dc, rect);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_MOUSEMOVE:
        viewer->SetStatus(IDS_STATUS_VIEWPORT);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace orv
