#include "platform/WindowSystem.h"

#include <atomic>

namespace wrang::platform {
namespace {

// Window and menu handles are 32-bit significant in every process, and a 64-bit process sees them
// sign-extended: a Long goes back into a handle the same way, and a handle loses nothing as a Long.
HWND W(LONG h) { return reinterpret_cast<HWND>(static_cast<LONG_PTR>(h)); }
HMENU M(LONG h) { return reinterpret_cast<HMENU>(static_cast<LONG_PTR>(h)); }
template <typename T>
LONG L(T h) {
    return static_cast<LONG>(reinterpret_cast<LONG_PTR>(h));
}

// Callers check Reachable first; an address this process cannot name never reaches a call.
void* P(ForeignAddress address) { return reinterpret_cast<void*>(static_cast<ULONG_PTR>(address)); }

Win32WindowSystem g_win32;
std::atomic<WindowSystem*> g_current{&g_win32};

}  // namespace

WindowSystem& Current() noexcept { return *g_current.load(); }

ScopedWindowSystem::ScopedWindowSystem(WindowSystem& replacement) noexcept
    : m_previous(g_current.exchange(&replacement)) {}
ScopedWindowSystem::~ScopedWindowSystem() { g_current.store(m_previous); }

LONG Win32WindowSystem::FindWindowW(const wchar_t* c, const wchar_t* n) { return L(::FindWindowW(c, n)); }
LONG Win32WindowSystem::FindWindowA(const char* c, const char* n) { return L(::FindWindowA(c, n)); }
LONG Win32WindowSystem::FindWindowExW(LONG p, LONG after, const wchar_t* c, const wchar_t* n) {
    return L(::FindWindowExW(W(p), W(after), c, n));
}
LONG Win32WindowSystem::FindWindowExA(LONG p, LONG after, const char* c, const char* n) {
    return L(::FindWindowExA(W(p), W(after), c, n));
}
LONG Win32WindowSystem::GetParent(LONG h) { return L(::GetParent(W(h))); }
LONG Win32WindowSystem::SetParent(LONG c, LONG p) { return L(::SetParent(W(c), W(p))); }
BOOL Win32WindowSystem::IsWindow(LONG h) { return ::IsWindow(W(h)); }
LONG Win32WindowSystem::GetWindow(LONG h, UINT r) { return L(::GetWindow(W(h), r)); }
LONG Win32WindowSystem::GetAncestor(LONG h, UINT r) { return L(::GetAncestor(W(h), r)); }
LONG Win32WindowSystem::GetDesktopWindow() { return L(::GetDesktopWindow()); }
BOOL Win32WindowSystem::EnumWindows(WNDENUMPROC c, LPARAM s) { return ::EnumWindows(c, s); }
int Win32WindowSystem::GetClassNameW(LONG h, wchar_t* b, int n) { return ::GetClassNameW(W(h), b, n); }
int Win32WindowSystem::GetWindowTextLengthW(LONG h) { return ::GetWindowTextLengthW(W(h)); }
int Win32WindowSystem::GetWindowTextW(LONG h, wchar_t* b, int n) { return ::GetWindowTextW(W(h), b, n); }
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
BOOL Win32WindowSystem::IsWindowUnicode(LONG h) { return ::IsWindowUnicode(W(h)); }
LONG Win32WindowSystem::GetWindowStyle(LONG h) { return ::GetWindowLongW(W(h), GWL_STYLE); }
int Win32WindowSystem::GetDlgCtrlID(LONG h) { return ::GetDlgCtrlID(W(h)); }
BOOL Win32WindowSystem::FlashWindow(LONG h, BOOL i) { return ::FlashWindow(W(h), i); }
BOOL Win32WindowSystem::InvalidateRect(LONG h, const RECT* r, BOOL e) { return ::InvalidateRect(W(h), r, e); }
LONG Win32WindowSystem::SetFocus(LONG h) { return L(::SetFocus(W(h))); }
BOOL Win32WindowSystem::UpdateWindow(LONG h) { return ::UpdateWindow(W(h)); }
LRESULT Win32WindowSystem::SendMessageA(LONG h, UINT m, WPARAM w, LPARAM l) { return ::SendMessageA(W(h), m, w, l); }
BOOL Win32WindowSystem::PostMessageA(LONG h, UINT m, WPARAM w, LPARAM l) { return ::PostMessageA(W(h), m, w, l); }
LRESULT Win32WindowSystem::SendMessageW(LONG h, UINT m, WPARAM w, LPARAM l) { return ::SendMessageW(W(h), m, w, l); }
BOOL Win32WindowSystem::PostMessageW(LONG h, UINT m, WPARAM w, LPARAM l) { return ::PostMessageW(W(h), m, w, l); }
UINT Win32WindowSystem::MapVirtualKeyA(UINT c, UINT t) { return ::MapVirtualKeyA(c, t); }
LONG Win32WindowSystem::GetMenu(LONG h) { return L(::GetMenu(W(h))); }
LONG Win32WindowSystem::GetSystemMenu(LONG h, BOOL r) { return L(::GetSystemMenu(W(h), r)); }
int Win32WindowSystem::GetMenuItemCount(LONG m) { return ::GetMenuItemCount(M(m)); }
UINT Win32WindowSystem::GetMenuState(LONG m, UINT i, UINT f) { return ::GetMenuState(M(m), i, f); }
LONG Win32WindowSystem::GetSubMenu(LONG m, int p) { return L(::GetSubMenu(M(m), p)); }
UINT Win32WindowSystem::GetMenuItemID(LONG m, int p) { return ::GetMenuItemID(M(m), p); }
int Win32WindowSystem::GetMenuStringW(LONG m, UINT i, wchar_t* b, int n, UINT f) {
    return ::GetMenuStringW(M(m), i, b, n, f);
}
BOOL Win32WindowSystem::ModifyMenuW(LONG m, UINT i, UINT f, UINT_PTR n, const wchar_t* c) {
    return ::ModifyMenuW(M(m), i, f, n, c);
}
BOOL Win32WindowSystem::EnableMenuItem(LONG m, UINT i, UINT f) { return ::EnableMenuItem(M(m), i, f); }
DWORD Win32WindowSystem::CheckMenuItem(LONG m, UINT i, UINT f) { return ::CheckMenuItem(M(m), i, f); }
DWORD Win32WindowSystem::GetWindowThreadProcessId(LONG h, DWORD* pid) { return ::GetWindowThreadProcessId(W(h), pid); }
HANDLE Win32WindowSystem::OpenProcess(DWORD a, BOOL i, DWORD pid) { return ::OpenProcess(a, i, pid); }
ForeignAddress Win32WindowSystem::VirtualAllocEx(HANDLE p, ForeignAddress a, SIZE_T s, DWORD t, DWORD pr) {
    if (!Reachable(a)) return 0;
    return reinterpret_cast<ULONG_PTR>(::VirtualAllocEx(p, P(a), s, t, pr));
}
BOOL Win32WindowSystem::VirtualFreeEx(HANDLE p, ForeignAddress a, SIZE_T s, DWORD t) {
    if (!Reachable(a)) return FALSE;
    return ::VirtualFreeEx(p, P(a), s, t);
}
BOOL Win32WindowSystem::ReadProcessMemory(HANDLE p, ForeignAddress a, void* b, SIZE_T s, SIZE_T* r) {
    SIZE_T read = 0;
    const BOOL ok = Reachable(a) && ::ReadProcessMemory(p, P(a), b, s, &read);
    if (r) *r = read;
    return ok;
}
BOOL Win32WindowSystem::WriteProcessMemory(HANDLE p, ForeignAddress a, const void* b, SIZE_T s, SIZE_T* w) {
    SIZE_T written = 0;
    const BOOL ok = Reachable(a) && ::WriteProcessMemory(p, P(a), b, s, &written);
    if (w) *w = written;
    return ok;
}
BOOL Win32WindowSystem::CloseHandle(HANDLE h) { return ::CloseHandle(h); }
int Win32WindowSystem::ProcessPointerSize(DWORD pid) {
    constexpr int kOwn = static_cast<int>(sizeof(void*));
    // A 32-bit process on a 64-bit system runs under WoW64; on a 32-bit system every process is
    // 32-bit.
    BOOL ownIsWow64 = FALSE;
    if (kOwn == 4 && (!::IsWow64Process(::GetCurrentProcess(), &ownIsWow64) || !ownIsWow64)) return 4;
    const HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process) return kOwn;
    BOOL isWow64 = FALSE;
    const BOOL asked = ::IsWow64Process(process, &isWow64);
    ::CloseHandle(process);
    if (!asked) return kOwn;
    return isWow64 ? 4 : 8;
}
void Win32WindowSystem::Sleep(DWORD ms) { ::Sleep(ms); }
void* Win32WindowSystem::VirtualAlloc(void* a, SIZE_T s, DWORD t, DWORD p) { return ::VirtualAlloc(a, s, t, p); }
BOOL Win32WindowSystem::VirtualFree(void* a, SIZE_T s, DWORD t) { return ::VirtualFree(a, s, t); }
BSTR Win32WindowSystem::AllocString(const wchar_t* t, UINT n) { return ::SysAllocStringLen(t, n); }
HWINEVENTHOOK Win32WindowSystem::SetWinEventHook(DWORD a, DWORD b, HMODULE m, WINEVENTPROC p, DWORD pid, DWORD tid,
                                                DWORD f) {
    return ::SetWinEventHook(a, b, m, p, pid, tid, f);
}
BOOL Win32WindowSystem::UnhookWinEvent(HWINEVENTHOOK h) { return ::UnhookWinEvent(h); }
DWORD Win32WindowSystem::MsgWaitForMultipleObjectsEx(DWORD n, const HANDLE* h, DWORD ms, DWORD mask, DWORD f) {
    return ::MsgWaitForMultipleObjectsEx(n, h, ms, mask, f);
}
BOOL Win32WindowSystem::PeekMessageW(MSG* m, LONG h, UINT a, UINT b, UINT r) { return ::PeekMessageW(m, W(h), a, b, r); }
BOOL Win32WindowSystem::TranslateMessage(const MSG* m) { return ::TranslateMessage(m); }
LRESULT Win32WindowSystem::DispatchMessageW(const MSG* m) { return ::DispatchMessageW(m); }
void Win32WindowSystem::PostQuitMessage(int c) { ::PostQuitMessage(c); }
LRESULT Win32WindowSystem::SendMessageTimeoutW(LONG h, UINT m, WPARAM w, LPARAM l, UINT f, UINT ms, DWORD_PTR* r) {
    return ::SendMessageTimeoutW(W(h), m, w, l, f, ms, r);
}
BOOL Win32WindowSystem::IsHungAppWindow(LONG h) { return ::IsHungAppWindow(W(h)); }
DWORD Win32WindowSystem::WaitForInputIdle(HANDLE p, DWORD ms) { return ::WaitForInputIdle(p, ms); }
BOOL Win32WindowSystem::QueryPerformanceCounter(LARGE_INTEGER* c) { return ::QueryPerformanceCounter(c); }
BOOL Win32WindowSystem::QueryPerformanceFrequency(LARGE_INTEGER* f) { return ::QueryPerformanceFrequency(f); }
LONG Win32WindowSystem::GetForegroundWindow() { return L(::GetForegroundWindow()); }
BOOL Win32WindowSystem::SetForegroundWindow(LONG h) { return ::SetForegroundWindow(W(h)); }
BOOL Win32WindowSystem::BringWindowToTop(LONG h) { return ::BringWindowToTop(W(h)); }
BOOL Win32WindowSystem::ShowWindowAsync(LONG h, int c) { return ::ShowWindowAsync(W(h), c); }
BOOL Win32WindowSystem::AttachThreadInput(DWORD t, DWORD to, BOOL a) { return ::AttachThreadInput(t, to, a); }
DWORD Win32WindowSystem::GetCurrentThreadId() { return ::GetCurrentThreadId(); }
bool Win32WindowSystem::SameTextIgnoringCase(const wchar_t* a, int an, const wchar_t* b, int bn) {
    return ::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a, an, b, bn) == CSTR_EQUAL;
}

}  // namespace wrang::platform
