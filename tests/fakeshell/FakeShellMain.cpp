// wrang_fakeshell.exe: a stand-in for the shell's notification area, in a process of its own, with
// the real window chain and a real common-controls toolbar.
//   wrang_fakeshell [--button TEXT]... [--long N] [--buttons N [--text-length L]] [--no-pager]
// Buttons get the command identifiers 100, 101, ... in the order given; without --button the
// shell shows three default buttons. --long adds a button whose text has N code units. --buttons
// adds N buttons, after the others, whose texts have L code units each (60 by default) and differ
// from one button to the next (for the benchmark's large toolbars). --no-pager puts the toolbar
// directly under "TrayNotifyWnd".
//
// Only one fake shell runs at a time (tests in other processes and scripts would otherwise find
// each other's): the shell waits for a named mutex before it makes any window, and ends on its own
// after a while so that a forgotten one never blocks the next.
//
// The top-level window gets its caption when everything is in place: "Wrang fake shell", or
// "Wrang fake shell, default buttons" without --button (a script that cannot pass options can
// tell its own shell from one a test started).
// Tests ask about its toolbar from outside with integer messages to the "Shell_TrayWnd" window,
// answered here from the toolbar itself, so the checks do not depend on the code under test:
//   kQueryCommand (WM_APP+1), wParam index: command identifier at that index, -1 for none
//   kQueryHidden  (WM_APP+2), wParam index: 1 hidden, 0 shown, -1 for none
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <string>
#include <vector>

namespace {

constexpr UINT kQueryCommand = WM_APP + 1;
constexpr UINT kQueryHidden = WM_APP + 2;
constexpr UINT_PTR kLifetimeTimer = 1;
constexpr UINT kLifetimeMs = 150000;
constexpr int kFirstCommand = 100;

HWND g_toolbar = nullptr;

LRESULT CALLBACK ShellProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kQueryCommand:
    case kQueryHidden: {
        TBBUTTON button = {};
        if (!SendMessageW(g_toolbar, TB_GETBUTTON, wParam, reinterpret_cast<LPARAM>(&button))) return -1;
        if (message == kQueryCommand) return button.idCommand;
        return (button.fsState & TBSTATE_HIDDEN) ? 1 : 0;
    }
    case WM_TIMER:
        DestroyWindow(hWnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hWnd, message, wParam, lParam);
}

HWND MakeWindow(const wchar_t* className, HWND parent, WNDPROC proc) {
    WNDCLASSW cls = {};
    cls.lpfnWndProc = proc ? proc : DefWindowProcW;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.lpszClassName = className;
    RegisterClassW(&cls);
    const DWORD style = parent ? WS_CHILD | WS_VISIBLE : WS_POPUP;
    return CreateWindowExW(0, className, L"", style, 0, 0, 400, 30, parent,
                           nullptr, cls.hInstance, nullptr);
}

// A shell that is already there (with a display, the platform's own) must not be found first.
void ComeFirst(HWND own) {
    for (int tries = 0; tries < 20; ++tries) {
        HWND found = FindWindowW(L"Shell_TrayWnd", nullptr);
        if (!found || found == own) return;
        SetWindowPos(found, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        SetWindowPos(own, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::vector<std::wstring> texts;
    bool pager = true, explicitButtons = false;
    int manyButtons = 0, manyLength = 60;
    for (int i = 1; i < argc; ++i) {
        const std::wstring option = argv[i];
        if (option == L"--button" && i + 1 < argc) {
            texts.push_back(argv[++i]);
            explicitButtons = true;
        } else if (option == L"--long" && i + 1 < argc) {
            const int length = _wtoi(argv[++i]);
            std::wstring text;
            for (int k = 0; k < length; ++k) text.push_back(static_cast<wchar_t>(L'a' + k % 26));
            texts.push_back(text);
            explicitButtons = true;
        } else if (option == L"--buttons" && i + 1 < argc) {
            manyButtons = _wtoi(argv[++i]);
            explicitButtons = true;
        } else if (option == L"--text-length" && i + 1 < argc) {
            manyLength = _wtoi(argv[++i]);
        } else if (option == L"--no-pager") {
            pager = false;
        } else {
            return 2;
        }
    }
    for (int b = 0; b < manyButtons; ++b) {
        std::wstring text;
        for (int k = 0; k < manyLength; ++k) text.push_back(static_cast<wchar_t>(L'A' + (b + k) % 26));
        texts.push_back(text);
    }
    if (!explicitButtons) texts = {L"Volume", L"Network", L"Clock"};

    HANDLE turn = CreateMutexW(nullptr, FALSE, L"WrangFakeShellTurn");
    const DWORD waited = WaitForSingleObject(turn, kLifetimeMs);
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) return 3;

    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);

    HWND shell = MakeWindow(L"Shell_TrayWnd", nullptr, ShellProc);
    HWND notify = MakeWindow(L"TrayNotifyWnd", shell, nullptr);
    HWND toolbarParent = pager ? MakeWindow(L"SysPager", notify, nullptr) : notify;
    g_toolbar = CreateWindowExW(0, TOOLBARCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | TBSTYLE_LIST, 0, 0,
                                400, 30, toolbarParent, nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(g_toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    // Texts given by address, so that each record's iString is an address in this process.
    std::vector<TBBUTTON> buttons(texts.size());
    for (size_t i = 0; i < texts.size(); ++i) {
        buttons[i].iBitmap = I_IMAGENONE;
        buttons[i].idCommand = kFirstCommand + static_cast<int>(i);
        buttons[i].fsState = TBSTATE_ENABLED;
        buttons[i].fsStyle = BTNS_BUTTON;
        buttons[i].iString = reinterpret_cast<INT_PTR>(texts[i].c_str());
    }
    if (!buttons.empty())
        SendMessageW(g_toolbar, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    ComeFirst(shell);
    // The caption tells tests and scripts that the whole chain and every button are in place.
    SetWindowTextW(shell, explicitButtons ? L"Wrang fake shell" : L"Wrang fake shell, default buttons");
    SetTimer(shell, kLifetimeTimer, kLifetimeMs, nullptr);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    ReleaseMutex(turn);
    CloseHandle(turn);
    LocalFree(argv);
    return 0;
}
