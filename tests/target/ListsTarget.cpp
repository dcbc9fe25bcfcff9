// wrang_target --lists [--rows N]: a window with one control of every kind the list and tree
// readers read (tests/target/ListsContents.h says which, with their texts), and the window's answers
// to what the readers' actions make the controls tell it, which it records. With --rows N its
// report view holds N generated rows instead of the described ones.
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <type_traits>
#include <vector>

#include "ListsContents.h"

namespace wrang::lists_target {
namespace {

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }
HMENU Id(int id) { return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)); }

HWND Control(HWND parent, const wchar_t* className, DWORD style, int id, int x, int y, int width, int height,
             const wchar_t* name = L"") {
    return CreateWindowExW(0, className, name, WS_CHILD | WS_VISIBLE | style, x, y, width, height, parent, Id(id),
                           Instance(), nullptr);
}

// The system's list box under another class name, as frameworks make their own list classes.
const wchar_t* ListBoxClass(int id) {
    const wchar_t* name = id == kFrameworkList ? kFrameworkListClass : id == kCustomList ? kCustomListClass : nullptr;
    if (!name) return L"ListBox";
    WNDCLASSW cls = {};
    GetClassInfoW(nullptr, L"ListBox", &cls);
    cls.hInstance = Instance();
    cls.lpszClassName = name;
    RegisterClassW(&cls);
    return name;
}

// A list box or a combo box; with texts of the code page (std::string), a window of an ANSI class.
template <typename Text>
void FillList(HWND parent, int id, bool combo, const std::vector<Text>& items, const std::vector<int>& selected,
              int y) {
    constexpr bool ansi = std::is_same_v<Text, std::string>;
    const DWORD style =
        combo ? CBS_DROPDOWNLIST | CBS_HASSTRINGS : LBS_HASSTRINGS | (id == kMultiList ? LBS_EXTENDEDSEL : LBS_NOTIFY);
    const int height = combo ? 200 : 60;
    HWND control = ansi ? CreateWindowExA(0, combo ? "ComboBox" : "ListBox", "", WS_CHILD | WS_VISIBLE | style, 5, y,
                                          150, height, parent, Id(id), Instance(), nullptr)
                        : Control(parent, combo ? L"ComboBox" : ListBoxClass(id), style, id, 5, y, 150, height);
    for (const Text& item : items) {
        const LPARAM text = reinterpret_cast<LPARAM>(item.c_str());
        ansi ? SendMessageA(control, combo ? CB_ADDSTRING : LB_ADDSTRING, 0, text)
             : SendMessageW(control, combo ? CB_ADDSTRING : LB_ADDSTRING, 0, text);
    }
    for (int index : selected) {
        if (id == kMultiList)
            SendMessageW(control, LB_SETSEL, TRUE, index);
        else
            SendMessageW(control, combo ? CB_SETCURSEL : LB_SETCURSEL, index, 0);
    }
}

// A list view's columns and rows; a text of LPSTR_TEXTCALLBACK is asked of the parent when it is read.
HWND ListView(HWND parent, DWORD style, int id, int y, int height, const std::vector<std::wstring>& columns,
              const std::vector<std::vector<std::wstring>>& rows, bool callback, const wchar_t* name = L"") {
    HWND listView = Control(parent, WC_LISTVIEWW, style, id, 170, y, 300, height, name);
    for (size_t c = 0; c < columns.size(); ++c) {
        LVCOLUMNW column = {LVCF_TEXT | LVCF_WIDTH, 0, 80, const_cast<wchar_t*>(columns[c].c_str())};
        SendMessageW(listView, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&column));
    }
    for (size_t r = 0; r < rows.size(); ++r) {
        for (size_t c = 0; c < rows[r].size(); ++c) {
            LVITEMW item = {LVIF_TEXT, static_cast<int>(r), static_cast<int>(c)};
            item.pszText = callback ? LPSTR_TEXTCALLBACKW : const_cast<wchar_t*>(rows[r][c].c_str());
            SendMessageW(listView, c ? LVM_SETITEMTEXTW : LVM_INSERTITEMW, c ? r : 0, reinterpret_cast<LPARAM>(&item));
        }
    }
    return listView;
}

void MakeListViews(HWND parent, int generatedRows) {
    std::vector<std::vector<std::wstring>> generated;
    for (int r = 0; r < generatedRows; ++r) generated.push_back(GeneratedRow(r));
    HWND report = ListView(parent, LVS_REPORT | LVS_SHOWSELALWAYS, kReport, 5, 120, ReportColumns(),
                           generatedRows > 0 ? generated : ReportRows(), false, kReportName);
    for (int index : generatedRows > 0 ? std::vector<int>{} : ReportSelected()) {
        LVITEMW item = {};
        item.stateMask = item.state = LVIS_SELECTED;
        SendMessageW(report, LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&item));
    }
    std::vector<std::vector<std::wstring>> iconRows;
    for (const std::wstring& text : IconItems()) iconRows.push_back({text});
    ListView(parent, LVS_LIST, kIcons, 130, 60, {}, iconRows, false);
    ListView(parent, LVS_REPORT, kCallback, 195, 80, {L"Text", L"More"}, CallbackRows(), true);
}

