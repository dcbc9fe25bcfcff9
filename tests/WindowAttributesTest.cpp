// Reading and changing a window's attributes, and the commands, against real windows; what a real
// window cannot produce (extreme rectangles, huge lengths) through a platform double.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "frame/Classes.h"
#include "frame/Errors.h"
#include "platform/WindowSystem.h"
#include "support/Automation.h"
#include "support/LentMemory.h"
#include "support/TargetProcess.h"
#include "support/WindowThread.h"
#include "support/Wranglers.h"

namespace wrang::test {
namespace {

std::wstring TextOf(_clsWrangler* w) { return ReadText(w, &_clsWrangler::get_Text); }
std::wstring ClassNameOf(_clsWrangler* w) { return ReadText(w, &_clsWrangler::get_ClassName); }
VARIANT_BOOL OnTopOf(_clsWrangler* w) { return Read(w, &_clsWrangler::get_AlwaysOnTop, VARIANT_BOOL{-7}); }
VARIANT_BOOL EnabledOf(_clsWrangler* w) { return Read(w, &_clsWrangler::get_Enabled, VARIANT_BOOL{-7}); }
VARIANT_BOOL VisibleOf(_clsWrangler* w) { return Read(w, &_clsWrangler::get_Visible, VARIANT_BOOL{-7}); }
LONG StateOf(_clsWrangler* w) { return Read(w, &_clsWrangler::get_WindowState, -7L); }

RECT RectOf(HWND h) {
    RECT r = {};
    GetWindowRect(h, &r);
    return r;
}

struct Position {
    LONG insertAfter;
    int x, y, cx, cy;
    UINT flags;
    bool operator==(const Position& o) const {
        return insertAfter == o.insertAfter && x == o.x && y == o.y && cx == o.cx && cy == o.cy && flags == o.flags;
    }
};
std::ostream& operator<<(std::ostream& out, const Position& p) {
    return out << "{" << p.insertAfter << ", " << p.x << ", " << p.y << ", " << p.cx << ", " << p.cy << ", 0x"
               << std::hex << p.flags << std::dec << "}";
}

// Passes everything on to the real window system and records the calls the tests look at; a
// rectangle or text length of its own replaces the real one where a test sets it.
struct Recorder : platform::Win32WindowSystem {
    std::vector<Position> positions;
    std::vector<int> shows;
    std::vector<BOOL> enables;
    std::vector<std::string> calls;
    std::vector<RECT> invalidated;
    std::vector<UINT> sent;
    bool fakeRect = false;
    RECT rect = {};
    bool fakeLength = false;
    int length = 0;
    bool fakeMessageLength = false;
    LONG messageLength = 0;
    LONG messageLengthArgument = -1;
    bool messageLengthLent = false;

