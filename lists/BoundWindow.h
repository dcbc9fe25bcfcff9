// The windows the readers bind to.
#pragma once

#include <windows.h>

namespace wrang::lists {

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
