// clsInput: exact text typed into a window of another process, clicks that reach the deepest child
// under a point, menu entries chosen by their captions; each family in one table, called by name as
// a script calls it.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <chrono>
#include <string>
#include <vector>

#include "frame/Classes.h"
#include "platform/Resource.h"
#include "support/Automation.h"
#include "support/InputCommands.h"
#include "support/Parameters.h"
#include "support/TargetProcess.h"
#include "support/WindowThread.h"
#include "support/Wranglers.h"

namespace wrang::test {
namespace {

using namespace std::chrono;

DWORD Ms(milliseconds limit) { return static_cast<DWORD>(limit.count()); }

// What a call by name answered, as a script tests it: True, False, or "error N" with the error's
// description in *description.
std::string Answer(const wchar_t* member, std::initializer_list<Arg> args, std::wstring* description = nullptr) {
    CallResult result;
    Call(Created(CreateInput).get(), member, args, &result);
    if (description) *description = result.description;
    if (result.hr == DISP_E_EXCEPTION) return "error " + std::to_string(result.scode & 0xFFFF);
    if (result.hr != S_OK || V_VT(result.value.get()) != VT_BOOL) return "status " + HexOf(ULONG(result.hr));
    return V_BOOL(result.value.get()) ? "True" : "False";
}

// A window argument: a new window object bound to `hWnd`.
Arg Window(LONG hWnd) { return Arg::Object(Bound(hWnd).get()); }

// The text of a control of any process, as it answers WM_GETTEXT.
std::wstring TextOf(HWND control) {
    const UINT limit = Ms(kEventDeadline);
    DWORD_PTR length = 0;
    SendMessageTimeoutW(control, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, limit, &length);
    std::wstring text(length + 1, L'\0');
    SendMessageTimeoutW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_NORMAL, limit,
                        &length);
    text.resize(length);
    return text;
}

HWND EditOf(const TargetProcess& target) { return FindWindowExW(target.Window(), nullptr, L"Edit", nullptr); }

TEST(TypeText, TypesExactlyIntoAnEditControlOfAnotherProcessNeitherFocusedNorInFront) {
    TargetProcess target(L"--input", input::kTargetClass);
    const HWND edit = EditOf(target);
    ASSERT_TRUE(edit);
    GUITHREADINFO gui = {sizeof gui};
    ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(edit, nullptr), &gui));
    EXPECT_NE(edit, gui.hwndFocus);
    EXPECT_NE(target.Window(), GetForegroundWindow());

    std::wstring longTyped, longShown;  // 10,000 characters, a line break after every 59
    for (size_t i = 0; longTyped.size() < 10000; ++i) {
        const wchar_t c = i % 60 == 59 ? L'\n' : L"Aa.,{}()\u00e9\u03b1"[i % 10];
        longTyped += c;
        longShown += c == L'\n' ? L"\r\n" : std::wstring(1, c);
    }
    const struct {
        const char* label;
        std::wstring typed, shown;  // what a multi-line edit control shows: CR LF for each line break
    } cases[] = {
        {"capitals and punctuation", L"This is some text.", L"This is some text."},
        {"brackets, braces and the key-string signs in order", L"[x(y)z] {a}+^%~", L"[x(y)z] {a}+^%~"},
        {"a key name is text", L"{ENTER}{TAB}", L"{ENTER}{TAB}"},
        {"outside the ANSI code page", L"caf\u00e9 \u03b1\u20ac \u2713", L"caf\u00e9 \u03b1\u20ac \u2713"},
        {"a surrogate pair, as its two units", L"\U0001D11E clef", L"\U0001D11E clef"},
        {"CR LF and a lone LF are one line break each, as a lone CR is", L"one\r\ntwo\nthree\rfour",
         L"one\r\ntwo\r\nthree\r\nfour"},
        {"nothing", L"", L""},
        {"10,000 characters", longTyped, longShown},
    };
    for (const auto& c : cases) {
        SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
        // Hidden for the long text: a headless driver repaints the control for every character.
        const bool hidden = c.typed.size() > 1000;
        if (hidden) ShowWindow(edit, SW_HIDE);
        EXPECT_EQ("True", Answer(L"TypeText", {Window(L(edit)), Arg::String(c.typed.c_str())})) << c.label;
        if (hidden) ShowWindow(edit, SW_SHOWNA);
        EXPECT_TRUE(TextOf(edit) == c.shown) << c.label;
    }
    ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(edit, nullptr), &gui));
    EXPECT_NE(edit, gui.hwndFocus) << "typing gave the control no focus";

    // No window to type into: False, nothing typed; no window object at all: error 91.
    WindowThread thread;
    const HWND gone = thread.Create("WrangTypeGone", "gone");
    thread.Destroy(gone);
    for (const LONG none : {0L, 0xFFFFL, -1L, L(gone)}) {
        EXPECT_EQ("False", Answer(L"TypeText", {Window(none), Arg::String(L"x")})) << none;
    }
    EXPECT_EQ("error 91", Answer(L"TypeText", {Arg::Object(nullptr), Arg::String(L"x")}));
}