    BOOL GetWindowRect(LONG h, RECT* r) override {
        calls.push_back("GetWindowRect");
        if (!fakeRect) return Win32WindowSystem::GetWindowRect(h, r);
        *r = rect;
        return TRUE;
    }
    BOOL SetWindowPos(LONG h, LONG after, int x, int y, int cx, int cy, UINT flags) override {
        positions.push_back({after, x, y, cx, cy, flags});
        return Win32WindowSystem::SetWindowPos(h, after, x, y, cx, cy, flags);
    }
    BOOL ShowWindow(LONG h, int command) override {
        shows.push_back(command);
        return Win32WindowSystem::ShowWindow(h, command);
    }
    BOOL EnableWindow(LONG h, BOOL enable) override {
        enables.push_back(enable);
        return Win32WindowSystem::EnableWindow(h, enable);
    }
    int GetWindowTextLengthW(LONG h) override {
        calls.push_back("GetWindowTextLengthW");
        return fakeLength ? length : Win32WindowSystem::GetWindowTextLengthW(h);
    }
    int GetWindowTextW(LONG h, wchar_t* b, int n) override {
        calls.push_back("GetWindowTextW");
        return Win32WindowSystem::GetWindowTextW(h, b, n);
    }
    LRESULT SendMessageW(LONG h, UINT m, WPARAM w, LPARAM l) override {
        sent.push_back(m);
        if (m == WM_GETTEXTLENGTH && l) messageLengthArgument = *reinterpret_cast<LONG*>(l);
        if (m == WM_GETTEXTLENGTH) messageLengthLent = LentAlone(l);
        if (m == WM_GETTEXTLENGTH && fakeMessageLength) return messageLength;
        return Win32WindowSystem::SendMessageW(h, m, w, l);
    }
    BOOL FlashWindow(LONG h, BOOL invert) override {
        calls.push_back("FlashWindow " + std::to_string(invert));
        return Win32WindowSystem::FlashWindow(h, invert);
    }
    BOOL GetClientRect(LONG h, RECT* r) override {
        calls.push_back("GetClientRect");
        return Win32WindowSystem::GetClientRect(h, r);
    }
    BOOL InvalidateRect(LONG h, const RECT* r, BOOL erase) override {
        calls.push_back("InvalidateRect " + std::to_string(erase));
        invalidated.push_back(r ? *r : RECT{-1, -1, -1, -1});
        return Win32WindowSystem::InvalidateRect(h, r, erase);
    }
    LONG SetFocus(LONG h) override {
        calls.push_back("SetFocus");
        return Win32WindowSystem::SetFocus(h);
    }
    BOOL UpdateWindow(LONG h) override {
        calls.push_back("UpdateWindow");
        return Win32WindowSystem::UpdateWindow(h);
    }
};

class AttributesTest : public ::testing::Test {
protected:
    void SetUp() override {
        top =
            thread.Create("WrangAttrTop", "Attribute caption", WS_OVERLAPPEDWINDOW, nullptr, nullptr, 40, 50, 320, 240);
        ASSERT_TRUE(top);
    }
    void TearDown() override { thread.Destroy(top); }

