// wrang_target.exe: a separate application with real windows for the tests.
//   wrang_target --window CLASS CAPTION   a top-level window with an edit child and a button
//       [--slow MS]                       that takes keys at a fixed pace: MS after each key-down
//       [--stall-at C]                    that stops taking input for a minute at the character C
//                                         (with either, the edit control takes a line of any length)
//       [--listbox]                       and a Unicode list box holding one entry, kListEntry
//   wrang_target --lists [--rows N]       list boxes, list views, tabs, a header, a status bar and
//                                         trees (tests/target/ListsTarget.cpp)
//   wrang_target --idle                   no window; keeps Wine's session alive for the test run
//   wrang_target --watch [--busy]         windows that change on command (tests/target/WatchTarget.cpp)
//   wrang_target --finder [--items N]     top-level windows of many kinds and a deep child tree
//                                         (tests/target/FinderTarget.cpp)
//   wrang_target --input [--stall-at C]   an edit control behind another window, and a menu bar
//                                         (tests/target/InputTarget.cpp)
//   wrang_target                          (no arguments, as a script's "needs:" line starts it)
//                                         "WrangScriptTarget" with controls whose text only their
//                                         window procedure knows
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "ListsContents.h"

namespace {

LRESULT CALLBACK TargetProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

struct Typing {
    DWORD pauseAfterKeyMs = 0;
    char stallAt = 0;
};

constexpr wchar_t kListEntry[] = L"Wrang list entry";

int RunWindow(const char* className, const char* caption, const Typing& typing, bool listBox) {
    WNDCLASSA cls = {};
    cls.lpfnWndProc = TargetProc;
    cls.hInstance = GetModuleHandleA(nullptr);
    cls.lpszClassName = className;
    RegisterClassA(&cls);
    HWND top = CreateWindowExA(0, className, caption, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 400, 300, nullptr,
                               nullptr, cls.hInstance, nullptr);
    const DWORD scrolls = typing.pauseAfterKeyMs || typing.stallAt ? ES_AUTOHSCROLL : 0;
    CreateWindowExA(0, "Edit", "target text", WS_CHILD | WS_VISIBLE | scrolls, 5, 5, 200, 24, top, nullptr,
                    cls.hInstance, nullptr);
    CreateWindowExA(0, "Button", "OK", WS_CHILD | WS_VISIBLE, 5, 40, 80, 24, top, nullptr, cls.hInstance, nullptr);
    if (listBox) {
        HWND list = CreateWindowExW(0, L"ListBox", L"", WS_CHILD | WS_VISIBLE | LBS_HASSTRINGS, 5, 70, 200, 60, top,
                                    nullptr, cls.hInstance, nullptr);
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kListEntry));
    }
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
        if (msg.message == WM_KEYDOWN && typing.pauseAfterKeyMs) Sleep(typing.pauseAfterKeyMs);
        if (msg.message == WM_CHAR && typing.stallAt && msg.wParam == static_cast<BYTE>(typing.stallAt)) {
            Sleep(60000);
        }
    }
    return 0;
}

// A control with no stored caption that answers the text messages itself: another process sees
// no text through GetWindowText, only through WM_GETTEXTLENGTH and WM_GETTEXT. With `broken` it
// answers WM_GETTEXTLENGTH with -1.
struct OwnText {
    const char* text;
    bool broken;
};

LRESULT CALLBACK OwnTextProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto* own = reinterpret_cast<const OwnText*>(GetWindowLongPtrA(hWnd, GWLP_USERDATA));
    if (own && message == WM_GETTEXTLENGTH) return own->broken ? -1 : lstrlenA(own->text);
    if (own && message == WM_GETTEXT) {
        if (wParam == 0) return 0;
        lstrcpynA(reinterpret_cast<char*>(lParam), own->text, static_cast<int>(wParam));
        return lstrlenA(reinterpret_cast<char*>(lParam));
    }
    if (message == WM_SETTEXT) return TRUE;  // keeps the stored caption empty
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

int RunScriptTarget() {
    static const OwnText exact = {"text of the window procedure", false};
    static const OwnText broken = {"unreachable", true};
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA cls = {};
    cls.lpfnWndProc = TargetProc;
    cls.hInstance = instance;
    cls.lpszClassName = "WrangScriptTarget";
    RegisterClassA(&cls);
    cls.lpfnWndProc = OwnTextProc;
    cls.lpszClassName = "WrangOwnText";
    RegisterClassA(&cls);
    // Named only once its controls exist, so that whoever waits for the caption finds them all.
    HWND top = CreateWindowExA(0, "WrangScriptTarget", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 30, 30, 400, 300, nullptr,
                               nullptr, instance, nullptr);
    int y = 5;
    for (const OwnText* own : {&exact, &broken}) {
        HWND control = CreateWindowExA(0, "WrangOwnText", "", WS_CHILD | WS_VISIBLE, 5, y, 200, 24, top, nullptr,
                                       instance, nullptr);
        SetWindowLongPtrA(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(own));
        y += 30;
    }
    SetWindowTextA(top, "Script target");
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}

}  // namespace

int RunWatchTarget(int argc, char** argv);  // tests/target/WatchTarget.cpp
int RunFinderTarget(int argc, char** argv);  // tests/target/FinderTarget.cpp
int RunInputTarget(int argc, char** argv);   // tests/target/InputTarget.cpp

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (__argc >= 2 && std::strcmp(__argv[1], "--watch") == 0) return RunWatchTarget(__argc, __argv);
    if (__argc >= 2 && std::strcmp(__argv[1], "--finder") == 0) return RunFinderTarget(__argc, __argv);
    if (__argc >= 2 && std::strcmp(__argv[1], "--input") == 0) return RunInputTarget(__argc, __argv);
    if (__argc >= 4 && std::strcmp(__argv[1], "--window") == 0) {
        Typing typing;
        bool listBox = false;
        for (int i = 4; i < __argc; ++i) {
            if (std::strcmp(__argv[i], "--listbox") == 0) listBox = true;
            if (i + 1 == __argc) break;
            if (std::strcmp(__argv[i], "--slow") == 0)
                typing.pauseAfterKeyMs = static_cast<DWORD>(std::atoi(__argv[++i]));
            else if (std::strcmp(__argv[i], "--stall-at") == 0)
                typing.stallAt = __argv[++i][0];
        }
        return RunWindow(__argv[2], __argv[3], typing, listBox);
    }
    if (__argc >= 2 && std::strcmp(__argv[1], "--idle") == 0) {
        Sleep(INFINITE);
        return 0;
    }
    if (__argc >= 2 && std::strcmp(__argv[1], "--lists") == 0)
        return wrang::lists_target::RunListsTarget(__argc, __argv);
    if (__argc == 1) return RunScriptTarget();
    return 1;
}
