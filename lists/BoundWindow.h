// The windows the readers bind to.
#pragma once

#include <windows.h>

namespace wrang::lists {

// Whether a window argument names no window: HWND_BROADCAST (0xFFFF) and -1 stand for many windows
// or for none in the window system's own calls, never for one window, so a reader takes either for
// a window that does not exist and hands it to no window-system call.
constexpr bool NamesNoWindow(LONG hWnd) noexcept { return hWnd == 0xFFFF || hWnd == -1; }

// A window's class name.
struct ClassName {
    wchar_t text[256] = {};  // a class name has at most 256 characters with its terminator
    size_t length = 0;
    // Whether the name contains `part`, compared as the window manager compares class names
    // (without regard to case), so that a framework's own class built on a control's counts too.
    bool Contains(const wchar_t* part) const noexcept;
};
// The class name of a window that exists; empty for any other handle.
ClassName ClassNameOf(LONG hWnd) noexcept;

}  // namespace wrang::lists
