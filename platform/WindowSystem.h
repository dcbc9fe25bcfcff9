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

    // Lookup and tree
    virtual LONG FindWindowA(const char* className, const char* windowName) = 0;
    virtual LONG FindWindowExA(LONG parent, LONG childAfter, const char* className,
                               const char* windowName) = 0;
    virtual LONG GetParent(LONG hWnd) = 0;
    virtual LONG SetParent(LONG child, LONG newParent) = 0;
    virtual BOOL IsWindow(LONG hWnd) = 0;
    // The window in `relation` (GW_HWNDPREV, GW_HWNDNEXT, GW_HWNDLAST, GW_CHILD) to hWnd in the
    // window tree itself, where a top-level window's parent is the desktop window; 0 for none.
    virtual LONG GetWindow(LONG hWnd, UINT relation) = 0;
    virtual LONG GetAncestor(LONG hWnd, UINT relation) = 0;
    virtual LONG GetDesktopWindow() = 0;

    // Attributes
    virtual int GetClassNameA(LONG hWnd, char* buffer, int size) = 0;
    virtual int GetWindowTextLengthA(LONG hWnd) = 0;
    virtual int GetWindowTextA(LONG hWnd, char* buffer, int size) = 0;
    virtual BOOL GetWindowRect(LONG hWnd, RECT* rect) = 0;
    virtual BOOL GetClientRect(LONG hWnd, RECT* rect) = 0;
    virtual BOOL SetWindowPos(LONG hWnd, LONG insertAfter, int x, int y, int cx, int cy,
                              UINT flags) = 0;
    virtual BOOL IsWindowEnabled(LONG hWnd) = 0;
    virtual BOOL EnableWindow(LONG hWnd, BOOL enable) = 0;
    virtual BOOL IsWindowVisible(LONG hWnd) = 0;
    virtual BOOL ShowWindow(LONG hWnd, int command) = 0;
    virtual BOOL IsIconic(LONG hWnd) = 0;
    virtual BOOL IsZoomed(LONG hWnd) = 0;

    // Commands
    virtual BOOL FlashWindow(LONG hWnd, BOOL invert) = 0;
    virtual BOOL InvalidateRect(LONG hWnd, const RECT* rect, BOOL erase) = 0;
    virtual LONG SetFocus(LONG hWnd) = 0;
    virtual BOOL UpdateWindow(LONG hWnd) = 0;

    // Messages and keys
    virtual LRESULT SendMessageA(LONG hWnd, UINT message, WPARAM wParam, LPARAM lParam) = 0;
    virtual BOOL PostMessageA(LONG hWnd, UINT message, WPARAM wParam, LPARAM lParam) = 0;
    virtual UINT MapVirtualKeyA(UINT code, UINT mapType) = 0;

    // Menus
    virtual LONG GetMenu(LONG hWnd) = 0;
    virtual LONG GetSystemMenu(LONG hWnd, BOOL revert) = 0;
    virtual int GetMenuItemCount(LONG hMenu) = 0;
    virtual UINT GetMenuState(LONG hMenu, UINT item, UINT flags) = 0;
    virtual LONG GetSubMenu(LONG hMenu, int position) = 0;
    virtual UINT GetMenuItemID(LONG hMenu, int position) = 0;
    virtual int GetMenuStringA(LONG hMenu, UINT item, char* buffer, int size, UINT flags) = 0;
    virtual BOOL ModifyMenuA(LONG hMenu, UINT item, UINT flags, UINT_PTR newItem,
                             const char* caption) = 0;
    virtual BOOL EnableMenuItem(LONG hMenu, UINT item, UINT flags) = 0;
    virtual DWORD CheckMenuItem(LONG hMenu, UINT item, UINT flags) = 0;

    // Processes and memory
    virtual DWORD GetWindowThreadProcessId(LONG hWnd, DWORD* processId) = 0;
    virtual HANDLE OpenProcess(DWORD access, BOOL inherit, DWORD processId) = 0;
    virtual ForeignAddress VirtualAllocEx(HANDLE process, ForeignAddress address, SIZE_T size,
                                          DWORD type, DWORD protect) = 0;
    virtual BOOL VirtualFreeEx(HANDLE process, ForeignAddress address, SIZE_T size, DWORD type) = 0;
    virtual BOOL ReadProcessMemory(HANDLE process, ForeignAddress address, void* buffer, SIZE_T size,
                                   SIZE_T* bytesRead) = 0;
    virtual BOOL CloseHandle(HANDLE handle) = 0;
    // The size of a pointer in the process: 4 for a 32-bit process (on a 32-bit system, or under
    // WoW64), 8 for a 64-bit one. When the process cannot be asked, this process's own size.
    virtual int ProcessPointerSize(DWORD processId) = 0;
    virtual void Sleep(DWORD milliseconds) = 0;

    // Runtime: the key-string service. Types the keys into the active window; with wait, returns
    // after the foreground window's thread has processed them, or with kKeysNotTaken once it takes
    // none for five seconds. A malformed string types nothing and is kKeyStringMalformed.
    virtual HRESULT SendKeys(const wchar_t* keys, UINT length, bool wait) = 0;
};

