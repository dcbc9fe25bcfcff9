// Walking the window tree from a bound window: parent, siblings, children, top-level ancestor.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame/Classes.h"
#include "frame/Errors.h"
#include "platform/WindowSystem.h"
#include "support/Automation.h"
#include "support/Recorders.h"
#include "support/WindowThread.h"
#include "support/Wranglers.h"

namespace wrang::test {
namespace {

// top ("WrangNavTop") -> panel ("WrangNavPanel"), spare ("WrangNavPanel")
// panel -> first (Button), second (Static), third (WrangNavLeaf), in that order
class NavigationTest : public ::testing::Test {
protected:
    void SetUp() override {
        top = thread.Create("WrangNavTop", "Navigation top");
        panel = thread.Create("WrangNavPanel", "panel", WS_CHILD | WS_VISIBLE, top);
        spare = thread.Create("WrangNavPanel", "spare panel", WS_CHILD | WS_VISIBLE, top);
        first = thread.CreateControl("Button", "first", WS_CHILD | WS_VISIBLE, panel, 1);
        second = thread.CreateControl("Static", "second", WS_CHILD | WS_VISIBLE, panel, 2, 0, 30);
        third = thread.Create("WrangNavLeaf", "third", WS_CHILD | WS_VISIBLE, panel);
        ASSERT_TRUE(top && panel && spare && first && second && third);
        // The order the tests rely on is the window manager's own.
        ASSERT_EQ(first, FindWindowExA(panel, nullptr, nullptr, nullptr));
        ASSERT_EQ(second, FindWindowExA(panel, first, nullptr, nullptr));
        ASSERT_EQ(third, FindWindowExA(panel, second, nullptr, nullptr));
        ASSERT_EQ(nullptr, FindWindowExA(panel, third, nullptr, nullptr));
    }
    void TearDown() override {
        if (top) thread.Destroy(top);
    }

