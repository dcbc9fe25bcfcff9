// wrang_fakeshell.exe: a stand-in for the shell's notification area, in a process of its own, with
// the real window chain and a real common-controls toolbar.
//   wrang_fakeshell [--button TEXT]... [--long N] [--buttons N [--text-length L]] [--no-pager]
//                   [--lie HOW] [--exit-after N] [--lifetime SECONDS]
// Buttons get the command identifiers 100, 101, ... in the order given; without --button the
// shell shows three default buttons. --long adds a button whose text has N code units. --buttons
// adds N buttons, after the others, whose texts have L code units each (60 by default) and differ
// from one button to the next (for the benchmark's large toolbars). --no-pager puts the toolbar
// directly under "TrayNotifyWnd".
// A hostile shell, for the tests of what the component does when the other side misbehaves:
//   --lie unmapped-text   every button record's text address points at memory that is not there
//   --lie unterminated    every text runs to the end of a page with no terminator; the next page
//                         is not there
//   --lie refuse-size     the toolbar refuses the record size and every record request
//   --lie count-changes   the button count answers 3, 1, 3, 1, ... on successive requests
//   --lie negative-count  the button count answers -5
//   --exit-after N        the process ends, without answering, on the Nth button-record request
// --lifetime sets how long the shell lives before it ends on its own (default 150 seconds), for a
// long soak.
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

// The hostile options: the toolbar's own procedure is wrapped to answer falsely.
enum class Lie { None, UnmappedText, Unterminated, RefuseSize, CountChanges, NegativeCount };
Lie g_lie = Lie::None;
int g_exitAfter = 0;  // 0: never
int g_recordRequests = 0;
int g_countRequests = 0;
WNDPROC g_toolbarProc = nullptr;
ULONG_PTR g_unmappedText = 0;      // reserved address space with nothing committed
ULONG_PTR g_unterminatedText = 0;  // text units up to the end of a committed page

void PrepareLies() {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    const SIZE_T page = info.dwPageSize;
    g_unmappedText = reinterpret_cast<ULONG_PTR>(VirtualAlloc(nullptr, page, MEM_RESERVE, PAGE_NOACCESS));
    auto* pages = static_cast<char*>(VirtualAlloc(nullptr, 2 * page, MEM_RESERVE, PAGE_NOACCESS));
    VirtualAlloc(pages, page, MEM_COMMIT, PAGE_READWRITE);
    auto* units = reinterpret_cast<wchar_t*>(pages);
    for (SIZE_T i = 0; i < page / sizeof(wchar_t); ++i) units[i] = L'x';
    // The last 8 units of the first page: "xxxxxxxx" and then nothing readable.
    g_unterminatedText = reinterpret_cast<ULONG_PTR>(pages + page - 8 * sizeof(wchar_t));
}

LRESULT CALLBACK LyingToolbarProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case TB_GETBUTTON: {
        if (g_exitAfter > 0 && ++g_recordRequests >= g_exitAfter) ExitProcess(0);
        if (g_lie == Lie::RefuseSize) return FALSE;
        const LRESULT answer = CallWindowProcW(g_toolbarProc, hWnd, message, wParam, lParam);
        auto* record = reinterpret_cast<TBBUTTON*>(lParam);
        if (answer && record && g_lie == Lie::UnmappedText) record->iString = static_cast<INT_PTR>(g_unmappedText);
        if (answer && record && g_lie == Lie::Unterminated) record->iString = static_cast<INT_PTR>(g_unterminatedText);
        return answer;
    }
    case TB_BUTTONSTRUCTSIZE:
        if (g_lie == Lie::RefuseSize) return 0;
        break;
    case TB_BUTTONCOUNT:
        if (g_lie == Lie::NegativeCount) return -5;
        if (g_lie == Lie::CountChanges) return (g_countRequests++ % 2) ? 1 : 3;
        break;
    }
    return CallWindowProcW(g_toolbarProc, hWnd, message, wParam, lParam);
}

LRESULT CALLBACK ShellProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kQueryCommand:
    case kQueryHidden: {
        TBBUTTON button = {};
        if (!SendMessageW(g_toolbar, TB_GETBUTTON, wParam, reinterpret_cast<LPARAM>(&button))) return -1;
        if (message == kQueryCommand) return button.idCommand;
        return (button.fsState & TBSTATE_HIDDEN) ? 1 : 0;
    }
    case WM_TIMER: DestroyWindow(hWnd); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
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
    return CreateWindowExW(0, className, L"", style, 0, 0, 400, 30, parent, nullptr, cls.hInstance, nullptr);
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
    UINT lifetimeMs = kLifetimeMs;
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
        } else if (option == L"--lie" && i + 1 < argc) {
            const std::wstring how = argv[++i];
            if (how == L"unmapped-text")
                g_lie = Lie::UnmappedText;
            else if (how == L"unterminated")
                g_lie = Lie::Unterminated;
            else if (how == L"refuse-size")
                g_lie = Lie::RefuseSize;
            else if (how == L"count-changes")
                g_lie = Lie::CountChanges;
            else if (how == L"negative-count")
                g_lie = Lie::NegativeCount;
            else
                return 2;
        } else if (option == L"--exit-after" && i + 1 < argc) {
            g_exitAfter = _wtoi(argv[++i]);
        } else if (option == L"--lifetime" && i + 1 < argc) {
            lifetimeMs = static_cast<UINT>(_wtoi(argv[++i])) * 1000u;
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
    g_toolbar = CreateWindowExW(0, TOOLBARCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | TBSTYLE_LIST, 0, 0, 400, 30,
                                toolbarParent, nullptr, GetModuleHandleW(nullptr), nullptr);
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
    if (g_lie != Lie::None || g_exitAfter > 0) {
        PrepareLies();
        g_toolbarProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(g_toolbar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LyingToolbarProc)));
    }
    ComeFirst(shell);
    // The caption tells tests and scripts that the whole chain and every button are in place.
    SetWindowTextW(shell, explicitButtons ? L"Wrang fake shell" : L"Wrang fake shell, default buttons");
    SetTimer(shell, kLifetimeTimer, lifetimeMs, nullptr);

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
