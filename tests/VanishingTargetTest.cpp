// Targets that go away under the component: a window destroyed after binding, before each kind of
// member; a menu that changes while a cursor walks it. Every member answers with the empty result
// of a handle that names no window, and nothing crashes.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include "MenuTestTarget.h"
#include "frame/Classes.h"
#include "support/Automation.h"
#include "support/WindowThread.h"
#include "support/Wranglers.h"

namespace wrang::test {
namespace {

// What a member gives for a window that is gone: a number, a Boolean, a text, or a new window
// object bound to no window (navigation never hands out Nothing).
struct Expected {
    enum Kind { Number, Boolean, Text, Unbound, Anything } kind;
    LONG number = 0;
    const wchar_t* text = L"";
};

TEST(VanishingWindow, EveryKindOfMemberAnswersEmptyOnceTheWindowIsDestroyed) {
    WindowThread thread;
    HMENU bar = nullptr;
    thread.Run([&] {
        bar = CreateMenu();
        AppendMenuA(bar, MF_STRING, 11, "&Go");
    });
    HWND window = thread.Create("WrangVanishing", "Vanishing", WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, bar);
    HWND child = thread.CreateControl("BUTTON", "Child", WS_CHILD | WS_VISIBLE, window, 7);
    ASSERT_TRUE(child);
    const LONG handle = AsLong(window);

    const ComPtr<_clsWrangler> wrangler = Bound(handle);
    ComPtr<_clsJuggler> menus;
    ASSERT_EQ(S_OK, wrangler->GetMenu(menus.put()));
    ASSERT_TRUE(menus);
    thread.Destroy(window);
    ASSERT_FALSE(IsWindow(window));

    struct Case {
        const wchar_t* member;
        std::initializer_list<Arg> args;
        Expected expected;
    };
    const Case cases[] = {
        // Attributes.
        {L"hWnd", {}, {Expected::Number, handle}},
        {L"IsWindow", {}, {Expected::Boolean, 0}},
        {L"ClassName", {}, {Expected::Text}},
        {L"Text", {}, {Expected::Text}},
        {L"Left", {}, {Expected::Number, 0}},
        {L"Top", {}, {Expected::Number, 0}},
        {L"Width", {}, {Expected::Number, 0}},
        {L"Height", {}, {Expected::Number, 0}},
        {L"Enabled", {}, {Expected::Boolean, 0}},
        {L"Visible", {}, {Expected::Boolean, 0}},
        {L"WindowState", {}, {Expected::Number, 1}},
        {L"HasChildren", {}, {Expected::Boolean, 0}},
        {L"hWndParent", {}, {Expected::Number, 0}},
        // Navigation.
        {L"GetFirstChild", {}, {Expected::Unbound}},
        {L"GetLastChild", {}, {Expected::Unbound}},
        {L"GetNextSibling", {}, {Expected::Unbound}},
        {L"GetPreviousSibling", {}, {Expected::Unbound}},
        {L"GetTopLevelParent", {}, {Expected::Unbound}},
        {L"GetChild", {Arg::String(L"BUTTON"), Arg::String(L"Child")}, {Expected::Unbound}},
        // Messages: whatever the send answers for no window, 0.
        {L"SendMsgLong", {Arg::Long(WM_GETTEXTLENGTH), Arg::Long(0), Arg::Long(0)}, {Expected::Number, 0}},
        {L"SendMsgString", {Arg::Long(WM_SETTEXT), Arg::Long(0), Arg::String(L"x")}, {Expected::Number, 0}},
        {L"PostMsg", {Arg::Long(WM_NULL), Arg::Long(0), Arg::Long(0)}, {Expected::Anything}},
        // Input: every step runs and the result is True.
        {L"SendText", {Arg::String(L"ab"), Arg::Long(0)}, {Expected::Boolean, -1}},
        {L"ClickButton", {Arg::Long(0)}, {Expected::Anything}},
        {L"Refresh", {}, {Expected::Anything}},
        {L"CloseWindow", {}, {Expected::Anything}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.member);
        CallResult result;
        Call(wrangler.get(), c.member, c.args, &result);
        ASSERT_EQ(S_OK, result.hr);
        const VARIANT& v = *result.value.get();
        switch (c.expected.kind) {
        case Expected::Number:
            ASSERT_EQ(VT_I4, V_VT(&v));
            EXPECT_EQ(c.expected.number, V_I4(&v));
            break;
        case Expected::Boolean:
            ASSERT_EQ(VT_BOOL, V_VT(&v));
            EXPECT_EQ(c.expected.number, V_BOOL(&v));
            break;
        case Expected::Text:
            ASSERT_EQ(VT_BSTR, V_VT(&v));
            EXPECT_EQ(0u, SysStringLen(V_BSTR(&v)));
            break;
        case Expected::Unbound: {
            ASSERT_EQ(VT_DISPATCH, V_VT(&v));
            ASSERT_NE(nullptr, V_DISPATCH(&v));
            CallResult found;
            Call(V_DISPATCH(&v), L"hWnd", {}, &found);
            EXPECT_EQ(0, V_I4(found.value.get()));
            break;
        }
        case Expected::Anything: break;
        }
    }

    // Menus of the window that is gone: the controller answers, and a click reaches nobody.
    LONG count = -2, clicked = -2;
    EXPECT_EQ(S_OK, menus->get_ChildCount(&count));
    EXPECT_EQ(S_OK, menus->ClickChildItem(0, &clicked));
    EXPECT_EQ(0, clicked);
    CallResult menuResult;
    Call(wrangler.get(), L"GetMenu", {}, &menuResult);
    EXPECT_EQ(S_OK, menuResult.hr);
}

// A menu that loses entries, and a sub-menu that is destroyed, while a cursor walks it: the walk
// still ends after the count it began with, and entries that are gone read as nothing.
TEST(VanishingMenu, ACursorOverAMenuThatChangesEndsAndReadsGoneEntriesAsNothing) {
    MenuTarget target;
    const ComPtr<_clsMenuEnum> cursor =
        HandedOut<_clsMenuEnum>(Child(target.MenuBar().get(), 0).get(), &_clsMenuItem::BeginChildEnum);
    ASSERT_TRUE(cursor);
    const LONG count = Read(cursor.get(), &_clsMenuEnum::Count, -2L);
    ASSERT_EQ(6, count);
    VARIANT_BOOL more = VARIANT_FALSE;
    ASSERT_EQ(S_OK, cursor->NextItem(&more));
    ASSERT_EQ(VARIANT_TRUE, more);

    // Three entries go, and the sub-menu "&Recent" with everything below it.
    target.thread.Run([&] {
        DeleteMenu(target.file, 4, MF_BYPOSITION);  // destroys "&Recent" and "&More"
        DeleteMenu(target.file, 2, MF_BYPOSITION);
        DeleteMenu(target.file, 1, MF_BYPOSITION);
    });
    int steps = 1;
    for (;;) {
        ComPtr<_clsMenuItem> item;
        const HRESULT hr = cursor->GetItem(item.put());
        EXPECT_TRUE(hr == S_OK || hr == kVbInvalidCall) << std::hex << hr;
        if (item) {
            UniqueBstr text;
            EXPECT_EQ(S_OK, item->get_Text(text.put()));
            LONG children = -2;
            EXPECT_EQ(S_OK, item->get_ChildCount(&children));
        }
        ASSERT_EQ(S_OK, cursor->NextItem(&more));
        if (more != VARIANT_TRUE) break;
        ASSERT_LT(++steps, 100) << "the walk must end";
    }
    EXPECT_EQ(count, steps) << "the walk goes by the count it began with";
    EXPECT_EQ(S_OK, cursor->EndEnum());
}

// A window whose thread does not answer (blocked in its own work): the members that only ask the
// window manager or post return at once; a member that sends the window a message waits until
// the thread answers again (README, "Limits").
TEST(BlockedWindow, ReadsAndPostsReturnAtOnceAndASendWaitsForTheThread) {
    WindowThread thread;
    HWND window = thread.Create("WrangBlocked", "Blocked", WS_OVERLAPPEDWINDOW);
    const ComPtr<_clsWrangler> wrangler = Bound(AsLong(window));

    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE blocked = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    // Blocked until the test lets it go: the checks below that something waits hold only while it
    // is, so the block's own deadline lies far beyond what a loaded machine takes to get there.
    const DWORD deadline = static_cast<DWORD>(std::chrono::milliseconds(kEventDeadline).count());
    std::thread blocker([&] {
        thread.Run([&] {
            SetEvent(blocked);
            WaitForSingleObject(release, 3 * deadline);
        });
    });
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(blocked, deadline));

