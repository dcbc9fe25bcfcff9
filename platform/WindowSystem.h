// The one narrow layer through which the component reaches the window manager, the kernel and the
// runtime services. Window and menu handles cross it as the 32-bit numbers the component stores
// and hands to its clients as Long: the window manager keeps such handles 32-bit significant in
// 64-bit processes too (so that 32-bit and 64-bit programs can share them), and widens them by
// sign extension. Everything else that is an address or may carry one (message parameters and
// answers, process handles, memory in another process) keeps its full width. Only the Win32
// implementation turns the numbers back into typed handles. Tests install a derived implementation
// (a recorder, or one that fails) with ScopedWindowSystem for what the real system cannot produce.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include "platform/Resource.h"

namespace wrang::platform {

// An address inside another process. That process may be wider than this one (a 32-bit component
// reading a 64-bit shell), so the address is 64 bits in both builds; ReadProcessMemory fails for
// one this process cannot name.
using ForeignAddress = ULONG64;

// Whether this process can pass `address` to a memory call of its own.
constexpr bool Reachable(ForeignAddress address) noexcept {
    return address <= static_cast<ForeignAddress>(static_cast<ULONG_PTR>(-1));
}

// The key-string service's own failures; any other failure is the system's status.
constexpr HRESULT kKeyStringMalformed = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_WIN32, ERROR_INVALID_DATA);
constexpr HRESULT kKeysNotTaken = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_WIN32, ERROR_TIMEOUT);

