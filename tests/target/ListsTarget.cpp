// wrang_target --lists [--rows N]: a window with one control of every kind the list and tree
// readers read (tests/target/ListsContents.h says which, with their texts). With --rows N its report
// view holds N generated rows instead of the described ones.
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <cstring>

#include "ListsContents.h"

namespace wrang::lists_target {
namespace {

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

HWND Control(HWND parent, const wchar_t* className, DWORD style, int id, int x, int y, int width, int height,
             const wchar_t* name = L"") {
    return CreateWindowExW(0, className, name, WS_CHILD | WS_VISIBLE | style, x, y, width, height, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), Instance(), nullptr);
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

void FillUnicodeList(HWND parent, const ListContents& list, int y) {
    const bool combo = list.id == kCombo;
    const DWORD style = combo ? CBS_DROPDOWNLIST | CBS_HASSTRINGS
                              : LBS_HASSTRINGS | (list.id == kMultiList ? LBS_EXTENDEDSEL : LBS_NOTIFY);
    HWND control =
        Control(parent, combo ? L"ComboBox" : ListBoxClass(list.id), style, list.id, 5, y, 150, combo ? 200 : 60);
    for (const std::wstring& item : list.items) {
        SendMessageW(control, combo ? CB_ADDSTRING : LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    }
    for (int index : list.selected) {
        if (combo)
            SendMessageW(control, CB_SETCURSEL, index, 0);
        else if (list.id == kMultiList)
            SendMessageW(control, LB_SETSEL, TRUE, index);
        else
            SendMessageW(control, LB_SETCURSEL, index, 0);
    }
}

void FillAnsiList(HWND parent, const AnsiListContents& list, int y) {
    const bool combo = list.id == kAnsiCombo;
    HWND control = CreateWindowExA(0, combo ? "ComboBox" : "ListBox", "",
                                   WS_CHILD | WS_VISIBLE | (combo ? CBS_DROPDOWNLIST | CBS_HASSTRINGS : LBS_HASSTRINGS),
                                   5, y, 150, combo ? 200 : 60, parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(list.id)), Instance(), nullptr);
    for (const std::string& item : list.items) {
        SendMessageA(control, combo ? CB_ADDSTRING : LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    }
    SendMessageA(control, combo ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(list.selected), 0);
}

void Select(HWND listView, int index) {
    LVITEMW item = {};
    item.stateMask = LVIS_SELECTED;
    item.state = LVIS_SELECTED;
    SendMessageW(listView, LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&item));
}

// Rows of a list view; a text of LPSTR_TEXTCALLBACK is asked of the parent when it is read.
void AddRows(HWND listView, const std::vector<std::vector<std::wstring>>& rows, bool callback) {
    for (size_t r = 0; r < rows.size(); ++r) {
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(r);
        item.pszText = callback ? LPSTR_TEXTCALLBACKW : const_cast<wchar_t*>(rows[r][0].c_str());
        SendMessageW(listView, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        for (size_t c = 1; c < rows[r].size(); ++c) {
            item.iSubItem = static_cast<int>(c);
            item.pszText = callback ? LPSTR_TEXTCALLBACKW : const_cast<wchar_t*>(rows[r][c].c_str());
            SendMessageW(listView, LVM_SETITEMTEXTW, r, reinterpret_cast<LPARAM>(&item));
        }
    }
}

void AddColumns(HWND listView, const std::vector<std::wstring>& columns) {
    for (size_t c = 0; c < columns.size(); ++c) {
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = 80;
        column.pszText = const_cast<wchar_t*>(columns[c].c_str());
        SendMessageW(listView, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&column));
    }
}

void MakeListViews(HWND parent, int generatedRows) {
    HWND report = Control(parent, WC_LISTVIEWW, LVS_REPORT | LVS_SHOWSELALWAYS, kReport, 170, 5, 300, 120, kReportName);
    AddColumns(report, ReportColumns());
    if (generatedRows > 0) {
        std::vector<std::vector<std::wstring>> rows;
        for (int r = 0; r < generatedRows; ++r) rows.push_back(GeneratedRow(r));
        AddRows(report, rows, false);
    } else {
        AddRows(report, ReportRows(), false);
        for (int index : ReportSelected()) Select(report, index);
    }

    HWND icons = Control(parent, WC_LISTVIEWW, LVS_LIST, kIcons, 170, 130, 300, 60);
    std::vector<std::vector<std::wstring>> iconRows;
    for (const std::wstring& text : IconItems()) iconRows.push_back({text});
    AddRows(icons, iconRows, false);

    HWND callback = Control(parent, WC_LISTVIEWW, LVS_REPORT, kCallback, 170, 195, 300, 80);
    AddColumns(callback, {L"Text", L"More"});
    AddRows(callback, CallbackRows(), true);
}

void MakeBars(HWND parent) {
    HWND tabs = Control(parent, WC_TABCONTROLW, 0, kTabs, 480, 5, 300, 60);
    const std::vector<std::wstring> tabTexts = TabTexts();
    for (size_t t = 0; t < tabTexts.size(); ++t) {
        TCITEMW item = {};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(tabTexts[t].c_str());
        SendMessageW(tabs, TCM_INSERTITEMW, t, reinterpret_cast<LPARAM>(&item));
    }
    SendMessageW(tabs, TCM_SETCURSEL, kSelectedTab, 0);

    HWND header = Control(parent, WC_HEADERW, 0, kHeader, 480, 70, 300, 24);
    const std::vector<std::wstring> headerTexts = HeaderTexts();
    for (size_t h = 0; h < headerTexts.size(); ++h) {
        HDITEMW item = {};
        item.mask = HDI_TEXT | HDI_WIDTH;
        item.cxy = 90;
        item.pszText = const_cast<wchar_t*>(headerTexts[h].c_str());
        SendMessageW(header, HDM_INSERTITEMW, h, reinterpret_cast<LPARAM>(&item));
    }

    HWND status = Control(parent, STATUSCLASSNAMEW, 0, kStatus, 0, 0, 0, 0);
    const std::vector<std::wstring> statusTexts = StatusTexts();
    int edges[] = {100, 250, -1};
    SendMessageW(status, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges));
    for (size_t p = 0; p < statusTexts.size(); ++p) {
        SendMessageW(status, SB_SETTEXTW, p, reinterpret_cast<LPARAM>(statusTexts[p].c_str()));
    }
}

void MakeTrees(HWND parent) {
    HWND tree = Control(parent, WC_TREEVIEWW, TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS,
                        kTree, 480, 100, 300, 200, kTreeName);
    HTREEITEM parents[8] = {TVI_ROOT};
    std::vector<HTREEITEM> expanded;
    for (const TreeNode& node : TreeNodes()) {
        TVINSERTSTRUCTW insert = {};
        insert.hParent = parents[node.depth];
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT;
        insert.item.pszText = const_cast<wchar_t*>(node.text.c_str());
        HTREEITEM item =
            reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
        parents[node.depth + 1] = item;
        if (node.expanded) expanded.push_back(item);
    }
    // Expanded once every child is there: a node without children cannot be expanded.
    for (HTREEITEM item : expanded) SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
    // The selected item: Fruits\Apple\Green.
    HTREEITEM item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item)));
    item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item)));
    item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)));
    SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));

    Control(parent, WC_TREEVIEWW, 0, kEmptyTree, 480, 305, 300, 40);
}

