#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "Image.h"
#include "PreviewHost.h"
#include "ServerFixture.h"
#include "module/win32/ClassId.h"

namespace orv::test {
namespace {

using host::PreviewHost;
constexpr int width = 400;
constexpr int height = 500;
constexpr COLORREF dark = RGB(32, 32, 32);

// Each control of the pane as "Class text".
std::vector<std::string> Shown(HWND pane)
{
    std::vector<std::string> shown;
    for (const host::PaneChild& child : PreviewHost::Children(pane))
        shown.push_back(child.className + " " + child.text);
    return shown;
}

// Label and value controls of each fact, in order, then the text's when there is one.
std::vector<std::string> Facts(const std::vector<std::pair<std::string, std::string>>& facts,
                               const std::string& text = {})
{
    std::vector<std::string> shown;
    for (const auto& [label, value] : facts) {
        shown.push_back("Static " + label);
        shown.push_back("Static " + value);
    }
    if (!text.empty())
        shown.push_back("Edit " + text);
    return shown;
}

uint32_t Pixel(COLORREF colour)
{
    return 0xFF000000u | GetRValue(colour) << 16 | GetGValue(colour) << 8 | GetBValue(colour);
}

// Whether every character of the control's font is as wide as every other.
bool FixedPitch(HWND control)
{
    auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    unique_window_dc dc(control);
    unique_select_object selected(dc.get(), font);
    SIZE narrow = {}, wide = {};
    GetTextExtentPoint32W(dc.get(), L"iiii", 4, &narrow);
    GetTextExtentPoint32W(dc.get(), L"WWWW", 4, &wide);
    return font != nullptr && narrow.cx == wide.cx;
}

// The shell's preview pane, through the handler class of the server.
class PreviewPane : public ServerFixture {
protected:
    host::ServerModule previews{"orvshell.dll", PreviewClassId};

    HRESULT Preview(PreviewHost& host, const std::string& name, const std::vector<uint8_t>& bytes,
                    bool dark = false)
    {
        std::string path = scratch.Write(name, bytes);
        HRESULT result = host.Preview(previews, path, dark);
        EXPECT_TRUE(OpensExclusively(path)) << name << " stayed open after DoPreview";
        return result;
    }
};

// The facts the pages show, the picture a kind stores drawn in the top band, else the
// text a kind has in a fixed-pitch font.
TEST_F(PreviewPane, ShowsTheDocumentsPictureFactsAndText)
{
    const std::vector<uint8_t> script = Script();
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
        std::vector<std::string> shown;
        bool picture;
    } cases[] = {
        {"House.pln", FullPlan(),
         Facts({{"Document Name:", "Villa Rosa"}, {"Version:", "4.55"}, {"Platform:", "Windows"}, {"Release:", "42"},
                {"Project:", "Villa"}, {"Author:", "Ann"}, {"Revision:", "C"}, {"Drawing No. Prefix:", "VR-"},
                {"Keywords:", "villa"}, {"Comments:", Lines("\r\n")}}),
         true},
        {"Stored.mod", Module(), Facts({{"Version:", "6.01"}, {"Release:", "0"}}), true},
        {"Door.qdl", script, Facts({{"Document Name:", "Door"}}, std::string(script.begin(), script.end())), false},
        // Windows characters whatever the system's code page: 0x80 is the euro sign.
        {"Cafe.pln", PlanBuilder(WW).Version(4550).DocumentName("Caf\xE9 \x80").Build(),
         Facts({{"Document Name:", "Caf\u00E9 \u20AC"}, {"Version:", "4.55"}, {"Platform:", "Windows"},
                {"Release:", "0"}}),
         false},
    };
    // One host for all: Wine takes two seconds to destroy a window it has shown.
    PreviewHost host(width, height);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(Preview(host, c.name, c.bytes), S_OK);
        EXPECT_EQ(Shown(host.Pane()), c.shown);
        HWND text = FindWindowExW(host.Pane(), nullptr, L"Edit", nullptr);
        EXPECT_TRUE(text == nullptr || FixedPitch(text));
        // A picture 64 x 32 fills the top band's middle.
        host::Image shot = host::CaptureWindow(host.Window());
        EXPECT_EQ(shot.At(width / 2, 24) == 0xFFFF0000u, c.picture);
    }
}

