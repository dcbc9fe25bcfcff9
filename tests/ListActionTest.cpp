// The readers' actions against real controls of another process (wrang_target --lists, or the other
// build's where WRANG_TARGET names it): what each answers, what the control then shows, and which
// notifications the application's window received, in which order. One table per family; the
// steps of a table act one after another on one target.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "frame/Classes.h"
#include "support/Automation.h"
#include "support/Lists.h"

namespace wrang::test {
namespace {

namespace target = lists_target;

std::wstring N(const wchar_t* name, int id, const std::wstring& about) { return target::NoticeLine(name, id, about); }
// A list view item's change from one state to another, as Compared gives it.
std::wstring Changed(int id, int item, unsigned before, unsigned after) {
    return N(L"LVN_ITEMCHANGED", id, target::StateChange(item, before, after));
}

// A list view may tell one change of an item in steps (Wine tells the focus and the selection that
// leave an item apart): its notices are compared as each item's change from its first state to its
// last, after the other notices, in the order of the items. Each LVN_ITEMCHANGED must follow an
// LVN_ITEMCHANGING of the same change ("unasked" otherwise; "untold" for one that none followed).
Texts Compared(const Texts& notices) {
    Texts compared, asked;
    std::map<std::pair<int, int>, std::pair<unsigned, unsigned>> changes;
    for (const std::wstring& line : notices) {
        wchar_t name[32] = {};
        int id = 0, item = 0;
        unsigned before = 0, after = 0;
        if (swscanf(line.c_str(), L"%31ls from %d: %d %x>%x", name, &id, &item, &before, &after) != 5) {
            compared.push_back(line);
        } else if (std::wstring(name) == L"LVN_ITEMCHANGING") {
            asked.push_back(target::StateChange(item, before, after));
        } else {
            const auto found = std::find(asked.begin(), asked.end(), target::StateChange(item, before, after));
            if (found == asked.end()) compared.push_back(L"unasked " + line);
            if (found != asked.end()) asked.erase(found);
            const auto [change, first] = changes.try_emplace({id, item}, before, after);
            if (!first) change->second.second = after;
        }
    }
    for (const std::wstring& change : asked) compared.push_back(L"untold " + change);
    for (const auto& [key, change] : changes) {
        compared.push_back(Changed(key.first, key.second, change.first, change.second));
    }
    return compared;
}

// A call as a script makes it, its answer as text: "True", "False", a number, a text (of ASCII),
// the indices of an array joined by commas, or "error N".
std::string Asked(IDispatch* reader, const wchar_t* member, std::initializer_list<Arg> args) {
    CallResult call;
    Call(reader, member, args, &call);
    if (call.hr != S_OK) return "error " + std::to_string(call.scode & 0xFFFF);
    const VARIANT& value = *call.value.get();
    if (V_VT(&value) == VT_BOOL) return V_BOOL(&value) ? "True" : "False";
    if (V_VT(&value) == VT_I4) return std::to_string(V_I4(&value));
    if (V_VT(&value) == VT_BSTR) return std::string(V_BSTR(&value), V_BSTR(&value) + SysStringLen(V_BSTR(&value)));
    std::string indices;
    if (V_VT(&value) != (VT_ARRAY | VT_VARIANT)) return "vt " + std::to_string(V_VT(&value));
    for (LONG i = 0; i < static_cast<LONG>(V_ARRAY(&value)->rgsabound[0].cElements); ++i) {
        UniqueVariant element;
        SafeArrayGetElement(V_ARRAY(&value), &i, element.get());
        indices += (i ? "," : "") + std::to_string(V_I4(element.get()));
    }
    return indices;
}

// One step of a table: a member called on the reader of control `id` (a tree reader for the trees,
// else a list reader of `kind`), its answer, the selection afterwards (the indices, or a tree's
// SelectedPath; not asked when null), the notifications the window received, and for the tabs the
// page it shows. A step that is refused (error 5 or 9) must leave the selection as it was and send
// nothing that the window would hear.
struct Step {
    const char* name;
    int id;
    const wchar_t* member;
    std::initializer_list<Arg> args;
    std::string answer;
    const char* selected;
    Texts notices;
    const wchar_t* page = nullptr;
    ListKinds kind = LIST_AUTO;
};

class ListActions : public testing::Test {
protected:
    void SetUp() override {
        m_target = StartListsTarget();
        ASSERT_TRUE(m_target->Window()) << "the lists target did not start";
        TakeNotices(m_target->Window());
        // The x86 build acting on a 64-bit target's tree whose items lie beyond its reach gives
        // error 17 for every path, as its reading does (see ListReaderTest.cpp): those steps have
        // nothing to act on.
        BOOL targetIs32Bit = TRUE;
        m_treesBeyondReach = sizeof(void*) == 4 && IsWow64Process(m_target->Process(), &targetIs32Bit) &&
                             !targetIs32Bit &&
                             Asked(ReaderOf(target::kTree).get(), L"Exists", {Arg::String(L"Fruits")}) == "error 17";
    }
    HWND Control(int id) const { return GetDlgItem(m_target->Window(), id); }
    ComPtr<IDispatch> ReaderOf(int id, ListKinds kind = LIST_AUTO) const {
        const LONG control = AsLong(Control(id));
        if (id == target::kTree || id == target::kLazyTree) return ComPtr<IDispatch>(TreeReaderOf(control).get());
        return ComPtr<IDispatch>(ListReaderOf(control, kind).get());
    }
    void Run(const std::vector<Step>& steps) {
        for (const Step& step : steps) {
            SCOPED_TRACE(step.name);
            if (m_treesBeyondReach && (step.id == target::kTree || step.id == target::kLazyTree)) continue;
            ComPtr<IDispatch> reader = ReaderOf(step.id, step.kind);
            ASSERT_TRUE(reader);
            EXPECT_EQ(step.answer, Asked(reader.get(), step.member, step.args));
            EXPECT_EQ(step.notices, Compared(TakeNotices(m_target->Window())));
            if (step.selected) EXPECT_EQ(step.selected, Asked(reader.get(), SelectionOf(step.id), {}));
            wchar_t page[32] = {};
            GetWindowTextW(Control(target::kTabPage), page, 32);
            if (step.page) EXPECT_STREQ(step.page, page);
        }
    }
    // What a reader of control `id` says is selected.
    static const wchar_t* SelectionOf(int id) {
        return id == target::kTree || id == target::kLazyTree ? L"SelectedPath" : L"SelectedIndices";
    }
    std::unique_ptr<TargetProcess> m_target;
    bool m_treesBeyondReach = false;
};

// A list box tells its parent of a click only with LBS_NOTIFY (the list of several selections has
// none), a combo box always; a list view tells its own changes, one of a single selection dropping
// the old one; a tab is clicked: its application is asked, switches its page or refuses.
TEST_F(ListActions, SelectingTellsTheApplicationAsAClickDoes) {
    using namespace target;
    const std::wstring page0 = PageOf(0), page2 = PageOf(2);
    Run({
        {"header", kHeader, L"Select", {Arg::Long(0)}, "error 5", "", {}},
        {"status bar", kStatus, L"SelectText", {Arg::String(L"Ready")}, "error 5", "", {}},
        {"list box of one selection", kSingleList, L"Deselect", {Arg::Long(1)}, "error 5", "1", {}},
        {"combo box", kCombo, L"Deselect", {Arg::Long(2)}, "error 5", "2", {}},
        {"a class that is no list box's", kCustomList, L"Select", {Arg::Long(0)}, "error 5", "", {}, nullptr,
         LIST_LISTBOX},
        {"a list view bound as a list box", kReport, L"Select", {Arg::Long(0)}, "error 5", "", {}, nullptr,
         LIST_LISTBOX},
        {"past the end", kSingleList, L"Select", {Arg::Long(4)}, "error 9", "1", {}},
        {"-1", kReport, L"Select", {Arg::Long(-1)}, "error 9", "1,3", {}},
        {"past the end of several", kMultiList, L"Deselect", {Arg::Long(4)}, "error 9", "2,3", {}},
        {"list box", kSingleList, L"Select", {Arg::Long(0)}, "True", "0", {N(L"LBN_SELCHANGE", kSingleList, L"0")}},
        {"the same item again", kSingleList, L"Select", {Arg::Long(0)}, "True", "0",
         {N(L"LBN_SELCHANGE", kSingleList, L"0")}},
        {"list box of several selections", kMultiList, L"Select", {Arg::Long(0)}, "True", "0,2,3", {}},
        {"... one taken out", kMultiList, L"Deselect", {Arg::Long(2)}, "True", "0,3", {}},
        {"combo box", kCombo, L"Select", {Arg::Long(1)}, "True", "1", {N(L"CBN_SELCHANGE", kCombo, L"1")}},
        {"combo box by text", kCombo, L"SelectText", {Arg::String(L"BLUE \u2713")}, "2", "2",
         {N(L"CBN_SELCHANGE", kCombo, L"2")}},
        {"combo box, no such text", kCombo, L"SelectText", {Arg::String(L"Blue")}, "-1", "2", {}},
        {"ANSI list box by text", kAnsiList, L"SelectText", {Arg::String(L"CAF\u00c9")}, "1", "1",
         {N(L"LBN_SELCHANGE", kAnsiList, L"1")}},
        {"list box of a framework's class", kFrameworkList, L"Select", {Arg::Long(1)}, "True", "1",
         {N(L"LBN_SELCHANGE", kFrameworkList, L"1")}},
        {"list view", kReport, L"Select", {Arg::Long(0)}, "True", "0,1,3", {Changed(kReport, 0, 0, 3)}},
        {"... the focus moves", kReport, L"Select", {Arg::Long(2)}, "True", "0,1,2,3",
         {Changed(kReport, 0, 3, 2), Changed(kReport, 2, 0, 3)}},
        {"... one taken out", kReport, L"Deselect", {Arg::Long(1)}, "True", "0,2,3", {Changed(kReport, 1, 2, 0)}},
        {"... by the text of a column", kReport, L"SelectText", {Arg::String(L"document"), Arg::Long(2)}, "1",
         "0,1,2,3", {Changed(kReport, 1, 0, 3), Changed(kReport, 2, 3, 2)}},
        {"list view of one selection", kChecks, L"Select", {Arg::Long(2)}, "True", "2",
         {Changed(kChecks, 0, 0x1003, 0x1000), Changed(kChecks, 2, 0x1000, 0x1003)}},
        {"... none left", kChecks, L"Deselect", {Arg::Long(2)}, "True", "", {Changed(kChecks, 2, 0x1003, 0x1001)}},
        {"tab", kTabs, L"Select", {Arg::Long(0)}, "True", "0",
         {N(L"TCN_SELCHANGING", kTabs, L"1"), N(L"TCN_SELCHANGE", kTabs, L"0"), N(L"NM_CLICK", kTabs, L"0")},
         page0.c_str()},
        {"tab wider than the control", kTabs, L"Select", {Arg::Long(kLockedTab)}, "True", "2",
         {N(L"TCN_SELCHANGING", kTabs, L"0"), N(L"TCN_SELCHANGE", kTabs, L"2"), N(L"NM_CLICK", kTabs, L"2")},
         page2.c_str()},
        {"leaving it refused (the tab asked for is scrolled into view)", kTabs, L"Select", {Arg::Long(0)}, "False",
         "2", {N(L"TCN_SELCHANGING", kTabs, L"2"), N(L"NM_CLICK", kTabs, L"2")}, page2.c_str()},
        {"the selected tab: nothing to do", kTabs, L"Select", {Arg::Long(kLockedTab)}, "True", "2", {}},
    });
    // Why the tab is clicked: TCM_SETCURFOCUS asks the application as well, and on Windows keeps the
    // tab when refused. Wine: it switches all the same (without TCN_SELCHANGE).
    SendMessageW(Control(kTabs), TCM_SETCURFOCUS, 0, 0);
    EXPECT_EQ(RunningOnWine() ? 0 : kLockedTab, SendMessageW(Control(kTabs), TCM_GETCURSEL, 0, 0));
    EXPECT_EQ(Texts{N(L"TCN_SELCHANGING", kTabs, L"2")}, TakeNotices(m_target->Window()));
}

// Trees: each level of a path opened in turn, so that children an application adds on expansion
// are there to be found, in one call; the tree tells its expansions (the first of each item only)
// and selections itself.
TEST_F(ListActions, TreesOpenEveryLevelAndTellTheApplication) {
    using namespace target;
    const auto expanded = [](int id, const wchar_t* item) {
        return Texts{N(L"TVN_ITEMEXPANDING", id, item), N(L"TVN_ITEMEXPANDED", id, item)};
    };
    const auto plus = [](Texts a, const Texts& b) { return a.insert(a.end(), b.begin(), b.end()), a; };
    const Texts selectData = {N(L"TVN_SELCHANGING", kLazyTree, L"Data"), N(L"TVN_SELCHANGED", kLazyTree, L"Data")};
    Run({
        {"three levels that come one by one", kLazyTree, L"Expand", {Arg::String(L"drive c\\Users\\Public")}, "True",
         "", plus(plus(expanded(kLazyTree, L"Drive C"), expanded(kLazyTree, L"Users")),
                  expanded(kLazyTree, L"Public"))},
        {"again: told once only", kLazyTree, L"Expand", {Arg::String(L"Drive C\\Users\\Public")}, "True", "", {}},
        {"now there", kLazyTree, L"IsExpanded", {Arg::String(L"Drive C\\Users\\Public")}, "True", nullptr, {}},
        {"select below a closed root", kLazyTree, L"Select", {Arg::String(L"Drive D\\Data")}, "True", "Drive D\\Data",
         plus(expanded(kLazyTree, L"Drive D"), selectData)},
        {"by positions", kLazyTree, L"Select", {Arg::String(L"#1\\#0")}, "True", "Drive D\\Data", {}},
        {"collapse", kLazyTree, L"Collapse", {Arg::String(L"Drive C\\Users")}, "True", "Drive D\\Data", {}},
        {"a leaf cannot expand", kLazyTree, L"Expand", {Arg::String(L"Drive C\\Users\\Guest")}, "False", nullptr, {}},
        {"a tree filled from the start", kTree, L"Select", {Arg::String(L"Fruits\\#3\\Inner")}, "True",
         "Fruits\\#3\\Inner",
         plus(expanded(kTree, L"Twin"),
              {N(L"TVN_SELCHANGING", kTree, L"Inner"), N(L"TVN_SELCHANGED", kTree, L"Inner")})},
        {"no such item", kTree, L"Expand", {Arg::String(L"Fruits\\Nothing")}, "error 5", "Fruits\\#3\\Inner", {}},
        {"the roots' level is no item", kTree, L"Collapse", {Arg::String(L"")}, "error 5", nullptr, {}},
    });
}

// Check boxes through the state image: a list view tells the change itself (nothing for a state it
// has already); a tree's items, also ones that come only on expansion.
TEST_F(ListActions, CheckBoxesOfListViewsAndTrees) {
    using namespace target;
    Run({
        {"list view without check boxes", kReport, L"Check", {Arg::Long(0), Arg::Bool(true)}, "error 5", "1,3", {}},
        {"list box", kSingleList, L"IsChecked", {Arg::Long(0)}, "error 5", "1", {}},
        {"past the end", kChecks, L"Check", {Arg::Long(3), Arg::Bool(true)}, "error 9", "0", {}},
        {"tree without check boxes", kTree, L"Check", {Arg::String(L"Fruits"), Arg::Bool(true)}, "error 5",
         "Fruits\\Apple\\Green", {}},
        {"checked at the start", kChecks, L"IsChecked", {Arg::Long(kFirstChecked)}, "True", nullptr, {}},
        {"check", kChecks, L"Check", {Arg::Long(0), Arg::Bool(true)}, "True", nullptr,
         {Changed(kChecks, 0, 0x1003, 0x2003)}},
        {"clear", kChecks, L"Check", {Arg::Long(kFirstChecked), Arg::Bool(false)}, "True", nullptr,
         {Changed(kChecks, 1, 0x2000, 0x1000)}},
        // Wine: the list view asks about a change that is none (LVN_ITEMCHANGING), then makes none.
        {"clear again", kChecks, L"Check", {Arg::Long(kFirstChecked), Arg::Bool(false)}, "True", nullptr,
         RunningOnWine() ? Texts{L"untold 1 1000>1000"} : Texts{}},
        {"now", kChecks, L"IsChecked", {Arg::Long(kFirstChecked)}, "False", "0", {}},
        {"tree root checked at the start", kLazyTree, L"IsChecked", {Arg::String(L"Drive D")}, "True", nullptr, {}},
        {"tree root cleared", kLazyTree, L"Check", {Arg::String(L"Drive D"), Arg::Bool(false)}, "True", nullptr, {}},
        {"a child not there yet", kLazyTree, L"Check", {Arg::String(L"Drive C\\Users"), Arg::Bool(true)}, "error 5",
         nullptr, {}},
        {"there once expanded", kLazyTree, L"Expand", {Arg::String(L"Drive C")}, "True", nullptr,
         {N(L"TVN_ITEMEXPANDING", kLazyTree, L"Drive C"), N(L"TVN_ITEMEXPANDED", kLazyTree, L"Drive C")}},
        {"checked", kLazyTree, L"Check", {Arg::String(L"Drive C\\Users"), Arg::Bool(true)}, "True", nullptr, {}},
        {"read back", kLazyTree, L"IsChecked", {Arg::String(L"Drive C\\Users")}, "True", nullptr, {}},
    });
}

// An unbound reader has nothing to act on; a header or a status bar has no selection to give.
TEST_F(ListActions, UnboundReadersAndListsWithoutSelection) {
    EXPECT_EQ("error 5", Asked(ComPtr<IDispatch>(Created(CreateListReader).get()).get(), L"Select", {Arg::Long(0)}));
    EXPECT_EQ("error 5",
              Asked(ComPtr<IDispatch>(Created(CreateTreeReader).get()).get(), L"Expand", {Arg::String(L"A")}));
    EXPECT_EQ("", Asked(ReaderOf(target::kHeader).get(), L"SelectedIndices", {}));
}

// An application that does not answer: every action ends False (-1) within its limit, and what the
// application takes up late changes nothing.
TEST_F(ListActions, AHungApplicationNeverHoldsTheScript) {
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, target::ReleaseEventName(m_target->ProcessId()).c_str());
    ASSERT_TRUE(release);
    PostMessageW(m_target->Window(), target::kHangMessage, 0, 0);
    // Hung once it has taken the posted message: sent ones go first, so it answers until then.
    DWORD_PTR ignored = 0;
    for (int i = 0; i < 100 && SendMessageTimeoutW(m_target->Window(), WM_NULL, 0, 0, SMTO_NORMAL, 100, &ignored);) {
        ++i;
    }
    EXPECT_EQ("False", Asked(ReaderOf(target::kSingleList).get(), L"Select", {Arg::Long(0)}));
    EXPECT_EQ("-1", Asked(ReaderOf(target::kCombo).get(), L"SelectText", {Arg::String(L"Red")}));
    EXPECT_EQ("False", Asked(ReaderOf(target::kLazyTree).get(), L"Expand", {Arg::String(L"Drive C")}));
    SetEvent(release);
    CloseHandle(release);
    EXPECT_EQ("1", Asked(ReaderOf(target::kSingleList).get(), L"SelectedIndices", {}));
    const std::string expanded = Asked(ReaderOf(target::kLazyTree).get(), L"IsExpanded", {Arg::String(L"Drive C")});
    EXPECT_EQ(m_treesBeyondReach ? "error 17" : "False", expanded);
    EXPECT_EQ(Texts{}, TakeNotices(m_target->Window()));
}

}  // namespace
}  // namespace wrang::test
