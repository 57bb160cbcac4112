#include "handlers/win32/PreviewPane.h"

#include <algorithm>
#include <climits>
#include <mutex>
#include <new>

#include "preview/PreviewImage.h"
#include "preview/win32/PreviewDrawing.h"
#include "util/win32/ModuleInstance.h"

namespace orv {
namespace {

constexpr wchar_t paneClass[] = L"OVPREVIEW_PANE";
constexpr DWORD staticStyle = WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX | SS_EDITCONTROL;
// How a static control of that style wraps its text.
constexpr UINT wrapFlags = DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX | DT_EDITCONTROL;
constexpr DWORD textStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                            ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL;

// As with the viewer's classes: a class registered by the module would outlive an
// unload of it, so it exists only while a pane does.
std::mutex classLock;
int livePanes = 0;

using unique_hfont = unique_handle<NullInvalid<HFONT, DeleteObject>>;

// The documents' characters are Windows characters whatever the system's code page.
std::wstring Wide(const std::string& text)
{
    constexpr UINT windowsCodePage = 1252;
    int size = static_cast<int>(std::min<size_t>(text.size(), INT_MAX));
    int length = MultiByteToWideChar(windowsCodePage, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(windowsCodePage, 0, text.data(), size, wide.data(), length);
    return wide;
}

LOGFONTW MessageFont()
{
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    return metrics.lfMessageFont;
}

// The same size in a face whose characters are all equally wide, so that scripts and
// listings keep their columns.
LOGFONTW FixedPitch(LOGFONTW font)
{
    font.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    font.lfFaceName[0] = L'\0';
    return font;
}

void MoveTo(HWND control, const Rect& rect)
{
    MoveWindow(control, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
}

PreviewPane* PaneOf(HWND window)
{
    return reinterpret_cast<PreviewPane*>(GetWindowLongPtrW(window, 0));
}

}  // namespace

std::unique_ptr<PreviewPane> PreviewPane::Make(HWND parent, const RECT& rect, const Document& document,
                                               const PaneLook& look)
{
    std::unique_ptr<PreviewPane> pane(new (std::nothrow) PreviewPane(document));
    if (!pane || !pane->Create(parent, rect, look))
        return nullptr;
    return pane;
}

PreviewPane::PreviewPane(const Document& document) : document(document), facts(PaneFacts(document)) {}

PreviewPane::~PreviewPane()
{
    // The controls go with their parent.
    if (window)
        DestroyWindow(window);
    if (!counted)
        return;
    std::lock_guard lock(classLock);
    if (--livePanes == 0)
        UnregisterClassW(paneClass, ModuleInstance());
}

bool PreviewPane::Create(HWND parent, const RECT& rect, const PaneLook& look)
{
    HINSTANCE module = ModuleInstance();
    {
        std::lock_guard lock(classLock);
        if (livePanes == 0) {
            WNDCLASSEXW windowClass = {};
            windowClass.cbSize = sizeof windowClass;
            windowClass.lpfnWndProc = WindowProc;
            // The pane's address, whole on 64-bit.
            windowClass.cbWndExtra = sizeof(LONG_PTR);
            windowClass.hInstance = module;
            windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
            windowClass.lpszClassName = paneClass;
            if (RegisterClassExW(&windowClass) == 0)
                return false;
        }
        ++livePanes;
        counted = true;
    }
    // Shown once its controls are made and laid out.
    window = CreateWindowExW(0, paneClass, L"", WS_CHILD | WS_CLIPCHILDREN, rect.left, rect.top,
                             rect.right - rect.left, rect.bottom - rect.top, parent, nullptr, module, this);
    if (!window)
        return false;
    for (const PaneFact& fact : facts) {
        labels.push_back(CreateWindowExW(0, L"STATIC", Wide(fact.label).c_str(), staticStyle, 0, 0, 0, 0, window,
                                         nullptr, module, nullptr));
        values.push_back(CreateWindowExW(0, L"STATIC", Wide(fact.value).c_str(), staticStyle, 0, 0, 0, 0, window,
                                         nullptr, module, nullptr));
        if (!labels.back() || !values.back())
            return false;
    }
    if (const std::string* shown = PaneText(document)) {
        text = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", Wide(*shown).c_str(), textStyle, 0, 0, 0, 0, window,
                               nullptr, module, nullptr);
        if (!text)
            return false;
    }
    SetLook(look);
    ShowWindow(window, SW_SHOWNA);
    return true;
}

void PreviewPane::Place(HWND parent, const RECT& rect)
{
    if (GetParent(window) != parent)
        SetParent(window, parent);
    SetWindowPos(window, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void PreviewPane::SetLook(const PaneLook& look)
{
    backgroundColour = look.background.value_or(GetSysColor(COLOR_WINDOW));
    textColour = look.text.value_or(GetSysColor(COLOR_WINDOWTEXT));
    background.reset(CreateSolidBrush(backgroundColour));
    LOGFONTW font = look.font.value_or(MessageFont());
    LOGFONTW fixed = FixedPitch(font);
    // The controls let go of the old fonts before they are deleted.
    unique_hfont newFactFont(CreateFontIndirectW(&font));
    unique_hfont newFixedFont(CreateFontIndirectW(&fixed));
    for (const std::vector<HWND>* controls : {&labels, &values})
        for (HWND control : *controls)
            SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(newFactFont.get()), FALSE);
    if (text)
        SendMessageW(text, WM_SETFONT, reinterpret_cast<WPARAM>(newFixedFont.get()), FALSE);
    factFont = std::move(newFactFont);
    fixedFont = std::move(newFixedFont);
    Layout();
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void PreviewPane::Focus()
{
    SetFocus(text ? text : window);
}

void PreviewPane::Layout()
{
    RECT client = {};
    GetClientRect(window, &client);
    unique_window_dc dc(window);
    unique_select_object selected(dc.get(), factFont.get());
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc.get(), &metrics);
    PaneMeasures measures{0, metrics.tmHeight, nullptr};
    for (const PaneFact& fact : facts) {
        SIZE size = {};
        std::wstring label = Wide(fact.label);
        GetTextExtentPoint32W(dc.get(), label.c_str(), static_cast<int>(label.size()), &size);
        measures.labelWidth = std::max<int32_t>(measures.labelWidth, size.cx);
    }
    measures.valueHeight = [&](size_t fact, int32_t width) {
        RECT bounds = {0, 0, width, 0};
        std::wstring value = Wide(facts[fact].value);
        DrawTextW(dc.get(), value.c_str(), static_cast<int>(value.size()), &bounds, wrapFlags);
        return static_cast<int32_t>(bounds.bottom);
    };
    PreviewShape shape = document.preview ? ShapeOf(*document.preview) : PreviewShape{};
    // Only the controls made so far: the window is sized before they are.
    PaneLayout layout = LayOutPane(client.right, client.bottom, shape, values.size(), measures, text != nullptr);
    pictureRect = {layout.picture.left, layout.picture.top, layout.picture.right, layout.picture.bottom};
    for (size_t fact = 0; fact < values.size(); ++fact) {
        MoveTo(labels[fact], layout.labels[fact]);
        MoveTo(values[fact], layout.values[fact]);
    }
    if (text)
        MoveTo(text, layout.text);
}

void PreviewPane::Paint()
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (document.preview && !IsRectEmpty(&pictureRect))
        DrawPreview(*document.preview, dc, pictureRect);
    EndPaint(window, &paint);
}

LRESULT CALLBACK PreviewPane::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        SetWindowLongPtrW(window, 0,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    PreviewPane* pane = PaneOf(window);
    if (pane == nullptr)
        return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_SIZE:
        pane->Layout();
        return 0;
    case WM_ERASEBKGND: {
        RECT client;
        GetClientRect(window, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, pane->background.get());
        return 1;
    }
    case WM_PAINT:
        pane->Paint();
        return 0;
    case WM_CTLCOLORSTATIC: {
        // Static controls and the read-only text alike.
        auto dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, pane->textColour);
        SetBkColor(dc, pane->backgroundColour);
        return reinterpret_cast<LRESULT>(pane->background.get());
    }
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace orv
