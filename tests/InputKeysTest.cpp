// The key-string service typing for real, through SendInput, into the focused edit control of
// another process.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

#include "frame/Classes.h"
#include "frame/Errors.h"
#include "platform/WindowSystem.h"
#include "support/Automation.h"
#include "support/TargetProcess.h"
#include "support/WindowThread.h"
#include "support/Wranglers.h"

namespace wrang::test {
namespace {

std::wstring TextOf(HWND window) {
    // GetWindowText would give another process's edit control its caption, not its contents.
    std::wstring text(static_cast<size_t>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
    text.resize(static_cast<size_t>(SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]))));
    return text;
}

bool HasFocus(HWND top, HWND edit) {
    GUITHREADINFO info = {sizeof info};
    GetGUIThreadInfo(GetWindowThreadProcessId(top, nullptr), &info);
    return info.hwndFocus == edit && GetForegroundWindow() == top;
}

// Makes the target the foreground window with its edit control focused and the caret at the end.
// Focus can only be set by the thread that owns the window; an edit control takes it itself on a
// mouse click (which also moves the caret).
bool FocusEdit(HWND top, HWND edit) {
    if (HasFocus(top, edit)) return true;
    SetForegroundWindow(top);
    SendMessageW(edit, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    SendMessageW(edit, WM_LBUTTONUP, 0, 0);
    const LRESULT end = SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0);
    SendMessageW(edit, EM_SETSEL, end, end);
    return HasFocus(top, edit);
}

class KeysIntoTarget : public ::testing::Test {
protected:
    void SetUp() override {
        // CTest runs tests in parallel processes; only one of them may own the foreground.
        foreground = CreateMutexW(nullptr, FALSE, L"WrangTestsForegroundInput");
        ASSERT_TRUE(foreground);
        ASSERT_NE(WAIT_TIMEOUT, WaitForSingleObject(foreground, 60000));
        owned = true;
        // Started only now, so that its new window cannot take the foreground from another test.
        target = std::make_unique<TargetProcess>(L"--window WrangKeysTarget \"Keys target\"" + TargetOptions(),
                                                 "WrangKeysTarget");
        ASSERT_TRUE(target->Window());
        edit = FindWindowExA(target->Window(), nullptr, "Edit", nullptr);
        ASSERT_TRUE(edit);
        ASSERT_TRUE(FocusEdit(target->Window(), edit));
        SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
        ASSERT_EQ(S_OK, CreateWrangler(wrangler.put()));
    }

    virtual std::wstring TargetOptions() const { return L""; }

    // Other tests run alongside and may take the foreground with a new window: focus again
    // right before each string.
    void Keys(const wchar_t* keys, CallResult* call) {
        EXPECT_TRUE(FocusEdit(target->Window(), edit));
        Call(wrangler.get(), L"VBSendKeys", {Arg::String(keys), Arg::Bool(true)}, call);
    }
    HRESULT Keys(const wchar_t* keys) {
        CallResult call;
        Keys(keys, &call);
        return call.hr;
    }

    void TearDown() override {
        target.reset();
        if (owned) ReleaseMutex(foreground);
        if (foreground) CloseHandle(foreground);
    }

    HANDLE foreground = nullptr;
    bool owned = false;
    std::unique_ptr<TargetProcess> target;
    HWND edit = nullptr;
    ComPtr<_clsWrangler> wrangler;
};

TEST_F(KeysIntoTarget, ShiftGroupsRepeatsAndCharactersWithoutAKeyArriveInOrder) {
    // With the wait flag the text is there when the call returns.
    ASSERT_EQ(S_OK, Keys(L"+ab+(cd)e{x 3}{+}{(}"));
    EXPECT_EQ(L"AbCDexxx+(", TextOf(edit));
    // Modifiers were released: plain letters stay lower case.
    EXPECT_FALSE(GetAsyncKeyState(VK_SHIFT) & 0x8000);
    ASSERT_EQ(S_OK, Keys(L"z"));
    EXPECT_EQ(L"AbCDexxx+(z", TextOf(edit));
    // A character that no key of the layout types goes as itself.
    ASSERT_EQ(S_OK, Keys(L"{BS 2}\x00e9!{LEFT}{DEL}"));
    EXPECT_EQ(L"AbCDexxx+\x00e9", TextOf(edit)) << "VkKeyScanW: " << VkKeyScanW(0xE9);
    // A character that needs Shift inside a Shift group must not let the group's Shift go.
    ASSERT_EQ(S_OK, Keys(L"+(!a)b"));
    EXPECT_EQ(L"AbCDexxx+\x00e9!Ab", TextOf(edit));
}

TEST_F(KeysIntoTarget, AMalformedStringIsErrorFiveAndTypesNothing) {
    for (const wchar_t* keys : {L"ab{FOO}", L"ab{ENTER", L"ab(cd", L"ab}", L"ab{x 10001}", L"ab+"}) {
        CallResult call;
        Keys(keys, &call);
        EXPECT_EQ(DISP_E_EXCEPTION, call.hr) << keys;
        EXPECT_EQ(kVbInvalidCall, call.scode) << keys;
        EXPECT_EQ(L"Invalid procedure call or argument", call.description) << keys;
    }
    ASSERT_EQ(S_OK, Keys(L"ok"));
    EXPECT_EQ(L"ok", TextOf(edit));
}

