// The entry of a window's menu bar that a path of captions names ("File\Save As...", "#2\#0"),
// found the way a user opening the menus finds it: the window is told of each level before the
// level is read, so that entries it enables or fills on opening are seen as they are shown.
#pragma once

#include <windows.h>

#include <string>

namespace wrang::input {

// How long the window may take to answer each notification of an opening menu.
constexpr DWORD kNotificationLimitMs = 5000;

struct MenuEntry {
    UINT command = 0;
    bool enabled = false;
};

// S_OK with the entry `path` names on hWnd's menu bar; S_FALSE when the window did not answer a
// notification within the limit (hung, or gone meanwhile). Error 5, whose description names the
// element, for a path that names no entry, or whose last element opens a sub-menu; error 5 saying
// so for the menu bar of another process that this platform does not let this process read.
[[nodiscard]] HRESULT FindMenuEntry(LONG hWnd, const std::wstring& path, MenuEntry* entry) noexcept;

}  // namespace wrang::input
