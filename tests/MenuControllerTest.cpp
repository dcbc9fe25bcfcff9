// The menu controller: binding a window's menu bar or system menu, counting, handing out entries,
// system-command names and clicks, checked against real menus of a real window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MenuTestTarget.h"
#include "platform/WindowSystem.h"
#include "support/Automation.h"
#include "support/Recorders.h"
#include "support/Wranglers.h"
#include "support/TargetProcess.h"

namespace wrang::test {
namespace {

struct Binding {
    LONG hWnd, hMenu;
};
Binding BindingOf(_clsJuggler* j) {
    const Binding b = {Read(j, &_clsJuggler::get_hWnd, -1L), Read(j, &_clsJuggler::get_hMenu, -1L)};
    EXPECT_EQ(b.hWnd, Read(j, &_clsJuggler::GetWindowHandle, -1L));
    EXPECT_EQ(b.hMenu, Read(j, &_clsJuggler::GetMenuHandle, -1L));
    return b;
}

LONG ChildCount(_clsJuggler* j) { return Read(j, &_clsJuggler::get_ChildCount, -2L); }

TEST(MenuController, InitStoresEverythingButReturnsNothingForMenuZero) {
    ComPtr<_clsJuggler> j = Created(CreateJuggler);
    EXPECT_EQ(0, BindingOf(j.get()).hWnd);
    EXPECT_EQ(-1, ChildCount(j.get())) << "unbound";

    ComPtr<_clsJuggler> returned;
    ASSERT_EQ(S_OK, j->Init(0, 0x1234, VARIANT_TRUE, returned.put()));
    EXPECT_FALSE(returned) << "menu 0 gives Nothing";
    Binding b = BindingOf(j.get());
    EXPECT_EQ(0x1234, b.hWnd) << "the window is stored before the test";
    EXPECT_EQ(0, b.hMenu);

    ASSERT_EQ(S_OK, j->Init(0x777, 0x55, VARIANT_FALSE, returned.put()));
    EXPECT_EQ(j.get(), returned.get());
    b = BindingOf(j.get());
    EXPECT_EQ(0x55, b.hWnd);
    EXPECT_EQ(0x777, b.hMenu);

    // GetWindow of an unbound controller is an unbound window object, never Nothing.
    EXPECT_EQ(0, HandleFrom(Created(CreateJuggler).get(), &_clsJuggler::GetWindow));
}

TEST(MenuController, BindsAWindowsMenuBarByHandleAndByClassAndCaption) {
    MenuTarget target("Menu bar binding");
    ComPtr<_clsJuggler> j = Created(CreateJuggler), returned;
    ASSERT_EQ(S_OK, j->InitByHandle(AsLong(target.window), returned.put()));
    ASSERT_EQ(j.get(), returned.get());
    Binding b = BindingOf(j.get());
    EXPECT_EQ(AsLong(target.window), b.hWnd);
    EXPECT_EQ(AsLong(target.bar), b.hMenu);
    EXPECT_EQ(3, ChildCount(j.get()));

    EXPECT_EQ(AsLong(target.window), HandleFrom(j.get(), &_clsJuggler::GetWindow));

    // A window without a menu bar gives Nothing, and so does a lookup that finds no window.
    HWND plain = target.thread.Create("WrangMenuPlain", "no menu bar");
    ComPtr<_clsJuggler> other = Created(CreateJuggler);
    ASSERT_EQ(S_OK, other->InitByHandle(AsLong(plain), returned.put()));
    EXPECT_FALSE(returned);
    EXPECT_EQ(AsLong(plain), BindingOf(other.get()).hWnd);

    LookupRecorder recorder;
    platform::ScopedWindowSystem scoped(recorder);
    CallResult result;
    Call(other.get(), L"InitByWindow", {Arg::String(L"WrangMenuTarget"), Arg::String(L"Menu bar binding")}, &result);
    ASSERT_EQ(S_OK, result.hr);
    ASSERT_EQ(VT_DISPATCH, V_VT(result.value.get()));
    EXPECT_EQ(static_cast<IDispatch*>(other.get()), V_DISPATCH(result.value.get()));
    EXPECT_EQ(AsLong(target.bar), BindingOf(other.get()).hMenu);

    // Left-out arguments are empty strings, matched literally: no window has an empty class name.
    Call(other.get(), L"InitByWindow", {}, &result);
    ASSERT_EQ(S_OK, result.hr);
    EXPECT_EQ(VT_DISPATCH, V_VT(result.value.get()));
    EXPECT_EQ(nullptr, V_DISPATCH(result.value.get()));
    ASSERT_EQ(2u, recorder.lookups.size());
    EXPECT_FALSE(recorder.lookups[1].classIsNull);
    EXPECT_FALSE(recorder.lookups[1].nameIsNull);
    EXPECT_EQ(L"", recorder.lookups[1].className);
    EXPECT_EQ(0, BindingOf(other.get()).hMenu);
}

TEST(MenuController, WindowGetMenuIsNeverNothing) {
    MenuTarget target;
    HWND plain = target.thread.Create("WrangMenuPlain", "no menu bar");
    const ComPtr<_clsWrangler> w = NewWrangler();
    ASSERT_TRUE(w);
    ComPtr<_clsWrangler> bound;
    for (HWND window : {target.window, plain, static_cast<HWND>(nullptr)}) {
        ASSERT_EQ(S_OK, w->InitByHandle(AsLong(window), bound.put()));
        CallResult result;
        Call(w.get(), L"GetMenu", {}, &result);
        ASSERT_EQ(S_OK, result.hr);
        ASSERT_EQ(VT_DISPATCH, V_VT(result.value.get()));
        ComPtr<_clsJuggler> menu;
        ASSERT_EQ(S_OK, ComPtr<IDispatch>(V_DISPATCH(result.value.get())).as(menu)) << window;
        const Binding b = BindingOf(menu.get());
        if (window == target.window) {
            EXPECT_EQ(AsLong(target.window), b.hWnd);
            EXPECT_EQ(AsLong(target.bar), b.hMenu);
        } else {
            // Not even the window is remembered when there is no menu bar.
            EXPECT_EQ(0, b.hWnd) << window;
            EXPECT_EQ(0, b.hMenu) << window;
        }
    }
}

TEST(MenuController, SystemCommandNamesAreMatchedExactly) {
    ComPtr<_clsJuggler> j = Created(CreateJuggler);
    const struct {
        const wchar_t* name;
        LONG id;
    } cases[] = {
        // First, last, and the two sides of the gap in the values.
        {L"SC_SIZE", 0xF000},    {L"SC_MOUSEMENU", 0xF090},
        {L"SC_KEYMENU", 0xF100}, {L"SC_CLOSE", 0xF060},
        {L"SC_HOTKEY", 0xF150},  {L"SC_RESTORE", 0xF120},
        {L"sc_close", 0},        {L" SC_CLOSE", 0},
        {L"SC_CLOSE ", 0},       {L"", 0},
        {L"SC_CLOS", 0},         {L"SC_CONTEXTHELP", 0},
    };
    for (const auto& c : cases) {
        CallResult result;
        Call(j.get(), L"GetSysMenuID", {Arg::String(c.name)}, &result);
        ASSERT_EQ(S_OK, result.hr);
        EXPECT_EQ(c.id, V_I4(result.value.get())) << "[" << c.name << "]";
    }
    // A NUL inside the string makes it another name; a null string is the empty one.
    UniqueBstr embedded(SysAllocStringLen(L"SC_CLOSE\0x", 10));
    LONG id = -1;
    ASSERT_EQ(S_OK, j->GetSysMenuID(embedded.get(), &id));
    EXPECT_EQ(0, id);
    ASSERT_EQ(S_OK, j->GetSysMenuID(nullptr, &id));
    EXPECT_EQ(0, id);
}

TEST(MenuController, ClicksSendTheCommandOfAPositionOrAnEntryToTheWindow) {
    MenuTarget target;
    ComPtr<_clsJuggler> bar = target.MenuBar();
    ASSERT_TRUE(bar);
    const LONG hBar = AsLong(target.bar);

    LONG answer = 0;
    ASSERT_EQ(S_OK, bar->ClickChildItem(2, &answer));
    EXPECT_EQ(kCommandAnswer, answer) << "the window's own answer comes back";
    // An entry that opens a sub-menu, and a position past the end, send -1 untested.
    ASSERT_EQ(S_OK, bar->ClickChildItem(0, &answer));
    ASSERT_EQ(S_OK, bar->ClickChildItem(17, &answer));
    std::vector<Message> sent = target.TakeCommands();
    ASSERT_EQ(3u, sent.size());
    ExpectCommand(sent[0], WM_COMMAND, kHelp, hBar);
    ExpectCommand(sent[1], WM_COMMAND, -1, hBar);
    ExpectCommand(sent[2], WM_COMMAND, -1, hBar);

    // By entry: its identifier as wParam, here the handle of the sub-menu that "&File" opens.
    ComPtr<_clsMenuItem> file = Child(bar.get(), 0);
    ASSERT_TRUE(file);
    EXPECT_EQ(AsLong(target.file), IdOfEntry(file.get()));
    ASSERT_EQ(S_OK, bar->ClickChildItem2(file.get(), &answer));
    EXPECT_EQ(kCommandAnswer, answer);
    sent = target.TakeCommands();
    ASSERT_EQ(1u, sent.size());
    ExpectCommand(sent[0], WM_COMMAND, AsLong(target.file), hBar);

    // No entry: the runtime's "object required", and nothing is sent.
    EXPECT_EQ(kVbObjectRequired, bar->ClickChildItem2(nullptr, &answer));
    EXPECT_EQ(kVbObjectRequired, bar->GetChildState(nullptr, &answer));
    CallResult result;
    Call(bar.get(), L"ClickChildItem2", {Arg::Object(nullptr)}, &result);
    EXPECT_EQ(DISP_E_EXCEPTION, result.hr);
    EXPECT_EQ(kVbObjectRequired, result.scode);
    EXPECT_TRUE(target.TakeCommands().empty());
}

TEST(MenuController, EntriesOfAMenuBarAreItsPopUpsOrWhateverHasIdentifierZero) {
    MenuTarget target;
    ComPtr<_clsJuggler> bar = target.MenuBar();
    ComPtr<_clsMenuItem> entry = Child(bar.get(), 1);
    ASSERT_TRUE(entry);
    EXPECT_EQ(AsLong(target.empty), IdOfEntry(entry.get()));
    LONG state = 0;
    ASSERT_EQ(S_OK, bar->GetChildState(entry.get(), &state));
    EXPECT_EQ(MF_POPUP, state & 0xFF);

    // "&Help" opens nothing, so it is asked for by identifier 0; the lookup by command searches
    // the sub-menus too and finds the separator of "&File".
    entry = Child(bar.get(), 2);
    ASSERT_TRUE(entry);
    EXPECT_EQ(0, IdOfEntry(entry.get()));
    EXPECT_EQ(VARIANT_TRUE, Read(entry.get(), &_clsMenuItem::get_IsSeparator, VARIANT_FALSE));

    // Where no entry has identifier 0, such a position gives Nothing; clicking it by position works.
    HMENU plainBar = nullptr, go = nullptr;
    target.thread.Run([&] {
        plainBar = CreateMenu();
        go = CreatePopupMenu();
        AppendMenuA(go, MF_STRING, 7, "&Quit");
        AppendMenuA(plainBar, MF_POPUP, reinterpret_cast<UINT_PTR>(go), "&Go");
        AppendMenuA(plainBar, MF_STRING, 8, "&Stop");
    });
    HWND window = target.thread.Create("WrangMenuTarget", "plain bar", WS_OVERLAPPEDWINDOW, nullptr, plainBar);
    ComPtr<_clsJuggler> plain = Created(CreateJuggler), returned;
    ASSERT_EQ(S_OK, plain->InitByHandle(AsLong(window), returned.put()));
    EXPECT_FALSE(Child(plain.get(), 1));
    EXPECT_FALSE(Child(plain.get(), -5));
    LONG answer = 0;
    ASSERT_EQ(S_OK, plain->ClickChildItem(1, &answer));
    std::vector<Message> sent = target.thread.Messages(window, WM_COMMAND);
    ASSERT_EQ(1u, sent.size());
    ExpectCommand(sent[0], WM_COMMAND, 8, AsLong(plainBar));
}

TEST(MenuController, SystemMenuIsAddressedByCommandAndClickedWithSysCommand) {
    MenuTarget target;
    ComPtr<_clsJuggler> bar = target.MenuBar();
    HMENU systemMenu = nullptr;
    UINT closePosition = 0xFFFF;
    target.thread.Run([&] {
        systemMenu = GetSystemMenu(target.window, FALSE);
        for (int i = 0; i < GetMenuItemCount(systemMenu); ++i) {
            if (GetMenuItemID(systemMenu, i) == SC_CLOSE) closePosition = static_cast<UINT>(i);
        }
    });
    ASSERT_TRUE(systemMenu);
    ASSERT_NE(0xFFFFu, closePosition) << "the system menu has a Close entry";

    ComPtr<_clsJuggler> sys;
    ASSERT_EQ(S_OK, bar->GetSysMenu(sys.put()));
    ASSERT_TRUE(sys);
    Binding b = BindingOf(sys.get());
    EXPECT_EQ(AsLong(target.window), b.hWnd);
    EXPECT_EQ(AsLong(systemMenu), b.hMenu);
    EXPECT_GT(ChildCount(sys.get()), static_cast<LONG>(closePosition));
    // Asked again on the system-menu controller: a second controller of the same menu.
    ComPtr<_clsJuggler> again;
    ASSERT_EQ(S_OK, sys->GetSysMenu(again.put()));
    ASSERT_TRUE(again);
    EXPECT_NE(sys.get(), again.get());
    EXPECT_EQ(AsLong(systemMenu), BindingOf(again.get()).hMenu);

    LONG closeId = 0;
    UniqueBstr name(SysAllocString(L"SC_CLOSE"));
    ASSERT_EQ(S_OK, sys->GetSysMenuID(name.get(), &closeId));
    const ComPtr<_clsMenuItem> close = Child(sys.get(), closeId);
    ASSERT_TRUE(close);
    EXPECT_EQ(0xF060, IdOfEntry(close.get()));
    UniqueBstr caption;
    ASSERT_EQ(S_OK, close->get_Text(caption.put()));
    EXPECT_NE(std::wstring::npos, std::wstring(caption.get()).find(L"Close"));
    // The argument is a command identifier, not a position: no system command has 12345.
    EXPECT_FALSE(Child(sys.get(), 12345));

    target.TakeCommands();
    LONG answer = 0;
    ASSERT_EQ(S_OK, close->ClickItem(&answer));
    EXPECT_EQ(kSysCommandAnswer, answer);
    ASSERT_EQ(S_OK, sys->ClickChildItem2(close.get(), &answer));
    // By position, the position is still a position.
    ASSERT_EQ(S_OK, sys->ClickChildItem(static_cast<LONG>(closePosition), &answer));
    EXPECT_EQ(kSysCommandAnswer, answer);
    std::vector<Message> sent = target.TakeCommands();
    ASSERT_EQ(3u, sent.size());
    for (const Message& m : sent) ExpectCommand(m, WM_SYSCOMMAND, SC_CLOSE, AsLong(systemMenu));
    EXPECT_TRUE(IsWindow(target.window)) << "the handler answered the close command";
}

TEST(MenuController, ReachesTheMenuBarOfAWindowOfAnotherProcess) {
    // The target application has no menu bar; that much any platform tells across processes.
    TargetProcess target(L"--window WrangMenuRemote \"Remote menu\"", "WrangMenuRemote");
    ASSERT_TRUE(target.Window());
    ComPtr<_clsJuggler> j = Created(CreateJuggler), returned;
    ASSERT_EQ(S_OK, j->InitByHandle(AsLong(target.Window()), returned.put()));
    EXPECT_FALSE(returned);
    EXPECT_EQ(AsLong(target.Window()), BindingOf(j.get()).hWnd);

    if (RunningOnWine()) GTEST_SKIP() << "Wine keeps a process's menu handles to that process";
    ASSERT_EQ(S_OK, j->GetSysMenu(returned.put()));
    ASSERT_TRUE(returned);
    EXPECT_GT(ChildCount(returned.get()), 0);
    const ComPtr<_clsMenuItem> close = Child(returned.get(), SC_CLOSE);
    ASSERT_TRUE(close);
    UniqueBstr caption;
    ASSERT_EQ(S_OK, close->get_Text(caption.put()));
    EXPECT_GT(SysStringLen(caption.get()), 0u);
}

}  // namespace
}  // namespace wrang::test