// A target that takes at most 250 keys a second, whatever the machine: 1,500 keys take it more
// than six seconds.
class KeysIntoSlowTarget : public KeysIntoTarget {
    std::wstring TargetOptions() const override { return L" --slow 4"; }
};

TEST_F(KeysIntoSlowTarget, TheWaitLastsAsLongAsTheTargetKeepsTakingKeys) {
    std::wstring keys, expected;
    for (int i = 0; i < 300; ++i) {
        keys += L"ab+(cd)e";
        expected += L"abCDe";
    }
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(S_OK, Keys(keys.c_str()));
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(expected, TextOf(edit)) << "every key was handled when the call returned";
    EXPECT_GE(took, std::chrono::seconds(6)) << "the target's pace did not hold it back";
}

// A target whose thread stops taking input at "|" (for a minute) while keys are still to come.
class KeysIntoStallingTarget : public KeysIntoTarget {
    std::wstring TargetOptions() const override { return L" --stall-at |"; }
};

TEST_F(KeysIntoStallingTarget, TheWaitEndsWithErrorSeventeenWhenTheTargetTakesNoKeyForFiveSeconds) {
    std::wstring keys = L"+(" + std::wstring(100, L'x') + L"|" + std::wstring(400, L'x') + L")";
    const auto start = std::chrono::steady_clock::now();
    CallResult call;
    Keys(keys.c_str(), &call);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(DISP_E_EXCEPTION, call.hr);
    EXPECT_EQ(static_cast<HRESULT>(0x800A0011), call.scode);
    EXPECT_EQ(L"Can't perform requested operation", call.description);
    // Five seconds without a key, not the target's minute (however long the keys before the stall
    // take on a loaded machine).
    EXPECT_GE(took, std::chrono::seconds(5));
    EXPECT_LT(took, std::chrono::seconds(45));
    EXPECT_FALSE(GetAsyncKeyState(VK_SHIFT) & 0x8000) << "the Shift of the unfinished group was let go";
}

// The key-string service reports its own failures as statuses; VBSendKeys turns them into the
// runtime's errors, with their texts, and passes every other status on unchanged.
TEST(KeysStatuses, VBSendKeysTurnsTheServicesStatusesIntoTheRuntimesErrors) {
    struct AnsweringService : platform::Win32WindowSystem {
        HRESULT answer = S_OK;
        HRESULT SendKeys(const wchar_t*, UINT, bool) override { return answer; }
    } service;
    platform::ScopedWindowSystem scoped(service);
    const struct {
        HRESULT service, member;
        const wchar_t* description;
    } kCases[] = {
        {S_OK, S_OK, L""},
        {platform::kKeyStringMalformed, kVbInvalidCall, L"Invalid procedure call or argument"},
        {platform::kKeysNotTaken, kVbCannotPerform, L"Can't perform requested operation"},
        {E_OUTOFMEMORY, E_OUTOFMEMORY, nullptr},
        {HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED), HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED), nullptr},
    };
    ComPtr<_clsWrangler> wrangler;
    ASSERT_EQ(S_OK, CreateWrangler(wrangler.put()));
    for (const auto& c : kCases) {
        service.answer = c.service;
        CallResult call;
        Call(wrangler.get(), L"VBSendKeys", {Arg::String(L"ab"), Arg::Bool(true)}, &call);
        EXPECT_EQ(c.member, call.scode) << std::hex << c.service;
        EXPECT_EQ(SUCCEEDED(c.member) ? S_OK : DISP_E_EXCEPTION, call.hr) << std::hex << c.service;
        if (c.description) EXPECT_EQ(c.description, call.description) << std::hex << c.service;
    }
}

// SendText needs neither focus nor the foreground: it posts to the control, whose own loop turns
// the keys into characters.
TEST(TextIntoTarget, TheEditControlOfAnotherProcessShowsTheTypedText) {
    TargetProcess target(L"--window WrangTextTarget \"Text target\"", "WrangTextTarget");
    ASSERT_TRUE(target.Window());
    HWND edit = FindWindowExA(target.Window(), nullptr, "Edit", nullptr);
    ASSERT_TRUE(edit);
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    ComPtr<_clsWrangler> w = Bound(L(edit));
    ASSERT_TRUE(w);
    // Each text waits for the one before: the characters that the target's loop makes from the
    // keys are queued behind whatever was posted already.
    const struct {
        const wchar_t* typed;
        const wchar_t* shown;
    } steps[] = {
        // Letters go as their keys without Shift, so they arrive in lower case.
        {L"Ab1 x", L"ab1 x"},
        // "!" has no key of its own; its WM_CHAR types it.
        {L"!", L"ab1 x!"},
        // A key that also carries its character is seen twice by a control whose loop translates
        // keys: once from the key, once from the character.
        {L"{BS}", L"ab1 "},
    };
    for (const auto& step : steps) {
        CallResult call;
        Call(w.get(), L"SendText", {Arg::String(step.typed), Arg::Long(0)}, &call);
        ASSERT_EQ(S_OK, call.hr);
        // The target's loop takes the keys when it gets to run: wait for the text itself.
        PumpUntil([&] { return TextOf(edit) == step.shown; });
        EXPECT_EQ(std::wstring(step.shown), TextOf(edit));
    }
}

}  // namespace
}  // namespace wrang::test
