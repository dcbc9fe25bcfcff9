// What the two parent classes (controller and entry) do alike for an entry of their menu.
#pragma once

#include "Wrang_h.h"
#include "frame/Errors.h"
#include "menu/MenuFlags.h"
#include "platform/Resource.h"
#include "platform/WindowSystem.h"

namespace wrang {

// The state word of `child` in `hMenu`, found by its identifier; -1 when the menu has no such entry.
[[nodiscard]] inline HRESULT StateOfChild(LONG hMenu, _clsMenuItem* child, LONG* result) noexcept {
    *result = 0;
    if (!child) return RaiseObjectRequired();
    LONG entry = 0;
    RETURN_IF_FAILED(child->GetMenuHandle(&entry));
    *result = static_cast<LONG>(platform::Current().GetMenuState(hMenu, static_cast<UINT>(entry), kByCommand));
    return S_OK;
}

// Sends `window` a menu command, as the menu `hMenu` holding its entry would: the identifier as
// wParam, the menu as lParam; the window's answer. A broadcast value names no window: nothing is
// sent (it would reach every top-level window) and the answer is 0, as from a window that is gone.
[[nodiscard]] inline LONG SendMenuCommand(LONG window, UINT message, LONG command, LONG hMenu) noexcept {
    if (platform::IsBroadcast(window)) return 0;
    return platform::AnswerOf(
        platform::Current().SendMessageA(window, message, platform::WParamOf(command), platform::LParamOf(hMenu)));
}

// Sends `window` the command of `child`. Nothing is sent for a null entry.
[[nodiscard]] inline HRESULT SendCommandOfChild(LONG window, UINT message, LONG hMenu, _clsMenuItem* child,
                                                LONG* result) noexcept {
    *result = 0;
    if (!child) return RaiseObjectRequired();
    LONG command = 0;
    RETURN_IF_FAILED(child->GetMenuHandle(&command));
    *result = SendMenuCommand(window, message, command, hMenu);
    return S_OK;
}

}  // namespace wrang
