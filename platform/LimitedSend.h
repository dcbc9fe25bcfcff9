// The one way a member sends a message to a window whose thread may not answer: with a limit, so
// that a hung or busy application never holds the caller for longer than it asked. Every member
// that must not wait without end sends through here.
#pragma once

#include <windows.h>

#include <vector>

namespace wrang::platform {

// Sends `message` (wide) to `hWnd` and waits at most `milliseconds` for the answer: true with the
// answer in *answer; false when the window did not answer in time, its thread is reported hung, or
// there is no such window. A limit of 0 looks once.
//
// A broadcast value (platform::IsBroadcast) names every top-level window: the system's own
// broadcast applies the limit to each window in turn, so that it could wait the limit times the
// number of windows. Here the windows are sent to one at a time, each with the time that remains of
// the one limit, so the whole call ends within the limit (plus at most the slice of the window being
// asked when it runs out). True, with the answer 1 as the system gives a broadcast, when every
// window was reached in time (one reported hung is passed over, as the system passes it over);
// false when the time ran out first.
[[nodiscard]] bool SendWithin(LONG hWnd, UINT message, WPARAM wParam, LPARAM lParam, DWORD milliseconds,
                              LRESULT* answer) noexcept;

// The top-level windows, front to back (the window system's Z order), as the window system lists
// them now; false when there was no memory for the list.
[[nodiscard]] bool TopLevelWindows(std::vector<LONG>* windows) noexcept;

}  // namespace wrang::platform