TEST_F(PreviewPane, TheWindowFollowsTheShellsRectangleAndParentAndGoesWithUnload)
{
    PreviewHost host(width, height);
    ASSERT_EQ(Preview(host, "Door.qdl", Script()), S_OK);
    HWND pane = host.Pane();
    IPreviewHandler* handler = host.Handler();
    const RECT moved = {10, 20, 210, 320};
    ASSERT_EQ(handler->SetRect(&moved), S_OK);
    EXPECT_TRUE(SameRect(PlaceIn(pane, host.Window()), moved));
    // The text reaches down to the margin of the new size.
    RECT text = PlaceIn(FindWindowExW(pane, nullptr, L"Edit", nullptr), pane);
    EXPECT_EQ(text.bottom, 300 - 8);
    EXPECT_EQ(text.right, 200 - 8);

    PreviewHost other(width, height);
    const RECT elsewhere = {5, 5, 105, 105};
    ASSERT_EQ(handler->SetWindow(other.Window(), &elsewhere), S_OK);
    EXPECT_EQ(GetParent(pane), other.Window());
    EXPECT_TRUE(SameRect(PlaceIn(pane, other.Window()), elsewhere));

    // The document went with the window.
    EXPECT_EQ(handler->Unload(), S_OK);
    EXPECT_EQ(handler->DoPreview(), E_FAIL);
    EXPECT_EQ(host.Pane(), nullptr);
}

TEST_F(PreviewPane, ColoursAndFontFromTheVisualsBeforeOrAfterDoPreview)
{
    LOGFONTW large = {};
    large.lfHeight = -40;
    const struct {
        const char* name;
        bool darkFirst;
        bool darkAfter;
        bool largeFont;
        COLORREF background;
        COLORREF text;
    } cases[] = {
        {"the system's colours", false, false, false, GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_WINDOWTEXT)},
        {"dark before DoPreview", true, false, false, dark, RGB(255, 255, 255)},
        {"dark after DoPreview, with a large font", false, true, true, dark, RGB(255, 255, 255)},
    };
    LONG defaultHeight = 0;
    PreviewHost host(width, height);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(Preview(host, "Door.qdl", Script(), c.darkFirst), S_OK);
        ComPtr<IPreviewHandlerVisuals> visuals;
        ASSERT_EQ(host.Handler()->QueryInterface(IID_PPV_ARGS(&visuals)), S_OK);
        if (c.darkAfter) {
            EXPECT_EQ(visuals->SetBackgroundColor(dark), S_OK);
            EXPECT_EQ(visuals->SetTextColor(RGB(255, 255, 255)), S_OK);
        }
        if (c.largeFont) {
            EXPECT_EQ(visuals->SetFont(&large), S_OK);
        }
        PreviewHost::Pump();
        HWND pane = host.Pane();
        HWND label = GetWindow(pane, GW_CHILD);
        RECT labelPlace = PlaceIn(label, pane);
        RECT textPlace = PlaceIn(FindWindowExW(pane, nullptr, L"Edit", nullptr), pane);
        host::Image shot = host::CaptureWindow(host.Window());
        // The pane's margin, and the text's inside below its last line.
        EXPECT_EQ(shot.At(2, height - 2), Pixel(c.background));
        EXPECT_EQ(shot.At(textPlace.left + 20, textPlace.bottom - 30), Pixel(c.background));
        // The label is drawn in the text colour.
        int inText = 0;
        for (int y = labelPlace.top; y < labelPlace.bottom; ++y)
            for (int x = labelPlace.left; x < labelPlace.right; ++x)
                inText += shot.At(x, y) == Pixel(c.text);
        EXPECT_GT(inText, 0);
        LONG labelHeight = labelPlace.bottom - labelPlace.top;
        if (c.largeFont) {
            EXPECT_GT(labelHeight, defaultHeight + 20);
        } else {
            defaultHeight = labelHeight;
        }
    }
}

