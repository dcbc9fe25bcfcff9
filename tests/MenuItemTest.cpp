// Menu entries on a real menu bar: their identifiers, states, captions, clicks, sub-menus three
// levels deep, and the chain of parents that keeps them alive.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MenuTestTarget.h"
#include "frame/Errors.h"
#include "frame/ServerLifetime.h"
#include "platform/WindowSystem.h"
#include "support/Automation.h"
#include "support/Wranglers.h"

namespace wrang::test {
namespace {

std::wstring TextOf(_clsMenuItem* item) { return ReadText(item, &_clsMenuItem::get_Text, L"<null>"); }

struct Flags {
    bool enabled, checked, separator;
};
Flags FlagsOf(_clsMenuItem* item) {
    VARIANT_BOOL enabled = 7, checked = 7, separator = 7;
    EXPECT_EQ(S_OK, item->get_Enabled(&enabled));
    EXPECT_EQ(S_OK, item->get_Checked(&checked));
    EXPECT_EQ(S_OK, item->get_IsSeparator(&separator));
    for (VARIANT_BOOL b : {enabled, checked, separator}) EXPECT_TRUE(b == VARIANT_TRUE || b == VARIANT_FALSE);
    return {enabled == VARIANT_TRUE, checked == VARIANT_TRUE, separator == VARIANT_TRUE};
}

LONG CountOf(_clsMenuItem* item) { return Read(item, &_clsMenuItem::get_ChildCount, -2L); }

// The entry's position in its menu, or -1.
int GetMenuPosition(HMENU menu, UINT id) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        if (GetMenuItemID(menu, i) == id) return i;
    }
    return -1;
}

// Records the menu changes the component asks for, and the state and caption reads around them,
// and passes them all on.
struct ModifyRecorder : platform::Win32WindowSystem {
    struct Modify {
        LONG menu;
        UINT item, flags;
        UINT_PTR newItem;
    };
    struct Read {
        LONG menu;
        UINT item;
        int size;  // the buffer size of a caption read, -1 for a state read
        UINT flags;
    };
    std::vector<Modify> modifies;
    std::vector<Read> reads;
    BOOL ModifyMenuW(LONG m, UINT i, UINT f, UINT_PTR n, const wchar_t* c) override {
        modifies.push_back({m, i, f, n});
        return Win32WindowSystem::ModifyMenuW(m, i, f, n, c);
    }
    UINT GetMenuState(LONG m, UINT i, UINT f) override {
        reads.push_back({m, i, -1, f});
        return Win32WindowSystem::GetMenuState(m, i, f);
    }
    int GetMenuStringW(LONG m, UINT i, wchar_t* b, int n, UINT f) override {
        reads.push_back({m, i, n, f});
        return Win32WindowSystem::GetMenuStringW(m, i, b, n, f);
    }
};

TEST(MenuItem, EntriesReportIdentifierCountAndStateOfTheirEntry) {
    MenuTarget target;
    ComPtr<_clsJuggler> bar = target.MenuBar();
    ComPtr<_clsMenuItem> file = Child(bar.get(), 0);
    ASSERT_TRUE(file);
    EXPECT_EQ(6, CountOf(file.get()));
    EXPECT_EQ(L"&File", TextOf(file.get())) << "mnemonic ampersands stay";

    const struct {
        LONG position, id;
        const wchar_t* text;
        Flags flags;
    } cases[] = {
        {0, kOpen, L"&Open", {true, false, false}},
        {1, kCheckedEntry, L"&Checked entry", {true, true, false}},
        {2, kDisabledEntry, L"&Disabled entry", {false, false, false}},
        {3, 0, L"", {true, false, true}},
        {4, AsLong(target.recent), L"&Recent", {true, false, false}},
        // Only the disabled bit counts: an entry that is grayed alone reads as enabled.
        {5, kGrayedOnly, L"&Grayed only", {true, false, false}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.position);
        ComPtr<_clsMenuItem> entry = Child(file.get(), c.position);
        ASSERT_TRUE(entry);
        EXPECT_EQ(c.id, IdOfEntry(entry.get()));
        EXPECT_EQ(c.text, TextOf(entry.get()));
        const Flags f = FlagsOf(entry.get());
        // Whether a separator reads as disabled is the platform's (Wine marks it grayed).
        if (c.id != 0) EXPECT_EQ(c.flags.enabled, f.enabled);
        EXPECT_EQ(c.flags.checked, f.checked);
        EXPECT_EQ(c.flags.separator, f.separator);
        LONG state = 0;
        ASSERT_EQ(S_OK, file->GetChildState(entry.get(), &state));
        EXPECT_EQ(static_cast<LONG>(GetMenuState(target.file, static_cast<UINT>(c.id), MF_BYCOMMAND)), state);
        // A command entry's identifier is no menu: no children, and none handed out.
        if (c.position != 4) {
            EXPECT_EQ(-1, CountOf(entry.get()));
            EXPECT_FALSE(Child(entry.get(), 0));
        }
    }
    EXPECT_EQ(2, CountOf(Child(file.get(), 4).get()));
    EXPECT_EQ(0, CountOf(Child(bar.get(), 1).get())) << "the empty pop-up";
    EXPECT_FALSE(Child(file.get(), 6)) << "past the end";
    EXPECT_FALSE(Child(file.get(), -1));
}

