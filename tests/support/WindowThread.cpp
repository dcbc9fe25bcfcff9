#include "support/WindowThread.h"

#include <stdexcept>

namespace wrang::test {

WindowThread* WindowThread::s_instance = nullptr;

namespace {
constexpr UINT kRunWork = WM_APP + 0x3FF;
}

WindowThread::WindowThread() {
    s_instance = this;
    m_ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_thread = std::thread([this] { Loop(); });
    WaitForSingleObject(m_ready, INFINITE);
}

WindowThread::~WindowThread() {
    PostThreadMessageW(m_threadId, WM_QUIT, 0, 0);
    m_thread.join();
    CloseHandle(m_ready);
    s_instance = nullptr;
}

void WindowThread::Loop() {
    m_threadId = GetCurrentThreadId();
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // make the queue before anyone posts
    SetEvent(m_ready);
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.hwnd == nullptr && msg.message == kRunWork) {
            auto* work = reinterpret_cast<std::function<void()>*>(msg.lParam);
            (*work)();
            SetEvent(reinterpret_cast<HANDLE>(msg.wParam));
            continue;
        }
        // No TranslateMessage: tests see exactly the key messages that were posted.
        DispatchMessageW(&msg);
    }
    // Windows still open at the end go with their thread.
}

void WindowThread::Run(const std::function<void()>& work) {
    if (GetCurrentThreadId() == m_threadId) {
        work();
        return;
    }
    HANDLE done = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    std::function<void()> copy = work;
    PostThreadMessageW(m_threadId, kRunWork, reinterpret_cast<WPARAM>(done), reinterpret_cast<LPARAM>(&copy));
    // Keep answering sent messages while waiting, so the window thread may send to us.
    while (MsgWaitForMultipleObjects(1, &done, FALSE, INFINITE, QS_SENDMESSAGE) != WAIT_OBJECT_0) {
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    CloseHandle(done);
}

HWND WindowThread::Create(const char* className, const char* caption, DWORD style, HWND parent, HMENU menu, int x,
                          int y, int width, int height, DWORD exStyle, UINT classStyle) {
    HWND created = nullptr;
    Run([&] {
        WNDCLASSA existing;
        if (!GetClassInfoA(GetModuleHandleA(nullptr), className, &existing)) {
            WNDCLASSA cls = {};
            cls.style = classStyle;
            cls.lpfnWndProc = &WindowThread::WindowProc;
            cls.hInstance = GetModuleHandleA(nullptr);
            cls.hCursor = LoadCursor(nullptr, IDC_ARROW);
            cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
            cls.lpszClassName = className;
            RegisterClassA(&cls);
        }
        created = CreateWindowExA(exStyle, className, caption, style, x, y, width, height, parent, menu,
                                  GetModuleHandleA(nullptr), nullptr);
    });
    return created;
}

HWND WindowThread::CreateControl(const char* className, const char* caption, DWORD style, HWND parent, int id, int x,
                                 int y, int width, int height) {
    HWND created = nullptr;
    Run([&] {
        created =
            CreateWindowExA(0, className, caption, style, x, y, width, height, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
        if (created) {
            std::lock_guard<std::mutex> guard(m_lock);
            m_originalProcs[created] = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrA(created, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowThread::WindowProc)));
        }
    });
    return created;
}

void WindowThread::Destroy(HWND hWnd) {
    Run([&] { DestroyWindow(hWnd); });
}

void WindowThread::SetHandler(HWND hWnd, Handler handler) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_handlers[hWnd] = std::move(handler);
}

std::vector<Message> WindowThread::Messages(HWND hWnd) const {
    std::lock_guard<std::mutex> guard(m_lock);
    std::vector<Message> result;
    for (const Message& m : m_messages) {
        if (m.hWnd == hWnd) result.push_back(m);
    }
    return result;
}

std::vector<Message> WindowThread::Messages(HWND hWnd, UINT message) const {
    std::vector<Message> result;
    for (const Message& m : Messages(hWnd)) {
        if (m.message == message) result.push_back(m);
    }
    return result;
}

void WindowThread::Clear() {
    std::lock_guard<std::mutex> guard(m_lock);
    m_messages.clear();
}

bool WindowThread::WaitForMessages(HWND hWnd, UINT message, size_t count, std::chrono::milliseconds deadline) const {
    std::unique_lock<std::mutex> guard(m_lock);
    return m_arrived.wait_for(guard, deadline, [&] {
        size_t seen = 0;
        for (const Message& m : m_messages) {
            if (m.hWnd == hWnd && m.message == message) ++seen;
        }
        return seen >= count;
    });
}

LRESULT CALLBACK WindowThread::WindowProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    return s_instance ? s_instance->Dispatch(h, m, w, l) : DefWindowProcA(h, m, w, l);
}

LRESULT WindowThread::Dispatch(HWND h, UINT m, WPARAM w, LPARAM l) {
    Handler handler;
    WNDPROC original = nullptr;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_messages.push_back({h, m, w, l});
        auto found = m_handlers.find(h);
        if (found != m_handlers.end()) handler = found->second;
        auto proc = m_originalProcs.find(h);
        if (proc != m_originalProcs.end()) original = proc->second;
    }
    m_arrived.notify_all();
    LRESULT answer = 0;
    if (handler && handler(h, m, w, l, &answer)) return answer;
    return original ? CallWindowProcA(original, h, m, w, l) : DefWindowProcA(h, m, w, l);
}

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds deadline) {
    const auto until = std::chrono::steady_clock::now() + deadline;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= until) return false;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

}  // namespace wrang::test
