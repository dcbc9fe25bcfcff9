// The input target's windows and menu bar (wrang_target --input, tests/target/InputTarget.cpp), in
// its process or on a window thread of a test's own: a multi-line edit control behind a window in
// front, and a menu bar whose window decides on opening which entry is enabled.
#pragma once

#include <windows.h>

namespace wrang::test::input {

constexpr char kTargetClass[] = "WrangInputTarget";
constexpr wchar_t kTargetClassW[] = L"WrangInputTarget";
constexpr wchar_t kFrontClassW[] = L"WrangInputFront";
// The caption a chosen menu command gives the target's window: this, then the command's number.
constexpr wchar_t kCommandCaption[] = L"Command ";
// The event that ends a stall (--stall-at C): this name followed by the target's process id.
constexpr wchar_t kReleaseEvent[] = L"WrangInputRelease.";
constexpr DWORD kLongestStallMs = 60000;

// The menu bar:
//   0 "&File" ─┬─ 0 "&New\tCtrl+N"   kNew
//              ├─ 1 "Save &As..."    kSaveAs
//              ├─ 2 "&Export"        kExport  grayed, enabled when the File menu opens
//              ├─ 3 "&Locked"        kLocked  grayed and disabled
//              ├─ 4 separator
//              └─ 5 "&Recent" ─┬─ 0 "First"   kFirst
//                              └─ 1 "Second"  kSecond
//   1 "&Edit" ── 0 "Select &All\tCtrl+A"      kSelectAll
//   2 "&Help"                                 kHelp (a command of the bar itself)
constexpr UINT kNew = 101, kSaveAs = 102, kExport = 103, kLocked = 104, kFirst = 111, kSecond = 112;
constexpr UINT kSelectAll = 201, kHelp = 301;

inline HMENU MakeMenuBar() {
    HMENU bar = CreateMenu(), file = CreatePopupMenu(), recent = CreatePopupMenu(), edit = CreatePopupMenu();
    AppendMenuW(recent, MF_STRING, kFirst, L"First");
    AppendMenuW(recent, MF_STRING, kSecond, L"Second");
    AppendMenuW(file, MF_STRING, kNew, L"&New\tCtrl+N");
    AppendMenuW(file, MF_STRING, kSaveAs, L"Save &As...");
    AppendMenuW(file, MF_STRING | MF_GRAYED, kExport, L"&Export");
    AppendMenuW(file, MF_STRING | MF_GRAYED | MF_DISABLED, kLocked, L"&Locked");
    AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(file, MF_POPUP, reinterpret_cast<UINT_PTR>(recent), L"&Recent");
    AppendMenuW(edit, MF_STRING, kSelectAll, L"Select &All\tCtrl+A");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(edit), L"&Edit");
    AppendMenuW(bar, MF_STRING, kHelp, L"&Help");
    return bar;
}

// What the window does when its menu opens, as an application that decides then which entries
// apply: "Export" is grayed when the menu bar opens and enabled when the File menu does. True
// for a message it handled (its answer is 0).
inline bool AnswerMenuOpening(HWND window, UINT message, WPARAM wParam) {
    const HMENU file = GetSubMenu(GetMenu(window), 0);
    const bool opening = message == WM_INITMENU;
    if (!opening && (message != WM_INITMENUPOPUP || reinterpret_cast<HMENU>(wParam) != file)) return false;
    EnableMenuItem(file, kExport, MF_BYCOMMAND | (opening ? MF_GRAYED : MF_ENABLED));
    return true;
}

}  // namespace wrang::test::input