// What the shell asks of the handler around the pane: its site, its window, keys and focus.
TEST_F(PreviewPane, SiteKeysFocusAndTheInterfacesOfOneObject)
{
    PreviewHost host(width, height);
    ASSERT_EQ(Preview(host, "Door.qdl", Script()), S_OK);
    IPreviewHandler* handler = host.Handler();
    ComPtr<IUnknown> identity;
    ASSERT_EQ(handler->QueryInterface(IID_PPV_ARGS(&identity)), S_OK);
    for (const IID* iid : {&IID_IPreviewHandler, &IID_IInitializeWithStream, &IID_IObjectWithSite, &IID_IOleWindow,
                           &IID_IPreviewHandlerVisuals}) {
        ComPtr<IUnknown> face, same;
        ASSERT_EQ(handler->QueryInterface(*iid, reinterpret_cast<void**>(face.GetAddressOf())), S_OK);
        ASSERT_EQ(face.As(&same), S_OK);
        EXPECT_EQ(same, identity);
    }
    ComPtr<IOleWindow> oleWindow;
    ComPtr<IObjectWithSite> withSite;
    ComPtr<IInitializeWithStream> init;
    ASSERT_EQ(handler->QueryInterface(IID_PPV_ARGS(&oleWindow)), S_OK);
    ASSERT_EQ(handler->QueryInterface(IID_PPV_ARGS(&withSite)), S_OK);
    ASSERT_EQ(handler->QueryInterface(IID_PPV_ARGS(&init)), S_OK);
    EXPECT_EQ(oleWindow->ContextSensitiveHelp(TRUE), E_NOTIMPL);
    ComPtr<IStream> stream;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
    EXPECT_EQ(init->Initialize(stream.Get(), STGM_READ), S_OK);
    EXPECT_EQ(init->Initialize(stream.Get(), STGM_READ), HRESULT_FROM_WIN32(ERROR_ALREADY_INITIALIZED));

    // The pane's text takes the focus, and the handler says so.
    EXPECT_EQ(handler->SetFocus(), S_OK);
    HWND focus = nullptr;
    EXPECT_EQ(handler->QueryFocus(&focus), S_OK);
    EXPECT_EQ(focus, FindWindowExW(host.Pane(), nullptr, L"Edit", nullptr));

    // Keys go to the frame, which answers for the handler; without a site none is handled.
    MSG key = {host.Pane(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
    const struct {
        bool site;
        HRESULT frameAnswer;
        HRESULT answer;
        size_t handedOn;
    } keys[] = {{true, S_FALSE, S_FALSE, 1}, {true, S_OK, S_OK, 2}, {false, S_OK, S_FALSE, 2}};
    for (const auto& k : keys) {
        withSite->SetSite(k.site ? static_cast<IPreviewHandlerFrame*>(&host.Frame()) : nullptr);
        host.Frame().answer = k.frameAnswer;
        EXPECT_EQ(handler->TranslateAccelerator(&key), k.answer);
        ASSERT_EQ(host.Frame().handedOn.size(), k.handedOn);
        EXPECT_EQ(host.Frame().handedOn.back().wParam, WPARAM{VK_TAB});
        ComPtr<IPreviewHandlerFrame> site;
        EXPECT_EQ(withSite->GetSite(IID_PPV_ARGS(&site)), k.site ? S_OK : E_FAIL);
        EXPECT_EQ(site.Get(), k.site ? &host.Frame() : nullptr);
    }
}

}  // namespace
}  // namespace orv::test
