// Walking the entries of real menus with the cursor: menu bar, sub-menu, system menu, command entry.
#include <gtest/gtest.h>

#include <vector>

#include "MenuTestTarget.h"
#include "support/Automation.h"
#include "support/Wranglers.h"

namespace wrang::test {
namespace {

template <typename Menu>
ComPtr<_clsMenuEnum> Begin(Menu* menu) {
    ComPtr<_clsMenuEnum> cursor = HandedOut<_clsMenuEnum>(menu, &Menu::BeginChildEnum);
    EXPECT_TRUE(cursor);
    return cursor;
}

LONG CountOf(_clsMenuEnum* cursor) { return Read(cursor, &_clsMenuEnum::Count, -2L); }

bool Next(_clsMenuEnum* cursor) {
    VARIANT_BOOL more = 7;
    EXPECT_EQ(S_OK, cursor->NextItem(&more));
    EXPECT_TRUE(more == VARIANT_TRUE || more == VARIANT_FALSE);
    return more == VARIANT_TRUE;
}

// The identifier of each entry the walk hands out, -2 for Nothing.
std::vector<LONG> Walk(_clsMenuEnum* cursor) {
    std::vector<LONG> ids;
    while (Next(cursor)) {
        const ComPtr<_clsMenuItem> item = HandedOut<_clsMenuItem>(cursor, &_clsMenuEnum::GetItem);
        ids.push_back(item ? IdOfEntry(item.get()) : -2);
        if (ids.size() > 100) break;
    }
    return ids;
}

TEST(MenuEnum, WalksAMenuBarAndASubMenuEntryByEntry) {
    MenuTarget target;
    ComPtr<_clsJuggler> bar = target.MenuBar();
    ComPtr<_clsMenuEnum> cursor = Begin(bar.get());
    EXPECT_EQ(3, CountOf(cursor.get()));
    // The bar's command entry is asked for by identifier 0, found in "&File" as its separator.
    EXPECT_EQ((std::vector<LONG>{AsLong(target.file), AsLong(target.empty), 0}), Walk(cursor.get()));
    // Past the end it stays false, however often it is asked.
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(Next(cursor.get()));

    ComPtr<_clsMenuItem> file = Child(bar.get(), 0);
    cursor = Begin(file.get());
    EXPECT_EQ(6, CountOf(cursor.get()));
    EXPECT_EQ((std::vector<LONG>{kOpen, kCheckedEntry, kDisabledEntry, 0, AsLong(target.recent), kGrayedOnly}),
              Walk(cursor.get()));

    // Each GetItem builds a new entry; the cursor does not move.
    cursor = Begin(file.get());
    ASSERT_TRUE(Next(cursor.get()));
    ComPtr<_clsMenuItem> first, again;
    ASSERT_EQ(S_OK, cursor->GetItem(first.put()));
    ASSERT_EQ(S_OK, cursor->GetItem(again.put()));
    ASSERT_TRUE(first && again);
    EXPECT_NE(first.get(), again.get());
    EXPECT_EQ(kOpen, IdOfEntry(again.get()));
}

TEST(MenuEnum, NothingToWalkOverACommandEntryAnEmptyMenuOrAnUnboundController) {
    MenuTarget target;
    ComPtr<_clsJuggler> bar = target.MenuBar(), unbound = Created(CreateJuggler);
    ComPtr<_clsMenuItem> empty = Child(bar.get(), 1), file = Child(bar.get(), 0), open = Child(file.get(), 0);
    ASSERT_TRUE(unbound && empty && file && open);
    const struct {
        ComPtr<_clsMenuEnum> cursor;
        LONG count;
    } cases[] = {{Begin(open.get()), -1}, {Begin(empty.get()), 0}, {Begin(unbound.get()), -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        EXPECT_EQ(c.count, CountOf(c.cursor.get()));
        EXPECT_FALSE(Next(c.cursor.get()));
        EXPECT_FALSE(Next(c.cursor.get()));
    }
    // Before the first step the cursor asks for position -1, which no menu has.
    EXPECT_FALSE(HandedOut<_clsMenuItem>(Begin(file.get()).get(), &_clsMenuEnum::GetItem));
}

TEST(MenuEnum, TheSystemMenuIsWalkedByCommandIdentifiers) {
    MenuTarget target;
    const ComPtr<_clsJuggler> sys = HandedOut<_clsJuggler>(target.MenuBar().get(), &_clsJuggler::GetSysMenu);
    ASSERT_TRUE(sys);
    const HMENU systemMenu = GetSystemMenu(target.window, FALSE);
    const int count = GetMenuItemCount(systemMenu);
    ASSERT_GT(count, 0);
    ComPtr<_clsMenuEnum> cursor = Begin(sys.get());
    EXPECT_EQ(count, CountOf(cursor.get()));
    // Position k is taken as command k: an entry only where the menu has that command.
    const std::vector<LONG> ids = Walk(cursor.get());
    ASSERT_EQ(static_cast<size_t>(count), ids.size());
    for (int k = 0; k < count; ++k) {
        const bool known = GetMenuState(systemMenu, static_cast<UINT>(k), MF_BYCOMMAND) != 0xFFFFFFFFu;
        EXPECT_EQ(known ? k : -2, ids[k]) << k;
    }
    EXPECT_EQ(-2, ids[1]) << "no system command is 1";
}

TEST(MenuEnum, TheCountIsASnapshotAndEndingChangesNothing) {
    MenuTarget target;
    const ComPtr<_clsMenuItem> recent = Child(Child(target.MenuBar().get(), 0).get(), 4);
    ASSERT_TRUE(recent);
    ComPtr<_clsMenuEnum> growing = Begin(recent.get()), shrinking = Begin(recent.get());
    target.thread.Run([&] {
        AppendMenuA(target.recent, MF_STRING, 202, "Second recent");
        AppendMenuA(target.recent, MF_STRING, 203, "Third recent");
    });
    EXPECT_EQ(2, CountOf(growing.get()));
    EXPECT_EQ((std::vector<LONG>{kFirstRecent, AsLong(target.more)}), Walk(growing.get()))
        << "entries added during the walk are not visited";
    // A new walk sees the new entries.
    EXPECT_EQ(4, CountOf(Begin(recent.get()).get()));

    ASSERT_EQ(S_OK, shrinking->EndEnum());
    target.thread.Run([&] {
        DeleteMenu(target.recent, 0, MF_BYPOSITION);
        DeleteMenu(target.recent, 0, MF_BYPOSITION);
        DeleteMenu(target.recent, 0, MF_BYPOSITION);
    });
    // Still usable after EndEnum; the positions that are gone give Nothing.
    EXPECT_EQ(2, CountOf(shrinking.get()));
    EXPECT_EQ((std::vector<LONG>{203, -2}), Walk(shrinking.get()));
    ASSERT_EQ(S_OK, shrinking->EndEnum());
    EXPECT_FALSE(Next(shrinking.get()));
}

TEST(MenuEnum, AScriptWalksByName) {
    MenuTarget target;
    ComPtr<_clsJuggler> bar = target.MenuBar();
    CallResult result;
    Call(bar.get(), L"GetChildMenu", {Arg::Long(0)}, &result);
    ASSERT_EQ(VT_DISPATCH, V_VT(result.value.get()));
    ComPtr<IDispatch> file(V_DISPATCH(result.value.get()));
    Call(file.get(), L"BeginChildEnum", {}, &result);
    ASSERT_EQ(VT_DISPATCH, V_VT(result.value.get()));
    ComPtr<IDispatch> cursor(V_DISPATCH(result.value.get()));
    Call(cursor.get(), L"Count", {}, &result);
    EXPECT_EQ(6, V_I4(result.value.get()));
    std::vector<std::wstring> captions;
    for (;;) {
        Call(cursor.get(), L"NextItem", {}, &result);
        ASSERT_EQ(VT_BOOL, V_VT(result.value.get()));
        if (V_BOOL(result.value.get()) != VARIANT_TRUE) break;
        Call(cursor.get(), L"GetItem", {}, &result);
        ComPtr<IDispatch> item(V_DISPATCH(result.value.get()));
        Call(item.get(), L"Text", {}, &result);
        captions.emplace_back(V_BSTR(result.value.get()));
    }
    EXPECT_EQ(
        (std::vector<std::wstring>{L"&Open", L"&Checked entry", L"&Disabled entry", L"", L"&Recent", L"&Grayed only"}),
        captions);
    Call(cursor.get(), L"EndEnum", {}, &result);
    EXPECT_EQ(S_OK, result.hr);
}

}  // namespace
}  // namespace wrang::test