void MakeBars(HWND parent) {
    HWND tabs = Control(parent, WC_TABCONTROLW, 0, kTabs, 480, 5, 300, 60);
    const std::vector<std::wstring> tabTexts = TabTexts(), headerTexts = HeaderTexts(), statusTexts = StatusTexts();
    for (size_t t = 0; t < tabTexts.size(); ++t) {
        TCITEMW item = {TCIF_TEXT, 0, 0, const_cast<wchar_t*>(tabTexts[t].c_str())};
        SendMessageW(tabs, TCM_INSERTITEMW, t, reinterpret_cast<LPARAM>(&item));
    }
    SendMessageW(tabs, TCM_SETCURSEL, kSelectedTab, 0);

    HWND header = Control(parent, WC_HEADERW, 0, kHeader, 480, 70, 300, 24);
    for (size_t h = 0; h < headerTexts.size(); ++h) {
        HDITEMW item = {HDI_TEXT | HDI_WIDTH, 90, const_cast<wchar_t*>(headerTexts[h].c_str())};
        SendMessageW(header, HDM_INSERTITEMW, h, reinterpret_cast<LPARAM>(&item));
    }

    HWND status = Control(parent, STATUSCLASSNAMEW, 0, kStatus, 0, 0, 0, 0);
    int edges[] = {100, 250, 400, 450, -1};
    SendMessageW(status, SB_SETPARTS, std::size(edges), reinterpret_cast<LPARAM>(edges));
    for (size_t p = 0; p < statusTexts.size(); ++p) {
        if (p == kOwnerDrawnPart)
            SendMessageW(status, SB_SETTEXTW, p | SBT_OWNERDRAW, kOwnerDrawnValue);
        else
            SendMessageW(status, SB_SETTEXTW, p, reinterpret_cast<LPARAM>(statusTexts[p].c_str()));
    }

    // Its items are numbers; a real one would paint them in WM_DRAWITEM.
    HWND noTexts = Control(parent, L"ListBox", LBS_OWNERDRAWFIXED | LBS_NOTIFY, kNoTextsList, 5, 515, 200, 40);
    for (LPARAM item : NoTextsItems()) SendMessageW(noTexts, LB_ADDSTRING, 0, item);
    SendMessageW(noTexts, LB_SETCURSEL, kNoTextsSelected, 0);
}

void MakeTrees(HWND parent) {
    HWND tree = Control(parent, WC_TREEVIEWW, TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS,
                        kTree, 480, 100, 300, 200, kTreeName);
    const std::vector<TreeNode> nodes = TreeNodes();
    std::vector<HTREEITEM> items;
    HTREEITEM parents[8] = {TVI_ROOT};
    for (const TreeNode& node : nodes) {
        TVINSERTSTRUCTW insert = {parents[node.depth], TVI_LAST};
        insert.item.mask = TVIF_TEXT;
        insert.item.pszText = const_cast<wchar_t*>(node.text.c_str());
        items.push_back(
            reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert))));
        parents[node.depth + 1] = items.back();
    }
    // Expanded once every child is there: a node without children cannot be expanded.
    for (size_t n = 0; n < nodes.size(); ++n) {
        if (nodes[n].expanded) SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(items[n]));
    }
    SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(items[kSelectedNode]));
    Control(parent, WC_TREEVIEWW, 0, kEmptyTree, 480, 305, 300, 40);
}

// --- What the actions act on ------------------------------------------------------------------

HTREEITEM InsertLazyNode(HWND tree, HTREEITEM parent, int node) {
    const std::vector<LazyNode> nodes = LazyNodes();
    TVINSERTSTRUCTW insert = {parent, TVI_LAST};
    insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_CHILDREN;
    insert.item.pszText = const_cast<wchar_t*>(nodes[node].text.c_str());
    insert.item.lParam = node;
    // A node announces children it does not hold yet, as a registry editor's keys do.
    for (const LazyNode& other : nodes) insert.item.cChildren = insert.item.cChildren || other.parent == node;
    return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

// The children of a lazy node, added on its first expansion.
void FillLazyNode(HWND tree, HTREEITEM item, LPARAM node) {
    if (SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item))) return;
    const std::vector<LazyNode> nodes = LazyNodes();
    for (size_t n = 0; n < nodes.size(); ++n) {
        if (nodes[n].parent == node) InsertLazyNode(tree, item, static_cast<int>(n));
    }
}

