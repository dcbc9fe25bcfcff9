// wrang_target.exe: a separate application with real windows for the tests.
//   wrang_target --window CLASS CAPTION   a top-level window with an edit child and a button
//   wrang_target --idle                   no window; keeps Wine's session alive for the test run
#include <windows.h>

#include <cstdlib>
#include <cstring>

namespace {

LRESULT CALLBACK TargetProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

int RunWindow(const char* className, const char* caption) {
    WNDCLASSA cls = {};
    cls.lpfnWndProc = TargetProc;
    cls.hInstance = GetModuleHandleA(nullptr);
    cls.lpszClassName = className;
    RegisterClassA(&cls);
    HWND top = CreateWindowExA(0, className, caption, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 400,
                               300, nullptr, nullptr, cls.hInstance, nullptr);
    CreateWindowExA(0, "Edit", "target text", WS_CHILD | WS_VISIBLE, 5, 5, 200, 24, top, nullptr,
                    cls.hInstance, nullptr);
    CreateWindowExA(0, "Button", "OK", WS_CHILD | WS_VISIBLE, 5, 40, 80, 24, top, nullptr,
                    cls.hInstance, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (__argc >= 4 && std::strcmp(__argv[1], "--window") == 0) return RunWindow(__argv[2], __argv[3]);
    if (__argc >= 2 && std::strcmp(__argv[1], "--idle") == 0) {
        Sleep(INFINITE);
        return 0;
    }
    return 1;
}
