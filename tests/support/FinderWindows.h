// The windows the finder's tests and benchmark search: made by the finder target (wrang_target
// --finder, tests/target/FinderTarget.cpp) in a process of its own, or by a window thread of a
// test's own process. Top-level windows of several kinds (items, owned pop-ups, a tool window, a
// dialog, a window renamed after it was made, a caption outside the ANSI code page) and a child
// tree five levels deep.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace wrang::test::finder_target {

constexpr wchar_t kTopClass[] = L"WrangFinderTop";
constexpr char kTopClassA[] = "WrangFinderTop";
constexpr wchar_t kTopCaption[] = L"Finder target";  // given last: the sign that every window is there
constexpr wchar_t kItemClass[] = L"WrangFinderItem";
constexpr wchar_t kDocumentClass[] = L"WrangFinderDocument";
constexpr wchar_t kPopupClass[] = L"WrangFinderPopup";
constexpr wchar_t kPanelClass[] = L"WrangFinderPanel";
constexpr wchar_t kSuffix[] = L" - Finder target";
// A document window made as "Untitled - Finder target", then renamed.
constexpr wchar_t kRenamedCaption[] = L"report.txt - Finder target";
// Greek and a check mark: outside the Western ANSI code page.
constexpr wchar_t kWideCaption[] = L"\u03a9\u03bc\u03ad\u03b3\u03b1 \u2713 - Finder target";
constexpr wchar_t kPopupCaption[] = L"Pop-up - Finder target";
constexpr wchar_t kToolCaption[] = L"Tool - Finder target";
constexpr wchar_t kDialogCaption[] = L"Dialog - Finder target";
constexpr int kTestItems = 3;

// "Item 0001 - Finder target", ...
inline std::wstring ItemCaption(int number) {
    wchar_t caption[64];
    wsprintfW(caption, L"Item %04d%ls", number, kSuffix);
    return caption;
}

// The children of the top window, in document order: each node's parent comes before it (-1: the
// top window), and the children of one parent are made in this order.
struct Node {
    int parent;
    const wchar_t* className;
    const wchar_t* caption;
    int id;
    bool visible;
};
constexpr Node kTree[] = {
    {-1, kPanelClass, L"Panel A", 100, true},
    {0, kPanelClass, L"Level 2", 110, true},
    {1, kPanelClass, L"Level 3", 120, true},
    {2, kPanelClass, L"Level 4", 130, true},
    {3, kPanelClass, L"Level 5", 140, true},
    {4, L"Button", L"Deep OK", 150, true},
    {0, L"Button", L"Hidden OK", 101, false},
    {0, L"Static", L"Note", 102, true},
    {-1, kPanelClass, L"Panel B", 200, true},
    {8, L"Button", L"OK", IDOK, true},
    {8, L"Button", L"Cancel", IDCANCEL, true},
    {-1, L"Static", L"\u03a9\u03bc\u03ad\u03b3\u03b1 \u2713 label", 300, true},
};
constexpr size_t kTreeSize = sizeof kTree / sizeof kTree[0];

struct Windows {
    HWND top = nullptr, popup = nullptr, tool = nullptr, dialog = nullptr, renamed = nullptr, wide = nullptr;
    std::vector<HWND> items;  // in the order of their numbers
    std::vector<HWND> tree;   // in the order of kTree
};

inline LRESULT CALLBACK FinderWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hWnd, message, wParam, lParam);
}
inline INT_PTR CALLBACK FinderDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// A dialog's template in memory: no controls, no menu, the system's dialog class, a caption.
#pragma pack(push, 2)
struct alignas(4) DialogTemplate {
    DLGTEMPLATE header;
    WORD menu, windowClass;
    wchar_t title[32];
};
#pragma pack(pop)

// Makes every window on the calling thread, which must serve its messages; the top window gets
// its caption last.
inline Windows Make(int items) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW cls = {};
    cls.hInstance = instance;
    cls.lpfnWndProc = FinderWindowProc;
    for (const wchar_t* name : {kTopClass, kItemClass, kDocumentClass, kPopupClass, kPanelClass}) {
        cls.lpszClassName = name;
        RegisterClassW(&cls);  // a second registration of the same class fails harmlessly
    }
    Windows made;
    made.top = CreateWindowExW(0, kTopClass, L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60, 60, 500, 400, nullptr,
                               nullptr, instance, nullptr);
    for (const Node& node : kTree) {
        const HWND parent = node.parent < 0 ? made.top : made.tree[static_cast<size_t>(node.parent)];
        const DWORD style = WS_CHILD | (node.visible ? WS_VISIBLE : 0);
        made.tree.push_back(CreateWindowExW(0, node.className, node.caption, style, 5, 5, 200, 150, parent,
                                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(node.id)), instance,
                                            nullptr));
    }
    for (int i = 1; i <= items; ++i) {
        made.items.push_back(CreateWindowExW(0, kItemClass, ItemCaption(i).c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 100,
                                             80, nullptr, nullptr, instance, nullptr));
    }
    made.renamed = CreateWindowExW(0, kDocumentClass, L"Untitled - Finder target", WS_OVERLAPPEDWINDOW, 0, 0, 200,
                                   100, nullptr, nullptr, instance, nullptr);
    SetWindowTextW(made.renamed, kRenamedCaption);
    made.wide = CreateWindowExW(0, kDocumentClass, kWideCaption, WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                                nullptr, instance, nullptr);
    // Owned by the top window: a pop-up shown without taking the foreground, a tool window and a
    // dialog, both hidden.
    made.popup = CreateWindowExW(0, kPopupClass, kPopupCaption, WS_POPUP | WS_CAPTION, 80, 80, 200, 100, made.top,
                                 nullptr, instance, nullptr);
    ShowWindow(made.popup, SW_SHOWNOACTIVATE);
    made.tool = CreateWindowExW(WS_EX_TOOLWINDOW, kPopupClass, kToolCaption, WS_POPUP | WS_CAPTION, 90, 90, 150, 80,
                                made.top, nullptr, instance, nullptr);
    DialogTemplate dialog = {{WS_POPUP | WS_CAPTION | DS_MODALFRAME, 0, 0, 10, 10, 120, 60}, 0, 0, {}};
    lstrcpynW(dialog.title, kDialogCaption, 32);
    made.dialog = CreateDialogIndirectParamW(instance, &dialog.header, made.top, FinderDialogProc, 0);
    SetWindowTextW(made.top, kTopCaption);
    return made;
}

}  // namespace wrang::test::finder_target
