#include "watch/clsWatcher.h"

#include "frame/ArgumentConversion.h"
#include "frame/Classes.h"
#include "frame/Errors.h"
#include "frame/MemberArguments.h"
#include "platform/LimitedSend.h"
#include "platform/WindowSystem.h"
#include "watch/Waiting.h"

namespace wrang {
namespace {

using watch::WaitUntil;

// How long Activate gives the window's own thread to carry out a foreground change and a restore
// that the window system accepted: the time after which the system calls a thread that takes no
// messages hung.
constexpr DWORD kSettleMs = 5000;
// WaitForIdle asks the system's input-idle wait in slices this long, and WaitForState asks a window
// whether it answers for at most this long at a time, serving the thread's messages in between.
constexpr DWORD kIdleSliceMs = 20;
constexpr DWORD kAnswerSliceMs = 50;

constexpr LONG kEveryState = WAIT_VISIBLE | WAIT_HIDDEN | WAIT_ENABLED | WAIT_DISABLED | WAIT_ACTIVE | WAIT_RESPONDING;

template <typename Interface>
HRESULT RequireObject(Interface* object) noexcept {
    return object ? S_OK : RaiseObjectRequired();
}

// A time-out in milliseconds; negative is error 5.
HRESULT TimeoutOf(LONG value, DWORD* milliseconds) noexcept {
    if (value < 0) return RaiseInvalidCall();
    *milliseconds = static_cast<DWORD>(value);
    return S_OK;
}

// States to wait for: at least one, none unknown, none that contradicts another.
HRESULT CheckStates(LONG states) noexcept {
    const auto both = [states](LONG a, LONG b) { return (states & a) && (states & b); };
    if (states == 0 || (states & ~kEveryState) || both(WAIT_VISIBLE, WAIT_HIDDEN) || both(WAIT_ENABLED, WAIT_DISABLED)) {
        return RaiseInvalidCall();
    }
    return S_OK;
}

bool Exists(LONG hWnd) noexcept { return hWnd != 0 && platform::Current().IsWindow(hWnd); }

LONG TopLevelOf(LONG hWnd) noexcept {
    const LONG root = platform::Current().GetAncestor(hWnd, GA_ROOT);
    return root ? root : hWnd;
}

// A name to look for, copied (a message served during the wait may change the caller's
// variable): left out, Null or Empty match any name, as a null string does (no copy then); a
// string matches by the rule of InitByWindow, "" only the empty name; anything else is error 13.
HRESULT NameOf(const VARIANT& argument, UniqueBstr* name) noexcept {
    BSTR text = nullptr;
    if (FAILED(OptionalTextIn(argument, &text))) return RaiseTypeMismatch();
    if (!text) return S_OK;
    name->reset(SysAllocStringLen(text, SysStringLen(text)));
    return *name ? S_OK : E_OUTOFMEMORY;
}

// Whether the window's thread takes a null message within `milliseconds`; false at once for a
// thread that the system already reports hung.
bool AnswersWithin(LONG hWnd, DWORD milliseconds) noexcept {
    LRESULT ignored = 0;
    return platform::SendWithin(hWnd, WM_NULL, 0, 0, milliseconds, &ignored);
}

// Whether the window is in every one of `states`; whether it answers is asked last, for at most
// `milliseconds`, and only when every other state holds.
bool InStates(LONG hWnd, LONG states, DWORD milliseconds) noexcept {
    platform::WindowSystem& ws = platform::Current();
    if ((states & WAIT_VISIBLE) && !ws.IsWindowVisible(hWnd)) return false;
    if ((states & WAIT_HIDDEN) && ws.IsWindowVisible(hWnd)) return false;
    if ((states & WAIT_ENABLED) && !ws.IsWindowEnabled(hWnd)) return false;
    if ((states & WAIT_DISABLED) && ws.IsWindowEnabled(hWnd)) return false;
    if ((states & WAIT_ACTIVE) && ws.GetForegroundWindow() != TopLevelOf(hWnd)) return false;
    return !(states & WAIT_RESPONDING) || AnswersWithin(hWnd, milliseconds);
}

// This thread shares the input of another thread for as long as the object lives.
class SharedInput {
public:
    SharedInput(DWORD own, DWORD other) noexcept
        : m_own(own), m_other(other), m_shared(platform::Current().AttachThreadInput(own, other, TRUE) != FALSE) {}
    SharedInput(const SharedInput&) = delete;
    SharedInput& operator=(const SharedInput&) = delete;
    ~SharedInput() {
        if (m_shared) platform::Current().AttachThreadInput(m_own, m_other, FALSE);
    }
    explicit operator bool() const noexcept { return m_shared; }

private:
    DWORD m_own, m_other;
    bool m_shared;
};

// The documented way past a refused foreground change: while this thread shares the input of the
// foreground window's thread, it may hand the foreground on. The sharing ends before this returns.
bool ForegroundThroughSharedInput(LONG top) noexcept {
    platform::WindowSystem& ws = platform::Current();
    const DWORD own = ws.GetCurrentThreadId();
    const DWORD foreground = ws.GetWindowThreadProcessId(ws.GetForegroundWindow(), nullptr);
    if (foreground == 0 || foreground == own) return false;
    const SharedInput shared(own, foreground);
    if (!shared) return false;
    ws.BringWindowToTop(top);
    return ws.SetForegroundWindow(top) != FALSE;
}

HRESULT NoMoreArguments() noexcept { return S_OK; }

// The names and the time-out of a member that waits for a window to appear, in their order.
HRESULT NamesAndTimeout(const VARIANT& className, const VARIANT& caption, LONG timeout, UniqueBstr* classNameCopy,
                        UniqueBstr* captionCopy, DWORD* milliseconds) noexcept {
    RETURN_IF_FAILED(NameOf(className, classNameCopy));
    RETURN_IF_FAILED(NameOf(caption, captionCopy));
    return TimeoutOf(timeout, milliseconds);
}

// A member that watches one window and answers True or False. Its arguments are checked first, in
// their order: the window (error 91 for Nothing), `check` for what comes between, the time-out
// (error 5 when negative). Then `watch(hWnd, milliseconds)` answers for the window the argument is
// bound to, 0 for none.
template <typename Check, typename Watch>
HRESULT WatchWindow(_clsWatcher* watcher, _clsWrangler* window, LONG timeout, VARIANT_BOOL* result, Check check,
                    Watch watch) noexcept {
    if (!result) return E_POINTER;
    *result = VARIANT_FALSE;
    DWORD milliseconds = 0;
    RETURN_IF_FAILED(RequireObject(window));
    RETURN_IF_FAILED(check());
    RETURN_IF_FAILED(TimeoutOf(timeout, &milliseconds));
    const ComPtr<_clsWatcher> alive(watcher);
    LONG hWnd = 0;
    RETURN_IF_FAILED(WindowOfArgument(window, &hWnd));
    *result = ToBoolean(watch(hWnd, milliseconds));
    return S_OK;
}

}  // namespace

HRESULT CreateWatcher(_clsWatcher** out) noexcept { return clsWatcher::Create(out); }

// Every member holds a reference to the object while it runs: a message it serves may release the
// caller's last one.

HRESULT clsWatcher::WaitForWindow(VARIANT ClassName, VARIANT WindowText, LONG Timeout, _clsWrangler** result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    UniqueBstr className, caption;
    DWORD timeout = 0;
    RETURN_IF_FAILED(NamesAndTimeout(ClassName, WindowText, Timeout, &className, &caption, &timeout));
    const ComPtr<_clsWatcher> alive(self());
    LONG found = 0;
    WaitUntil(timeout, [&](DWORD) {
        found = platform::FindByClassAndCaption(className.get(), caption.get());
        return found != 0;
    });
    return NewBoundToWindow(CreateWrangler, found, result);
}

HRESULT clsWatcher::WaitForChild(_clsWrangler* Parent, VARIANT ClassName, VARIANT WindowText, LONG Timeout,
                                 _clsWrangler** result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    RETURN_IF_FAILED(RequireObject(Parent));
    UniqueBstr className, caption;
    DWORD timeout = 0;
    RETURN_IF_FAILED(NamesAndTimeout(ClassName, WindowText, Timeout, &className, &caption, &timeout));
    const ComPtr<_clsWatcher> alive(self());
    LONG parent = 0;
    RETURN_IF_FAILED(Parent->get_hWnd(&parent));
    LONG found = 0;
    // An unbound parent stands for the desktop, as for GetChild: its children are the top-level
    // windows. A parent that names no window, or is gone, can have no child: the wait ends.
    if (!platform::IsBroadcast(parent)) {
        WaitUntil(timeout, [&](DWORD) {
            if (parent != 0 && !platform::Current().IsWindow(parent)) return true;
            found = platform::FindByClassAndCaption(className.get(), caption.get(), &parent);
            return found != 0;
        });
    }
    return NewBoundToWindow(CreateWrangler, found, result);
}

HRESULT clsWatcher::WaitForState(_clsWrangler* Window, WaitStates States, LONG Timeout, VARIANT_BOOL* result) {
    const LONG states = States;
    return WatchWindow(self(), Window, Timeout, result, [states] { return CheckStates(states); },
                       [states](LONG hWnd, DWORD timeout) {
                           bool held = false;
                           WaitUntil(timeout, [&](DWORD left) {
                               // A window that is gone is in none of the states, and never will be.
                               if (!Exists(hWnd)) return true;
                               held = InStates(hWnd, states, left < kAnswerSliceMs ? left : kAnswerSliceMs);
                               return held;
                           });
                           return held;
                       });
}

HRESULT clsWatcher::WaitForClose(_clsWrangler* Window, LONG Timeout, VARIANT_BOOL* result) {
    return WatchWindow(self(), Window, Timeout, result, NoMoreArguments, [](LONG hWnd, DWORD timeout) {
        return WaitUntil(timeout, [hWnd](DWORD) { return !Exists(hWnd); });
    });
}

HRESULT clsWatcher::WaitForIdle(_clsWrangler* Window, LONG Timeout, VARIANT_BOOL* result) {
    return WatchWindow(self(), Window, Timeout, result, NoMoreArguments, [](LONG hWnd, DWORD timeout) {
        if (!Exists(hWnd)) return false;
        platform::WindowSystem& ws = platform::Current();
        DWORD processId = 0;
        ws.GetWindowThreadProcessId(hWnd, &processId);
        const platform::UniqueProcess process(
            ws.OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, processId));
        if (!process) return false;  // a process that cannot be asked
        // The system's wait serves no posted message, so it is asked in short slices with the
        // thread's messages served in between.
        const watch::Deadline deadline(timeout);
        for (;;) {
            const DWORD answer = ws.WaitForInputIdle(process.get(), deadline.Left(kIdleSliceMs));
            // Idle, and still there: a process that ended while it was asked answers idle under Wine.
            if (answer == 0) return ws.IsWindow(hWnd) != FALSE;
            // Anything but a time-out: the process cannot be asked (a console process, one that ended).
            if (answer != WAIT_TIMEOUT || deadline.Passed() || !watch::ServeMessages(deadline)) return false;
        }
    });
}

