// wrang_target --input [--stall-at C]: the input target of support/InputCommands.h. A window with
// the menu bar there and a multi-line Unicode edit control, and in front of it another window that
// has the focus. A command chosen from the menu becomes the window's caption ("Command 101"). With
// --stall-at the edit control stops taking messages when it is given the character C, until the
// release event or a minute has passed.
#include <windows.h>

#include <cstring>

#include "../support/InputCommands.h"

namespace {

using namespace wrang::test::input;

WNDPROC g_editProc = nullptr;
wchar_t g_stallAt = 0;
HANDLE g_release = nullptr;

LRESULT CALLBACK TargetProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (AnswerMenuOpening(hWnd, message, wParam)) return 0;
    if (message == WM_COMMAND && HIWORD(wParam) == 0 && lParam == 0) {
        wchar_t caption[32];
        wsprintfW(caption, L"%ls%u", kCommandCaption, static_cast<unsigned>(LOWORD(wParam)));
        SetWindowTextW(hWnd, caption);
        return 0;
    }
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(hWnd, message, wParam, lParam);
}

LRESULT CALLBACK StallingEditProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CHAR && g_stallAt && wParam == g_stallAt) WaitForSingleObject(g_release, kLongestStallMs);
    return CallWindowProcW(g_editProc, hWnd, message, wParam, lParam);
}

}  // namespace

int RunInputTarget(int argc, char** argv) {
    for (int i = 2; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--stall-at") == 0) g_stallAt = static_cast<unsigned char>(argv[i + 1][0]);
    }
    wchar_t release[64];
    wsprintfW(release, L"%ls%lu", kReleaseEvent, GetCurrentProcessId());
    g_release = CreateEventW(nullptr, FALSE, FALSE, release);
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    // Registered wide, so that the window and its edit control take UTF-16 characters.
    WNDCLASSW cls = {};
    cls.lpfnWndProc = TargetProc;
    cls.hInstance = instance;
    cls.lpszClassName = kTargetClassW;
    RegisterClassW(&cls);
    cls.lpfnWndProc = DefWindowProcW;
    cls.lpszClassName = kFrontClassW;
    RegisterClassW(&cls);
    HWND top = CreateWindowExW(0, kTargetClassW, L"Input target", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 420, 320,
                               nullptr, MakeMenuBar(), instance, nullptr);
    HWND edit = CreateWindowExW(0, L"Edit", L"", WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL,
                                5, 5, 380, 200, top, nullptr, instance, nullptr);
    SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);  // the most the control holds
    g_editProc =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&StallingEditProc)));
    HWND front = CreateWindowExW(0, kFrontClassW, L"In front", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60, 60, 300, 200,
                                 nullptr, nullptr, instance, nullptr);
    SetForegroundWindow(front);
    SetFocus(front);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