TEST(MenuItem, SubMenusOpenToAnyDepthAndClicksGoToTheOwningWindow) {
    MenuTarget target;
    ComPtr<_clsJuggler> bar = target.MenuBar();
    ComPtr<_clsMenuItem> file = Child(bar.get(), 0);
    ComPtr<_clsMenuItem> recent = Child(file.get(), 4);
    ComPtr<_clsMenuItem> more = Child(recent.get(), 1);
    ComPtr<_clsMenuItem> deep = Child(more.get(), 0);
    ASSERT_TRUE(deep);
    EXPECT_EQ(AsLong(target.more), IdOfEntry(more.get()));
    EXPECT_EQ(kDeepEntry, IdOfEntry(deep.get()));
    EXPECT_EQ(L"Deep entry", TextOf(deep.get()));
    EXPECT_EQ(AsLong(target.window), Read(deep.get(), &_clsMenuItem::GetWindowHandle, 0L))
        << "asked up the chain to the controller";

    target.TakeCommands();
    LONG answer = 0;
    ASSERT_EQ(S_OK, deep->ClickItem(&answer));
    EXPECT_EQ(kCommandAnswer, answer);
    ASSERT_EQ(S_OK, more->ClickChildItem(0, &answer));
    ASSERT_EQ(S_OK, recent->ClickChildItem2(Child(recent.get(), 0).get(), &answer));
    ASSERT_EQ(S_OK, recent->ClickChildItem(1, &answer));  // opens "&More": -1 as it comes
    ASSERT_EQ(S_OK, file->ClickItem(&answer));            // a bar entry, through the controller
    ASSERT_EQ(S_OK, Child(file.get(), 0)->ClickItem(&answer));
    const std::vector<Message> sent = target.TakeCommands();
    ASSERT_EQ(6u, sent.size());
    ExpectCommand(sent[0], WM_COMMAND, kDeepEntry, AsLong(target.more));
    ExpectCommand(sent[1], WM_COMMAND, kDeepEntry, AsLong(target.more));
    ExpectCommand(sent[2], WM_COMMAND, kFirstRecent, AsLong(target.recent));
    ExpectCommand(sent[3], WM_COMMAND, -1, AsLong(target.recent));
    ExpectCommand(sent[4], WM_COMMAND, AsLong(target.file), AsLong(target.bar));
    ExpectCommand(sent[5], WM_COMMAND, kOpen, AsLong(target.file));

    EXPECT_EQ(kVbObjectRequired, recent->ClickChildItem2(nullptr, &answer));
    EXPECT_EQ(kVbObjectRequired, recent->GetChildState(nullptr, &answer));
    EXPECT_TRUE(target.TakeCommands().empty());
}

TEST(MenuItem, EntriesBelowASystemMenuClickTheirChildrenWithPlainCommands) {
    MenuTarget target;
    HMENU systemMenu = nullptr, extra = nullptr;
    // An application may hang a sub-menu into its system menu; its entries are plain commands.
    target.thread.Run([&] {
        systemMenu = GetSystemMenu(target.window, FALSE);
        extra = CreatePopupMenu();
        AppendMenuA(extra, MF_STRING, 0x77, "Extra command");
        AppendMenuA(systemMenu, MF_POPUP, reinterpret_cast<UINT_PTR>(extra), "E&xtras");
    });
    ComPtr<_clsJuggler> sys;
    ASSERT_EQ(S_OK, target.MenuBar()->GetSysMenu(sys.put()));
    ComPtr<_clsMenuItem> extras = Child(sys.get(), AsLong(extra));
    ASSERT_TRUE(extras);
    EXPECT_EQ(L"E&xtras", TextOf(extras.get()));
    target.TakeCommands();
    LONG answer = 0;
    ASSERT_EQ(S_OK, extras->ClickChildItem(0, &answer));
    ASSERT_EQ(S_OK, Child(extras.get(), 0)->ClickItem(&answer));
    ASSERT_EQ(S_OK, extras->ClickItem(&answer));  // the parent is the system menu: WM_SYSCOMMAND
    const std::vector<Message> sent = target.TakeCommands();
    ASSERT_EQ(3u, sent.size());
    ExpectCommand(sent[0], WM_COMMAND, 0x77, AsLong(extra));
    ExpectCommand(sent[1], WM_COMMAND, 0x77, AsLong(extra));
    ExpectCommand(sent[2], WM_SYSCOMMAND, AsLong(extra), AsLong(systemMenu));
}

