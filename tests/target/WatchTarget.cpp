// wrang_target --watch [--busy]: a process whose windows change when the test says so, for the
// watcher's waits. A hidden control window takes the commands of support/WatchCommands.h. With
// --busy the process takes no message until it is released (the release event), so that it is
// not yet waiting for input.
#include <windows.h>

#include <cstring>

#include "../support/WatchCommands.h"

namespace {

HWND g_watched = nullptr;
HANDLE g_release = nullptr;

// The counter when the window was asked for, kept in its extra bytes before its caption is set: a
// window found by its caption already carries the moment it was made (the benchmark's wake-up).
LRESULT CALLBACK WatchedProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* made = static_cast<const LARGE_INTEGER*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongW(hWnd, 0, static_cast<LONG>(made->LowPart));
        SetWindowLongW(hWnd, 4, made->HighPart);
    }
    return DefWindowProcW(hWnd, message, wParam, lParam);
}

LRESULT CALLBACK ControlProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    using namespace wrang::test::watch;
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
        // The sender goes on; this thread then takes no message until it is released, for wParam
        // milliseconds at most.
        ReplyMessage(TRUE);
        WaitForSingleObject(g_release, static_cast<DWORD>(wParam));
        return 0;
    }
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(hWnd, message, wParam, lParam);
}

}  // namespace

int RunWatchTarget(int argc, char** argv) {
    using namespace wrang::test::watch;
    const bool busy = argc >= 3 && std::strcmp(argv[2], "--busy") == 0;
    wchar_t release[64];
    wsprintfW(release, L"%ls%lu", kReleaseEvent, GetCurrentProcessId());
    g_release = CreateEventW(nullptr, FALSE, FALSE, release);
    WNDCLASSW cls = {};
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.lpfnWndProc = ControlProc;
    cls.lpszClassName = kControlClass;
    RegisterClassW(&cls);
    cls.lpfnWndProc = WatchedProc;
    cls.lpszClassName = kWatchedClass;
    cls.cbWndExtra = 8;
    RegisterClassW(&cls);
    CreateWindowExW(0, kControlClass, L"Watch control", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                    cls.hInstance, nullptr);
    if (busy) WaitForSingleObject(g_release, kLongestHangMs);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