class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    // Lookup and tree. The texts of windows, classes and menu entries cross in UTF-16, so that no
    // character is lost. The ANSI calls stay where the bytes are the point: the messages a caller
    // composes, the key messages of characters of the ANSI code page, and the ASCII class names
    // of the shell's windows.
    virtual LONG FindWindowW(const wchar_t* className, const wchar_t* windowName) = 0;
    virtual LONG FindWindowExW(LONG parent, LONG childAfter, const wchar_t* className, const wchar_t* windowName) = 0;
    virtual LONG FindWindowA(const char* className, const char* windowName) = 0;
    virtual LONG FindWindowExA(LONG parent, LONG childAfter, const char* className, const char* windowName) = 0;
    virtual LONG GetParent(LONG hWnd) = 0;
    virtual LONG SetParent(LONG child, LONG newParent) = 0;
    virtual BOOL IsWindow(LONG hWnd) = 0;
    // The window in `relation` (GW_HWNDPREV, GW_HWNDNEXT, GW_HWNDLAST, GW_CHILD) to hWnd in the
    // window tree itself, where a top-level window's parent is the desktop window; 0 for none.
    virtual LONG GetWindow(LONG hWnd, UINT relation) = 0;
    virtual LONG GetAncestor(LONG hWnd, UINT relation) = 0;
    virtual LONG GetDesktopWindow() = 0;
    // Calls `callback` for each top-level window, front to back, until it answers FALSE.
    virtual BOOL EnumWindows(WNDENUMPROC callback, LPARAM state) = 0;

    // Attributes
    virtual int GetClassNameW(LONG hWnd, wchar_t* buffer, int size) = 0;
    virtual int GetWindowTextLengthW(LONG hWnd) = 0;
    virtual int GetWindowTextW(LONG hWnd, wchar_t* buffer, int size) = 0;
    virtual BOOL GetWindowRect(LONG hWnd, RECT* rect) = 0;
    virtual BOOL GetClientRect(LONG hWnd, RECT* rect) = 0;
    virtual BOOL SetWindowPos(LONG hWnd, LONG insertAfter, int x, int y, int cx, int cy, UINT flags) = 0;
    virtual BOOL IsWindowEnabled(LONG hWnd) = 0;
    virtual BOOL EnableWindow(LONG hWnd, BOOL enable) = 0;
    virtual BOOL IsWindowVisible(LONG hWnd) = 0;
    virtual BOOL ShowWindow(LONG hWnd, int command) = 0;
    virtual BOOL IsIconic(LONG hWnd) = 0;
    virtual BOOL IsZoomed(LONG hWnd) = 0;
    // Whether the window's procedure takes the wide forms of its messages.
    virtual BOOL IsWindowUnicode(LONG hWnd) = 0;
    // The window's style bits (GWL_STYLE); 0 for no window.
    virtual LONG GetWindowStyle(LONG hWnd) = 0;
    // The identifier a child window was given (the control ID its notifications carry); 0 for none.
    virtual int GetDlgCtrlID(LONG hWnd) = 0;

    // Commands
    virtual BOOL FlashWindow(LONG hWnd, BOOL invert) = 0;
    virtual BOOL InvalidateRect(LONG hWnd, const RECT* rect, BOOL erase) = 0;
    virtual LONG SetFocus(LONG hWnd) = 0;
    virtual BOOL UpdateWindow(LONG hWnd) = 0;

    // Messages and keys
    virtual LRESULT SendMessageA(LONG hWnd, UINT message, WPARAM wParam, LPARAM lParam) = 0;
    virtual BOOL PostMessageA(LONG hWnd, UINT message, WPARAM wParam, LPARAM lParam) = 0;
    virtual LRESULT SendMessageW(LONG hWnd, UINT message, WPARAM wParam, LPARAM lParam) = 0;
    virtual BOOL PostMessageW(LONG hWnd, UINT message, WPARAM wParam, LPARAM lParam) = 0;
    virtual UINT MapVirtualKeyA(UINT code, UINT mapType) = 0;

    // Menus
    virtual LONG GetMenu(LONG hWnd) = 0;
    virtual LONG GetSystemMenu(LONG hWnd, BOOL revert) = 0;
    virtual int GetMenuItemCount(LONG hMenu) = 0;
    virtual UINT GetMenuState(LONG hMenu, UINT item, UINT flags) = 0;
    virtual LONG GetSubMenu(LONG hMenu, int position) = 0;
    virtual UINT GetMenuItemID(LONG hMenu, int position) = 0;
    virtual int GetMenuStringW(LONG hMenu, UINT item, wchar_t* buffer, int size, UINT flags) = 0;
    virtual BOOL ModifyMenuW(LONG hMenu, UINT item, UINT flags, UINT_PTR newItem, const wchar_t* caption) = 0;
    virtual BOOL EnableMenuItem(LONG hMenu, UINT item, UINT flags) = 0;
    virtual DWORD CheckMenuItem(LONG hMenu, UINT item, UINT flags) = 0;

    // Processes and memory
    virtual DWORD GetWindowThreadProcessId(LONG hWnd, DWORD* processId) = 0;
    virtual HANDLE OpenProcess(DWORD access, BOOL inherit, DWORD processId) = 0;
    virtual ForeignAddress VirtualAllocEx(HANDLE process, ForeignAddress address, SIZE_T size, DWORD type,
                                          DWORD protect) = 0;
    virtual BOOL VirtualFreeEx(HANDLE process, ForeignAddress address, SIZE_T size, DWORD type) = 0;
    virtual BOOL ReadProcessMemory(HANDLE process, ForeignAddress address, void* buffer, SIZE_T size,
                                   SIZE_T* bytesRead) = 0;
    // Only ever into a region the component allocated there (platform/ForeignMemory.h).
    virtual BOOL WriteProcessMemory(HANDLE process, ForeignAddress address, const void* bytes, SIZE_T size,
                                    SIZE_T* bytesWritten) = 0;
    virtual BOOL CloseHandle(HANDLE handle) = 0;
    // The size of a pointer in the process: 4 for a 32-bit process (on a 32-bit system, or under
    // WoW64), 8 for a 64-bit one. When the process cannot be asked, this process's own size.
    virtual int ProcessPointerSize(DWORD processId) = 0;
    virtual void Sleep(DWORD milliseconds) = 0;
    // Pages of this process's own memory, for what the component lends a receiver during one call
    // (GuardedPages).
    virtual void* VirtualAlloc(void* address, SIZE_T size, DWORD type, DWORD protect) = 0;
    virtual BOOL VirtualFree(void* address, SIZE_T size, DWORD type) = 0;

    // Runtime: the key-string service. Types the keys into the active window; with wait, returns
    // after the foreground window's thread has processed them, or with kKeysNotTaken once it takes
    // none for five seconds. A malformed string types nothing and is kKeyStringMalformed.
    virtual HRESULT SendKeys(const wchar_t* keys, UINT length, bool wait) = 0;
    // Runtime: a new automation string of `length` units, copied from `text` unless it is null;
    // null when there is no memory for it.
    virtual BSTR AllocString(const wchar_t* text, UINT length) = 0;

    // Waiting with a limit. Window events of a hook out of context, and the answers of sends with a
    // time-out, reach this thread while it waits for input and retrieves its messages; the
    // performance counter is the monotonic clock that measures the limits.
    virtual HWINEVENTHOOK SetWinEventHook(DWORD eventMin, DWORD eventMax, HMODULE module, WINEVENTPROC callback,
                                          DWORD processId, DWORD threadId, DWORD flags) = 0;
    virtual BOOL UnhookWinEvent(HWINEVENTHOOK hook) = 0;
    virtual DWORD MsgWaitForMultipleObjectsEx(DWORD count, const HANDLE* handles, DWORD milliseconds, DWORD wakeMask,
                                              DWORD flags) = 0;
    virtual BOOL PeekMessageW(MSG* message, LONG hWnd, UINT first, UINT last, UINT remove) = 0;
    virtual BOOL TranslateMessage(const MSG* message) = 0;
    virtual LRESULT DispatchMessageW(const MSG* message) = 0;
    virtual void PostQuitMessage(int exitCode) = 0;
    virtual LRESULT SendMessageTimeoutW(LONG hWnd, UINT message, WPARAM wParam, LPARAM lParam, UINT flags,
                                        UINT milliseconds, DWORD_PTR* answer) = 0;
    virtual BOOL IsHungAppWindow(LONG hWnd) = 0;
    virtual DWORD WaitForInputIdle(HANDLE process, DWORD milliseconds) = 0;
    virtual BOOL QueryPerformanceCounter(LARGE_INTEGER* count) = 0;
    virtual BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency) = 0;

    // The front: the foreground window and the sharing of another thread's input.
    virtual LONG GetForegroundWindow() = 0;
    virtual BOOL SetForegroundWindow(LONG hWnd) = 0;
    virtual BOOL BringWindowToTop(LONG hWnd) = 0;
    virtual BOOL ShowWindowAsync(LONG hWnd, int command) = 0;
    virtual BOOL AttachThreadInput(DWORD thread, DWORD toThread, BOOL attach) = 0;
    virtual DWORD GetCurrentThreadId() = 0;

    // Whether two texts are equal without regard to case, as the window system's own lookups of a
    // list's items compare them (the user's locale).
    virtual bool SameTextIgnoringCase(const wchar_t* a, int aLength, const wchar_t* b, int bLength) = 0;
};