TEST(MenuItem, CaptionsAreReadUpTo249Characters) {
    MenuTarget target;
    const std::string longCaption(300, 'x');
    const std::string exact(249, 'y');
    target.thread.Run([&] {
        AppendMenuA(target.recent, MF_STRING, 250, (longCaption.substr(0, 249) + "ABC").c_str());
        AppendMenuA(target.recent, MF_STRING, 251, exact.c_str());
        AppendMenuA(target.recent, MF_STRING, 252, "Umlaut \xE4 and tab\tCtrl+U");
    });
    ComPtr<_clsMenuItem> recent = Child(Child(target.MenuBar().get(), 0).get(), 4);
    EXPECT_EQ(std::wstring(249, L'x'), TextOf(Child(recent.get(), 2).get()));
    EXPECT_EQ(std::wstring(249, L'y'), TextOf(Child(recent.get(), 3).get()));
    EXPECT_EQ(L"Umlaut \u00E4 and tab\tCtrl+U", TextOf(Child(recent.get(), 4).get()))
        << "converted from the ANSI code page, accelerator text kept";
}

TEST(MenuItem, RenamingKeepsTheEntrysFlagsAndIdentifier) {
    MenuTarget target;
    ComPtr<_clsMenuItem> file = Child(target.MenuBar().get(), 0);
    ComPtr<_clsMenuItem> checked = Child(file.get(), 1);
    ComPtr<_clsMenuItem> disabled = Child(file.get(), 2);
    ASSERT_EQ(S_OK, checked->put_Enabled(VARIANT_FALSE));
    ModifyRecorder recorder;
    platform::ScopedWindowSystem scoped(recorder);

    CallResult result;
    Put(checked.get(), L"Text", Arg::String(L"Renamed &checked"), &result);
    ASSERT_EQ(S_OK, result.hr);
    // The state is read by command with flags 10, the caption into 250 characters by command.
    ASSERT_EQ(1u, recorder.reads.size());
    EXPECT_EQ(AsLong(target.file), recorder.reads[0].menu);
    EXPECT_EQ(static_cast<UINT>(kCheckedEntry), recorder.reads[0].item);
    EXPECT_EQ(10u, recorder.reads[0].flags);
    TextOf(checked.get());
    ASSERT_EQ(2u, recorder.reads.size());
    EXPECT_EQ(AsLong(target.file), recorder.reads[1].menu);
    EXPECT_EQ(static_cast<UINT>(kCheckedEntry), recorder.reads[1].item);
    EXPECT_EQ(250, recorder.reads[1].size);
    EXPECT_EQ(static_cast<UINT>(MF_BYCOMMAND), recorder.reads[1].flags);
    UniqueBstr text(SysAllocString(L"Renamed disabled"));
    ASSERT_EQ(S_OK, disabled->put_Text(text.get()));
    EXPECT_EQ(L"Renamed &checked", TextOf(checked.get()));
    EXPECT_EQ(L"Renamed disabled", TextOf(disabled.get()));
    const UINT state = GetMenuState(target.file, kCheckedEntry, MF_BYCOMMAND);
    EXPECT_EQ(static_cast<UINT>(MF_CHECKED | MF_GRAYED | MF_DISABLED), state & 0xFF);
    EXPECT_EQ(static_cast<UINT>(MF_GRAYED | MF_DISABLED), GetMenuState(target.file, kDisabledEntry, MF_BYCOMMAND));
    EXPECT_EQ(1, GetMenuPosition(target.file, kCheckedEntry));
    ASSERT_EQ(2u, recorder.modifies.size());
    EXPECT_EQ(AsLong(target.file), recorder.modifies[0].menu);
    EXPECT_EQ(static_cast<UINT>(kCheckedEntry), recorder.modifies[0].item);
    EXPECT_EQ(static_cast<UINT_PTR>(kCheckedEntry), recorder.modifies[0].newItem);
    EXPECT_EQ(static_cast<UINT>(MF_CHECKED | MF_GRAYED | MF_DISABLED), recorder.modifies[0].flags);
}

