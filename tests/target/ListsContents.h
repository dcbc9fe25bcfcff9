// What the lists target (wrang_target --lists) shows: its controls, their identifiers and their
// texts. The target builds its controls from these tables and the tests compare what the readers
// read with the same tables, so that the two cannot drift apart.
#pragma once

#include <windows.h>

#include <cwchar>
#include <string>
#include <vector>

namespace wrang::lists_target {

constexpr char kWindowClass[] = "WrangListsTarget";
constexpr wchar_t kWindowClassW[] = L"WrangListsTarget";
constexpr char kCaption[] = "Lists target";  // set once every control is in place

// Child window identifiers; the lists' tables below name the list boxes and combo boxes.
enum : int {
    kSingleList = 101,
    kMultiList,
    kEmptyList,
    kAnsiList,
    kCombo,
    kAnsiCombo,
    kReport,    // list view in report view, three columns
    kIcons,     // list view in list view: one column
    kCallback,  // list view whose texts its parent hands out on request
    kTabs,
    kHeader,
    kStatus,
    kTree,       // tree view, three levels deep
    kEmptyTree,  // tree view without items
    kFrameworkList,
    kCustomList,
    kChecks,    // list view of one selection with check boxes
    kLazyTree,  // tree view with check boxes whose children come on their parent's first expansion
    kTabPage,   // the page the tabs show: its text says which
    kNotices,   // list box of the notifications the window received (see NoticeLine)
    kNoTextsList,  // a list box its owner draws without strings: items of numbers, no texts
};

// The window names of the report view and of the tree, by which scripts find them.
constexpr wchar_t kReportName[] = L"Files";
constexpr wchar_t kTreeName[] = L"Folders";

// The list box classes of their own: superclasses of the system's list box.
constexpr wchar_t kFrameworkListClass[] = L"WrangForms10.LISTBOX.app.0";
constexpr wchar_t kCustomListClass[] = L"WrangItems";

// The target's own entry (tests/target/ListsTarget.cpp): wrang_target --lists [--rows N].
int RunListsTarget(int argc, char** argv);

// A text longer than 1,000 characters, with characters outside every single-byte code page (Greek,
// a check mark, CJK, and a character beyond the Basic Multilingual Plane), different for each seed.
inline std::wstring LongText(size_t length, wchar_t seed) {
    static const wchar_t kPattern[] = L"\u0393\u03b5\u03b9\u03ac \u2713 \u65e5\u672c \U0001F600 long text ";
    std::wstring text(1, seed);
    while (text.size() < length) text += kPattern;
    text.resize(length);
    text.back() = L'.';  // never cut in the middle of a surrogate pair
    return text;
}

// A text outside every single-byte code page.
constexpr wchar_t kOutside[] = L"\u0393\u03b5\u03b9\u03ac \u2713 \u65e5\u672c \U0001F600";

struct ListContents {
    int id;
    const char* name;
    std::vector<std::wstring> items;
    std::vector<int> selected;  // in order
};
inline std::vector<ListContents> UnicodeLists() {
    return {
        {kSingleList, "list box", {L"Alpha", L"Beta", kOutside, LongText(1500, L'L')}, {1}},
        {kMultiList, "list box of several selections", {L"one", L"two", L"three", L"four"}, {2, 3}},
        {kEmptyList, "empty list box", {}, {}},
        {kCombo, "combo box", {L"Red", L"Green", L"Blue \u2713", LongText(1100, L'C')}, {2}},
        {kFrameworkList, "list box of a framework's class", {L"framework one", L"framework two"}, {0}},
        {kCustomList, "list box of a class whose name tells no kind", {L"custom one"}, {}},
    };
}

// The ANSI controls' texts as bytes of the code page: plain ASCII, a character of the Western code
// page, and a long text.
struct AnsiListContents {
    int id;
    const char* name;
    std::vector<std::string> items;
    std::vector<int> selected;
};
inline std::vector<AnsiListContents> AnsiLists() {
    std::string longText = "A";
    while (longText.size() < 1200) longText += " ansi text";
    return {{kAnsiList, "ANSI list box", {"plain", "caf\xE9", longText}, {0}},
            {kAnsiCombo, "ANSI combo box", {"ansi one", "ansi two"}, {}}};
}

// The report view's columns and rows (a row: one text per column).
inline std::vector<std::wstring> ReportColumns() { return {L"Name", L"Size", L"Kind"}; }
inline std::vector<std::vector<std::wstring>> ReportRows() {
    return {
        {L"readme.txt", L"12 KB", L"Text"},
        {kOutside, L"", L"Document"},
        {LongText(2000, L'R'), L"1 KB", L"Long"},
        {L"README.TXT", L"3 KB", L"Text"},
    };
}
inline std::vector<int> ReportSelected() { return {1, 3}; }
// With --rows N the report view holds N generated rows instead (the benchmark's large list).
inline std::vector<std::wstring> GeneratedRow(int row) {
    return {L"Generated row number " + std::to_wstring(row), std::to_wstring(row) + L" KB", L"Generated"};
}

inline std::vector<std::wstring> IconItems() { return {L"icon one", L"icon two"}; }

// The callback list view: two columns whose texts the parent hands out by pointing the request at
// texts of its own (not by copying them into the requester's buffer).
inline std::vector<std::vector<std::wstring>> CallbackRows() {
    return {{L"called back", L"first"}, {L"second \u2713", LongText(1300, L'B')}};
}

inline std::vector<std::wstring> TabTexts() { return {L"General", L"\u0394 Details \u2713", LongText(1200, L'T')}; }
constexpr int kSelectedTab = 1;
inline std::vector<std::wstring> HeaderTexts() { return {L"First", L"Second \u2713", LongText(1300, L'H')}; }
// The status bar's parts as they read: one its owner draws reads "" (it holds a number, not a text),
// between a long text and a text longer than 65,535 characters, whose length the control's answers
// cut to 16 bits (70,000 reads there as 4,464).
inline std::vector<std::wstring> StatusTexts() {
    return {L"Ready", L"Ln 1, Col 1 \u2713", LongText(1400, L'S'), L"", LongText(70000, L'W')};
}
constexpr size_t kOwnerDrawnPart = 3;
constexpr LPARAM kOwnerDrawnValue = 0x5A5A;

// The list box that keeps no texts: the numbers its items hold, and the one selected.
inline std::vector<LPARAM> NoTextsItems() { return {11, 22, 33}; }
constexpr int kNoTextsSelected = 1;

// The tree, depth first: each node with its depth (0 for a root), whether it starts expanded, and
// the path that names it (by position where its text repeats an earlier sibling's, holds "\" or
// looks like a position).
struct TreeNode {
    int depth;
    std::wstring text;
    bool expanded;
    std::wstring path;
};
inline std::vector<TreeNode> TreeNodes() {
    const std::wstring longText = LongText(1500, L'N');
    return {
        {0, L"Fruits", true, L"Fruits"},
        {1, L"Apple", true, L"Fruits\\Apple"},
        {2, L"Red", false, L"Fruits\\Apple\\Red"},
        {2, L"Green", false, L"Fruits\\Apple\\Green"},
        {1, L"Banana", false, L"Fruits\\Banana"},
        {1, L"Twin", false, L"Fruits\\Twin"},
        {1, L"Twin", false, L"Fruits\\#3"},
        {2, L"Inner", false, L"Fruits\\#3\\Inner"},
        {0, L"Vegetables", false, L"Vegetables"},
        {1, L"Carrot", false, L"Vegetables\\Carrot"},
        {0, L"Back\\Slash", false, L"#2"},
        {1, L"Under", false, L"#2\\Under"},
        {0, L"#1", false, L"#3"},
        {0, longText, false, longText},
        {1, kOutside, false, longText + L"\\" + kOutside},
    };
}
constexpr size_t kSelectedNode = 3;  // Fruits\Apple\Green

// --- What the actions act on ------------------------------------------------------------------

// The window records, in its list box kNotices, every notification of a selection, a check, an
// expansion or a click that its controls send it (WM_COMMAND LBN_SELCHANGE and CBN_SELCHANGE;
// WM_NOTIFY LVN_ITEMCHANGING, LVN_ITEMCHANGED, TCN_SELCHANGING, TCN_SELCHANGE, NM_CLICK,
// TVN_SELCHANGING, TVN_SELCHANGED, TVN_ITEMEXPANDING, TVN_ITEMEXPANDED), one line each, in the
// order they came: its name, the control's ID and what it is about (see ListsTarget.cpp). Other
// notifications (painting, text requests, focus) come and go with the desktop and are left out.
inline std::wstring NoticeLine(const wchar_t* name, int id, const std::wstring& about) {
    return std::wstring(name) + L" from " + std::to_wstring(id) + L": " + about;
}
// What a list view's change is about: the item, and its state before and after, in hexadecimal.
inline std::wstring StateChange(int item, unsigned before, unsigned after) {
    wchar_t text[48];
    swprintf(text, 48, L"%d %x>%x", item, before, after);
    return text;
}

// The tabs: the page shows the selected tab's index ("page 1"), changed on TCN_SELCHANGE; leaving
// kLockedTab is refused in TCN_SELCHANGING.
constexpr int kLockedTab = 2;
inline std::wstring PageOf(int tab) { return L"page " + std::to_wstring(tab); }

// Posted to the window, kHangMessage makes it stop answering until the test sets the event that
// ReleaseEventName names (30 seconds at most), as a hung application does.
constexpr UINT kHangMessage = WM_APP + 1;
inline std::wstring ReleaseEventName(DWORD targetProcessId) {
    return L"WrangListsTargetRelease" + std::to_wstring(targetProcessId);
}

// The list view with check boxes: its items, the one checked and the one selected at the start.
inline std::vector<std::wstring> CheckItems() { return {L"Apples", L"Pears", L"Plums"}; }
constexpr int kFirstChecked = 1, kFirstSelected = 0;

// The lazily filled tree: each node with its parent (an earlier node; -1 for a root). The roots are
// there from the start, announcing children; a node's children are added on its first
// TVN_ITEMEXPANDING. One root starts checked.
struct LazyNode {
    int parent;
    std::wstring text;
};
inline std::vector<LazyNode> LazyNodes() {
    return {{-1, L"Drive C"}, {0, L"Users"},   {1, L"Public"},   {2, L"Documents"},
            {1, L"Guest"},    {0, L"Windows"}, {-1, L"Drive D"}, {6, L"Data"}};
}
constexpr int kCheckedLazyNode = 6;

}  // namespace wrang::lists_target
