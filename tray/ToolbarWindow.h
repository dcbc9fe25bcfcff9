// The toolbar window that both tray classes address.
#pragma once

#include <windows.h>

#include "platform/WindowSystem.h"

namespace wrang {

// A broadcast value names no toolbar: it is handed to no call (a message sent to it would reach
// every top-level window) and answers as a toolbar that is gone.

// Whether `hToolbar` names a window.
[[nodiscard]] inline bool ToolbarIsWindow(LONG hToolbar) noexcept {
    return !platform::IsBroadcast(hToolbar) && platform::Current().IsWindow(hToolbar);
}

// Sends the toolbar one of its messages; its answer, or 0 for a broadcast value.
inline LRESULT SendToToolbar(LONG hToolbar, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (platform::IsBroadcast(hToolbar)) return 0;
    return platform::Current().SendMessageA(hToolbar, message, wParam, lParam);
}

}  // namespace wrang
