// Work that runs while a call of the component waits, for the tests and the benchmark of the
// watcher: a message to a window of this thread, so that it runs only when the call serves this
// thread's messages.
#pragma once

#include <windows.h>

#include <functional>
#include <thread>
#include <utility>

namespace wrang::test {

// Posted, the work never runs once the object is gone; sent (from a thread of its own), it runs by
// the time the object is gone, and also while the thread waits in a send of its own.
class DuringTheWait {
public:
    enum Delivery { Posted, Sent };
    explicit DuringTheWait(std::function<void()> work, Delivery delivery = Posted) : m_work(std::move(work)) {
        WNDCLASSW cls = {};
        cls.lpfnWndProc = &Proc;
        cls.lpszClassName = L"WrangDuringTheWait";
        RegisterClassW(&cls);  // again for every object: the second registration fails harmlessly
        m_window = CreateWindowExW(0, cls.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        if (delivery == Posted) {
            PostMessageW(m_window, WM_APP, 0, 0);
            return;
        }
        m_delivered = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        m_sender = std::thread([this] {
            SendMessageW(m_window, WM_APP, 0, 0);
            SetEvent(m_delivered);
        });
    }
    DuringTheWait(const DuringTheWait&) = delete;
    DuringTheWait& operator=(const DuringTheWait&) = delete;
    ~DuringTheWait() {
        if (m_sender.joinable()) {
            // Take the message, if the call did not.
            while (MsgWaitForMultipleObjects(1, &m_delivered, FALSE, INFINITE, QS_SENDMESSAGE) != WAIT_OBJECT_0) {
                MSG msg;
                PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
            }
            m_sender.join();
            CloseHandle(m_delivered);
        }
        DestroyWindow(m_window);
    }
    bool Ran() const { return m_ran; }

private:
    static LRESULT CALLBACK Proc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<DuringTheWait*>(GetWindowLongPtrW(hWnd, GWLP_USERDATA));
        if (message != WM_APP || !self) return DefWindowProcW(hWnd, message, wParam, lParam);
        self->m_ran = true;
        self->m_work();
        return 0;
    }
    std::function<void()> m_work;
    HWND m_window = nullptr;
    bool m_ran = false;
    HANDLE m_delivered = nullptr;
    std::thread m_sender;
};

}  // namespace wrang::test