HRESULT clsWatcher::IsResponding(_clsWrangler* Window, LONG Timeout, VARIANT_BOOL* result) {
    // One send, in which the thread answers the messages sent to it but not the posted ones.
    return WatchWindow(self(), Window, Timeout, result, NoMoreArguments,
                       [](LONG hWnd, DWORD timeout) { return Exists(hWnd) && AnswersWithin(hWnd, timeout); });
}

HRESULT clsWatcher::SendMsgTimeout(_clsWrangler* Window, LONG wMsg, LONG wParam, LONG lParam, LONG Timeout,
                                   VARIANT* result) {
    if (!result) return E_POINTER;
    V_VT(result) = VT_EMPTY;
    DWORD timeout = 0;
    RETURN_IF_FAILED(RequireObject(Window));
    RETURN_IF_FAILED(TimeoutOf(Timeout, &timeout));
    const ComPtr<_clsWatcher> alive(self());
    // The handle as bound, broadcast values included: the message and its window are the caller's.
    LONG hWnd = 0;
    RETURN_IF_FAILED(Window->get_hWnd(&hWnd));
    // lParam goes as the value itself: an address of a variable of this call would outlive it in a
    // window that answers after the time-out. A broadcast goes to one window after another within
    // the one limit.
    LRESULT answer = 0;
    if (platform::SendWithin(hWnd, static_cast<UINT>(wMsg), platform::WParamOf(wParam), platform::LParamOf(lParam),
                             timeout, &answer)) {
        V_VT(result) = VT_I4;
        V_I4(result) = platform::AnswerOf(answer);
    } else {
        // No answer in time, a thread reported hung, no such window, or a broadcast that ran out of
        // time before it reached every window: Null, which VBScript and JScript alike can test.
        V_VT(result) = VT_NULL;
    }
    return S_OK;
}

