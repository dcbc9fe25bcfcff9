#include <cstring>

#include "frame/Checked.h"
#include "frame/Errors.h"
#include "frame/MemberArguments.h"
#include "platform/GuardedPages.h"
#include "platform/WindowSystem.h"
#include "window/clsWrangler.h"

namespace wrang {
namespace {

constexpr int kClassNameBuffer = 255;
constexpr LONG kInsertAtTop = 0;
constexpr LONG kInsertTopmost = -1;
constexpr LONG kInsertNotTopmost = -2;

using platform::IsBroadcast;

// A failed query must read as an empty rectangle, not as whatever the stack held; a broadcast value
// names no window and reads as one too.
RECT WindowRect(LONG hWnd) noexcept {
    RECT rect = {0, 0, 0, 0};
    if (!IsBroadcast(hWnd)) platform::Current().GetWindowRect(hWnd, &rect);
    return rect;
}

// Moves or sizes the window; a broadcast value names no window to move.
void PlaceWindow(LONG hWnd, LONG insertAfter, int x, int y, int cx, int cy, UINT flags) noexcept {
    if (!IsBroadcast(hWnd)) platform::Current().SetWindowPos(hWnd, insertAfter, x, y, cx, cy, flags);
}

// The text a window is asked for goes straight into the string handed back: `length` NUL
// characters (the terminator's room comes with every automation string). A negative length cannot
// size a string; it is refused as the runtime refuses a negative count.
HRESULT TextString(LONG length, UniqueBstr* text) noexcept {
    if (length < 0) return RaiseInvalidCall();
    RETURN_IF_FAILED(platform::NewString(nullptr, static_cast<UINT>(length), text->put()));
    std::memset(text->get(), 0, (static_cast<size_t>(length) + 1) * sizeof(wchar_t));
    return S_OK;
}

}  // namespace

HRESULT clsWrangler::get_ClassName(BSTR* result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    // A class name has at most 254 characters here: the window manager writes at most the size
    // less one, then a NUL. A query that writes nothing leaves the first NUL and reads as "";
    // the last one bounds whatever else a query could leave.
    wchar_t name[kClassNameBuffer];
    name[0] = L'\0';
    name[kClassNameBuffer - 1] = L'\0';
    if (!IsBroadcast(m_hWnd)) platform::Current().GetClassNameW(m_hWnd, name, kClassNameBuffer);
    int end = static_cast<int>(wcsnlen(name, kClassNameBuffer));
    int begin = 0;
    while (begin < end && name[begin] == L' ') ++begin;
    while (end > begin && name[end - 1] == L' ') --end;
    return platform::NewString(name + begin, static_cast<UINT>(end - begin), result);
}

HRESULT clsWrangler::get_AlwaysOnTop(VARIANT_BOOL* result) {
    // What this object was last told, never the window's own state.
    return HandOut(result, m_bAlwaysOnTop);
}

HRESULT clsWrangler::put_AlwaysOnTop(VARIANT_BOOL value) {
    m_bAlwaysOnTop = value;
    PlaceWindow(m_hWnd, value ? kInsertTopmost : kInsertNotTopmost, 0, 0, 0, 0,
                SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    return S_OK;
}

HRESULT clsWrangler::get_Enabled(VARIANT_BOOL* result) {
    if (!result) return E_POINTER;
    *result = ToBoolean(!IsBroadcast(m_hWnd) && platform::Current().IsWindowEnabled(m_hWnd));
    return S_OK;
}

HRESULT clsWrangler::put_Enabled(VARIANT_BOOL value) {
    // True (-1) goes to the window manager as 1; -32768 has no 16-bit absolute value.
    SHORT enable = 0;
    RETURN_IF_FAILED(CheckedAbs16(value, &enable));
    if (!IsBroadcast(m_hWnd)) platform::Current().EnableWindow(m_hWnd, enable);
    return S_OK;
}

HRESULT clsWrangler::get_Visible(VARIANT_BOOL* result) {
    if (!result) return E_POINTER;
    *result = ToBoolean(!IsBroadcast(m_hWnd) && platform::Current().IsWindowVisible(m_hWnd));
    return S_OK;
}

HRESULT clsWrangler::put_Visible(VARIANT_BOOL value) {
    if (!IsBroadcast(m_hWnd)) platform::Current().ShowWindow(m_hWnd, value ? SW_SHOW : SW_HIDE);
    return S_OK;
}

HRESULT clsWrangler::get_Text(BSTR* result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    // A window that is gone has no text: "".
    if (IsBroadcast(m_hWnd)) return platform::NewString(L"", 0, result);
    platform::WindowSystem& ws = platform::Current();

    const LONG length = ws.GetWindowTextLengthW(m_hWnd);
    LONG size = 0;
    RETURN_IF_FAILED(CheckedAdd(length, 1, &size));
    UniqueBstr text;
    RETURN_IF_FAILED(TextString(length, &text));
    ws.GetWindowTextW(m_hWnd, text.get(), size);
    if (length == 0) {
        // A window of another process whose text lives in its own procedure reports nothing to
        // GetWindowText; ask the window itself. Its lParam is the address of a 32-bit 0, in pages
        // lent for the call as every address the component hands a receiver, not on the stack.
        platform::GuardedPages noArgument;
        RETURN_IF_FAILED(noArgument.Commit(platform::GuardedPages::RoomFor(sizeof(LONG))));
        const LONG asked = platform::AnswerOf(
            ws.SendMessageW(m_hWnd, WM_GETTEXTLENGTH, 0, platform::AddressOf(noArgument.as<LONG>())));
        RETURN_IF_FAILED(CheckedAdd(asked, 1, &size));
        RETURN_IF_FAILED(TextString(asked, &text));
        ws.SendMessageW(m_hWnd, WM_GETTEXT, platform::WParamOf(size), platform::AddressOf(text.get()));
    }
    // The whole string, not up to the first NUL: a window that delivers less than it announced
    // leaves NUL characters at the end, and the caller sees them.
    *result = text.release();
    return S_OK;
}

HRESULT clsWrangler::put_Text(BSTR value) {
    // A null string reference goes as a null pointer, which the window reads as the empty text.
    if (IsBroadcast(m_hWnd)) return S_OK;
    platform::Current().SendMessageW(m_hWnd, WM_SETTEXT, 0, platform::AddressOf(value));
    return S_OK;
}

HRESULT clsWrangler::get_Left(LONG* result) {
    if (!result) return E_POINTER;
    *result = WindowRect(m_hWnd).left;
    return S_OK;
}

HRESULT clsWrangler::get_Top(LONG* result) {
    if (!result) return E_POINTER;
    *result = WindowRect(m_hWnd).top;
    return S_OK;
}

HRESULT clsWrangler::get_Width(LONG* result) {
    if (!result) return E_POINTER;
    *result = 0;
    const RECT rect = WindowRect(m_hWnd);
    return CheckedSubtract(rect.right, rect.left, result);
}

HRESULT clsWrangler::get_Height(LONG* result) {
    if (!result) return E_POINTER;
    *result = 0;
    const RECT rect = WindowRect(m_hWnd);
    return CheckedSubtract(rect.bottom, rect.top, result);
}

// The setters pass the screen coordinates just read, unconverted, even for a child window, and
// leave out SWP_NOZORDER: every one of them also raises the window to the top of the Z order.
// Under SWP_NOSIZE the window manager ignores cx and cy, under SWP_NOMOVE x and y.

HRESULT clsWrangler::put_Left(LONG value) {
    const RECT rect = WindowRect(m_hWnd);
    PlaceWindow(m_hWnd, kInsertAtTop, value, rect.top, rect.right, rect.bottom, SWP_NOSIZE | SWP_NOACTIVATE);
    return S_OK;
}

HRESULT clsWrangler::put_Top(LONG value) {
    const RECT rect = WindowRect(m_hWnd);
    PlaceWindow(m_hWnd, kInsertAtTop, rect.left, value, rect.right, rect.bottom, SWP_NOSIZE | SWP_NOACTIVATE);
    return S_OK;
}

HRESULT clsWrangler::put_Width(LONG value) {
    const RECT rect = WindowRect(m_hWnd);
    LONG height = 0;
    RETURN_IF_FAILED(CheckedSubtract(rect.bottom, rect.top, &height));
    PlaceWindow(m_hWnd, kInsertAtTop, rect.left, rect.top, value, height, SWP_NOMOVE | SWP_NOACTIVATE);
    return S_OK;
}

HRESULT clsWrangler::put_Height(LONG value) {
    const RECT rect = WindowRect(m_hWnd);
    LONG width = 0;
    RETURN_IF_FAILED(CheckedSubtract(rect.right, rect.left, &width));
    PlaceWindow(m_hWnd, kInsertAtTop, rect.left, rect.top, width, value, SWP_NOMOVE | SWP_NOACTIVATE);
    return S_OK;
}

HRESULT clsWrangler::get_WindowState(LONG* result) {
    if (!result) return E_POINTER;
    // Answered in show commands, so that a value read can be assigned back.
    platform::WindowSystem& ws = platform::Current();
    if (IsBroadcast(m_hWnd)) {
        *result = SW_SHOWNORMAL;
    } else if (ws.IsIconic(m_hWnd)) {
        *result = SW_MINIMIZE;
    } else if (ws.IsZoomed(m_hWnd)) {
        *result = SW_SHOWMAXIMIZED;
    } else {
        *result = SW_SHOWNORMAL;
    }
    return S_OK;
}

HRESULT clsWrangler::put_WindowState(LONG value) {
    // Any show command goes through as it is; 0 hides the window.
    if (!IsBroadcast(m_hWnd)) platform::Current().ShowWindow(m_hWnd, value);
    return S_OK;
}

HRESULT clsWrangler::CloseWindow() {
    // Posted: a window that asks the user first must not block the caller. Posted to a broadcast
    // value it would close every top-level window.
    if (!IsBroadcast(m_hWnd)) platform::Current().PostMessageA(m_hWnd, WM_CLOSE, 0, 0);
    return S_OK;
}

HRESULT clsWrangler::Flash() {
    if (!IsBroadcast(m_hWnd)) platform::Current().FlashWindow(m_hWnd, TRUE);
    return S_OK;
}

HRESULT clsWrangler::Refresh() {
    if (IsBroadcast(m_hWnd)) return S_OK;
    platform::WindowSystem& ws = platform::Current();
    RECT client = {0, 0, 0, 0};
    ws.GetClientRect(m_hWnd, &client);
    ws.InvalidateRect(m_hWnd, &client, TRUE);
    return S_OK;
}

HRESULT clsWrangler::Focus() {
    if (!IsBroadcast(m_hWnd)) platform::Current().SetFocus(m_hWnd);
    return S_OK;
}

HRESULT clsWrangler::Update() {
    if (!IsBroadcast(m_hWnd)) platform::Current().UpdateWindow(m_hWnd);
    return S_OK;
}

}  // namespace wrang