void MakeActionTargets(HWND parent) {
    HWND checks = Control(parent, WC_LISTVIEWW, LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, kChecks, 5, 410, 200,
                          100, L"Fruit");
    SendMessageW(checks, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES, LVS_EX_CHECKBOXES);
    LVCOLUMNW column = {LVCF_TEXT | LVCF_WIDTH, 0, 120, const_cast<wchar_t*>(L"Fruit")};
    SendMessageW(checks, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    const std::vector<std::wstring> items = CheckItems();
    for (size_t i = 0; i < items.size(); ++i) {
        LVITEMW item = {LVIF_TEXT, static_cast<int>(i)};
        item.pszText = const_cast<wchar_t*>(items[i].c_str());
        SendMessageW(checks, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    LVITEMW state = {};
    state.stateMask = LVIS_STATEIMAGEMASK;
    state.state = INDEXTOSTATEIMAGEMASK(2);
    SendMessageW(checks, LVM_SETITEMSTATE, kFirstChecked, reinterpret_cast<LPARAM>(&state));
    state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(checks, LVM_SETITEMSTATE, kFirstSelected, reinterpret_cast<LPARAM>(&state));

    HWND lazy = Control(parent, WC_TREEVIEWW, TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS,
                        kLazyTree, 210, 410, 200, 150, L"Keys");
    // Check boxes are given after the tree is made and before it is filled, as the control asks: a
    // tree made with them resets every item to unchecked when it first paints.
    SetWindowLongW(lazy, GWL_STYLE, GetWindowLongW(lazy, GWL_STYLE) | TVS_CHECKBOXES);
    const std::vector<LazyNode> nodes = LazyNodes();
    for (size_t n = 0; n < nodes.size(); ++n) {
        if (nodes[n].parent >= 0) continue;
        HTREEITEM root = InsertLazyNode(lazy, TVI_ROOT, static_cast<int>(n));
        if (n != kCheckedLazyNode) continue;
        TVITEMW checked = {TVIF_HANDLE | TVIF_STATE, root, INDEXTOSTATEIMAGEMASK(2), TVIS_STATEIMAGEMASK};
        SendMessageW(lazy, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&checked));
    }

    Control(parent, L"STATIC", 0, kTabPage, 480, 350, 300, 20, PageOf(kSelectedTab).c_str());
    Control(parent, L"ListBox", 0, kNotices, 420, 410, 360, 150);
}

// A notification the window records, by name (see NoticeLine); nullptr for one it leaves out.
const wchar_t* NoticeName(UINT message, int id, UINT code) {
    if (message == WM_COMMAND) {
        if (code != LBN_SELCHANGE) return nullptr;  // CBN_SELCHANGE has the same number
        return id == kCombo || id == kAnsiCombo ? L"CBN_SELCHANGE" : L"LBN_SELCHANGE";
    }
    switch (code) {
    case LVN_ITEMCHANGING: return L"LVN_ITEMCHANGING";
    case LVN_ITEMCHANGED: return L"LVN_ITEMCHANGED";
    case TCN_SELCHANGING: return L"TCN_SELCHANGING";
    case TCN_SELCHANGE: return L"TCN_SELCHANGE";
    case NM_CLICK: return L"NM_CLICK";
    case TVN_SELCHANGINGW: return L"TVN_SELCHANGING";
    case TVN_SELCHANGEDW: return L"TVN_SELCHANGED";
    case TVN_ITEMEXPANDINGW: return L"TVN_ITEMEXPANDING";
    case TVN_ITEMEXPANDEDW: return L"TVN_ITEMEXPANDED";
    default: return nullptr;
    }
}

std::wstring TreeItemText(HWND tree, HTREEITEM item) {
    wchar_t text[256] = {};
    TVITEMW request = {TVIF_TEXT | TVIF_HANDLE, item};
    request.pszText = text;
    request.cchTextMax = 256;
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&request));
    return text;
}

// What a notification is about, as the control stands when it is told: a list's selection (its
// caret in a list of several), a list view item's change, the selected tab, the tree item concerned.
std::wstring NoticeAbout(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) {
        const bool combo = LOWORD(wParam) == kCombo || LOWORD(wParam) == kAnsiCombo;
        return std::to_wstring(SendMessageW(reinterpret_cast<HWND>(lParam), combo ? CB_GETCURSEL : LB_GETCURSEL, 0, 0));
    }
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    switch (header->code) {
    case LVN_ITEMCHANGING:
    case LVN_ITEMCHANGED: {
        const auto* change = reinterpret_cast<const NMLISTVIEW*>(lParam);
        return StateChange(change->iItem, change->uOldState, change->uNewState);
    }
    case TCN_SELCHANGING:
    case TCN_SELCHANGE:
    case NM_CLICK:
        if (header->idFrom == kTabs) return std::to_wstring(SendMessageW(header->hwndFrom, TCM_GETCURSEL, 0, 0));
        return L"";
    default: return TreeItemText(header->hwndFrom, reinterpret_cast<const NMTREEVIEWW*>(lParam)->itemNew.hItem);
    }
}

