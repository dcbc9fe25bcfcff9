// Clicking and typing into windows by messages: the exact messages a window receives, the pause
// inside each key, and the interval's overflow.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "frame/Classes.h"
#include "frame/Errors.h"
#include "platform/WindowSystem.h"
#include "support/Automation.h"
#include "support/Parameters.h"
#include "support/WindowThread.h"
#include "support/Wranglers.h"

namespace wrang::test {
namespace {

// The parameters as the window received them, in this build's width: a key-up's flag word widened
// with its sign would show here, where a Long would hide it.
struct Posted {
    UINT message;
    ULONG_PTR wParam;
    ULONG_PTR lParam;
    bool operator==(const Posted& o) const { return message == o.message && wParam == o.wParam && lParam == o.lParam; }
};

std::string Describe(const std::vector<Posted>& messages) {
    std::string text;
    char message[16];
    for (const Posted& m : messages) {
        std::snprintf(message, sizeof message, "(%04X ", m.message);
        text += message + std::to_string(m.wParam) + " " + HexOf(m.lParam) + ") ";
    }
    return text;
}

bool IsInputMessage(UINT message) {
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) || (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST);
}

std::vector<Posted> InputMessages(const WindowThread& thread, HWND window) {
    std::vector<Posted> result;
    for (const Message& m : thread.Messages(window)) {
        if (IsInputMessage(m.message)) {
            result.push_back({m.message, BitsOf(m.wParam), BitsOf(m.lParam)});
        }
    }
    return result;
}

// The messages one key should produce, with its scan code as the keyboard layout gives it.
void AddKey(std::vector<Posted>* out, LONG code, bool character) {
    const ULONG scan = MapVirtualKeyA(static_cast<UINT>(code), 0) & 0xFF;
    const ULONG_PTR key = static_cast<ULONG>(code), down = (scan << 16) | 1;
    out->push_back({WM_KEYDOWN, key, down});
    if (character) out->push_back({WM_CHAR, key, down});
    out->push_back({WM_KEYUP, key, 0xC0000000u | down});
}

struct Key {
    LONG code;
    bool character;
};

std::vector<Posted> Keys(std::initializer_list<Key> keys) {
    std::vector<Posted> out;
    for (const Key& key : keys) AddKey(&out, key.code, key.character);
    return out;
}

class InputTarget : public ::testing::Test {
protected:
    void SetUp() override {
        window = thread.Create("WrangInputTarget", "Input target");
        ASSERT_TRUE(window);
        wrangler = Bound(L(window));
    }
    void TearDown() override { thread.Destroy(window); }

    // Types `text` and returns the key messages the window received.
    std::vector<Posted> Typed(const wchar_t* text, LONG interval = 0) {
        thread.Clear();
        UniqueBstr bstr(SysAllocString(text));
        VARIANT_BOOL result = VARIANT_FALSE;
        EXPECT_EQ(S_OK, wrangler->SendText(bstr.get(), interval, &result));
        EXPECT_EQ(VARIANT_TRUE, result);
        // Every key ends in its key-up; the marker after the text shows that nothing else follows.
        PostMessageA(window, WM_APP, 0, 0);
        EXPECT_TRUE(thread.WaitForMessages(window, WM_APP, 1));
        return InputMessages(thread, window);
    }

