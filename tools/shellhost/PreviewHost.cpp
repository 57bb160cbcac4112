#include "PreviewHost.h"

#include <shlwapi.h>

#include "WideText.h"

namespace orv::host {
namespace {

constexpr wchar_t hostClass[] = L"OVPREVIEW_HOST";

std::string TextOf(HWND window)
{
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return Narrow(text.c_str());
}

}  // namespace

PreviewHost::PreviewHost(int width, int height)
{
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = hostClass;
    // Registered by the first host of the process; the later ones find it.
    RegisterClassExW(&windowClass);
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    RECT outer = {0, 0, width, height};
    AdjustWindowRect(&outer, style, FALSE);
    window = CreateWindowExW(0, hostClass, L"Preview", style, 0, 0, outer.right - outer.left,
                             outer.bottom - outer.top, nullptr, nullptr, windowClass.hInstance, this);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
}

PreviewHost::~PreviewHost()
{
    Unload();
    handler.Reset();
    if (window)
        DestroyWindow(window);
}

HRESULT PreviewHost::Preview(const ServerModule& server, const std::string& path, bool dark)
{
    step = "CreateInstance";
    HRESULT result = server.Create(IID_IPreviewHandler, handler);
    if (FAILED(result))
        return result;
    Microsoft::WRL::ComPtr<IObjectWithSite> withSite;
    Microsoft::WRL::ComPtr<IInitializeWithStream> init;
    step = "QueryInterface";
    if (FAILED(result = handler.As(&withSite)) || FAILED(result = handler.As(&init)))
        return result;
    step = "SetSite";
    if (FAILED(result = withSite->SetSite(frame.Get())))
        return result;
    step = "SHCreateStreamOnFileEx";
    Microsoft::WRL::ComPtr<IStream> stream;
    result = SHCreateStreamOnFileEx(Widen(path).c_str(), STGM_READ | STGM_SHARE_DENY_WRITE, FILE_ATTRIBUTE_NORMAL,
                                    FALSE, nullptr, &stream);
    if (FAILED(result))
        return result;
    step = "Initialize";
    if (FAILED(result = init->Initialize(stream.Get(), STGM_READ)))
        return result;
    stream.Reset();
    RECT client = {};
    GetClientRect(window, &client);
    step = "SetWindow";
    if (FAILED(result = handler->SetWindow(window, &client)))
        return result;
    step = "SetRect";
    if (FAILED(result = handler->SetRect(&client)))
        return result;
    Microsoft::WRL::ComPtr<IPreviewHandlerVisuals> visuals;
    if (dark) {
        step = "IPreviewHandlerVisuals";
        if (FAILED(result = handler.As(&visuals)) ||
            FAILED(result = visuals->SetBackgroundColor(RGB(32, 32, 32))) ||
            FAILED(result = visuals->SetTextColor(RGB(255, 255, 255))))
            return result;
    }
    step = "DoPreview";
    result = handler->DoPreview();
    Pump();
    return result;
}

HWND PreviewHost::Pane() const
{
    Microsoft::WRL::ComPtr<IOleWindow> oleWindow;
    HWND pane = nullptr;
    if (!handler || FAILED(handler.As(&oleWindow)) || FAILED(oleWindow->GetWindow(&pane)))
        return nullptr;
    return pane;
}

HRESULT PreviewHost::Unload()
{
    return handler ? handler->Unload() : S_FALSE;
}

std::vector<PaneChild> PreviewHost::Children(HWND pane)
{
    std::vector<PaneChild> children;
    for (HWND child = GetWindow(pane, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t className[64] = {};
        GetClassNameW(child, className, 64);
        PaneChild info = {Narrow(className), TextOf(child), IsWindowVisible(child) != FALSE, {}};
        GetWindowRect(child, &info.rect);
        MapWindowPoints(nullptr, pane, reinterpret_cast<POINT*>(&info.rect), 2);
        children.push_back(info);
    }
    return children;
}

void PreviewHost::Pump()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void PreviewHost::RunUntilClosed()
{
    MSG message;
    while (IsWindow(window) && GetMessageW(&message, nullptr, 0, 0) > 0) {
        bool key = message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST;
        if (key && handler && handler->TranslateAccelerator(&message) == S_OK)
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

LRESULT CALLBACK PreviewHost::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    auto* host = reinterpret_cast<PreviewHost*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (host && message == WM_SIZE && host->handler) {
        RECT client = {0, 0, LOWORD(lParam), HIWORD(lParam)};
        host->handler->SetRect(&client);
    } else if (host && message == WM_DESTROY) {
        host->window = nullptr;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace orv::host