    WindowThread thread;
    HWND top = nullptr;
};

TEST_F(AttributesTest, ClassNameIsTrimmedAndCutAt254Characters) {
    EXPECT_EQ(L"WrangAttrTop", ClassNameOf(Bound(L(top)).get()));
    HWND edit = thread.CreateControl("Edit", "x", WS_CHILD, top);
    EXPECT_EQ(L"Edit", ClassNameOf(Bound(L(edit)).get()));

    // The longest name the window system registers.
    const std::string longName(255, 'k');
    HWND longClass = thread.Create(longName.c_str(), "long class name");
    ASSERT_TRUE(longClass);
    EXPECT_EQ(std::wstring(254, L'k'), ClassNameOf(Bound(L(longClass)).get()));
    thread.Destroy(longClass);

    struct Padded : platform::Win32WindowSystem {
        const wchar_t* written;
        int size = 0;
        int GetClassNameW(LONG, wchar_t* b, int n) override {
            size = n;
            if (written) lstrcpyW(b, written);
            return 0;
        }
    } padded;
    platform::ScopedWindowSystem scoped(padded);
    padded.written = L"  Spaced  ";
    EXPECT_EQ(L"Spaced", ClassNameOf(Bound(L(top)).get()));
    EXPECT_EQ(255, padded.size);
    padded.written = nullptr;  // writes nothing: the spaces it was given read as ""
    EXPECT_EQ(L"", ClassNameOf(Bound(L(top)).get()));
}

TEST_F(AttributesTest, TextReadsAndSetsCaptionsAndControls) {
    ComPtr<_clsWrangler> w = Bound(L(top));
    EXPECT_EQ(L"Attribute caption", TextOf(w.get()));
    UniqueBstr caption(SysAllocString(L"New caption"));
    ASSERT_EQ(S_OK, w->put_Text(caption.get()));
    char read[64] = {};
    GetWindowTextA(top, read, sizeof read);
    EXPECT_STREQ("New caption", read);
    auto settings = thread.Messages(top, WM_SETTEXT);
    ASSERT_EQ(1u, settings.size());
    EXPECT_EQ(0u, settings[0].wParam);

    HWND edit = thread.CreateControl("Edit", "", WS_CHILD, top);
    ComPtr<_clsWrangler> e = Bound(L(edit));
    EXPECT_EQ(L"", TextOf(e.get()));
    UniqueBstr typed(SysAllocString(L"typed text"));
    ASSERT_EQ(S_OK, e->put_Text(typed.get()));
    EXPECT_EQ(L"typed text", TextOf(e.get()));
}

TEST_F(AttributesTest, TextKeepsTheNulCharactersOfAWindowThatPromisedMore) {
    // Announces ten characters and delivers three.
    thread.SetHandler(top, [](HWND, UINT m, WPARAM w, LPARAM l, LRESULT* answer) {
        if (m == WM_GETTEXTLENGTH) {
            *answer = 10;
            return true;
        }
        if (m == WM_GETTEXT) {
            if (w >= 4) lstrcpyA(reinterpret_cast<char*>(l), "abc");
            *answer = 3;
            return true;
        }
        return false;
    });
    EXPECT_EQ(std::wstring(L"abc\0\0\0\0\0\0\0", 10), TextOf(Bound(L(top)).get()));
    auto asked = thread.Messages(top, WM_GETTEXT);
    ASSERT_FALSE(asked.empty());
    EXPECT_EQ(11u, asked.back().wParam) << "the length and room for the terminator";
}

TEST_F(AttributesTest, TextOfAnotherProcessComesFromTheWindowProcedureWhenGetWindowTextHasNone) {
    TargetProcess target(L"", "WrangScriptTarget");
    ASSERT_TRUE(target.Window());
    ASSERT_TRUE(PumpUntil([&] { return GetWindowTextLengthA(target.Window()) > 0; }))
        << "the target names its window once its controls exist";
    HWND exact = FindWindowExA(target.Window(), nullptr, "WrangOwnText", nullptr);
    HWND broken = FindWindowExA(target.Window(), exact, "WrangOwnText", nullptr);
    ASSERT_TRUE(exact && broken);

    Recorder recorder;
    platform::ScopedWindowSystem scoped(recorder);
    EXPECT_EQ(L"text of the window procedure", TextOf(Bound(L(exact)).get()));
    EXPECT_EQ((std::vector<std::string>{"GetWindowTextLengthW", "GetWindowTextW"}), recorder.calls);
    EXPECT_EQ((std::vector<UINT>{WM_GETTEXTLENGTH, WM_GETTEXT}), recorder.sent);
    EXPECT_EQ(0, recorder.messageLengthArgument) << "lParam of WM_GETTEXTLENGTH points at 0";
    EXPECT_TRUE(recorder.messageLengthLent) << "lent pages of their own, not the stack";

    // A length of -1 cannot size a buffer: no WM_GETTEXT, and the script sees error 5.
    recorder.sent.clear();
    ComPtr<_clsWrangler> w = Bound(L(broken));
    UniqueBstr text;
    EXPECT_EQ(kVbInvalidCall, w->get_Text(text.put()));
    EXPECT_EQ(nullptr, text.get());
    EXPECT_EQ((std::vector<UINT>{WM_GETTEXTLENGTH}), recorder.sent);
    CallResult result;
    Call(w.get(), L"Text", {}, &result);
    EXPECT_EQ(DISP_E_EXCEPTION, result.hr);
    EXPECT_EQ(kVbInvalidCall, result.scode);
}

TEST_F(AttributesTest, TextLengthsThatCannotSizeABufferAreErrors) {
    Recorder recorder;
    platform::ScopedWindowSystem scoped(recorder);
    ComPtr<_clsWrangler> w = Bound(L(top));
    UniqueBstr text;
    recorder.fakeLength = true;
    recorder.length = INT_MAX;
    EXPECT_EQ(kVbOverflow, w->get_Text(text.put()));
    EXPECT_EQ(std::vector<std::string>{"GetWindowTextLengthW"}, recorder.calls) << "nothing is read after the overflow";

    // The same for the length the window itself reports.
    recorder.calls.clear();
    recorder.length = 0;
    recorder.fakeMessageLength = true;
    recorder.messageLength = INT_MAX;
    recorder.sent.clear();
    EXPECT_EQ(kVbOverflow, w->get_Text(text.put()));
    EXPECT_EQ((std::vector<UINT>{WM_GETTEXTLENGTH}), recorder.sent) << "no WM_GETTEXT after it";
    CallResult result;
    Call(w.get(), L"Text", {}, &result);
    EXPECT_EQ(DISP_E_EXCEPTION, result.hr);
    EXPECT_EQ(kVbOverflow, result.scode);
    EXPECT_EQ(L"Overflow", result.description);
}

TEST_F(AttributesTest, PositionAndSizeReadTheWindowRectangle) {
    ComPtr<_clsWrangler> w = Bound(L(top));
    const RECT r = RectOf(top);
    EXPECT_EQ(r.left, Read(w.get(), &_clsWrangler::get_Left, -1L));
    EXPECT_EQ(r.top, Read(w.get(), &_clsWrangler::get_Top, -1L));
    EXPECT_EQ(r.right - r.left, Read(w.get(), &_clsWrangler::get_Width, -1L));
    EXPECT_EQ(r.bottom - r.top, Read(w.get(), &_clsWrangler::get_Height, -1L));

    // A child's edges are screen coordinates, not coordinates within its parent.
    HWND child = thread.CreateControl("Button", "child", WS_CHILD | WS_VISIBLE, top, 0, 7, 9, 50, 20);
    ComPtr<_clsWrangler> c = Bound(L(child));
    POINT origin = {0, 0};
    ClientToScreen(top, &origin);
    EXPECT_EQ(origin.x + 7, Read(c.get(), &_clsWrangler::get_Left, -1L));
    EXPECT_EQ(origin.y + 9, Read(c.get(), &_clsWrangler::get_Top, -1L));
    EXPECT_EQ(50, Read(c.get(), &_clsWrangler::get_Width, -1L));
}

TEST_F(AttributesTest, PositionAndSizeSettersMoveOrResizeOnlyAndRaiseToTheTop) {
    ComPtr<_clsWrangler> w = Bound(L(top));
    Recorder recorder;
    platform::ScopedWindowSystem scoped(recorder);
    RECT r = RectOf(top);

    ASSERT_EQ(S_OK, w->put_Left(100));
    EXPECT_EQ((Position{0, 100, r.top, r.right, r.bottom, 0x11}), recorder.positions.back());
    RECT now = RectOf(top);
    EXPECT_EQ(100, now.left);
    EXPECT_EQ(r.top, now.top);
    EXPECT_EQ(r.right - r.left, now.right - now.left) << "moving keeps the size";

    r = now;
    ASSERT_EQ(S_OK, w->put_Top(120));
    EXPECT_EQ((Position{0, r.left, 120, r.right, r.bottom, 0x11}), recorder.positions.back());
    now = RectOf(top);
    EXPECT_EQ(120, now.top);
    EXPECT_EQ(100, now.left);

    r = now;
    ASSERT_EQ(S_OK, w->put_Width(333));
    EXPECT_EQ((Position{0, r.left, r.top, 333, r.bottom - r.top, 0x12}), recorder.positions.back());
    now = RectOf(top);
    EXPECT_EQ(333, now.right - now.left);
    EXPECT_EQ(r.bottom - r.top, now.bottom - now.top);
    EXPECT_EQ(100, now.left) << "resizing keeps the position";

    r = now;
    ASSERT_EQ(S_OK, w->put_Height(222));
    EXPECT_EQ((Position{0, r.left, r.top, 333, 222, 0x12}), recorder.positions.back());
    now = RectOf(top);
    EXPECT_EQ(222, now.bottom - now.top);
    EXPECT_EQ(333, now.right - now.left);
    EXPECT_EQ(120, now.top);
    EXPECT_EQ(222, Read(w.get(), &_clsWrangler::get_Height, -1L));
}

TEST_F(AttributesTest, SettingAnEdgeRaisesTheWindowAboveItsSiblings) {
    HWND lower = thread.Create("WrangAttrTop", "lower", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HWND upper = thread.Create("WrangAttrTop", "upper", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    ShowWindow(top, SW_SHOWNOACTIVATE);
    SetWindowPos(top, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    auto above = [](HWND a, HWND b) {
        for (HWND h = GetWindow(b, GW_HWNDPREV); h; h = GetWindow(h, GW_HWNDPREV)) {
            if (h == a) return true;
        }
        return false;
    };
    ASSERT_TRUE(above(upper, top));
    const RECT before = RectOf(top);
    ComPtr<_clsWrangler> w = Bound(L(top));
    ASSERT_EQ(S_OK, w->put_Left(Read(w.get(), &_clsWrangler::get_Left, -1L)));
    EXPECT_TRUE(above(top, upper)) << "assigning the value just read still raises the window";
    const RECT after = RectOf(top);
    EXPECT_TRUE(EqualRect(&before, &after));
    thread.Destroy(lower);
    thread.Destroy(upper);
}

TEST_F(AttributesTest, ExtentsOutsideTheLongRangeOverflow) {
    Recorder recorder;
    platform::ScopedWindowSystem scoped(recorder);
    recorder.fakeRect = true;
    recorder.rect = {INT_MIN, -10, INT_MAX, INT_MAX};  // width and height too large for a Long
    ComPtr<_clsWrangler> w = Bound(L(top));
    LONG value = 7;
    EXPECT_EQ(kVbOverflow, w->get_Width(&value));
    EXPECT_EQ(kVbOverflow, w->get_Height(&value));
    EXPECT_EQ(kVbOverflow, w->put_Width(10)) << "the kept height does not fit";
    EXPECT_EQ(kVbOverflow, w->put_Height(10)) << "the kept width does not fit";
    EXPECT_TRUE(recorder.positions.empty());
    // Moving needs no subtraction.
    ASSERT_EQ(S_OK, w->put_Left(5));
    EXPECT_EQ((Position{0, 5, -10, INT_MAX, INT_MAX, 0x11}), recorder.positions.back());
    // Only one extent overflows.
    recorder.rect = {0, INT_MIN, 10, 0};
    EXPECT_EQ(10, Read(w.get(), &_clsWrangler::get_Width, -1L));
    EXPECT_EQ(kVbOverflow, w->put_Width(10));
    ASSERT_EQ(S_OK, w->put_Height(30));
    EXPECT_EQ((Position{0, 0, INT_MIN, 10, 30, 0x12}), recorder.positions.back());
}

TEST_F(AttributesTest, AlwaysOnTopKeepsItsOwnFlag) {
    ComPtr<_clsWrangler> w = Bound(L(top));
    Recorder recorder;
    platform::ScopedWindowSystem scoped(recorder);
    EXPECT_EQ(VARIANT_FALSE, OnTopOf(w.get()));

    ASSERT_EQ(S_OK, w->put_AlwaysOnTop(VARIANT_TRUE));
    EXPECT_EQ((Position{-1, 0, 0, 0, 0, 0x13}), recorder.positions.back());
    EXPECT_TRUE(GetWindowLongA(top, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(VARIANT_TRUE, OnTopOf(w.get()));

    // Binding again forgets the flag; the window stays topmost.
    ComPtr<_clsWrangler> same;
    ASSERT_EQ(S_OK, w->InitByHandle(L(top), same.put()));
    EXPECT_EQ(VARIANT_FALSE, OnTopOf(w.get()));
    EXPECT_TRUE(GetWindowLongA(top, GWL_EXSTYLE) & WS_EX_TOPMOST);

    ASSERT_EQ(S_OK, w->put_AlwaysOnTop(5));
    EXPECT_EQ(-1, recorder.positions.back().insertAfter);
    EXPECT_EQ(5, OnTopOf(w.get())) << "the value assigned, as it was";
    UniqueBstr cls(SysAllocString(L"WrangAttrTop")), caption(SysAllocString(L"Attribute caption"));
    ASSERT_EQ(S_OK, w->InitByWindow(cls.get(), caption.get(), same.put()));
    EXPECT_EQ(VARIANT_FALSE, OnTopOf(w.get()));

    ASSERT_EQ(S_OK, w->put_AlwaysOnTop(VARIANT_FALSE));
    EXPECT_EQ((Position{-2, 0, 0, 0, 0, 0x13}), recorder.positions.back()) << "not HWND_BOTTOM";
    EXPECT_FALSE(GetWindowLongA(top, GWL_EXSTYLE) & WS_EX_TOPMOST);

    // Stored even where the window system can do nothing with the request.
    ComPtr<_clsWrangler> none = Bound(0);
    ASSERT_EQ(S_OK, none->put_AlwaysOnTop(VARIANT_TRUE));
    EXPECT_EQ(VARIANT_TRUE, OnTopOf(none.get()));
}

TEST_F(AttributesTest, EnabledPassesOneOrZeroAndRefusesMinus32768) {
    ComPtr<_clsWrangler> w = Bound(L(top));
    Recorder recorder;
    platform::ScopedWindowSystem scoped(recorder);
    EXPECT_EQ(VARIANT_TRUE, EnabledOf(w.get()));
    ASSERT_EQ(S_OK, w->put_Enabled(VARIANT_FALSE));
    EXPECT_FALSE(IsWindowEnabled(top));
    EXPECT_EQ(VARIANT_FALSE, EnabledOf(w.get()));
    ASSERT_EQ(S_OK, w->put_Enabled(VARIANT_TRUE));
    EXPECT_TRUE(IsWindowEnabled(top));
    EXPECT_EQ((std::vector<BOOL>{0, 1}), recorder.enables) << "True goes as 1, not -1";

    // A Boolean of -32768 reaches the member only from a client that builds the value itself.
    recorder.enables.clear();
    EXPECT_EQ(kVbOverflow, w->put_Enabled(static_cast<VARIANT_BOOL>(-32768)));
    VARIANT odd = BoolValue(-32768);
    CallResult result;
    Put(w.get(), L"Enabled", Arg::Variable(&odd), &result);
    EXPECT_EQ(DISP_E_EXCEPTION, result.hr);
    EXPECT_EQ(kVbOverflow, result.scode);
    EXPECT_TRUE(recorder.enables.empty()) << "EnableWindow is not called after the overflow";
    EXPECT_TRUE(IsWindowEnabled(top));
}

TEST_F(AttributesTest, VisibleAndWindowStateUseShowCommands) {
    ComPtr<_clsWrangler> w = Bound(L(top));
    Recorder recorder;
    platform::ScopedWindowSystem scoped(recorder);
    EXPECT_EQ(VARIANT_FALSE, VisibleOf(w.get()));
    EXPECT_EQ(1, StateOf(w.get())) << "a hidden window";

    ASSERT_EQ(S_OK, w->put_Visible(VARIANT_TRUE));
    EXPECT_TRUE(IsWindowVisible(top));
    EXPECT_EQ(VARIANT_TRUE, VisibleOf(w.get()));
    ASSERT_EQ(1u, thread.Messages(top, WM_SHOWWINDOW).size());
    EXPECT_EQ(TRUE, static_cast<BOOL>(thread.Messages(top, WM_SHOWWINDOW)[0].wParam));

    // Maximised, back to normal, minimised, back to normal: each state as the window has it.
    const struct {
        LONG command;
        BOOL iconic, zoomed;
    } states[] = {{3, FALSE, TRUE}, {1, FALSE, FALSE}, {6, TRUE, FALSE}, {1, FALSE, FALSE}};
    for (const auto& s : states) {
        ASSERT_EQ(S_OK, w->put_WindowState(s.command));
        EXPECT_EQ(s.iconic, IsIconic(top)) << s.command;
        EXPECT_EQ(s.zoomed, IsZoomed(top)) << s.command;
        EXPECT_EQ(s.command, StateOf(w.get()));
    }

    // 0 is SW_HIDE: the show command is passed as it is.
    ASSERT_EQ(S_OK, w->put_WindowState(0));
    EXPECT_FALSE(IsWindowVisible(top));
    ASSERT_EQ(S_OK, w->put_Visible(VARIANT_TRUE));
    ASSERT_EQ(S_OK, w->put_Visible(VARIANT_FALSE));
    EXPECT_FALSE(IsWindowVisible(top));
    EXPECT_EQ((std::vector<int>{5, 3, 1, 6, 1, 0, 5, 0}), recorder.shows);
    auto shown = thread.Messages(top, WM_SHOWWINDOW);
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(FALSE, static_cast<BOOL>(shown.back().wParam));
}

TEST_F(AttributesTest, CommandsMakeOneCallEach) {
    ComPtr<_clsWrangler> w = Bound(L(top));
    ShowWindow(top, SW_SHOWNOACTIVATE);
    Recorder recorder;
    platform::ScopedWindowSystem scoped(recorder);
    ASSERT_EQ(S_OK, w->Flash());
    ASSERT_EQ(S_OK, w->Refresh());
    ASSERT_EQ(S_OK, w->Focus());
    ASSERT_EQ(S_OK, w->Update());
    EXPECT_EQ(
        (std::vector<std::string>{"FlashWindow 1", "GetClientRect", "InvalidateRect 1", "SetFocus", "UpdateWindow"}),
        recorder.calls);
    RECT client = {};
    GetClientRect(top, &client);
    ASSERT_EQ(1u, recorder.invalidated.size());
    EXPECT_TRUE(EqualRect(&client, &recorder.invalidated[0])) << "the whole client area";

    // Posted: the caller does not wait, the window receives it later.
    thread.Clear();
    ASSERT_EQ(S_OK, w->CloseWindow());
    ASSERT_TRUE(thread.WaitForMessages(top, WM_CLOSE, 1));
    auto closing = thread.Messages(top, WM_CLOSE);
    EXPECT_EQ(0u, closing[0].wParam);
    EXPECT_EQ(0, closing[0].lParam);
}

TEST_F(AttributesTest, ADestroyedWindowReadsAsNothing) {
    HWND gone = thread.Create("WrangAttrTop", "gone", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    ComPtr<_clsWrangler> w = Bound(L(gone));
    ASSERT_EQ(S_OK, w->put_AlwaysOnTop(VARIANT_TRUE));
    thread.Destroy(gone);
    for (const ComPtr<_clsWrangler>& dead : {w, Bound(0)}) {
        EXPECT_EQ(L"", ClassNameOf(dead.get()));
        EXPECT_EQ(L"", TextOf(dead.get()));
        for (auto get :
             {&_clsWrangler::get_Left, &_clsWrangler::get_Top, &_clsWrangler::get_Width, &_clsWrangler::get_Height})
            EXPECT_EQ(0, Read(dead.get(), get, -1L));
        EXPECT_EQ(1, StateOf(dead.get()));
        EXPECT_EQ(VARIANT_FALSE, EnabledOf(dead.get()));
        EXPECT_EQ(VARIANT_FALSE, VisibleOf(dead.get()));
        // Setters and commands still succeed.
        EXPECT_EQ(S_OK, dead->put_Left(3));
        EXPECT_EQ(S_OK, dead->put_Width(3));
        EXPECT_EQ(S_OK, dead->put_Visible(VARIANT_TRUE));
        EXPECT_EQ(S_OK, dead->CloseWindow());
        EXPECT_EQ(S_OK, dead->Refresh());
    }
    EXPECT_EQ(VARIANT_TRUE, OnTopOf(w.get())) << "the object's own flag outlives the window";
}

}  // namespace
}  // namespace wrang::test
