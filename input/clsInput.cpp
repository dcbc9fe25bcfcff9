#include "input/clsInput.h"

#include <iterator>
#include <new>
#include <string>

#include "frame/Checked.h"
#include "frame/Classes.h"
#include "frame/Errors.h"
#include "frame/MemberArguments.h"
#include "input/MenuPath.h"
#include "platform/LimitedSend.h"
#include "platform/WindowSystem.h"

namespace wrang {
namespace {

// How long the window may take to handle each character: the watcher's default limit, after which
// the window system too calls a window that takes no message hung.
constexpr DWORD kCharacterLimitMs = 5000;
// A character's flags as one key stroke gives them: repeat count 1. Scan code 0, since no key is
// involved.
constexpr LPARAM kCharacterFlags = platform::ComposedLParam(1);

struct ButtonMessages {
    UINT down, up, doubleClick;
    WPARAM held;  // the MK_ flag of the button while it is down
};
// Indexed by MouseButtons.
constexpr ButtonMessages kButtons[] = {{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, MK_LBUTTON},
                                       {WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDBLCLK, MK_RBUTTON},
                                       {WM_MBUTTONDOWN, WM_MBUTTONUP, WM_MBUTTONDBLCLK, MK_MBUTTON}};

bool Exists(LONG hWnd) noexcept { return hWnd != 0 && platform::Current().IsWindow(hWnd); }

// A copy of the caller's text (a message this thread answers while it waits for the window may
// change the caller's variable), as it is typed: CR LF and a lone LF each become one CR, which is
// what the Enter key gives a window. Nothing else changes.
HRESULT TypedUnits(BSTR text, std::wstring* units) noexcept {
    const UINT length = SysStringLen(text);
    try {
        units->reserve(length);
        for (UINT i = 0; i < length; ++i) {
            if (text[i] == L'\r' && i + 1 < length && text[i + 1] == L'\n') continue;  // the LF stands for both
            units->push_back(text[i] == L'\n' ? L'\r' : text[i]);
        }
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

// The window a real click at `point` (hWnd's client coordinates) reaches: the deepest child there
// that is visible, enabled and not transparent to the mouse, with `point` moved into that child's
// client coordinates. A point outside hWnd's client area stays with hWnd, as given.
LONG Receiver(LONG hWnd, POINT* point) noexcept {
    platform::WindowSystem& ws = platform::Current();
    for (LONG receiver = hWnd;;) {
        const LONG child =
            ws.ChildWindowFromPointEx(receiver, *point, CWP_SKIPINVISIBLE | CWP_SKIPDISABLED | CWP_SKIPTRANSPARENT);
        if (child == 0 || child == receiver) return receiver;
        ws.MapWindowPoints(receiver, child, point, 1);
        receiver = child;
    }
}

// A point as a mouse message carries it: x in the low word, y in the high word, each 16 bits.
LPARAM PointParameter(POINT point) noexcept {
    return platform::ComposedLParam((static_cast<ULONG>(static_cast<USHORT>(point.y)) << 16) |
                                    static_cast<USHORT>(point.x));
}

}  // namespace

HRESULT CreateInput(_clsInput** out) noexcept { return clsInput::Create(out); }

// Every member holds a reference to the object while it runs: a message its thread answers while
// it waits for a window may release the caller's last one.

HRESULT clsInput::TypeText(_clsWrangler* Window, BSTR Text, VARIANT_BOOL* result) {
    if (!result) return E_POINTER;
    *result = VARIANT_FALSE;
    const ComPtr<_clsInput> alive(self());
    LONG hWnd = 0;
    RETURN_IF_FAILED(WindowOfArgument(Window, &hWnd));
    std::wstring units;
    RETURN_IF_FAILED(TypedUnits(Text, &units));
    if (!Exists(hWnd)) return S_OK;
    // Each character is sent, so that the window has handled it when its send returns: the order
    // is the text's, whatever else the window's queue holds, and no key or shift state is involved.
    // The first one the window does not handle within the limit ends the typing; the rest stay unsent.
    for (const wchar_t unit : units) {
        LRESULT ignored = 0;
        if (!platform::SendWithin(hWnd, WM_CHAR, unit, kCharacterFlags, kCharacterLimitMs, &ignored)) return S_OK;
    }
    *result = VARIANT_TRUE;
    return S_OK;
}

HRESULT clsInput::Click(_clsWrangler* Window, LONG X, LONG Y, MouseButtons Button, LONG Count, VARIANT_BOOL* result) {
    if (!result) return E_POINTER;
    *result = VARIANT_FALSE;
    const ComPtr<_clsInput> alive(self());
    LONG hWnd = 0;
    RETURN_IF_FAILED(WindowOfArgument(Window, &hWnd));
    // Compared unsigned, so that negative values are out of range as well.
    const auto button = static_cast<ULONG>(Button);
    if (button >= std::size(kButtons) || Count < 1 || Count > 3) return RaiseInvalidCall();
    // A mouse message carries each coordinate in 16 bits.
    SHORT x = 0, y = 0;
    RETURN_IF_FAILED(ToInteger16(X, &x));
    RETURN_IF_FAILED(ToInteger16(Y, &y));
    // No window is asked whether it exists: one that is gone takes no post, and the answer is False
    // all the same. Handle 0 is never posted to: that would post to this thread's own queue.
    if (hWnd == 0) return S_OK;
    platform::WindowSystem& ws = platform::Current();
    POINT point = {x, y};
    const LONG receiver = Receiver(hWnd, &point);
    const LPARAM at = PointParameter(point);
    const ButtonMessages& messages = kButtons[button];
    // The window system makes the second press of a double click a double-click message only for
    // a window whose class asks for them.
    const bool doubleClicks = Count > 1 && (ws.GetClassStyle(receiver) & CS_DBLCLKS);
    // Posted, as the mouse's messages are: a click that opens a modal dialog holds nobody here.
    bool posted = ws.PostMessageW(receiver, WM_MOUSEMOVE, 0, at) != FALSE;
    for (LONG click = 1; click <= Count && posted; ++click) {
        const UINT press = click == 2 && doubleClicks ? messages.doubleClick : messages.down;
        posted = ws.PostMessageW(receiver, press, messages.held, at) && ws.PostMessageW(receiver, messages.up, 0, at);
    }
    *result = ToBoolean(posted);
    return S_OK;
}

HRESULT clsInput::ClickMenu(_clsWrangler* Window, BSTR Path, VARIANT_BOOL* result) {
    if (!result) return E_POINTER;
    *result = VARIANT_FALSE;
    const ComPtr<_clsInput> alive(self());
    LONG hWnd = 0;
    RETURN_IF_FAILED(WindowOfArgument(Window, &hWnd));
    if (!Exists(hWnd)) return S_OK;
    input::MenuEntry entry;
    HRESULT found = S_OK;
    try {
        // A copy: the window answers its notifications while the caller's variable may change.
        found = input::FindMenuEntry(hWnd, std::wstring(Path ? Path : L"", SysStringLen(Path)), &entry);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    RETURN_IF_FAILED(found);
    // A window that did not answer in time, or an entry a click would not choose: nothing is posted.
    if (found == S_FALSE || !entry.enabled) return S_OK;
    // Posted with the entry's identifier, as the window system posts a chosen entry's command.
    *result = ToBoolean(platform::Current().PostMessageW(hWnd, WM_COMMAND, entry.command, 0));
    return S_OK;
}

}  // namespace wrang
