// The one narrow layer through which the component reaches the window manager, the kernel and the
// runtime services. Handles cross it as the 32-bit numbers the component stores; only the Win32
// implementation turns them back into typed handles. Tests install a derived implementation (a
// recorder, or one that fails) with ScopedWindowSystem for what the real system cannot produce.
#pragma once

#include <windows.h>

namespace wrang::platform {

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
    virtual LONG SendMessageA(LONG hWnd, UINT message, LONG wParam, LONG lParam) = 0;
    virtual BOOL PostMessageA(LONG hWnd, UINT message, LONG wParam, LONG lParam) = 0;
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
    virtual LONG OpenProcess(DWORD access, BOOL inherit, DWORD processId) = 0;
    virtual LONG VirtualAllocEx(LONG process, LONG address, DWORD size, DWORD type,
                                DWORD protect) = 0;
    virtual BOOL VirtualFreeEx(LONG process, LONG address, DWORD size, DWORD type) = 0;
    virtual BOOL ReadProcessMemory(LONG process, LONG address, void* buffer, DWORD size,
                                   DWORD* bytesRead) = 0;
    virtual BOOL CloseHandle(LONG handle) = 0;
    virtual void Sleep(DWORD milliseconds) = 0;

    // Runtime: the key-string service. Types the keys into the active window; with wait, returns
    // after the foreground window's thread has processed them. A malformed string is an error.
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
    LONG SendMessageA(LONG hWnd, UINT message, LONG wParam, LONG lParam) override;
    BOOL PostMessageA(LONG hWnd, UINT message, LONG wParam, LONG lParam) override;
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
    LONG OpenProcess(DWORD access, BOOL inherit, DWORD processId) override;
    LONG VirtualAllocEx(LONG process, LONG address, DWORD size, DWORD type,
                        DWORD protect) override;
    BOOL VirtualFreeEx(LONG process, LONG address, DWORD size, DWORD type) override;
    BOOL ReadProcessMemory(LONG process, LONG address, void* buffer, DWORD size,
                           DWORD* bytesRead) override;
    BOOL CloseHandle(LONG handle) override;
    void Sleep(DWORD milliseconds) override;
    HRESULT SendKeys(const wchar_t* keys, UINT length, bool wait) override;
};

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

}  // namespace wrang::platform