    // Each of these returns while the window's thread is still blocked.
    const wchar_t* immediate[] = {L"ClassName", L"IsWindow",    L"Left",       L"Width",         L"Visible",
                                  L"Enabled",   L"HasChildren", L"hWndParent", L"GetFirstChild", L"GetNextSibling"};
    for (const wchar_t* member : immediate) {
        CallResult result;
        Call(wrangler.get(), member, {}, &result);
        EXPECT_EQ(S_OK, result.hr) << member;
    }
    CallResult posted;
    Call(wrangler.get(), L"PostMsg", {Arg::Long(WM_NULL), Arg::Long(0), Arg::Long(0)}, &posted);
    EXPECT_EQ(S_OK, posted.hr);
    CallResult typed;
    Call(wrangler.get(), L"SendText", {Arg::String(L"ab"), Arg::Long(0)}, &typed);
    EXPECT_EQ(S_OK, typed.hr);
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(release, 0)) << "all of it while the thread was blocked";

    // A send waits: it is still waiting after a while, and ends once the thread answers.
    HANDLE sent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    LONG answer = -1;
    std::thread sender([&] {
        CoInitialize(nullptr);
        wrangler->SendMsgLong(WM_GETTEXTLENGTH, 0, 0, VARIANT_FALSE, &answer);
        SetEvent(sent);
        CoUninitialize();
    });
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(sent, 300));
    SetEvent(release);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(sent, deadline));
    EXPECT_EQ(static_cast<LONG>(strlen("Blocked")), answer);
    sender.join();
    blocker.join();
    for (HANDLE h : {release, blocked, sent}) CloseHandle(h);
}

}  // namespace
}  // namespace wrang::test
