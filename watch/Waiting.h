// The one way the watcher waits: a deadline on the monotonic clock plus the window system's own
// events, with the calling thread serving its messages meanwhile (a script host's windows, calls
// from other apartments), as a single-threaded apartment must; never a wait without a limit.
#pragma once

#include <windows.h>

#include <optional>

#include "platform/Deadline.h"

namespace wrang::watch {

// How long a wait goes without any event before it looks again anyway. The hooks wake it for
// windows created, shown, hidden, destroyed, renamed and changed in state, and for the
// foreground; this slow poll catches what no hook reports (a window that answers again, and,
// under Wine, every change but a window's creation).
constexpr DWORD kSafetyPollMs = 200;

// A time-out as a point on the monotonic clock: a wait never ends before it.
using platform::Deadline;

// Hooks for the window events that can end a wait, delivered to this thread (out of context, from
// every process) while it retrieves its messages; removed when the object goes, on every path.
class WindowEvents {
public:
    WindowEvents() noexcept;
    WindowEvents(const WindowEvents&) = delete;
    WindowEvents& operator=(const WindowEvents&) = delete;
    ~WindowEvents();

private:
    HWINEVENTHOOK m_hooks[4] = {};
};

// Waits at most `milliseconds` for input of this thread: a message, a window event, an answer.
void WaitForInput(DWORD milliseconds) noexcept;

// Serves the messages queued for this thread, until none is left or the deadline passes. False
// when one of them asked the thread to quit: the request is posted again for the thread's own
// loop, and the wait ends.
bool ServeMessages(const Deadline& deadline) noexcept;

enum class Wake {
    OnWindowEvents,  // looks again after window events and messages
    OnMessages,      // looks again after messages only (nothing a window does can end the wait)
};

// Looks with `look(milliseconds)` until it answers true or the time-out passes; false then. `look`
// is given the time left and may spend up to that much asking (a window whether it answers). A
// time-out of 0 looks once. A message that the thread serves may call back into the component
// (a script host's timer): each wait has its own deadline and hooks, so waits may nest.
template <typename Look>
bool WaitUntil(DWORD timeout, Look&& look, Wake wake = Wake::OnWindowEvents) {
    const Deadline deadline(timeout);
    if (look(deadline.Left(timeout))) return true;
    if (deadline.Passed()) return false;
    std::optional<WindowEvents> events;
    if (wake == Wake::OnWindowEvents) events.emplace();
    for (;;) {
        // Once more with the hooks in place: from here on no change goes unnoticed.
        if (look(deadline.Left(timeout))) return true;
        if (deadline.Passed()) return false;
        WaitForInput(deadline.Left(kSafetyPollMs));
        if (!ServeMessages(deadline)) return look(0);
    }
}

}  // namespace wrang::watch