TEST(MenuItem, RenamingAPopUpKeepsItAPopUpWhateverItsEntryCount) {
    MenuTarget target;
    ModifyRecorder recorder;
    platform::ScopedWindowSystem scoped(recorder);
    // 1 entry puts 0x100 (owner-drawn) into the state word, 4 entries 0x400 (by position),
    // 8 entries 0x800 (separator).
    for (int count : {1, 4, 8, 9}) {
        SCOPED_TRACE(count);
        HMENU popup = nullptr;
        target.thread.Run([&] {
            popup = CreatePopupMenu();
            for (int i = 0; i < count; ++i) AppendMenuA(popup, MF_STRING, 600 + i, "entry");
            AppendMenuA(target.bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), "&Pop-up");
        });
        ComPtr<_clsJuggler> bar = target.MenuBar();
        const LONG barCount = Read(bar.get(), &_clsJuggler::get_ChildCount, -2L);
        ComPtr<_clsMenuItem> entry = Child(bar.get(), barCount - 1);
        ASSERT_TRUE(entry);
        EXPECT_FALSE(FlagsOf(entry.get()).separator) << "a pop-up is never a separator";
        ASSERT_EQ(S_OK, entry->put_Enabled(VARIANT_FALSE));
        UniqueBstr caption(SysAllocString(L"&Renamed"));
        ASSERT_EQ(S_OK, entry->put_Text(caption.get()));

        EXPECT_EQ(L"&Renamed", TextOf(entry.get()));
        EXPECT_EQ(popup, GetSubMenu(target.bar, barCount - 1));
        const UINT state = GetMenuState(target.bar, barCount - 1, MF_BYPOSITION);
        EXPECT_EQ(static_cast<UINT>(MF_POPUP | MF_GRAYED | MF_DISABLED), state & 0xFF);
        EXPECT_EQ(static_cast<UINT>(count), state >> 8) << "the sub-menu keeps its entries";
        EXPECT_FALSE(FlagsOf(entry.get()).separator);
        ASSERT_FALSE(recorder.modifies.empty());
        EXPECT_EQ(0u, recorder.modifies.back().flags & 0xFF00) << "no count bits as flags";
        EXPECT_EQ(reinterpret_cast<UINT_PTR>(popup), recorder.modifies.back().newItem);
        ASSERT_EQ(S_OK, entry->put_Enabled(VARIANT_TRUE));
        EXPECT_TRUE(FlagsOf(entry.get()).enabled);
    }
}

TEST(MenuItem, EnabledAndCheckedRoundTrip) {
    MenuTarget target;
    ComPtr<_clsMenuItem> open = Child(Child(target.MenuBar().get(), 0).get(), 0);
    for (bool value : {false, true, false, true}) {
        CallResult result;
        Put(open.get(), L"Enabled", Arg::Bool(value), &result);
        ASSERT_EQ(S_OK, result.hr);
        EXPECT_EQ(value, FlagsOf(open.get()).enabled);
        const UINT state = GetMenuState(target.file, kOpen, MF_BYCOMMAND);
        EXPECT_EQ(value ? 0u : static_cast<UINT>(MF_GRAYED | MF_DISABLED), state & (MF_GRAYED | MF_DISABLED));

        ASSERT_EQ(S_OK, open->put_Checked(value ? VARIANT_TRUE : VARIANT_FALSE));
        EXPECT_EQ(value, FlagsOf(open.get()).checked);
        EXPECT_EQ(value, (GetMenuState(target.file, kOpen, MF_BYCOMMAND) & MF_CHECKED) != 0);
    }
    // Any non-zero Boolean counts as true.
    ASSERT_EQ(S_OK, open->put_Checked(1));
    EXPECT_TRUE(FlagsOf(open.get()).checked);
}