// The callback list view's texts: the request is pointed at the parent's own copy.
LRESULT CALLBACK ListsProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY) {
        auto* info = reinterpret_cast<NMLVDISPINFOW*>(lParam);
        if (info->hdr.idFrom == kCallback && info->hdr.code == LVN_GETDISPINFOW && (info->item.mask & LVIF_TEXT)) {
            static const std::vector<std::vector<std::wstring>> rows = CallbackRows();
            const size_t row = static_cast<size_t>(info->item.iItem), column = static_cast<size_t>(info->item.iSubItem);
            if (row < rows.size() && column < rows[row].size()) {
                info->item.pszText = const_cast<wchar_t*>(rows[row][column].c_str());
            }
            return 0;
        }
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
    HWND top = CreateWindowExW(0, cls.lpszClassName, L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 800, 400, nullptr,
                               nullptr, Instance(), nullptr);
    int y = 5;
    for (const ListContents& list : UnicodeLists()) {
        FillUnicodeList(top, list, y);
        y += 45;
    }
    for (const AnsiListContents& list : AnsiLists()) {
        FillAnsiList(top, list, y);
        y += 45;
    }
    MakeListViews(top, generatedRows);
    MakeBars(top);
    MakeTrees(top);
    SetWindowTextA(top, kCaption);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

}  // namespace wrang::lists_target