// The real window system.
class Win32WindowSystem : public WindowSystem {
public:
    LONG FindWindowA(const char* className, const char* windowName) override;
    LONG FindWindowExA(LONG parent, LONG childAfter, const char* className,
                       const char* windowName) override;
    LONG GetParent(LONG hWnd) override;
    LONG SetParent(LONG child, LONG newParent) override;
    BOOL IsWindow(LONG hWnd) override;
    LONG GetWindow(LONG hWnd, UINT relation) override;
    LONG GetAncestor(LONG hWnd, UINT relation) override;
    LONG GetDesktopWindow() override;
    int GetClassNameA(LONG hWnd, char* buffer, int size) override;
    int GetWindowTextLengthA(LONG hWnd) override;
    int GetWindowTextA(LONG hWnd, char* buffer, int size) override;
    BOOL GetWindowRect(LONG hWnd, RECT* rect) override;
    BOOL GetClientRect(LONG hWnd, RECT* rect) override;
    BOOL SetWindowPos(LONG hWnd, LONG insertAfter, int x, int y, int cx, int cy,
                      UINT flags) override;
    BOOL IsWindowEnabled(LONG hWnd) override;
    BOOL EnableWindow(LONG hWnd, BOOL enable) override;
    BOOL IsWindowVisible(LONG hWnd) override;
    BOOL ShowWindow(LONG hWnd, int command) override;
    BOOL IsIconic(LONG hWnd) override;
    BOOL IsZoomed(LONG hWnd) override;
    BOOL FlashWindow(LONG hWnd, BOOL invert) override;
    BOOL InvalidateRect(LONG hWnd, const RECT* rect, BOOL erase) override;
    LONG SetFocus(LONG hWnd) override;
    BOOL UpdateWindow(LONG hWnd) override;
    LRESULT SendMessageA(LONG hWnd, UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL PostMessageA(LONG hWnd, UINT message, WPARAM wParam, LPARAM lParam) override;
    UINT MapVirtualKeyA(UINT code, UINT mapType) override;
    LONG GetMenu(LONG hWnd) override;
    LONG GetSystemMenu(LONG hWnd, BOOL revert) override;
    int GetMenuItemCount(LONG hMenu) override;
    UINT GetMenuState(LONG hMenu, UINT item, UINT flags) override;
    LONG GetSubMenu(LONG hMenu, int position) override;
    UINT GetMenuItemID(LONG hMenu, int position) override;
    int GetMenuStringA(LONG hMenu, UINT item, char* buffer, int size, UINT flags) override;
    BOOL ModifyMenuA(LONG hMenu, UINT item, UINT flags, UINT_PTR newItem,
                     const char* caption) override;
    BOOL EnableMenuItem(LONG hMenu, UINT item, UINT flags) override;
    DWORD CheckMenuItem(LONG hMenu, UINT item, UINT flags) override;
    DWORD GetWindowThreadProcessId(LONG hWnd, DWORD* processId) override;
    HANDLE OpenProcess(DWORD access, BOOL inherit, DWORD processId) override;
    ForeignAddress VirtualAllocEx(HANDLE process, ForeignAddress address, SIZE_T size, DWORD type,
                                  DWORD protect) override;
    BOOL VirtualFreeEx(HANDLE process, ForeignAddress address, SIZE_T size, DWORD type) override;
    BOOL ReadProcessMemory(HANDLE process, ForeignAddress address, void* buffer, SIZE_T size,
                           SIZE_T* bytesRead) override;
    BOOL CloseHandle(HANDLE handle) override;
    int ProcessPointerSize(DWORD processId) override;
    void Sleep(DWORD milliseconds) override;
    HRESULT SendKeys(const wchar_t* keys, UINT length, bool wait) override;
};

// Message parameters. A Long from a caller widens the way a 64-bit client's own runtime widens a
// Long into a pointer-sized parameter: sign-extended, so that -1 stays -1.
constexpr WPARAM WParamOf(LONG value) noexcept { return static_cast<WPARAM>(static_cast<LONG_PTR>(value)); }
constexpr LPARAM LParamOf(LONG value) noexcept { return static_cast<LPARAM>(value); }
// A parameter the component composes bit by bit (the flags of a key message) goes as the window
// system itself composes it: a 32-bit value, zero-extended.
constexpr LPARAM ComposedLParam(ULONG bits) noexcept { return static_cast<LPARAM>(static_cast<ULONG_PTR>(bits)); }
// The address of a variable of this process, for a receiver that reads or writes it.
template <typename T>
LPARAM AddressOf(T* variable) noexcept { return reinterpret_cast<LPARAM>(variable); }
// An answer reaches the client as a Long, the only integer the interface has: its low 32 bits,
// which is all a window's answer to the messages a script sends carries.
constexpr LONG AnswerOf(LRESULT answer) noexcept { return static_cast<LONG>(answer); }

// The implementation every member calls.
WindowSystem& Current() noexcept;

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