TEST(TypeText, FalseWithinTheLimitAtTheFirstCharacterAHungWindowLeavesTheRestUnsent) {
    TargetProcess target(L"--input --stall-at |", input::kTargetClass);
    const HWND edit = EditOf(target);
    ASSERT_TRUE(edit);
    const auto started = steady_clock::now();
    EXPECT_EQ("False", Answer(L"TypeText", {Window(L(edit)), Arg::String(L"ab|cd")}));
    const auto took = steady_clock::now() - started;
    EXPECT_GE(took, milliseconds(4500)) << "each character has five seconds";
    EXPECT_LT(took, kEventDeadline) << "not the target's minute";
    const std::wstring release = input::kReleaseEvent + std::to_wstring(target.ProcessId());
    const HANDLE event = OpenEventW(EVENT_MODIFY_STATE, FALSE, release.c_str());
    ASSERT_TRUE(event);
    SetEvent(event);
    CloseHandle(event);
    EXPECT_TRUE(TextOf(edit) == L"ab|") << "the window handled what it was given, and nothing after it";
}

// Nested children on a window thread of this process, each recording what it receives: a top-level
// window; in it a bordered child (its class asks for double clicks) holding a grandchild whose class
// does not; a hidden child, a disabled one and one transparent to the mouse, each over the top.
class Click : public ::testing::Test {
protected:
    void SetUp() override {
        top = thread.Create("WrangClickTop", "Click target", WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, nullptr, 10, 10,
                            400, 300);
        outer = thread.Create("WrangClickOuter", "", WS_CHILD | WS_VISIBLE | WS_BORDER, top, nullptr, 20, 20, 200, 150);
        inner = thread.Create("WrangClickInner", "", WS_CHILD | WS_VISIBLE, outer, nullptr, 10, 10, 100, 60, 0, 0);
        hidden = thread.Create("WrangClickOuter", "", WS_CHILD, top, nullptr, 250, 20, 100, 100);
        disabled =
            thread.Create("WrangClickOuter", "", WS_CHILD | WS_VISIBLE | WS_DISABLED, top, nullptr, 250, 150, 100, 100);
        clear = thread.Create("WrangClickOuter", "", WS_CHILD | WS_VISIBLE, top, nullptr, 130, 30, 60, 60,
                              WS_EX_TRANSPARENT);
        ASSERT_TRUE(top && outer && inner && hidden && disabled && clear);
    }

    // Every mouse message the windows received since the last call, each as "window message wParam
    // (x,y)" with x and y from this build's full lParam.
    std::string MouseMessages() {
        PostMessageW(top, WM_APP, 0, 0);  // posted after the click's messages, so handled after them
        EXPECT_TRUE(thread.WaitForMessages(top, WM_APP, 1));
        std::string text;
        for (HWND h : {top, outer, inner, hidden, disabled, clear}) {
            for (const Message& m : thread.Messages(h)) {
                if (m.message < WM_MOUSEFIRST || m.message > WM_MOUSELAST) continue;
                text +=
                    Name(h) + " " + HexOf(m.message) + " " + std::to_string(m.wParam) + " " + HexOf(m.lParam) + "; ";
            }
        }
        thread.Clear();
        return text;
    }
    std::string Name(HWND h) {
        return h == top ? "top" : h == outer ? "outer" : h == inner ? "inner" : h == clear ? "clear" : "other";
    }

public:  // the table names its receivers by member
    WindowThread thread;
    HWND top = nullptr, outer = nullptr, inner = nullptr, hidden = nullptr, disabled = nullptr, clear = nullptr;
};

