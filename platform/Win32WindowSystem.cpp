#include "platform/WindowSystem.h"

#include <atomic>

namespace wrang::platform {
namespace {

// Handles are 32-bit numbers at the interface; the component only runs as a 32-bit module.
static_assert(sizeof(HWND) == sizeof(LONG), "32-bit handles expected");

HWND W(LONG h) { return reinterpret_cast<HWND>(static_cast<LONG_PTR>(h)); }
HMENU M(LONG h) { return reinterpret_cast<HMENU>(static_cast<LONG_PTR>(h)); }
HANDLE H(LONG h) { return reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(h)); }
template <typename T>
LONG L(T h) { return static_cast<LONG>(reinterpret_cast<LONG_PTR>(h)); }

Win32WindowSystem g_win32;
std::atomic<WindowSystem*> g_current{&g_win32};

}  // namespace

WindowSystem& Current() noexcept { return *g_current.load(); }

ScopedWindowSystem::ScopedWindowSystem(WindowSystem& replacement) noexcept
    : m_previous(g_current.exchange(&replacement)) {}
ScopedWindowSystem::~ScopedWindowSystem() { g_current.store(m_previous); }

LONG Win32WindowSystem::FindWindowA(const char* c, const char* n) { return L(::FindWindowA(c, n)); }
LONG Win32WindowSystem::FindWindowExA(LONG p, LONG after, const char* c, const char* n) {
    return L(::FindWindowExA(W(p), W(after), c, n));
}
LONG Win32WindowSystem::GetParent(LONG h) { return L(::GetParent(W(h))); }
LONG Win32WindowSystem::SetParent(LONG c, LONG p) { return L(::SetParent(W(c), W(p))); }
BOOL Win32WindowSystem::IsWindow(LONG h) { return ::IsWindow(W(h)); }
int Win32WindowSystem::GetClassNameA(LONG h, char* b, int n) { return ::GetClassNameA(W(h), b, n); }
int Win32WindowSystem::GetWindowTextLengthA(LONG h) { return ::GetWindowTextLengthA(W(h)); }
int Win32WindowSystem::GetWindowTextA(LONG h, char* b, int n) { return ::GetWindowTextA(W(h), b, n); }
BOOL Win32WindowSystem::GetWindowRect(LONG h, RECT* r) { return ::GetWindowRect(W(h), r); }
BOOL Win32WindowSystem::GetClientRect(LONG h, RECT* r) { return ::GetClientRect(W(h), r); }
BOOL Win32WindowSystem::SetWindowPos(LONG h, LONG after, int x, int y, int cx, int cy, UINT f) {
    return ::SetWindowPos(W(h), W(after), x, y, cx, cy, f);
}
BOOL Win32WindowSystem::IsWindowEnabled(LONG h) { return ::IsWindowEnabled(W(h)); }
BOOL Win32WindowSystem::EnableWindow(LONG h, BOOL e) { return ::EnableWindow(W(h), e); }
BOOL Win32WindowSystem::IsWindowVisible(LONG h) { return ::IsWindowVisible(W(h)); }
BOOL Win32WindowSystem::ShowWindow(LONG h, int c) { return ::ShowWindow(W(h), c); }
BOOL Win32WindowSystem::IsIconic(LONG h) { return ::IsIconic(W(h)); }
BOOL Win32WindowSystem::IsZoomed(LONG h) { return ::IsZoomed(W(h)); }
BOOL Win32WindowSystem::FlashWindow(LONG h, BOOL i) { return ::FlashWindow(W(h), i); }
BOOL Win32WindowSystem::InvalidateRect(LONG h, const RECT* r, BOOL e) {
    return ::InvalidateRect(W(h), r, e);
}
LONG Win32WindowSystem::SetFocus(LONG h) { return L(::SetFocus(W(h))); }
BOOL Win32WindowSystem::UpdateWindow(LONG h) { return ::UpdateWindow(W(h)); }
LONG Win32WindowSystem::SendMessageA(LONG h, UINT m, LONG w, LONG l) {
    return static_cast<LONG>(::SendMessageA(W(h), m, static_cast<WPARAM>(w), static_cast<LPARAM>(l)));
}
BOOL Win32WindowSystem::PostMessageA(LONG h, UINT m, LONG w, LONG l) {
    return ::PostMessageA(W(h), m, static_cast<WPARAM>(w), static_cast<LPARAM>(l));
}
UINT Win32WindowSystem::MapVirtualKeyA(UINT c, UINT t) { return ::MapVirtualKeyA(c, t); }
LONG Win32WindowSystem::GetMenu(LONG h) { return L(::GetMenu(W(h))); }
LONG Win32WindowSystem::GetSystemMenu(LONG h, BOOL r) { return L(::GetSystemMenu(W(h), r)); }
int Win32WindowSystem::GetMenuItemCount(LONG m) { return ::GetMenuItemCount(M(m)); }
UINT Win32WindowSystem::GetMenuState(LONG m, UINT i, UINT f) { return ::GetMenuState(M(m), i, f); }
LONG Win32WindowSystem::GetSubMenu(LONG m, int p) { return L(::GetSubMenu(M(m), p)); }
UINT Win32WindowSystem::GetMenuItemID(LONG m, int p) { return ::GetMenuItemID(M(m), p); }
int Win32WindowSystem::GetMenuStringA(LONG m, UINT i, char* b, int n, UINT f) {
    return ::GetMenuStringA(M(m), i, b, n, f);
}
BOOL Win32WindowSystem::ModifyMenuA(LONG m, UINT i, UINT f, UINT_PTR n, const char* c) {
    return ::ModifyMenuA(M(m), i, f, n, c);
}
BOOL Win32WindowSystem::EnableMenuItem(LONG m, UINT i, UINT f) { return ::EnableMenuItem(M(m), i, f); }
DWORD Win32WindowSystem::CheckMenuItem(LONG m, UINT i, UINT f) { return ::CheckMenuItem(M(m), i, f); }
DWORD Win32WindowSystem::GetWindowThreadProcessId(LONG h, DWORD* pid) {
    return ::GetWindowThreadProcessId(W(h), pid);
}
LONG Win32WindowSystem::OpenProcess(DWORD a, BOOL i, DWORD pid) { return L(::OpenProcess(a, i, pid)); }
LONG Win32WindowSystem::VirtualAllocEx(LONG p, LONG a, DWORD s, DWORD t, DWORD pr) {
    return L(::VirtualAllocEx(H(p), reinterpret_cast<void*>(static_cast<LONG_PTR>(a)), s, t, pr));
}
BOOL Win32WindowSystem::VirtualFreeEx(LONG p, LONG a, DWORD s, DWORD t) {
    return ::VirtualFreeEx(H(p), reinterpret_cast<void*>(static_cast<LONG_PTR>(a)), s, t);
}
BOOL Win32WindowSystem::ReadProcessMemory(LONG p, LONG a, void* b, DWORD s, DWORD* r) {
    SIZE_T read = 0;
    const BOOL ok = ::ReadProcessMemory(H(p), reinterpret_cast<const void*>(static_cast<LONG_PTR>(a)),
                                        b, s, &read);
    if (r) *r = static_cast<DWORD>(read);
    return ok;
}
BOOL Win32WindowSystem::CloseHandle(LONG h) { return ::CloseHandle(H(h)); }
void Win32WindowSystem::Sleep(DWORD ms) { ::Sleep(ms); }

}  // namespace wrang::platform
