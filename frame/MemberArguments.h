// What the members of the class floor share about their arguments and answers: the window a window
// argument is bound to, and the automation Boolean.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include "Wrang_h.h"
#include "frame/Errors.h"
#include "platform/WindowSystem.h"

namespace wrang {

// The automation Boolean of a truth: True is -1, False 0.
constexpr VARIANT_BOOL ToBoolean(bool value) noexcept { return value ? VARIANT_TRUE : VARIANT_FALSE; }

// The window a window argument (a window object of ours or a client's) is bound to, asked through
// its interface: error 91 for Nothing; 0 for an unbound object and for a broadcast value, which
// names no window for a member that acts on one window.
[[nodiscard]] inline HRESULT WindowOfArgument(_clsWrangler* window, LONG* hWnd) noexcept {
    *hWnd = 0;
    if (!window) return RaiseObjectRequired();
    RETURN_IF_FAILED(window->get_hWnd(hWnd));
    if (platform::IsBroadcast(*hWnd)) *hWnd = 0;
    return S_OK;
}

}  // namespace wrang
