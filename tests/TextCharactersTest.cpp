// Texts that the ANSI code page of the test prefix (1252) cannot hold, through every member that
// reads, writes, finds or types a window's, a class's or a menu entry's text. The windows are
// Unicode windows of this thread; posted keys arrive when the test pumps.
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

std::vector<Message> g_keys;  // the key messages the edit control received
WNDPROC g_editProc = nullptr;
LRESULT CALLBACK RecordKeys(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m >= WM_KEYFIRST && m <= WM_KEYLAST) g_keys.push_back({h, m, w, l});
    return CallWindowProcW(g_editProc, h, m, w, l);
}

std::wstring Take(BSTR text) {
    UniqueBstr owned(text);
    return std::wstring(text, SysStringLen(text));
}

// Makes the window itself answer: the fall-back through WM_GETTEXTLENGTH and WM_GETTEXT.
struct NoStoredText : platform::Win32WindowSystem {
    int GetWindowTextLengthW(LONG) override { return 0; }
};

TEST(TextOutsideTheCodePage, IsReadWrittenFoundAndTypedAsItIs) {
    const struct { const char* name; const wchar_t* text; } rows[] = {
        {"Greek", L"Ωμέγα"}, {"Cyrillic", L"Привет"}, {"symbol", L"✓"}, {"beyond the BMP", L"\U0001D11E"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::wstring text = row.text, className = L"WrangText" + text;
        BOOL lost = FALSE;
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, row.text, -1, nullptr, 0, nullptr, &lost);
        ASSERT_TRUE(lost) << "the code page holds the text, which shows nothing";
        WNDCLASSW cls = {0, DefWindowProcW, 0, 0, GetModuleHandleW(nullptr)};
        cls.lpszClassName = className.c_str();
        ASSERT_TRUE(RegisterClassW(&cls));
        HWND top = CreateWindowExW(0, cls.lpszClassName, row.text, WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                   nullptr, nullptr, cls.hInstance, nullptr);
        HWND panel = CreateWindowExW(0, cls.lpszClassName, row.text, WS_CHILD, 0, 0, 50, 50, top, nullptr,
                                     nullptr, nullptr);
        HWND edit = CreateWindowExW(0, L"Edit", row.text, WS_CHILD, 0, 0, 100, 20, top, nullptr, nullptr, nullptr);
        HMENU bar = CreateMenu(), popup = CreatePopupMenu();
        AppendMenuW(popup, MF_STRING | MF_CHECKED, 7, L"x");
        AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), row.text);
        SetMenu(top, bar);
        UniqueBstr name(SysAllocString(className.c_str())), caption(SysAllocString(row.text));

        // Find: the window by class and caption, its child and the child's sibling, its menu bar.
        ComPtr<_clsWrangler> w = Bound(0), same, child, sibling, control = Bound(L(edit));
        ASSERT_EQ(S_OK, w->InitByWindow(name.get(), caption.get(), same.put()));
        EXPECT_EQ(L(top), HandleOf(w.get()));
        ASSERT_EQ(S_OK, w->GetChild(name.get(), caption.get(), child.put()));
        EXPECT_EQ(L(panel), HandleOf(child.get()));
        ASSERT_EQ(S_OK, control->GetSibling(nullptr, caption.get(), sibling.put()));
        EXPECT_EQ(L(panel), HandleOf(sibling.get()));
        ComPtr<_clsJuggler> juggler, menu;
        ASSERT_EQ(S_OK, CreateJuggler(juggler.put()));
        ASSERT_EQ(S_OK, juggler->InitByWindow(name.get(), caption.get(), menu.put()));
        ASSERT_TRUE(menu);
        LONG hMenu = 0;
        EXPECT_EQ(S_OK, menu->get_hMenu(&hMenu));
        EXPECT_EQ(static_cast<LONG>(reinterpret_cast<LONG_PTR>(bar)), hMenu);

        // Read: caption (also by name, as a script reads it), class name, the control's own
        // answer, the menu entry's caption.
        BSTR read = nullptr;
        CallResult byName;
        Call(w.get(), L"Text", {}, &byName);
        EXPECT_EQ(text, std::wstring(V_BSTR(byName.value.get())));
        EXPECT_EQ(S_OK, w->get_ClassName(&read));
        EXPECT_EQ(className, Take(read));
        {
            NoStoredText answering;
            platform::ScopedWindowSystem scoped(answering);
            EXPECT_EQ(S_OK, control->get_Text(&read));
            EXPECT_EQ(text, Take(read));
        }
        ComPtr<_clsMenuItem> file, entry;
        ASSERT_EQ(S_OK, menu->GetChildMenu(0, file.put()));
        EXPECT_EQ(S_OK, file->get_Text(&read));
        EXPECT_EQ(text, Take(read));

        // Write: the caption and the menu entry, which stays checked.
        wchar_t written[16] = {};
        SetWindowTextW(top, L"x");
        EXPECT_EQ(S_OK, w->put_Text(caption.get()));
        GetWindowTextW(top, written, 16);
        EXPECT_EQ(text, written);
        ASSERT_EQ(S_OK, file->GetChildMenu(0, entry.put()));
        EXPECT_EQ(S_OK, entry->put_Text(caption.get()));
        GetMenuStringW(popup, 7, written, 16, MF_BYCOMMAND);
        EXPECT_EQ(text, written);
        EXPECT_EQ(static_cast<UINT>(MF_CHECKED), GetMenuState(popup, 7, MF_BYCOMMAND) & MF_CHECKED);

        // Type: each UTF-16 unit as WM_CHAR between the keys of VK_PACKET, shown by the control.
        SetWindowTextW(edit, L"");
        g_keys.clear();
        g_editProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordKeys)));
        VARIANT_BOOL typed = VARIANT_FALSE;
        EXPECT_EQ(S_OK, control->SendText(caption.get(), 0, &typed));
        EXPECT_TRUE(PumpUntil([&] { return g_keys.size() >= 3 * text.size(); }));
        GetWindowTextW(edit, written, 16);
        EXPECT_EQ(text, written);
        const LPARAM down = (MapVirtualKeyA(VK_PACKET, 0) << 16) | 1, up = down | 0xC0000000u;
        auto describe = [](UINT message, WPARAM w, LPARAM l) {
            return std::to_string(message) + " " + HexOf(BitsOf(w)) + " " + HexOf(BitsOf(l));
        };
        std::vector<std::string> expected, received;
        for (wchar_t unit : text) {
            expected.insert(expected.end(), {describe(WM_KEYDOWN, VK_PACKET, down), describe(WM_CHAR, unit, down),
                                             describe(WM_KEYUP, VK_PACKET, up)});
        }
        for (const Message& m : g_keys) received.push_back(describe(m.message, m.wParam, m.lParam));
        EXPECT_EQ(expected, received);
        DestroyWindow(top);
        UnregisterClassW(cls.lpszClassName, cls.hInstance);
    }
}

}  // namespace
}  // namespace wrang::test
