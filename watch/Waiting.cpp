#include "watch/Waiting.h"

#include "platform/WindowSystem.h"

namespace wrang::watch {
namespace {

// The events that can change what a wait looks at, in ranges of event numbers: windows created,
// destroyed, shown and hidden (CREATE to HIDE are consecutive); a state changed (enabled,
// disabled); a caption changed; a new foreground window.
constexpr DWORD kWatchedEvents[][2] = {{EVENT_OBJECT_CREATE, EVENT_OBJECT_HIDE},
                                       {EVENT_OBJECT_STATECHANGE, EVENT_OBJECT_STATECHANGE},
                                       {EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE},
                                       {EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND}};
static_assert(sizeof kWatchedEvents / sizeof kWatchedEvents[0] == 4, "one hook per range");

// The event's delivery is all that counts: it ends the wait for input, and the wait looks again at
// what it waits for. Nothing is kept, so an event that arrives for a wait that has ended (its hook
// already gone) finds nothing to change.
void CALLBACK OnWindowEvent(HWINEVENTHOOK, DWORD, HWND, LONG, LONG, DWORD, DWORD) {}

}  // namespace

WindowEvents::WindowEvents() noexcept {
    platform::WindowSystem& ws = platform::Current();
    for (size_t i = 0; i < 4; ++i) {
        // A hook the system refuses leaves that change to the safety poll.
        m_hooks[i] = ws.SetWinEventHook(kWatchedEvents[i][0], kWatchedEvents[i][1], nullptr, &OnWindowEvent, 0, 0,
                                        WINEVENT_OUTOFCONTEXT);
    }
}

WindowEvents::~WindowEvents() {
    platform::WindowSystem& ws = platform::Current();
    for (HWINEVENTHOOK hook : m_hooks) {
        if (hook) ws.UnhookWinEvent(hook);
    }
}

void WaitForInput(DWORD milliseconds) noexcept {
    // Input already in the queue, seen or not, ends the wait at once.
    platform::Current().MsgWaitForMultipleObjectsEx(0, nullptr, milliseconds, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

bool ServeMessages(const Deadline& deadline) noexcept {
    platform::WindowSystem& ws = platform::Current();
    MSG message;
    // Retrieving also delivers the window events and the messages sent to this thread. A queue
    // that never runs dry (a window that posts itself a message for each one it handles) is left
    // at the deadline.
    while (ws.PeekMessageW(&message, 0, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            ws.PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        ws.TranslateMessage(&message);
        ws.DispatchMessageW(&message);
        if (deadline.Passed()) break;
    }
    return true;
}

}  // namespace wrang::watch
