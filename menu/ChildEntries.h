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

// Sends `window` the command of `child`, as the menu `hMenu` holding it would: the entry's
// identifier as wParam, the menu as lParam. Nothing is sent for a null entry.
[[nodiscard]] inline HRESULT SendCommandOfChild(LONG window, UINT message, LONG hMenu, _clsMenuItem* child,
                                                LONG* result) noexcept {
    *result = 0;
    if (!child) return RaiseObjectRequired();
    LONG command = 0;
    RETURN_IF_FAILED(child->GetMenuHandle(&command));
    *result = platform::AnswerOf(
        platform::Current().SendMessageA(window, message, platform::WParamOf(command), platform::LParamOf(hMenu)));
    return S_OK;
}

}  // namespace wrang