void Record(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const int id = message == WM_COMMAND ? LOWORD(wParam) : static_cast<int>(reinterpret_cast<NMHDR*>(lParam)->idFrom);
    const UINT code = message == WM_COMMAND ? HIWORD(wParam) : reinterpret_cast<NMHDR*>(lParam)->code;
    if (message == WM_COMMAND && lParam == 0) return;  // a menu's or an accelerator's command
    const wchar_t* name = NoticeName(message, id, code);
    if (!name) return;
    const std::wstring line = NoticeLine(name, id, NoticeAbout(message, wParam, lParam));
    SendMessageW(GetDlgItem(window, kNotices), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
}

// The callback list view's texts (the request is pointed at the parent's own copy), the tabs' pages
// and the lazy tree's children, after the notification is recorded.
LRESULT CALLBACK ListsProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) Record(hWnd, message, wParam, lParam);
    if (message == WM_NOTIFY) {
        Record(hWnd, message, wParam, lParam);
        auto* info = reinterpret_cast<NMLVDISPINFOW*>(lParam);
        if (info->hdr.idFrom == kCallback && info->hdr.code == LVN_GETDISPINFOW && (info->item.mask & LVIF_TEXT)) {
            static const std::vector<std::vector<std::wstring>> rows = CallbackRows();
            const size_t row = static_cast<size_t>(info->item.iItem), column = static_cast<size_t>(info->item.iSubItem);
            if (row < rows.size() && column < rows[row].size()) {
                info->item.pszText = const_cast<wchar_t*>(rows[row][column].c_str());
            }
            return 0;
        }
        const NMHDR& header = info->hdr;
        if (header.idFrom == kTabs && header.code == TCN_SELCHANGING) {
            return SendMessageW(header.hwndFrom, TCM_GETCURSEL, 0, 0) == kLockedTab;
        }
        if (header.idFrom == kTabs && header.code == TCN_SELCHANGE) {
            const int tab = static_cast<int>(SendMessageW(header.hwndFrom, TCM_GETCURSEL, 0, 0));
            SetWindowTextW(GetDlgItem(hWnd, kTabPage), PageOf(tab).c_str());
            return 0;
        }
        if (header.idFrom == kLazyTree && header.code == TVN_ITEMEXPANDINGW) {
            const auto* expanding = reinterpret_cast<const NMTREEVIEWW*>(lParam);
            if (expanding->action & TVE_EXPAND)
                FillLazyNode(header.hwndFrom, expanding->itemNew.hItem, expanding->itemNew.lParam);
            return 0;
        }
    }
    if (message == kHangMessage) {
        HANDLE release = OpenEventW(SYNCHRONIZE, FALSE, ReleaseEventName(GetCurrentProcessId()).c_str());
        if (release) WaitForSingleObject(release, 30000);
        if (release) CloseHandle(release);
        return 0;
    }
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(hWnd, message, wParam, lParam);
}

}  // namespace

int RunListsTarget(int argc, char** argv) {
    int generatedRows = 0;
    for (int i = 2; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--rows") == 0) generatedRows = std::atoi(argv[i + 1]);
    }
    INITCOMMONCONTROLSEX controls = {sizeof controls,
                                     ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES | ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSW cls = {};
    cls.lpfnWndProc = ListsProc;
    cls.hInstance = Instance();
    cls.lpszClassName = kWindowClassW;
    RegisterClassW(&cls);
    HWND top = CreateWindowExW(0, cls.lpszClassName, L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 800, 600, nullptr,
                               nullptr, Instance(), nullptr);
    int y = 5;
    for (const ListContents& list : UnicodeLists()) {
        FillList(top, list.id, list.id == kCombo, list.items, list.selected, y);
        y += 45;
    }
    for (const AnsiListContents& list : AnsiLists()) {
        FillList(top, list.id, list.id == kAnsiCombo, list.items, list.selected, y);
        y += 45;
    }
    MakeListViews(top, generatedRows);
    MakeBars(top);
    MakeTrees(top);
    MakeActionTargets(top);
    SetWindowTextA(top, kCaption);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

}  // namespace wrang::lists_target