TEST_F(Click, PostsMoveDownAndUpToTheDeepestChildUnderThePointInItsOwnCoordinates) {
    constexpr UINT kMove = WM_MOUSEMOVE, kLDown = WM_LBUTTONDOWN, kLUp = WM_LBUTTONUP, kLDouble = WM_LBUTTONDBLCLK;
    const struct {
        const char* label;
        POINT at;  // in the top-level window's client area
        LONG button, count;
        HWND Click::*receiver;
        std::vector<UINT> messages;
    } cases[] = {
        {"the top-level window itself", {5, 5}, MOUSE_LEFT, 1, &Click::top, {kMove, kLDown, kLUp}},
        {"a bordered child", {25, 25}, MOUSE_LEFT, 1, &Click::outer, {kMove, kLDown, kLUp}},
        {"its child, two levels down", {40, 40}, MOUSE_LEFT, 1, &Click::inner, {kMove, kLDown, kLUp}},
        {"a double click, CS_DBLCLKS", {25, 25}, MOUSE_LEFT, 2, &Click::outer, {kMove, kLDown, kLUp, kLDouble, kLUp}},
        {"a double click, no CS_DBLCLKS", {40, 40}, MOUSE_LEFT, 2, &Click::inner, {kMove, kLDown, kLUp, kLDown, kLUp}},
        {"a triple click", {25, 25}, MOUSE_LEFT, 3, &Click::outer, {kMove, kLDown, kLUp, kLDouble, kLUp, kLDown, kLUp}},
        {"the right button", {40, 40}, MOUSE_RIGHT, 1, &Click::inner, {kMove, WM_RBUTTONDOWN, WM_RBUTTONUP}},
        {"a right double click",
         {5, 5},
         MOUSE_RIGHT,
         2,
         &Click::top,
         {kMove, WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDBLCLK, WM_RBUTTONUP}},
        {"the middle button", {25, 25}, MOUSE_MIDDLE, 1, &Click::outer, {kMove, WM_MBUTTONDOWN, WM_MBUTTONUP}},
        {"over a hidden child", {260, 30}, MOUSE_LEFT, 1, &Click::top, {kMove, kLDown, kLUp}},
        {"over a disabled child", {260, 160}, MOUSE_LEFT, 1, &Click::top, {kMove, kLDown, kLUp}},
        {"over a child transparent to the mouse", {140, 40}, MOUSE_LEFT, 1, &Click::outer, {kMove, kLDown, kLUp}},
        {"outside the client area, as given", {-5, -7}, MOUSE_LEFT, 1, &Click::top, {kMove, kLDown, kLUp}},
        {"Button and Count left out: one left click", {40, 40}, MOUSE_LEFT, 0, &Click::inner, {kMove, kLDown, kLUp}},
    };
    POINT cursor = {}, after = {};
    GetCursorPos(&cursor);
    for (const auto& c : cases) {
        const HWND receiver = this->*c.receiver;
        POINT at = c.at;
        MapWindowPoints(top, receiver, &at, 1);
        const WPARAM held = c.button == MOUSE_LEFT ? MK_LBUTTON : c.button == MOUSE_RIGHT ? MK_RBUTTON : MK_MBUTTON;
        std::string expected;
        for (const UINT m : c.messages) {
            const bool down = m != kMove && m != kLUp && m != WM_RBUTTONUP && m != WM_MBUTTONUP;
            const LPARAM point = MAKELPARAM(static_cast<SHORT>(at.x), static_cast<SHORT>(at.y));
            expected += Name(receiver) + " " + HexOf(m) + " " + std::to_string(down ? held : 0) + " " +
                        HexOf(BitsOf(point)) + "; ";
        }
        const std::string answer = c.count ? Answer(L"Click", {Window(L(top)), Arg::Long(c.at.x), Arg::Long(c.at.y),
                                                               Arg::Long(c.button), Arg::Long(c.count)})
                                           : Answer(L"Click", {Window(L(top)), Arg::Long(c.at.x), Arg::Long(c.at.y)});
        EXPECT_EQ("True", answer) << c.label;
        EXPECT_EQ(expected, MouseMessages()) << c.label;
    }
    GetCursorPos(&after);
    EXPECT_TRUE(cursor.x == after.x && cursor.y == after.y) << "the real cursor stays where it was";

    // Arguments out of range, a window that names none, Nothing: nothing posted.
    const HWND gone = thread.Create("WrangClickOuter", "gone", WS_OVERLAPPEDWINDOW);
    thread.Destroy(gone);
    const struct {
        LONG window, x, button, count;
        const char* answer;
    } refused[] = {
        {L(top), 5, MOUSE_LEFT, 0, "error 5"},
        {L(top), 5, MOUSE_LEFT, 4, "error 5"},
        {L(top), 5, 3, 1, "error 5"},
        {L(top), 5, -1, 1, "error 5"},
        {L(top), 32768, MOUSE_LEFT, 1, "error 6"},
        {L(gone), 5, MOUSE_LEFT, 1, "False"},
        {0xFFFF, 5, MOUSE_LEFT, 1, "False"},
        {0, 5, MOUSE_LEFT, 1, "False"},
    };
    for (const auto& r : refused) {
        EXPECT_EQ(r.answer, Answer(L"Click", {Window(r.window), Arg::Long(r.x), Arg::Long(5), Arg::Long(r.button),
                                              Arg::Long(r.count)}))
            << r.window << " " << r.x << " " << r.button << " " << r.count;
    }
    EXPECT_EQ("error 91", Answer(L"Click", {Arg::Object(nullptr), Arg::Long(5), Arg::Long(5)}));
    EXPECT_EQ("", MouseMessages());
}

