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
    ComPtr<_clsMenuEnum> cursor;
    EXPECT_EQ(S_OK, menu->BeginChildEnum(cursor.put()));
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
        ComPtr<_clsMenuItem> item;
        EXPECT_EQ(S_OK, cursor->GetItem(item.put()));
        LONG id = -2;
        if (item) EXPECT_EQ(S_OK, item->GetMenuHandle(&id));
        ids.push_back(id);
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

    ComPtr<_clsMenuItem> file;
    ASSERT_EQ(S_OK, bar->GetChildMenu(0, file.put()));
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
    LONG id = 0;
    ASSERT_EQ(S_OK, again->GetMenuHandle(&id));
    EXPECT_EQ(kOpen, id);
}

TEST(MenuEnum, NothingToWalkOverACommandEntryAnEmptyMenuOrAnUnboundController) {
    MenuTarget target;
    ComPtr<_clsJuggler> bar = target.MenuBar(), unbound;
    ASSERT_EQ(S_OK, CreateJuggler(unbound.put()));
    ComPtr<_clsMenuItem> empty, file, open;
    ASSERT_EQ(S_OK, bar->GetChildMenu(1, empty.put()));
    ASSERT_EQ(S_OK, bar->GetChildMenu(0, file.put()));
    ASSERT_EQ(S_OK, file->GetChildMenu(0, open.put()));
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
    ComPtr<_clsMenuItem> before;
    ASSERT_EQ(S_OK, Begin(file.get())->GetItem(before.put()));
    EXPECT_FALSE(before);
}

TEST(MenuEnum, TheSystemMenuIsWalkedByCommandIdentifiers) {
    MenuTarget target;
    ComPtr<_clsJuggler> sys;
    ASSERT_EQ(S_OK, target.MenuBar()->GetSysMenu(sys.put()));
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
    ComPtr<_clsMenuItem> recent;
    {
        ComPtr<_clsMenuItem> file;
        ASSERT_EQ(S_OK, target.MenuBar()->GetChildMenu(0, file.put()));
        ASSERT_EQ(S_OK, file->GetChildMenu(4, recent.put()));
    }
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
