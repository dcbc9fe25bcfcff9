// Real windows on a thread of the test process, recording every message they receive.
//
// A window on another thread behaves towards the component as a window of another application
// does: sent messages cross threads and wait for the target's loop, posted ones arrive later.
// Menus must be used in the process that made them, so menu targets live here as well.
#pragma once

#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace wrang::test {

// How long a test waits for what must happen (a message, another thread's or process's answer):
// long enough that on a 2-core machine under a full run only a fault reaches it. A wait ends as
// soon as its event comes, so only a failing test pays for the length.
constexpr std::chrono::seconds kEventDeadline{30};

struct Message {
    HWND hWnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class WindowThread {
public:
    // Answers a message instead of the default window procedure when it returns true.
    using Handler = std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT*)>;

    WindowThread();
    ~WindowThread();
    WindowThread(const WindowThread&) = delete;
    WindowThread& operator=(const WindowThread&) = delete;

    // Runs `work` on the window thread and waits for it.
    void Run(const std::function<void()>& work);

    // A recording window of the given class (registered on first use, with `classStyle`) on the
    // window thread.
    HWND Create(const char* className, const char* caption, DWORD style = WS_OVERLAPPEDWINDOW, HWND parent = nullptr,
                HMENU menu = nullptr, int x = 10, int y = 10, int width = 300, int height = 200, DWORD exStyle = 0,
                UINT classStyle = CS_DBLCLKS);
    // A window of an existing class (a system control), subclassed so that it records too.
    HWND CreateControl(const char* className, const char* caption, DWORD style, HWND parent, int id = 0, int x = 0,
                       int y = 0, int width = 100, int height = 20);
    void Destroy(HWND hWnd);

    void SetHandler(HWND hWnd, Handler handler);

    // The messages `hWnd` received since the last Clear, optionally only those of one kind.
    std::vector<Message> Messages(HWND hWnd) const;
    std::vector<Message> Messages(HWND hWnd, UINT message) const;
    void Clear();
    // Waits until at least `count` messages of the kind arrived; false at the deadline.
    bool WaitForMessages(HWND hWnd, UINT message, size_t count,
                         std::chrono::milliseconds deadline = kEventDeadline) const;

    DWORD ThreadId() const { return m_threadId; }

private:
    static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);
    static WindowThread* s_instance;
    LRESULT Dispatch(HWND, UINT, WPARAM, LPARAM);
    void Loop();

    std::thread m_thread;
    DWORD m_threadId = 0;
    HANDLE m_ready = nullptr;
    mutable std::mutex m_lock;
    mutable std::condition_variable m_arrived;
    std::vector<Message> m_messages;
    std::map<HWND, Handler> m_handlers;
    std::map<HWND, WNDPROC> m_originalProcs;
};

// Pumps this thread's own messages until `done` or the deadline.
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds deadline = kEventDeadline);

}  // namespace wrang::test