// The menu bar of support/InputCommands.h on a window thread of this process: for Windows the same
// code path as another process's (whose menus Wine does not share; see the last test).
class ClickMenu : public ::testing::Test {
protected:
    void SetUp() override {
        thread.Run([this] { bar = input::MakeMenuBar(); });
        window = thread.Create("WrangClickMenu", "Menu bar", WS_OVERLAPPEDWINDOW, nullptr, bar);
        ASSERT_TRUE(window);
        thread.SetHandler(window, [this](HWND h, UINT message, WPARAM wParam, LPARAM, LRESULT* answer) {
            if (message == WM_INITMENU && stall.load()) WaitForSingleObject(stall.load(), Ms(kEventDeadline));
            *answer = 0;
            return input::AnswerMenuOpening(h, message, wParam);
        });
    }

    // The menu notifications and commands the window received since the last call.
    std::string Received() {
        PostMessageW(window, WM_APP, 0, 0);  // after any command posted
        EXPECT_TRUE(thread.WaitForMessages(window, WM_APP, 1));
        const HMENU file = GetSubMenu(bar, 0), recent = GetSubMenu(file, 5), edit = GetSubMenu(bar, 1);
        const auto name = [&](WPARAM menu) {
            const HMENU h = reinterpret_cast<HMENU>(menu);
            return h == bar ? "bar" : h == file ? "file" : h == recent ? "recent" : h == edit ? "edit" : "other";
        };
        std::string text;
        for (const Message& m : thread.Messages(window)) {
            if (m.message == WM_INITMENU) text += std::string("init ") + name(m.wParam) + " " + HexOf(m.lParam) + "; ";
            if (m.message == WM_INITMENUPOPUP)
                text += std::string("popup ") + name(m.wParam) + " " + HexOf(m.lParam) + "; ";
            if (m.message == WM_COMMAND) text += "command " + HexOf(m.wParam) + " " + HexOf(m.lParam) + "; ";
        }
        thread.Clear();
        return text;
    }

    WindowThread thread;
    HMENU bar = nullptr;
    HWND window = nullptr;
    std::atomic<HANDLE> stall{nullptr};  // while set, the window takes WM_INITMENU only once it is signalled
};

