// The watch target's control window and the commands it takes, in the watch target's process
// (wrang_target --watch, tests/target/WatchTarget.cpp) or on a window thread of a test's own. Each
// command acts on the one watched window at once; kCreate replaces it and answers its handle.
#pragma once

#include <windows.h>

namespace wrang::test::watch {

constexpr wchar_t kControlClass[] = L"WrangWatchControl";
constexpr char kControlClassA[] = "WrangWatchControl";
constexpr wchar_t kWatchedClass[] = L"WrangWatched";
// "Watched", or "Watched N" for the number N in wParam of kCreate.
constexpr wchar_t kWatchedCaption[] = L"Watched";
constexpr wchar_t kRenamedCaption[] = L"Renamed";
constexpr wchar_t kChildCaption[] = L"Child";  // a "Button" child
// The event that ends a hang, or the busy start: this name followed by the target's process id.
constexpr wchar_t kReleaseEvent[] = L"WrangWatchRelease.";
constexpr DWORD kLongestHangMs = 60000;

constexpr UINT kCreate = WM_APP + 1;  // wParam: the number in the caption, 0 for none
constexpr UINT kDestroy = WM_APP + 2;
constexpr UINT kShow = WM_APP + 3;    // wParam: the show command
constexpr UINT kEnable = WM_APP + 4;  // wParam: TRUE or FALSE
constexpr UINT kRename = WM_APP + 5;  // to kRenamedCaption
constexpr UINT kCreateChild = WM_APP + 6;
constexpr UINT kHang = WM_APP + 7;  // sent: answers, then takes no message until released (wParam ms at most)

inline HWND g_watched = nullptr;
inline HANDLE g_release = nullptr;  // the release event, in the watch target's process

// The counter when the window was asked for, kept in its extra bytes before its caption is set: a
// window found by its caption already carries the moment it was made (the benchmark's wake-up).
inline LRESULT CALLBACK WatchedProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* made = static_cast<const LARGE_INTEGER*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongW(hWnd, 0, static_cast<LONG>(made->LowPart));
        SetWindowLongW(hWnd, 4, made->HighPart);
    }
    return DefWindowProcW(hWnd, message, wParam, lParam);
}

inline LRESULT CALLBACK ControlProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kCreate: {
        if (g_watched) DestroyWindow(g_watched);
        wchar_t caption[32];
        wsprintfW(caption, wParam ? L"%ls %u" : L"%ls", kWatchedCaption, static_cast<unsigned>(wParam));
        LARGE_INTEGER made;
        QueryPerformanceCounter(&made);
        g_watched = CreateWindowExW(0, kWatchedClass, caption, WS_OVERLAPPEDWINDOW, 40, 40, 300, 200, nullptr, nullptr,
                                    GetModuleHandleW(nullptr), &made);
        return reinterpret_cast<LRESULT>(g_watched);
    }
    case kDestroy:
        if (g_watched) DestroyWindow(g_watched);
        g_watched = nullptr;
        return 0;
    case kShow: return ShowWindow(g_watched, static_cast<int>(wParam));
    case kEnable: return EnableWindow(g_watched, static_cast<BOOL>(wParam));
    case kRename: return SetWindowTextW(g_watched, kRenamedCaption);
    case kCreateChild:
        return reinterpret_cast<LRESULT>(CreateWindowExW(0, L"Button", kChildCaption, WS_CHILD | WS_VISIBLE, 5, 5, 80,
                                                         24, g_watched, nullptr, GetModuleHandleW(nullptr), nullptr));
    case kHang:
        ReplyMessage(TRUE);
        WaitForSingleObject(g_release, static_cast<DWORD>(wParam));
        return 0;
    }
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(hWnd, message, wParam, lParam);
}

// The control window, on the calling thread, which must serve its messages.
inline HWND CreateControl() {
    WNDCLASSW cls = {};
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.lpfnWndProc = ControlProc;
    cls.lpszClassName = kControlClass;
    RegisterClassW(&cls);
    cls.lpfnWndProc = WatchedProc;
    cls.lpszClassName = kWatchedClass;
    cls.cbWndExtra = 8;
    RegisterClassW(&cls);
    return CreateWindowExW(0, kControlClass, L"Watch control", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                           cls.hInstance, nullptr);
}

}  // namespace wrang::test::watch