TEST(MenuItem, AnEntryThatIsGoneReadsAsNothingAndIsNotRenamed) {
    MenuTarget target;
    ComPtr<_clsMenuItem> checked = Child(Child(target.MenuBar().get(), 0).get(), 1);
    ASSERT_TRUE(checked);
    target.thread.Run([&] { DeleteMenu(target.file, kCheckedEntry, MF_BYCOMMAND); });
    ModifyRecorder recorder;
    platform::ScopedWindowSystem scoped(recorder);
    const Flags f = FlagsOf(checked.get());
    EXPECT_FALSE(f.enabled);
    EXPECT_FALSE(f.checked);
    EXPECT_FALSE(f.separator);
    EXPECT_EQ(L"", TextOf(checked.get()));
    UniqueBstr caption(SysAllocString(L"ghost"));
    ASSERT_EQ(S_OK, checked->put_Text(caption.get()));
    EXPECT_TRUE(recorder.modifies.empty());
    EXPECT_EQ(5, GetMenuItemCount(target.file));
    // Rebinding it to an identifier that does exist gives the entry back.
    ComPtr<_clsMenuItem> file = Child(target.MenuBar().get(), 0), returned;
    ASSERT_EQ(S_OK, checked->Init(file.get(), kOpen, returned.put()));
    EXPECT_EQ(checked.get(), returned.get());
    EXPECT_EQ(L"&Open", TextOf(checked.get()));
    ASSERT_EQ(S_OK, checked->Init(file.get(), kCheckedEntry, returned.put()));
    EXPECT_FALSE(returned);
    EXPECT_EQ(kCheckedEntry, IdOfEntry(checked.get())) << "stored before the test";
}

TEST(MenuItem, AnEntryKeepsItsWholeChainOfParentsAlive) {
    MenuTarget target;
    const LONG before = LiveObjectCount();
    ComPtr<_clsMenuItem> deep;
    {
        ComPtr<_clsJuggler> bar = target.MenuBar();
        ComPtr<_clsMenuItem> more = Child(Child(Child(bar.get(), 0).get(), 4).get(), 1);
        deep = Child(more.get(), 0);
    }
    ASSERT_TRUE(deep);
    // The controller, "&File", "&Recent" and "&More" live on for the one entry still held.
    EXPECT_EQ(before + 5, LiveObjectCount());
    target.TakeCommands();
    LONG answer = 0;
    ASSERT_EQ(S_OK, deep->ClickItem(&answer));
    const std::vector<Message> sent = target.TakeCommands();
    ASSERT_EQ(1u, sent.size());
    ExpectCommand(sent[0], WM_COMMAND, kDeepEntry, AsLong(target.more));
    EXPECT_EQ(L"Deep entry", TextOf(deep.get()));
    deep.reset();
    EXPECT_EQ(before, LiveObjectCount()) << "and go with it";
}

// Found by the dispatch fuzzer: an entry or a cursor made to hold itself (through parents and
// cursors) was never released, so the component never unloaded.
TEST(MenuItem, AnEntryOrCursorCannotComeToHoldItself) {
    MenuTarget target;
    const LONG before = LiveObjectCount();
    {
        ComPtr<_clsJuggler> bar = target.MenuBar();
        ComPtr<_clsMenuItem> file = Child(bar.get(), 0);
        ComPtr<_clsMenuItem> recent = Child(file.get(), 4);
        const LONG recentId = IdOfEntry(recent.get());
        ComPtr<_clsMenuEnum> cursor;
        ASSERT_EQ(S_OK, recent->BeginChildEnum(cursor.put()));
        // Itself, its child, a cursor over its grandchild's menu: each would hold the entry.
        for (IDispatch* cycle : {static_cast<IDispatch*>(file.get()), static_cast<IDispatch*>(recent.get()),
                                 static_cast<IDispatch*>(cursor.get())}) {
            ComPtr<_clsMenuItem> returned;
            EXPECT_EQ(kVbInvalidCall, file->Init(cycle, IdOfEntry(file.get()), returned.put()));
            EXPECT_FALSE(returned);
        }
        // A cursor over itself, or over an entry below a cursor over that entry, is refused too.
        EXPECT_EQ(kVbInvalidCall, cursor->Init(cursor.get()));
        EXPECT_EQ(CountOf(recent.get()), Read(cursor.get(), &_clsMenuEnum::Count, -3L));
        // Refused, the entry is as it was: still "&File" under the menu bar.
        EXPECT_EQ(L"&File", TextOf(file.get()));
        EXPECT_EQ(recentId, IdOfEntry(Child(file.get(), 4).get()));
        EXPECT_EQ(AsLong(target.window), Read(recent.get(), &_clsMenuItem::GetWindowHandle, 0L));
    }
    EXPECT_EQ(before, LiveObjectCount());
}

}  // namespace
}  // namespace wrang::test