    WindowThread thread;
    HWND top = nullptr, panel = nullptr, spare = nullptr;
    HWND first = nullptr, second = nullptr, third = nullptr;
};

TEST_F(NavigationTest, SiblingsInBothDirectionsEndInUnboundObjects) {
    ComPtr<_clsWrangler> w = Bound(L(second));
    EXPECT_EQ(L(third), HandleFrom(w.get(), &_clsWrangler::GetNextSibling));
    EXPECT_EQ(L(first), HandleFrom(w.get(), &_clsWrangler::GetPreviousSibling));

    w = Bound(L(third));
    EXPECT_EQ(L(second), HandleFrom(w.get(), &_clsWrangler::GetPreviousSibling));
    EXPECT_EQ(0, HandleFrom(w.get(), &_clsWrangler::GetNextSibling)) << "after the last child";

    w = Bound(L(first));
    EXPECT_EQ(0, HandleFrom(w.get(), &_clsWrangler::GetPreviousSibling)) << "before the first child";
}

TEST_F(NavigationTest, ParentAndTopLevelParentClimbTheTree) {
    ComPtr<_clsWrangler> w = Bound(L(second));
    EXPECT_EQ(L(panel), Read(w.get(), &_clsWrangler::get_hWndParent, -1L));
    ComPtr<_clsWrangler> up = HandedOut<_clsWrangler>(w.get(), &_clsWrangler::get_Parent), again;
    EXPECT_EQ(L(panel), HandleOf(up.get()));
    ASSERT_EQ(S_OK, w->get_Parent(again.put()));
    EXPECT_NE(up.get(), again.get()) << "every call hands out a new object";
    EXPECT_EQ(L(top), HandleFrom(w.get(), &_clsWrangler::GetTopLevelParent));
    EXPECT_EQ(L(top), HandleFrom(up.get(), &_clsWrangler::GetTopLevelParent)) << "from one level below the top";

    // An unowned top-level window has no parent; the climb never returns the window itself.
    w = Bound(L(top));
    EXPECT_EQ(0, Read(w.get(), &_clsWrangler::get_hWndParent, -1L));
    EXPECT_EQ(0, HandleFrom(w.get(), &_clsWrangler::get_Parent));
    EXPECT_EQ(0, HandleFrom(w.get(), &_clsWrangler::GetTopLevelParent));
}

TEST_F(NavigationTest, ChildrenFirstLastAndByName) {
    ComPtr<_clsWrangler> w = Bound(L(panel));
    EXPECT_EQ(VARIANT_TRUE, Read(w.get(), &_clsWrangler::get_HasChildren, VARIANT_BOOL{7}));
    EXPECT_EQ(L(first), HandleFrom(w.get(), &_clsWrangler::GetFirstChild));
    EXPECT_EQ(L(third), HandleFrom(w.get(), &_clsWrangler::GetLastChild));

    UniqueBstr staticClass(SysAllocString(L"Static")), caption(SysAllocString(L"second"));
    EXPECT_EQ(L(second), HandleFrom(w.get(), &_clsWrangler::GetChild, staticClass.get(), caption.get()));
    UniqueBstr third_caption(SysAllocString(L"third"));
    EXPECT_EQ(L(third), HandleFrom(w.get(), &_clsWrangler::GetChild, nullptr, third_caption.get()))
        << "a null class name matches any class";
    EXPECT_EQ(L(first), HandleFrom(w.get(), &_clsWrangler::GetChild, nullptr, nullptr));
    UniqueBstr empty(SysAllocString(L""));
    EXPECT_EQ(0, HandleFrom(w.get(), &_clsWrangler::GetChild, staticClass.get(), empty.get()))
        << "an empty caption is not a wildcard";

    // The middle level: only its own children are searched, not its grandchildren.
    w = Bound(L(top));
    EXPECT_EQ(0, HandleFrom(w.get(), &_clsWrangler::GetChild, staticClass.get(), caption.get()));

    // A window without children.
    w = Bound(L(first));
    EXPECT_EQ(VARIANT_FALSE, Read(w.get(), &_clsWrangler::get_HasChildren, VARIANT_BOOL{7}));
    EXPECT_EQ(0, HandleFrom(w.get(), &_clsWrangler::GetFirstChild));
    EXPECT_EQ(0, HandleFrom(w.get(), &_clsWrangler::GetLastChild));
    EXPECT_EQ(0, HandleFrom(w.get(), &_clsWrangler::GetChild, nullptr, nullptr));
}

TEST_F(NavigationTest, OneChildIsBothFirstAndLastAsTwoObjects) {
    ComPtr<_clsWrangler> w = Bound(L(spare));
    HWND only = thread.CreateControl("Button", "only", WS_CHILD, spare);
    ComPtr<_clsWrangler> a, b;
    ASSERT_EQ(S_OK, w->GetFirstChild(a.put()));
    ASSERT_EQ(S_OK, w->GetLastChild(b.put()));
    EXPECT_EQ(L(only), HandleOf(a.get()));
    EXPECT_EQ(L(only), HandleOf(b.get()));
    EXPECT_NE(a.get(), b.get());
}

TEST_F(NavigationTest, GetSiblingSearchesFromTheFirstChildAndFindsTheWindowItself) {
    ComPtr<_clsWrangler> w = Bound(L(second));
    UniqueBstr staticClass(SysAllocString(L"Static")), caption(SysAllocString(L"second"));
    const ComPtr<_clsWrangler> found =
        HandedOut<_clsWrangler>(w.get(), &_clsWrangler::GetSibling, staticClass.get(), caption.get());
    EXPECT_EQ(L(second), HandleOf(found.get()));
    EXPECT_NE(static_cast<_clsWrangler*>(w.get()), found.get()) << "a new object, not this one";

    UniqueBstr button(SysAllocString(L"Button"));
    w = Bound(L(third));
    EXPECT_EQ(L(first), HandleFrom(w.get(), &_clsWrangler::GetSibling, button.get(), nullptr))
        << "a sibling that comes earlier";

    w = Bound(L(panel));
    UniqueBstr panelClass(SysAllocString(L"WrangNavPanel")), spareCaption(SysAllocString(L"spare panel"));
    EXPECT_EQ(L(spare), HandleFrom(w.get(), &_clsWrangler::GetSibling, panelClass.get(), spareCaption.get()));
}

TEST_F(NavigationTest, OmittedNamesFromAScriptAreEmptyStringsNotWildcards) {
    LookupRecorder recorder;
    platform::ScopedWindowSystem scoped(recorder);
    ComPtr<_clsWrangler> w = Bound(L(second));
    CallResult result;
    for (const wchar_t* member : {L"GetChild", L"GetSibling"}) {
        recorder.childLookups.clear();
        Call(w.get(), member, {}, &result);
        ASSERT_EQ(S_OK, result.hr) << member;
        ASSERT_EQ(VT_DISPATCH, V_VT(result.value.get())) << member;
        ASSERT_NE(nullptr, V_DISPATCH(result.value.get())) << member << " returned Nothing";
        ComPtr<_clsWrangler> found;
        ASSERT_EQ(S_OK, V_DISPATCH(result.value.get())
                            ->QueryInterface(__uuidof(_clsWrangler), reinterpret_cast<void**>(found.put())));
        EXPECT_EQ(0, HandleOf(found.get())) << member;
        ASSERT_EQ(1u, recorder.childLookups.size()) << member;
        const auto& lookup = recorder.childLookups[0];
        EXPECT_FALSE(lookup.classIsNull) << member;
        EXPECT_FALSE(lookup.nameIsNull) << member;
        EXPECT_EQ(L"", lookup.className) << member;
        EXPECT_EQ(L"", lookup.windowName) << member;
        EXPECT_EQ(0, lookup.after) << member;
    }
    EXPECT_EQ(L(panel), recorder.childLookups[0].parent) << "GetSibling searches the parent's children";
}

TEST_F(NavigationTest, ParentCanBeSetByObjectAndByHandle) {
    ComPtr<_clsWrangler> w = Bound(L(third));
    ComPtr<_clsWrangler> target = Bound(L(spare));
    CallResult result;
    Put(w.get(), L"Parent", Arg::Object(target.get()), &result, DISPATCH_PROPERTYPUTREF);
    ASSERT_EQ(S_OK, result.hr);
    EXPECT_EQ(spare, GetParent(third)) << "the window system made the change";
    EXPECT_EQ(L(spare), Read(w.get(), &_clsWrangler::get_hWndParent, -1L));
    EXPECT_EQ(L(spare), HandleFrom(w.get(), &_clsWrangler::get_Parent));

    Put(w.get(), L"hWndParent", Arg::Long(L(panel)), &result);
    ASSERT_EQ(S_OK, result.hr);
    EXPECT_EQ(panel, GetParent(third));
    EXPECT_EQ(L(panel), Read(w.get(), &_clsWrangler::get_hWndParent, -1L));

    // Nothing cannot say which window to move to: error 91, and the window stays where it is.
    LookupRecorder recorder;
    {
        platform::ScopedWindowSystem scoped(recorder);
        Put(w.get(), L"Parent", Arg::Object(nullptr), &result, DISPATCH_PROPERTYPUTREF);
        EXPECT_EQ(DISP_E_EXCEPTION, result.hr);
        EXPECT_EQ(kVbObjectRequired, result.scode);
        EXPECT_EQ(kVbObjectRequired, w->putref_Parent(nullptr));
    }
    EXPECT_TRUE(recorder.reparented.empty());
    EXPECT_EQ(panel, GetParent(third));

    // An unbound object stands for the desktop: the window becomes a top-level window.
    ComPtr<_clsWrangler> none = Bound(0);
    {
        platform::ScopedWindowSystem scoped(recorder);
        ASSERT_EQ(S_OK, w->putref_Parent(none.get()));
    }
    ASSERT_EQ(1u, recorder.reparented.size());
    EXPECT_EQ(std::make_pair(L(third), 0L), recorder.reparented[0]);
    EXPECT_EQ(GetDesktopWindow(), GetAncestor(third, GA_PARENT));
    thread.Destroy(third);
}

std::vector<LONG> TopLevelWindows() {
    std::vector<LONG> windows;
    for (HWND h = FindWindowExA(nullptr, nullptr, nullptr, nullptr); h;
         h = FindWindowExA(nullptr, h, nullptr, nullptr)) {
        windows.push_back(L(h));
    }
    return windows;
}

TEST_F(NavigationTest, AnUnboundObjectStandsForTheDesktop) {
    ComPtr<_clsWrangler> none = Bound(0);
    ComPtr<_clsWrangler> w = Bound(L(top));
    EXPECT_EQ(VARIANT_TRUE, Read(none.get(), &_clsWrangler::get_HasChildren, VARIANT_BOOL{7}));
    UniqueBstr cls(SysAllocString(L"WrangNavTop")), caption(SysAllocString(L"Navigation top"));
    EXPECT_EQ(L(top), HandleFrom(none.get(), &_clsWrangler::GetChild, cls.get(), caption.get()));
    EXPECT_EQ(L(top), HandleFrom(w.get(), &_clsWrangler::GetSibling, cls.get(), caption.get()));
    EXPECT_EQ(0, HandleFrom(none.get(), &_clsWrangler::GetPreviousSibling)) << "handle 0 is nobody's sibling";
    EXPECT_EQ(0, HandleFrom(none.get(), &_clsWrangler::get_Parent));
    EXPECT_EQ(0, HandleFrom(none.get(), &_clsWrangler::GetTopLevelParent));

    // The ends and neighbours among the top-level windows, compared with the window system's own
    // enumeration. Other test programs open and close windows meanwhile: a round during which the
    // list changed proves nothing and is repeated.
    bool stable = false;
    for (int round = 0; round < 50 && !stable; ++round) {
        const std::vector<LONG> before = TopLevelWindows();
        const LONG first = HandleFrom(none.get(), &_clsWrangler::GetFirstChild);
        const LONG last = HandleFrom(none.get(), &_clsWrangler::GetLastChild);
        const LONG next = HandleFrom(none.get(), &_clsWrangler::GetNextSibling);
        const LONG after = HandleFrom(w.get(), &_clsWrangler::GetNextSibling);
        const LONG previous = HandleFrom(w.get(), &_clsWrangler::GetPreviousSibling);
        if (TopLevelWindows() != before) continue;
        stable = true;
        ASSERT_GE(before.size(), 2u);
        EXPECT_EQ(before.front(), first);
        EXPECT_EQ(before.back(), last);
        EXPECT_EQ(before.front(), next) << "the first top-level window follows handle 0";
        size_t at = 0;
        while (at < before.size() && before[at] != L(top)) ++at;
        ASSERT_LT(at, before.size());
        EXPECT_EQ(at + 1 < before.size() ? before[at + 1] : 0, after);
        EXPECT_EQ(at > 0 ? before[at - 1] : 0, previous);
    }
    EXPECT_TRUE(stable) << "the top-level windows never stood still";
}

TEST_F(NavigationTest, ADestroyedWindowHasNoRelatives) {
    ComPtr<_clsWrangler> w = Bound(L(third));
    thread.Destroy(third);
    EXPECT_EQ(0, Read(w.get(), &_clsWrangler::get_hWndParent, -1L));
    EXPECT_EQ(0, HandleFrom(w.get(), &_clsWrangler::GetPreviousSibling))
        << "not met among the top-level windows either";
    EXPECT_EQ(0, HandleFrom(w.get(), &_clsWrangler::GetFirstChild));
}

// GetPreviousSibling walks the children of what GetParent reports and compares handle numbers. A
// window outside that list, or bound by another number for the same window, is never met: no
// previous sibling, although the window system knows one in the window's own list.
TEST_F(NavigationTest, AWindowTheWalkNeverMeetsHasNoPreviousSibling) {
    HWND owner = thread.Create("WrangNavTop", "owner");
    HWND popup = thread.Create("WrangNavTop", "owned pop-up", WS_POPUP, owner);
    HWND laterTop = thread.Create("WrangNavTop", "created after the pop-up");
    HWND message1 = thread.Create("WrangNavTop", "message-only 1", 0, HWND_MESSAGE);
    HWND message2 = thread.Create("WrangNavTop", "message-only 2", 0, HWND_MESSAGE);
    ASSERT_TRUE(owner && popup && laterTop && message1 && message2);
    thread.CreateControl("Button", "child of the owner", WS_CHILD, owner);
    const LONG shortForm = L(second) & 0xFFFF;
    const struct {
        const char* what;
        LONG bound;
        HWND reportedParent;  // what GetParent says
    } rows[] = {
        {"owned pop-up: GetParent reports the owner", L(popup), owner},
        {"message-only window: GetParent reports the desktop", L(message1), nullptr},
        {"the low 16 bits of a child's handle", shortForm, panel},
    };
    for (const auto& row : rows) {
        const HWND window = reinterpret_cast<HWND>(static_cast<LONG_PTR>(row.bound));
        if (row.bound == shortForm && shortForm == L(second)) continue;  // no shorter form here
        ASSERT_TRUE(IsWindow(window)) << row.what;
        ASSERT_EQ(row.reportedParent, GetParent(window)) << row.what;
        // The window system has an answer, so a shortcut through it would show.
        ASSERT_NE(nullptr, GetWindow(window, GW_HWNDPREV)) << row.what;
        EXPECT_EQ(0, HandleFrom(Bound(row.bound).get(), &_clsWrangler::GetPreviousSibling)) << row.what;
    }
    // The last child does not compare this window's number: the short form finds it.
    if (shortForm != L(panel)) {
        EXPECT_EQ(L(third), HandleFrom(Bound(L(panel) & 0xFFFF).get(), &_clsWrangler::GetLastChild));
    }
    thread.Destroy(message2);
    thread.Destroy(message1);
    thread.Destroy(laterTop);
    thread.Destroy(owner);
}

TEST_F(NavigationTest, NeighboursFollowTheSiblingsWhenTheyAreReordered) {
    ComPtr<_clsWrangler> panelObject = Bound(L(panel)), secondObject = Bound(L(second));
    ComPtr<_clsWrangler> firstObject = Bound(L(first));
    EXPECT_EQ(L(first), HandleFrom(secondObject.get(), &_clsWrangler::GetPreviousSibling));
    EXPECT_EQ(L(third), HandleFrom(panelObject.get(), &_clsWrangler::GetLastChild));

    // first goes to the end: second, third, first.
    ASSERT_TRUE(SetWindowPos(first, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE));
    ASSERT_EQ(second, FindWindowExA(panel, nullptr, nullptr, nullptr));
    ASSERT_EQ(first, FindWindowExA(panel, third, nullptr, nullptr));
    EXPECT_EQ(0, HandleFrom(secondObject.get(), &_clsWrangler::GetPreviousSibling)) << "now the first child";
    EXPECT_EQ(L(third), HandleFrom(firstObject.get(), &_clsWrangler::GetPreviousSibling));
    EXPECT_EQ(L(first), HandleFrom(panelObject.get(), &_clsWrangler::GetLastChild));
}

}  // namespace
}  // namespace wrang::test
