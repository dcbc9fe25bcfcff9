#include "platform/LimitedSend.h"

#include <new>

#include "platform/Deadline.h"
#include "platform/WindowSystem.h"

namespace wrang::platform {
namespace {

// Wine's SendMessageTimeout waits without a limit when given 0, where Windows gives up at once; one
// millisecond is one look on both.
UINT SendLimit(DWORD milliseconds) noexcept { return milliseconds > 0 ? milliseconds : 1; }

bool SendOne(LONG hWnd, UINT message, WPARAM wParam, LPARAM lParam, DWORD milliseconds, LRESULT* answer) noexcept {
    DWORD_PTR answered = 0;
    const bool sent = Current().SendMessageTimeoutW(hWnd, message, wParam, lParam, SMTO_ABORTIFHUNG,
                                                    SendLimit(milliseconds), &answered) != 0;
    if (sent) *answer = static_cast<LRESULT>(answered);
    return sent;
}

// The list being made, and whether every window found room in it.
struct WindowList {
    std::vector<LONG>* windows;
    bool complete;
};

BOOL CALLBACK AddWindow(HWND window, LPARAM state) noexcept {
    auto* list = reinterpret_cast<WindowList*>(state);
    try {
        list->windows->push_back(static_cast<LONG>(reinterpret_cast<LONG_PTR>(window)));
    } catch (const std::bad_alloc&) {
        list->complete = false;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

bool TopLevelWindows(std::vector<LONG>* windows) noexcept {
    windows->clear();
    WindowList list = {windows, true};
    Current().EnumWindows(&AddWindow, reinterpret_cast<LPARAM>(&list));
    return list.complete;
}

bool SendWithin(LONG hWnd, UINT message, WPARAM wParam, LPARAM lParam, DWORD milliseconds, LRESULT* answer) noexcept {
    *answer = 0;
    if (!IsBroadcast(hWnd)) return SendOne(hWnd, message, wParam, lParam, milliseconds, answer);
    std::vector<LONG> windows;
    if (!TopLevelWindows(&windows)) return false;
    const Deadline deadline(milliseconds);
    for (const LONG window : windows) {
        const DWORD left = deadline.Left(milliseconds);
        if (left == 0 && milliseconds > 0) return false;
        LRESULT ignored = 0;
        // A window that is gone, or reported hung, is passed over; one that uses up the time ends the
        // broadcast, which then did not reach every window.
        if (!SendOne(window, message, wParam, lParam, left, &ignored) && deadline.Passed()) return false;
    }
    *answer = 1;
    return true;
}

}  // namespace wrang::platform
