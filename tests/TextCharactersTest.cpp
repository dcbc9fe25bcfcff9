// Texts that the ANSI code page of the test prefix (1252) cannot hold, through every member that
// reads, writes, finds or types a window's, a class's or a menu entry's text, called by name as a
// script calls them. The windows are Unicode windows of this thread; posted keys arrive as it pumps.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/WindowSystem.h"
#include "support/Automation.h"
#include "support/Parameters.h"
#include "support/WindowThread.h"
#include "support/Wranglers.h"

namespace wrang::test {
namespace {

std::vector<std::string> g_keys;  // the key messages the edit control received
WNDPROC g_editProc = nullptr;
std::string Describe(UINT m, WPARAM w, LPARAM l) {
    return std::to_string(m) + " " + HexOf(BitsOf(w)) + " " + HexOf(BitsOf(l));
}
LRESULT CALLBACK RecordKeys(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m >= WM_KEYFIRST && m <= WM_KEYLAST) g_keys.push_back(Describe(m, w, l));
    return CallWindowProcW(g_editProc, h, m, w, l);
}

// A member's answer by name as text, and the object it hands out.
std::wstring Answer(IDispatch* o, const wchar_t* member, std::initializer_list<Arg> args = {},
                    ComPtr<IDispatch>* object = nullptr) {
    CallResult r;
    Call(o, member, args, &r);
    if (object) *object = ComPtr<IDispatch>(V_VT(r.value.get()) == VT_DISPATCH ? V_DISPATCH(r.value.get()) : nullptr);
    UniqueVariant text;
    if (FAILED(VariantChangeType(text.get(), r.value.get(), 0, VT_BSTR))) return L"(no text)";
    return std::wstring(V_BSTR(text.get()), SysStringLen(V_BSTR(text.get())));
}
std::wstring Handle(IDispatch* o, const wchar_t* member, std::initializer_list<Arg> args,
                    const wchar_t* handle = L"hWnd") {
    ComPtr<IDispatch> found;
    Answer(o, member, args, &found);
    return found ? Answer(found.get(), handle) : L"Nothing";
}

struct NoStoredText : platform::Win32WindowSystem {  // the window itself answers WM_GETTEXT
    int GetWindowTextLengthW(LONG) override { return 0; }
};

TEST(TextOutsideTheCodePage, IsReadWrittenFoundAndTypedAsItIs) {
    for (const std::wstring text : {L"Ωμέγα", L"Привет", L"✓", L"\U0001D11E"}) {
        const std::wstring name = L"WrangText" + text;
        SCOPED_TRACE(testing::PrintToString(name));
        BOOL lost = FALSE;
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.c_str(), -1, nullptr, 0, nullptr, &lost);
        ASSERT_TRUE(lost) << "the code page holds the text, which shows nothing";
        WNDCLASSW cls = {0,       DefWindowProcW, 0,       0,       GetModuleHandleW(nullptr),
                         nullptr, nullptr,        nullptr, nullptr, name.c_str()};
        ASSERT_TRUE(RegisterClassW(&cls));
        HWND top = CreateWindowExW(0, name.c_str(), text.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 200, 99, nullptr, nullptr,
                                   cls.hInstance, nullptr);
        HWND panel = CreateWindowExW(0, name.c_str(), text.c_str(), WS_CHILD, 0, 0, 50, 50, top, nullptr, cls.hInstance,
                                     nullptr);
        HWND edit = CreateWindowExW(0, L"Edit", text.c_str(), WS_CHILD, 0, 0, 99, 20, top, nullptr, nullptr, nullptr);
        HMENU bar = CreateMenu(), popup = CreatePopupMenu();
        AppendMenuW(popup, MF_STRING | MF_CHECKED, 7, L"x");
        AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), text.c_str());
        SetMenu(top, bar);
        ComPtr<_clsWrangler> control = Bound(L(edit));
        const ComPtr<_clsJuggler> juggler = Created(CreateJuggler);
        const Arg className = Arg::String(name.c_str()), caption = Arg::String(text.c_str());

        // Find and read.
        ComPtr<IDispatch> w, menu, file;
        Answer(Bound(0).get(), L"InitByWindow", {className, caption}, &w);
        EXPECT_EQ(std::to_wstring(L(top)), Answer(w.get(), L"hWnd"));
        EXPECT_EQ(std::to_wstring(L(panel)), Handle(w.get(), L"GetChild", {className, caption}));
        EXPECT_EQ(std::to_wstring(L(panel)), Handle(control.get(), L"GetSibling", {className, caption}));
        Answer(juggler.get(), L"InitByWindow", {className, caption}, &menu);
        EXPECT_EQ(std::to_wstring(AsLong(bar)), Answer(menu.get(), L"hMenu"));
        EXPECT_EQ(text, Answer(w.get(), L"Text"));
        EXPECT_EQ(name, Answer(w.get(), L"ClassName"));
        Answer(menu.get(), L"GetChildMenu", {Arg::Long(0)}, &file);
        EXPECT_EQ(text, Answer(file.get(), L"Text"));
        {
            NoStoredText answering;
            platform::ScopedWindowSystem scoped(answering);
            EXPECT_EQ(text, Answer(control.get(), L"Text"));
        }

        // Write: the caption, and the menu entry, which stays checked.
        CallResult r;
        SetWindowTextW(top, L"x");
        Put(w.get(), L"Text", caption, &r);
        EXPECT_EQ(text, Answer(w.get(), L"Text"));
        ComPtr<IDispatch> entry;
        Answer(file.get(), L"GetChildMenu", {Arg::Long(0)}, &entry);
        Put(entry.get(), L"Text", caption, &r);
        wchar_t written[16] = {};
        GetMenuStringW(popup, 7, written, 16, MF_BYCOMMAND);
        EXPECT_EQ(text, written);
        EXPECT_EQ(static_cast<UINT>(MF_CHECKED), GetMenuState(popup, 7, MF_BYCOMMAND) & MF_CHECKED);

        // Type: each UTF-16 unit as a wide WM_CHAR between the keys of VK_PACKET; the control shows it.
        SetWindowTextW(edit, L"");
        g_keys.clear();
        g_editProc =
            reinterpret_cast<WNDPROC>(SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordKeys)));
        Answer(control.get(), L"SendText", {caption, Arg::Long(0)});
        EXPECT_TRUE(PumpUntil([&] { return g_keys.size() >= 3 * text.size(); }));
        EXPECT_EQ(text, Answer(control.get(), L"Text"));
        const LPARAM down = (MapVirtualKeyA(VK_PACKET, 0) << 16) | 1, up = down | 0xC0000000u;
        std::vector<std::string> expected;
        for (wchar_t unit : text) {
            for (const std::string& key : {Describe(WM_KEYDOWN, VK_PACKET, down), Describe(WM_CHAR, unit, down),
                                           Describe(WM_KEYUP, VK_PACKET, up)})
                expected.push_back(key);
        }
        EXPECT_EQ(expected, g_keys);
        DestroyWindow(top);
        UnregisterClassW(name.c_str(), cls.hInstance);
    }
}

}  // namespace
}  // namespace wrang::test