// The real window system.
class Win32WindowSystem : public WindowSystem {
public:
    LONG FindWindowW(const wchar_t* className, const wchar_t* windowName) override;
    LONG FindWindowExW(LONG parent, LONG childAfter, const wchar_t* className, const wchar_t* windowName) override;
    LONG FindWindowA(const char* className, const char* windowName) override;
    LONG FindWindowExA(LONG parent, LONG childAfter, const char* className, const char* windowName) override;
    LONG GetParent(LONG hWnd) override;
    LONG SetParent(LONG child, LONG newParent) override;
    BOOL IsWindow(LONG hWnd) override;
    LONG GetWindow(LONG hWnd, UINT relation) override;
    LONG GetAncestor(LONG hWnd, UINT relation) override;
    LONG GetDesktopWindow() override;
    BOOL EnumWindows(WNDENUMPROC callback, LPARAM state) override;
    int GetClassNameW(LONG hWnd, wchar_t* buffer, int size) override;
    int GetWindowTextLengthW(LONG hWnd) override;
    int GetWindowTextW(LONG hWnd, wchar_t* buffer, int size) override;
    BOOL GetWindowRect(LONG hWnd, RECT* rect) override;
    BOOL GetClientRect(LONG hWnd, RECT* rect) override;
    BOOL SetWindowPos(LONG hWnd, LONG insertAfter, int x, int y, int cx, int cy, UINT flags) override;
    BOOL IsWindowEnabled(LONG hWnd) override;
    BOOL EnableWindow(LONG hWnd, BOOL enable) override;
    BOOL IsWindowVisible(LONG hWnd) override;
    BOOL ShowWindow(LONG hWnd, int command) override;
    BOOL IsIconic(LONG hWnd) override;
    BOOL IsZoomed(LONG hWnd) override;
    BOOL IsWindowUnicode(LONG hWnd) override;
    LONG GetWindowStyle(LONG hWnd) override;
    int GetDlgCtrlID(LONG hWnd) override;
    BOOL FlashWindow(LONG hWnd, BOOL invert) override;
    BOOL InvalidateRect(LONG hWnd, const RECT* rect, BOOL erase) override;
    LONG SetFocus(LONG hWnd) override;
    BOOL UpdateWindow(LONG hWnd) override;
    LRESULT SendMessageA(LONG hWnd, UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL PostMessageA(LONG hWnd, UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT SendMessageW(LONG hWnd, UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL PostMessageW(LONG hWnd, UINT message, WPARAM wParam, LPARAM lParam) override;
    UINT MapVirtualKeyA(UINT code, UINT mapType) override;
    LONG GetMenu(LONG hWnd) override;
    LONG GetSystemMenu(LONG hWnd, BOOL revert) override;
    int GetMenuItemCount(LONG hMenu) override;
    UINT GetMenuState(LONG hMenu, UINT item, UINT flags) override;
    LONG GetSubMenu(LONG hMenu, int position) override;
    UINT GetMenuItemID(LONG hMenu, int position) override;
    int GetMenuStringW(LONG hMenu, UINT item, wchar_t* buffer, int size, UINT flags) override;
    BOOL ModifyMenuW(LONG hMenu, UINT item, UINT flags, UINT_PTR newItem, const wchar_t* caption) override;
    BOOL EnableMenuItem(LONG hMenu, UINT item, UINT flags) override;
    DWORD CheckMenuItem(LONG hMenu, UINT item, UINT flags) override;
    DWORD GetWindowThreadProcessId(LONG hWnd, DWORD* processId) override;
    HANDLE OpenProcess(DWORD access, BOOL inherit, DWORD processId) override;
    ForeignAddress VirtualAllocEx(HANDLE process, ForeignAddress address, SIZE_T size, DWORD type,
                                  DWORD protect) override;
    BOOL VirtualFreeEx(HANDLE process, ForeignAddress address, SIZE_T size, DWORD type) override;
    BOOL ReadProcessMemory(HANDLE process, ForeignAddress address, void* buffer, SIZE_T size,
                           SIZE_T* bytesRead) override;
    BOOL WriteProcessMemory(HANDLE process, ForeignAddress address, const void* bytes, SIZE_T size,
                            SIZE_T* bytesWritten) override;
    BOOL CloseHandle(HANDLE handle) override;
    int ProcessPointerSize(DWORD processId) override;
    void Sleep(DWORD milliseconds) override;
    void* VirtualAlloc(void* address, SIZE_T size, DWORD type, DWORD protect) override;
    BOOL VirtualFree(void* address, SIZE_T size, DWORD type) override;
    HRESULT SendKeys(const wchar_t* keys, UINT length, bool wait) override;
    BSTR AllocString(const wchar_t* text, UINT length) override;
    HWINEVENTHOOK SetWinEventHook(DWORD eventMin, DWORD eventMax, HMODULE module, WINEVENTPROC callback,
                                  DWORD processId, DWORD threadId, DWORD flags) override;
    BOOL UnhookWinEvent(HWINEVENTHOOK hook) override;
    DWORD MsgWaitForMultipleObjectsEx(DWORD count, const HANDLE* handles, DWORD milliseconds, DWORD wakeMask,
                                      DWORD flags) override;
    BOOL PeekMessageW(MSG* message, LONG hWnd, UINT first, UINT last, UINT remove) override;
    BOOL TranslateMessage(const MSG* message) override;
    LRESULT DispatchMessageW(const MSG* message) override;
    void PostQuitMessage(int exitCode) override;
    LRESULT SendMessageTimeoutW(LONG hWnd, UINT message, WPARAM wParam, LPARAM lParam, UINT flags, UINT milliseconds,
                                DWORD_PTR* answer) override;
    BOOL IsHungAppWindow(LONG hWnd) override;
    DWORD WaitForInputIdle(HANDLE process, DWORD milliseconds) override;
    BOOL QueryPerformanceCounter(LARGE_INTEGER* count) override;
    BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency) override;
    LONG GetForegroundWindow() override;
    BOOL SetForegroundWindow(LONG hWnd) override;
    BOOL BringWindowToTop(LONG hWnd) override;
    BOOL ShowWindowAsync(LONG hWnd, int command) override;
    BOOL AttachThreadInput(DWORD thread, DWORD toThread, BOOL attach) override;
    DWORD GetCurrentThreadId() override;
    bool SameTextIgnoringCase(const wchar_t* a, int aLength, const wchar_t* b, int bLength) override;
};

// Whether `hWnd` is one of the two values that the message functions read as every top-level window
// at once rather than as one window: HWND_BROADCAST (0xFFFF), and -1, which SendMessage and
// PostMessage take as HWND_TOPMOST and broadcast as well. Neither names a window. Every member that
// acts on the window it is bound to treats them as a handle that names no window (one that is gone):
// it hands them to no call and answers as for such a window. Only the message members, whose message
// the caller chose along with the handle, pass them on to the window system as they are.
constexpr bool IsBroadcast(LONG hWnd) noexcept { return hWnd == 0xFFFF || hWnd == -1; }

// Message parameters. A Long from a caller widens the way a 64-bit client's own runtime widens a
// Long into a pointer-sized parameter: sign-extended, so that -1 stays -1.
constexpr WPARAM WParamOf(LONG value) noexcept { return static_cast<WPARAM>(static_cast<LONG_PTR>(value)); }
constexpr LPARAM LParamOf(LONG value) noexcept { return static_cast<LPARAM>(value); }
// A parameter the component composes bit by bit (the flags of a key message) goes as the window
// system itself composes it: a 32-bit value, zero-extended.
constexpr LPARAM ComposedLParam(ULONG bits) noexcept { return static_cast<LPARAM>(static_cast<ULONG_PTR>(bits)); }
// The address of a variable of this process, for a receiver that reads or writes it.
template <typename T>
LPARAM AddressOf(T* variable) noexcept {
    return reinterpret_cast<LPARAM>(variable);
}
// An answer reaches the client as a Long, the only integer the interface has: its low 32 bits,
// which is all a window's answer to the messages a script sends carries.
constexpr LONG AnswerOf(LRESULT answer) noexcept { return static_cast<LONG>(answer); }

// The implementation every member calls.
WindowSystem& Current() noexcept;

// A new automation string of `length` units from `text` (or of undefined units to be written, when
// text is null), in *out; E_OUTOFMEMORY when there is no memory for it.
[[nodiscard]] inline HRESULT NewString(const wchar_t* text, UINT length, BSTR* out) noexcept {
    *out = Current().AllocString(text, length);
    return *out ? S_OK : E_OUTOFMEMORY;
}

// The lookup by class name and caption, shared by every member that finds a window by them: one
// call, both strings handed on as they are. The window manager reads a null pointer as any class
// or caption and an empty string literally, so only a null string reference is a wildcard and ""
// matches only the empty name. Without `parent` among the top-level windows (FindWindow); with it
// among *parent's direct children from the first, 0 standing for the desktop (FindWindowEx, which
// then also looks among the message-only windows when no top-level window matches).
inline LONG FindByClassAndCaption(const wchar_t* className, const wchar_t* caption,
                                  const LONG* parent = nullptr) noexcept {
    WindowSystem& system = Current();
    return parent ? system.FindWindowExW(*parent, 0, className, caption) : system.FindWindowW(className, caption);
}

// Puts another implementation in place for the lifetime of this object (tests only).
class ScopedWindowSystem {
public:
    explicit ScopedWindowSystem(WindowSystem& replacement) noexcept;
    ScopedWindowSystem(const ScopedWindowSystem&) = delete;
    ScopedWindowSystem& operator=(const ScopedWindowSystem&) = delete;
    ~ScopedWindowSystem();

private:
    WindowSystem* m_previous;
};

// A process handle opened through the layer, closed through it.
struct CloseProcessHandle {
    void operator()(HANDLE process) const noexcept { Current().CloseHandle(process); }
};
using UniqueProcess = Unique<HANDLE, CloseProcessHandle>;

}  // namespace wrang::platform