TEST_F(ClickMenu, NotifiesAsOpeningTheMenusDoesThenPostsTheCommandOfAnEnabledEntry) {
    ASSERT_TRUE(GetMenuState(GetSubMenu(bar, 0), input::kExport, MF_BYCOMMAND) & MF_GRAYED) << "until File opens";
    const std::string init = "init bar 00000000; ", file = "popup file 00000000; ";
    const struct {
        const wchar_t* path;
        std::string answer, received;
        const wchar_t* named;  // in the error's description
    } cases[] = {
        {L"File\\New", "True", init + file + "command 00000065 00000000; "},
        {L"&file\\&NEW\tCtrl+X", "True", init + file + "command 00000065 00000000; "},
        {L"File\\Save As...", "True", init + file + "command 00000066 00000000; "},
        {L"File\\Export", "True", init + file + "command 00000067 00000000; "},
        {L"File\\Locked", "False", init + file},
        {L"File\\Recent\\Second", "True", init + file + "popup recent 00000005; command 00000070 00000000; "},
        {L"#0\\#5\\#1", "True", init + file + "popup recent 00000005; command 00000070 00000000; "},
        {L"edit\\select all", "True", init + "popup edit 00000001; command 000000C9 00000000; "},
        {L"Help", "True", init + "command 0000012D 00000000; "},
        {L"File\\Nothing", "error 5", init + file, L"\"Nothing\""},
        {L"File\\Recent", "error 5", init + file, L"\"Recent\""},
        {L"Help\\About", "error 5", init, L"\"About\""},
        {L"File\\#4", "error 5", init + file, L"\"#4\""},
        {L"File\\#6", "error 5", init + file, L"\"#6\""},
        {L"", "error 5", init, L"\"\""},
    };
    for (const auto& c : cases) {
        std::wstring description;
        EXPECT_EQ(c.answer, Answer(L"ClickMenu", {Window(L(window)), Arg::String(c.path)}, &description)) << c.path;
        EXPECT_EQ(c.received, Received()) << c.path;
        if (c.named) EXPECT_NE(std::wstring::npos, description.find(c.named)) << description;
    }
    // A window with no menu bar, one that names none, Nothing.
    const HWND plain = thread.Create("WrangClickMenuPlain", "no menu bar");
    std::wstring description;
    EXPECT_EQ("error 5", Answer(L"ClickMenu", {Window(L(plain)), Arg::String(L"File\\New")}, &description));
    EXPECT_NE(std::wstring::npos, description.find(L"\"File\"")) << description;
    EXPECT_EQ("False", Answer(L"ClickMenu", {Window(0xFFFF), Arg::String(L"File\\New")}));
    EXPECT_EQ("error 91", Answer(L"ClickMenu", {Arg::Object(nullptr), Arg::String(L"File\\New")}));

    // A window that does not answer: False once its limit has passed, and nothing posted.
    stall = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    VARIANT_BOOL answer = VARIANT_TRUE;
    UniqueBstr path(SysAllocString(L"File\\New"));
    EXPECT_EQ(S_OK, Created(CreateInput)->ClickMenu(Bound(L(window)).get(), path.get(), &answer));
    EXPECT_EQ(VARIANT_FALSE, answer);
    SetEvent(stall.load());
    EXPECT_EQ(init, Received());
    CloseHandle(stall.exchange(nullptr));
}

TEST(ClickMenuOfAnotherProcess, ChoosesTheEntryWhereMenusAreSharedAndSaysSoWhereTheyAreNot) {
    TargetProcess target(L"--input", input::kTargetClass);
    ASSERT_TRUE(target.Window());
    std::wstring description;
    const std::string answer =
        Answer(L"ClickMenu", {Window(L(target.Window())), Arg::String(L"File\\New")}, &description);
    wchar_t caption[64] = {};
    if (RunningOnWine()) {
        // Wine: a process can use only its own menus (only GetMenu crosses processes), so the entry
        // cannot be found: error 5 that says why, and no command reaches the window.
        EXPECT_EQ("error 5", answer);
        EXPECT_NE(std::wstring::npos, description.find(L"another process")) << description;
        GetWindowTextW(target.Window(), caption, 64);
        EXPECT_STREQ(L"Input target", caption);
    } else {
        EXPECT_EQ("True", answer);
        EXPECT_TRUE(PumpUntil([&] {
            GetWindowTextW(target.Window(), caption, 64);
            return std::wstring(caption) == input::kCommandCaption + std::to_wstring(input::kNew);
        }));
    }
}

}  // namespace
}  // namespace wrang::test