    WindowThread thread;
    HWND window = nullptr;
    ComPtr<_clsWrangler> wrangler;
};

TEST_F(InputTarget, ClickButtonSendsEachMethodsMessagesAndIgnoresOtherValues) {
    const std::vector<Posted> expected[] = {
        {{WM_KEYDOWN, VK_SPACE, 0}, {WM_KEYUP, VK_SPACE, 0}},
        {{WM_LBUTTONUP, 0, 0}},  // the "down" value sends the release
        {{WM_LBUTTONDOWN, 0, 0}},
        {{WM_LBUTTONDBLCLK, 0, 0}},
        {{WM_RBUTTONUP, 0, 0}},
        {{WM_RBUTTONDOWN, 0, 0}},
        {{WM_RBUTTONDBLCLK, 0, 0}},
    };
    for (int method = 0; method <= 6; ++method) {
        thread.Clear();
        ASSERT_EQ(S_OK, wrangler->ClickButton(static_cast<ClickButtonMethods>(method)));
        // Sent, not posted: the window has them when the call returns.
        EXPECT_EQ(Describe(expected[method]), Describe(InputMessages(thread, window))) << method;
    }
    for (LONG outside : {7L, -1L, LONG(0x80000000)}) {
        thread.Clear();
        EXPECT_EQ(S_OK, wrangler->ClickButton(static_cast<ClickButtonMethods>(outside)));
        PostMessageA(window, WM_APP, 0, 0);
        ASSERT_TRUE(thread.WaitForMessages(window, WM_APP, 1));
        EXPECT_EQ("", Describe(InputMessages(thread, window))) << outside;
    }
    // From a script, by name.
    thread.Clear();
    CallResult call;
    Call(wrangler.get(), L"ClickButton", {Arg::Long(1)}, &call);
    ASSERT_EQ(S_OK, call.hr);
    EXPECT_EQ(Describe({{WM_LBUTTONUP, 0, 0}}), Describe(InputMessages(thread, window)));
}

TEST_F(InputTarget, LettersDigitsAndSymbolsTypeTheirKeyCodes) {
    EXPECT_EQ("", Describe(Typed(L"")));
    EXPECT_EQ(Describe(Keys({{0x41, false}, {0x42, false}, {0x31, false}})), Describe(Typed(L"Ab1")));
    EXPECT_EQ(Describe(Typed(L"A")), Describe(Typed(L"a")));
    EXPECT_EQ(Describe(Keys({{VK_SPACE, false}})), Describe(Typed(L" ")));
    // Characters whose code is also a key's code go as that key, with or without WM_CHAR.
    EXPECT_EQ(Describe(Keys({{33, true}})), Describe(Typed(L"!")));
    EXPECT_EQ(Describe(Keys({{44, false}, {106, false}})), Describe(Typed(L",*")));
    EXPECT_EQ(Describe(Keys({{107, false}, {109, false}, {110, false}, {111, false}, {108, false}})),
              Describe(Typed(L"+-./_")));
    EXPECT_EQ(Describe(Keys({{'z' - 'a' + 'A', false}, {'~', true}})), Describe(Typed(L"z~")));
    // The edges of the codes that go without WM_CHAR: 42...57, 64...93, 97...122.
    EXPECT_EQ(Describe(Keys(
                  {{')', true}, {':', true}, {'@', false}, {'[', false}, {'\\', false}, {']', false}, {'`', true}})),
              Describe(Typed(L"):@[\\]`")));
    // Other characters go as their code in the ANSI code page.
    if (GetACP() == 1252) EXPECT_EQ(Describe(Keys({{0xE9, true}})), Describe(Typed(L"\x00e9")));
}

TEST_F(InputTarget, BraceTokensAreOneKeyInAnyCase) {
    const std::string enter = Describe(Keys({{VK_RETURN, true}}));
    EXPECT_EQ(enter, Describe(Typed(L"{ENTER}")));
    EXPECT_EQ(enter, Describe(Typed(L"{enter}")));
    EXPECT_EQ(enter, Describe(Typed(L"{Enter}")));
    EXPECT_EQ(Describe(Keys({{VK_RETURN, true}, {0x58, false}})), Describe(Typed(L"{ENTER}x")));
    EXPECT_EQ(Describe(Keys({{VK_DOWN, true}, {VK_F11, false}, {VK_F12, true}, {VK_F1, false}})),
              Describe(Typed(L"{DOWN}{F11}{F12}{f1}")));
    EXPECT_EQ(Describe(Keys({{VK_BACK, true}, {VK_BACK, true}, {VK_BACK, true}})),
              Describe(Typed(L"{BS}{bksp}{BackSpace}")));
    EXPECT_EQ(Describe(Keys(
                  {{VK_DELETE, false}, {VK_INSERT, false}, {VK_SNAPSHOT, false}, {VK_PAUSE, true}, {VK_SCROLL, true}})),
              Describe(Typed(L"{DEL}{INS}{PRTSC}{BREAK}{SCROLLLOCK}")));
    // "{^}" and "{%}" are character codes, "{+}" the numeric-pad plus.
    EXPECT_EQ(Describe(Keys({{94, true}, {37, true}, {VK_ADD, false}})), Describe(Typed(L"{^}{%}{+}")));
}

TEST_F(InputTarget, UnmatchedAndUnclosedBracesAreTypedCharacterByCharacter) {
    const std::vector<Posted> foo = Keys({{0, true}, {'F', false}, {'O', false}, {'O', false}, {125, true}});
    EXPECT_EQ(Describe(foo), Describe(Typed(L"{FOO}")));
    std::vector<Posted> inText = Keys({{'A', false}});
    inText.insert(inText.end(), foo.begin(), foo.end());
    AddKey(&inText, 'B', false);
    EXPECT_EQ(Describe(inText), Describe(Typed(L"a{foo}b")));
    // A space after the "{" spoils the name.
    EXPECT_EQ(Describe(Keys({{0, true},
                             {' ', false},
                             {'E', false},
                             {'N', false},
                             {'T', false},
                             {'E', false},
                             {'R', false},
                             {125, true}})),
              Describe(Typed(L"{ ENTER}")));
    EXPECT_EQ(Describe(Keys({{123, true}, {'E', false}, {'N', false}, {'T', false}, {'E', false}, {'R', false}})),
              Describe(Typed(L"{ENTER")));
    EXPECT_EQ(Describe(Keys({{125, true}})), Describe(Typed(L"}")));
    // The first "}" closes the token, so "{{ENTER}}" is a failed token, then ENTER, then "}".
    EXPECT_EQ(Describe(Keys({{0, true}, {VK_RETURN, true}, {125, true}})), Describe(Typed(L"{{ENTER}}")));
}

TEST_F(InputTarget, KeyMessagesCarryTheLayoutsScanCode) {
    const UINT scan = MapVirtualKeyA('A', 0);
    ASSERT_NE(0u, scan);
    const std::vector<Posted> typed = Typed(L"a");
    ASSERT_EQ(2u, typed.size());
    EXPECT_EQ(ULONG_PTR{(scan << 16) | 1}, typed[0].lParam);
    EXPECT_EQ(ULONG_PTR{0xC0000000u | (scan << 16) | 1}, typed[1].lParam);
    if (scan == 0x1E) {
        EXPECT_EQ(ULONG_PTR{0x001E0001}, typed[0].lParam);
        EXPECT_EQ(ULONG_PTR{0xC01E0001u}, typed[1].lParam);
    }
    // A key code without a scan code carries 0 there.
    EXPECT_EQ(0u, MapVirtualKeyA(0, 0));
    const std::vector<Posted> none = Typed(L"{x}");
    ASSERT_FALSE(none.empty());
    EXPECT_EQ(ULONG_PTR{1}, none[0].lParam);
}

TEST_F(InputTarget, EachKeyPausesForTheInterval) {
    const auto started = std::chrono::steady_clock::now();
    const std::vector<Posted> typed = Typed(L"ab{ENTER}cd", 40);
    const auto elapsed = std::chrono::steady_clock::now() - started;
    EXPECT_EQ(Describe(Keys({{'A', false}, {'B', false}, {VK_RETURN, true}, {'C', false}, {'D', false}})),
              Describe(typed));
    EXPECT_GE(elapsed, std::chrono::milliseconds(5 * 40));
}

// Records what the member asks of the window system, without a window and without sleeping.
struct KeyRecorder : platform::Win32WindowSystem {
    std::vector<std::string> calls;
    UINT scanCode = 0;
    BOOL PostMessageA(LONG, UINT message, WPARAM wParam, LPARAM lParam) override {
        char head[32];
        std::snprintf(head, sizeof head, "post %04X ", message);
        calls.push_back(head + std::to_string(BitsOf(wParam)) + " " + HexOf(BitsOf(lParam)));
        return TRUE;
    }
    void Sleep(DWORD milliseconds) override { calls.push_back("sleep " + std::to_string(milliseconds)); }
    UINT MapVirtualKeyA(UINT, UINT) override { return scanCode; }
    HRESULT SendKeys(const wchar_t* keys, UINT length, bool wait) override {
        calls.push_back("keys " + std::string(keys, keys + length) + (wait ? " wait" : " nowait"));
        return S_OK;
    }
};

TEST(InputSteps, ThePauseLiesBetweenKeyDownAndTheRest) {
    KeyRecorder recorder;
    recorder.scanCode = 0xE01E;  // an extended-key prefix must not spill into the flag bits
    platform::ScopedWindowSystem scoped(recorder);
    ComPtr<_clsWrangler> w = Bound(0);
    UniqueBstr text(SysAllocString(L"!a"));
    VARIANT_BOOL result = VARIANT_FALSE;
    ASSERT_EQ(S_OK, w->SendText(text.get(), 25, &result));
    EXPECT_EQ(VARIANT_TRUE, result);  // also for a handle that names no window
    const std::vector<std::string> expected = {
        "post 0100 33 001E0001", "sleep 25", "post 0102 33 001E0001", "post 0101 33 C01E0001",
        "post 0100 65 001E0001", "sleep 25", "post 0101 65 C01E0001",
    };
    EXPECT_EQ(expected, recorder.calls);
}

TEST(InputSteps, NegativeIntervalsDoNotPauseAndTheDefaultIsTen) {
    KeyRecorder recorder;
    platform::ScopedWindowSystem scoped(recorder);
    ComPtr<_clsWrangler> w = Bound(0);
    UniqueBstr text(SysAllocString(L"x"));
    VARIANT_BOOL result = VARIANT_FALSE;
    // Handed to Sleep as they are, -1 would be INFINITE and -32768 almost 50 days.
    for (LONG interval : {-1L, -32768L, 0L}) {
        recorder.calls.clear();
        ASSERT_EQ(S_OK, w->SendText(text.get(), interval, &result));
        ASSERT_EQ(3u, recorder.calls.size());
        EXPECT_EQ("sleep 0", recorder.calls[1]) << interval;
    }
    recorder.calls.clear();
    CallResult call;
    Call(w.get(), L"SendText", {Arg::String(L"x")}, &call);
    ASSERT_EQ(S_OK, call.hr);
    ASSERT_EQ(VT_BOOL, V_VT(call.value.get()));
    EXPECT_EQ(VARIANT_TRUE, V_BOOL(call.value.get()));
    ASSERT_EQ(3u, recorder.calls.size());
    EXPECT_EQ("sleep 10", recorder.calls[1]);
}

TEST(InputSteps, AnIntervalOutsideSixteenBitsOverflowsBeforeAnyKey) {
    KeyRecorder recorder;
    platform::ScopedWindowSystem scoped(recorder);
    ComPtr<_clsWrangler> w = Bound(0);
    UniqueBstr text(SysAllocString(L"abc"));
    for (LONG interval : {32768L, -32769L, LONG(0x7FFFFFFF)}) {
        VARIANT_BOOL result = VARIANT_TRUE;
        EXPECT_EQ(kVbOverflow, w->SendText(text.get(), interval, &result)) << interval;
        EXPECT_EQ(VARIANT_FALSE, result);
    }
    EXPECT_TRUE(recorder.calls.empty());
    CallResult call;
    Call(w.get(), L"SendText", {Arg::String(L"abc"), Arg::Long(32768)}, &call);
    EXPECT_EQ(DISP_E_EXCEPTION, call.hr);
    EXPECT_EQ(kVbOverflow, call.scode);
    EXPECT_TRUE(recorder.calls.empty());
    // With nothing to type, nothing is converted.
    UniqueBstr empty(SysAllocString(L""));
    VARIANT_BOOL result = VARIANT_FALSE;
    EXPECT_EQ(S_OK, w->SendText(empty.get(), 32768, &result));
    EXPECT_EQ(VARIANT_TRUE, result);
    EXPECT_EQ(S_OK, w->SendText(nullptr, 32768, &result));
    EXPECT_EQ(VARIANT_TRUE, result);
    // The largest interval is allowed.
    ASSERT_EQ(S_OK, w->SendText(text.get(), 32767, &result));
    EXPECT_EQ("sleep 32767", recorder.calls[1]);
}

TEST(InputSteps, VBSendKeysHandsTheStringAndTheWaitFlagToTheService) {
    KeyRecorder recorder;
    platform::ScopedWindowSystem scoped(recorder);
    ComPtr<_clsWrangler> w = Bound(0);
    CallResult call;
    Call(w.get(), L"VBSendKeys", {Arg::String(L"+ab~")}, &call);
    ASSERT_EQ(S_OK, call.hr);
    Call(w.get(), L"VBSendKeys", {Arg::String(L"{F5}"), Arg::Bool(true)}, &call);
    ASSERT_EQ(S_OK, call.hr);
    ASSERT_EQ(S_OK, w->VBSendKeys(nullptr, 1));  // any non-zero Boolean is true
    EXPECT_EQ((std::vector<std::string>{"keys +ab~ nowait", "keys {F5} wait", "keys  wait"}), recorder.calls);
}

}  // namespace
}  // namespace wrang::test