HRESULT clsWatcher::Activate(_clsWrangler* Window, VARIANT_BOOL* result) {
    return WatchWindow(self(), Window, 0, result, NoMoreArguments, [](LONG hWnd, DWORD) {
        if (!Exists(hWnd)) return false;
        platform::WindowSystem& ws = platform::Current();
        const LONG top = TopLevelOf(hWnd);
        // Restored by the window's own thread when it next takes its messages: a thread that takes
        // none cannot hold the caller here.
        if (ws.IsIconic(top)) ws.ShowWindowAsync(top, SW_RESTORE);
        const bool accepted =
            ws.GetForegroundWindow() == top || ws.SetForegroundWindow(top) || ForegroundThroughSharedInput(top);
        if (accepted) {
            WaitUntil(kSettleMs, [&](DWORD) {
                return !ws.IsWindow(top) || ws.IsHungAppWindow(top) ||
                       (ws.GetForegroundWindow() == top && !ws.IsIconic(top));
            });
        }
        return ws.IsWindow(top) && ws.GetForegroundWindow() == top;
    });
}

HRESULT clsWatcher::WaitForMatch(_clsFinder* Finder, LONG Timeout, _clsWrangler** result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    DWORD timeout = 0;
    RETURN_IF_FAILED(RequireObject(Finder));
    RETURN_IF_FAILED(TimeoutOf(Timeout, &timeout));
    const ComPtr<_clsWatcher> alive(self());
    // The finder is asked through its interface, whose one matcher serves FindFirst and FindAll
    // alike; a message served between two looks may change its criteria, and the next look uses them.
    const ComPtr<_clsFinder> finder(Finder);
    LONG found = 0;
    HRESULT failed = S_OK;
    WaitUntil(timeout, [&](DWORD) {
        ComPtr<_clsWrangler> first;
        failed = finder->FindFirst(first.put());
        found = 0;
        if (SUCCEEDED(failed) && first) failed = first->get_hWnd(&found);
        return FAILED(failed) || found != 0;
    });
    RETURN_IF_FAILED(failed);
    return NewBoundToWindow(CreateWrangler, found, result);
}

HRESULT clsWatcher::Pause(LONG Milliseconds) {
    DWORD milliseconds = 0;
    RETURN_IF_FAILED(TimeoutOf(Milliseconds, &milliseconds));
    const ComPtr<_clsWatcher> alive(self());
    WaitUntil(milliseconds, [](DWORD) { return false; }, watch::Wake::OnMessages);
    return S_OK;
}

}  // namespace wrang
