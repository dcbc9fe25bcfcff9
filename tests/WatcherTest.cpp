// The watcher: waits for windows and states with a limit, windows that do not answer, the front.
//
// What the window system reports to the watcher's hooks differs (README, "Waiting, windows that do
// not answer, the front"). Windows delivers every event the watcher hooks (windows created, shown,
// hidden, destroyed, renamed, changed in state, the foreground); Wine (8.0) delivers
// EVENT_OBJECT_CREATE only, from the own thread, other threads and other processes alike, and no
// other of them. Under Wine every wait but for a new window therefore ends through the safety
// poll; the results below are the same on both, only sooner or later within the time-out.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "MenuTestTarget.h"
#include "frame/Classes.h"
#include "frame/Errors.h"
#include "frame/ServerLifetime.h"
#include "platform/WindowSystem.h"
#include "support/Automation.h"
#include "support/DuringTheWait.h"
#include "support/Parameters.h"
#include "support/WatchTarget.h"
#include "support/WindowThread.h"
#include "support/Wranglers.h"

namespace wrang::test {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;
namespace cmd = watch;

ComPtr<_clsWatcher> NewWatcher() { return Created(CreateWatcher); }

// A call by name, as a script makes it, with how long it took.
milliseconds::rep CallTimed(IDispatch* object, const wchar_t* name, std::initializer_list<Arg> args, CallResult* out) {
    const auto start = steady_clock::now();
    Call(object, name, args, out);
    return std::chrono::duration_cast<milliseconds>(steady_clock::now() - start).count();
}

// The handle of the window object a call handed back; -1 when it handed back none.
LONG HandleIn(const VARIANT& result) {
    if (V_VT(&result) != VT_DISPATCH || !V_DISPATCH(&result)) return -1;
    CallResult handle;
    Call(V_DISPATCH(&result), L"hWnd", {}, &handle);
    return V_I4(handle.value.get());
}

// Records the handles that the watcher's window-system calls receive, and the hooks it sets and
// removes, passing every call on.
struct WatchRecorder : platform::Win32WindowSystem {
    std::vector<LONG> handles;
    int hooks = 0, unhooks = 0;
    LONG Seen(LONG h) {
        handles.push_back(h);
        return h;
    }
    BOOL IsWindow(LONG h) override { return Win32WindowSystem::IsWindow(Seen(h)); }
    BOOL IsWindowVisible(LONG h) override { return Win32WindowSystem::IsWindowVisible(Seen(h)); }
    LONG GetAncestor(LONG h, UINT r) override { return Win32WindowSystem::GetAncestor(Seen(h), r); }
    LONG FindWindowExW(LONG p, LONG a, const wchar_t* c, const wchar_t* n) override {
        return Win32WindowSystem::FindWindowExW(Seen(p), a, c, n);
    }
    DWORD GetWindowThreadProcessId(LONG h, DWORD* p) override {
        return Win32WindowSystem::GetWindowThreadProcessId(Seen(h), p);
    }
    BOOL SetForegroundWindow(LONG h) override { return Win32WindowSystem::SetForegroundWindow(Seen(h)); }
    LRESULT SendMessageTimeoutW(LONG h, UINT m, WPARAM w, LPARAM l, UINT f, UINT t, DWORD_PTR* r) override {
        return Win32WindowSystem::SendMessageTimeoutW(Seen(h), m, w, l, f, t, r);
    }
    HWINEVENTHOOK SetWinEventHook(DWORD a, DWORD b, HMODULE m, WINEVENTPROC p, DWORD pid, DWORD tid,
                                  DWORD f) override {
        HWINEVENTHOOK hook = Win32WindowSystem::SetWinEventHook(a, b, m, p, pid, tid, f);
        hooks += hook != nullptr;
        return hook;
    }
    BOOL UnhookWinEvent(HWINEVENTHOOK hook) override {
        ++unhooks;
        return Win32WindowSystem::UnhookWinEvent(hook);
    }
};

// Every argument the watcher refuses, refused before it makes any window-system call.
TEST(WatcherArguments, ErrorsFiveThirteenAndNinetyOneComeBeforeAnythingHappens) {
    const ComPtr<_clsWatcher> watcher = NewWatcher();
    const ComPtr<_clsWrangler> window = Bound(AsLong(GetDesktopWindow()));
    IDispatch* w = window.get();
    const ComPtr<_clsJuggler> otherClass = Created(CreateJuggler);
    struct Case {
        const wchar_t* member;
        std::initializer_list<Arg> args;
        HRESULT expected;  // the member's error, or the dispatcher's status
    };
    const Case cases[] = {
        {L"WaitForWindow", {Arg::Long(5)}, kVbTypeMismatch},
        {L"WaitForWindow", {Arg::Missing(), Arg::Object(w)}, kVbTypeMismatch},
        {L"WaitForWindow", {Arg::Bool(true)}, kVbTypeMismatch},
        {L"WaitForWindow", {Arg::String(L"Edit"), Arg::String(L""), Arg::Long(-1)}, kVbInvalidCall},
        {L"WaitForChild", {Arg::Object(nullptr), Arg::String(L"Edit")}, kVbObjectRequired},
        {L"WaitForChild", {Arg::Null()}, kVbObjectRequired},
        {L"WaitForChild", {Arg::Object(w), Arg::Long(0)}, kVbTypeMismatch},
        {L"WaitForChild", {Arg::Object(w), Arg::Missing(), Arg::Missing(), Arg::Long(-5)}, kVbInvalidCall},
        {L"WaitForState", {Arg::Object(nullptr), Arg::Long(WAIT_VISIBLE)}, kVbObjectRequired},
        {L"WaitForState", {Arg::Object(w), Arg::Long(0)}, kVbInvalidCall},
        {L"WaitForState", {Arg::Object(w), Arg::Long(WAIT_VISIBLE | WAIT_HIDDEN)}, kVbInvalidCall},
        {L"WaitForState", {Arg::Object(w), Arg::Long(WAIT_ENABLED | WAIT_DISABLED | WAIT_ACTIVE)}, kVbInvalidCall},
        {L"WaitForState", {Arg::Object(w), Arg::Long(64)}, kVbInvalidCall},
        {L"WaitForState", {Arg::Object(w), Arg::Long(WAIT_VISIBLE), Arg::Long(-1)}, kVbInvalidCall},
        {L"WaitForClose", {Arg::Null()}, kVbObjectRequired},
        {L"WaitForClose", {Arg::Object(w), Arg::Long(-1)}, kVbInvalidCall},
        {L"WaitForIdle", {Arg::Object(nullptr)}, kVbObjectRequired},
        {L"WaitForIdle", {Arg::Object(w), Arg::Long(-1)}, kVbInvalidCall},
        {L"IsResponding", {Arg::Object(nullptr)}, kVbObjectRequired},
        {L"IsResponding", {Arg::Object(w), Arg::Long(-1000)}, kVbInvalidCall},
        {L"SendMsgTimeout", {Arg::Null(), Arg::Long(0), Arg::Long(0), Arg::Long(0), Arg::Long(10)}, kVbObjectRequired},
        {L"SendMsgTimeout", {Arg::Object(w), Arg::Long(0), Arg::Long(0), Arg::Long(0), Arg::Long(-1)}, kVbInvalidCall},
        {L"SendMsgTimeout", {Arg::Object(w), Arg::Long(0), Arg::Long(0), Arg::Long(0)}, DISP_E_PARAMNOTOPTIONAL},
        {L"Activate", {Arg::Object(nullptr)}, kVbObjectRequired},
        {L"Activate", {Arg::Object(otherClass.get())}, DISP_E_TYPEMISMATCH},
        {L"Pause", {Arg::Long(-1)}, kVbInvalidCall},
    };
    WatchRecorder recorder;
    const platform::ScopedWindowSystem recorded(recorder);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.member << " with " << c.args.size() << " arguments");
        CallResult result;
        Call(watcher.get(), c.member, c.args, &result);
        EXPECT_EQ(c.expected, result.scode) << std::hex << result.scode;
        if (HRESULT_FACILITY(c.expected) == FACILITY_CONTROL) EXPECT_EQ(DISP_E_EXCEPTION, result.hr);
    }
    EXPECT_TRUE(recorder.handles.empty()) << "a window-system call before an argument was refused";
    EXPECT_EQ(0, recorder.hooks);
}

// The names of WaitForWindow on every path a Variant takes through the dispatcher (by value, a
// script's variable, a typed reference, left out, by name) and through the table of operations.
TEST(WatcherArguments, NamesArriveByEveryVariantPath) {
    WindowThread thread;
    HWND target = thread.Create("WrangWatchNames", "Caption of the names");
    const LONG found = AsLong(target);
    const ComPtr<_clsWatcher> watcher = NewWatcher();
    UniqueBstr caption(SysAllocString(L"Caption of the names")), empty(SysAllocString(L""));
    UniqueBstr className(SysAllocString(L"WrangWatchNames"));
    VARIANT variable = TextValue(caption.get());
    BSTR typed = className.get(), nullText = nullptr;
    const VARIANT byVariable = VariableRef(&variable), byTypedRef = Holding(VT_BYREF | VT_BSTR, &typed);
    struct Case {
        const char* label;
        std::vector<VARIANT> args;  // the script's order; ClassName, WindowText, Timeout
        LONG expected;
    };
    const VARIANT missing = Holding(VT_ERROR, DISP_E_PARAMNOTFOUND), null = Holding(VT_NULL, 0L);
    VARIANT none;
    VariantInit(&none);
    const Case cases[] = {
        {"both by value", {TextValue(className.get()), TextValue(caption.get())}, found},
        {"caption left out: any caption", {TextValue(className.get())}, found},
        {"class left out: any class", {missing, TextValue(caption.get())}, found},
        {"class Null", {null, TextValue(caption.get())}, found},
        {"class Empty", {none, TextValue(caption.get())}, found},
        {"a null string matches any name", {TextValue(nullptr), TextValue(caption.get())}, found},
        {"so does a reference to one", {Holding(VT_BYREF | VT_BSTR, &nullText), TextValue(caption.get())}, found},
        {"\"\" matches only the empty caption", {TextValue(className.get()), TextValue(empty.get())}, 0},
        {"a script's variable", {TextValue(className.get()), byVariable}, found},
        {"a typed reference", {byTypedRef, TextValue(caption.get())}, found},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        std::vector<VARIANT> args = c.args;
        args.push_back(LongValue(0));  // one look
        if (c.args.size() == 1) args.insert(args.begin() + 1, missing);
        UniqueVariant result;
        ASSERT_EQ(S_OK, DispatchCall(watcher.get(), IdOf(watcher.get(), L"WaitForWindow"), DISPATCH_METHOD, args.data(),
                                     args.size(), false, result.get(), nullptr));
        EXPECT_EQ(c.expected, HandleIn(*result.get()));
    }
    // By name: WindowText and Timeout, ClassName left out.
    LPOLESTR names[] = {const_cast<LPOLESTR>(L"WaitForWindow"), const_cast<LPOLESTR>(L"WindowText"),
                        const_cast<LPOLESTR>(L"Timeout")};
    DISPID ids[3] = {};
    ASSERT_EQ(S_OK, watcher->GetIDsOfNames(IID_NULL, names, 3, 0, ids));
    EXPECT_EQ(1, ids[1]);
    EXPECT_EQ(2, ids[2]);
    VARIANT namedArgs[] = {TextValue(caption.get()), LongValue(0)};
    DISPPARAMS named = {namedArgs, &ids[1], 2, 2};
    UniqueVariant result;
    ASSERT_EQ(S_OK, watcher->Invoke(ids[0], IID_NULL, 0, DISPATCH_METHOD, &named, result.get(), nullptr, nullptr));
    EXPECT_EQ(found, HandleIn(*result.get()));

    // Through the table of operations, a Variant by value: four stack slots in the 32-bit build,
    // the address of a copy in the 64-bit one.
    const VARIANT direct[][2] = {{TextValue(className.get()), TextValue(caption.get())},
                                 {byTypedRef, missing},
                                 {missing, byVariable}};
    for (const auto& pair : direct) {
        ComPtr<_clsWrangler> w;
        ASSERT_EQ(S_OK, watcher->WaitForWindow(pair[0], pair[1], 0, w.put()));
        EXPECT_EQ(found, HandleOf(w.get()));
    }
    ComPtr<_clsWrangler> refused;
    EXPECT_EQ(kVbTypeMismatch, watcher->WaitForWindow(LongValue(1), missing, 0, refused.put()));
    EXPECT_FALSE(refused);
}

// What happens to the watched window (class "WrangWatched"), in a thread of this process or in the
// watch target's process.
enum class Act { None, Create, Destroy, Show, Hide, Enable, Disable, Rename, CreateChild };

class Place {
public:
    virtual ~Place() = default;
    virtual const char* Name() const = 0;
    // Carried out when it returns.
    virtual void Do(Act act) = 0;
    // Under way when it returns: carried out now or soon after.
    virtual void Start(Act act) { Do(act); }
};

class ThisProcess : public Place {
public:
    const char* Name() const override { return "a window of another thread of this process"; }
    void Do(Act act) override {
        auto run = [this](auto work) { m_thread.Run([&] { work(m_watched); }); };
        switch (act) {
        case Act::None: break;
        case Act::Create:
            Do(Act::Destroy);
            m_watched = m_thread.Create("WrangWatched", "Watched", WS_OVERLAPPEDWINDOW);
            break;
        case Act::Destroy:
            if (m_watched) m_thread.Destroy(m_watched);
            m_watched = nullptr;
            break;
        case Act::Show: run([](HWND h) { ShowWindow(h, SW_SHOW); }); break;
        case Act::Hide: run([](HWND h) { ShowWindow(h, SW_HIDE); }); break;
        case Act::Enable: run([](HWND h) { EnableWindow(h, TRUE); }); break;
        case Act::Disable: run([](HWND h) { EnableWindow(h, FALSE); }); break;
        case Act::Rename: run([](HWND h) { SetWindowTextW(h, cmd::kRenamedCaption); }); break;
        case Act::CreateChild: m_thread.CreateControl("Button", "Child", WS_CHILD | WS_VISIBLE, m_watched); break;
        }
    }

private:
    WindowThread m_thread;
    HWND m_watched = nullptr;
};

class OtherProcess : public Place {
public:
    const char* Name() const override { return "a window of another process"; }
    void Do(Act act) override {
        if (act != Act::None) m_target.Send(Command(act).first, Command(act).second);
    }
    void Start(Act act) override {
        if (act != Act::None) m_target.Post(Command(act).first, Command(act).second);
    }

private:
    static std::pair<UINT, WPARAM> Command(Act act) {
        switch (act) {
        case Act::Create: return {cmd::kCreate, 0};
        case Act::Destroy: return {cmd::kDestroy, 0};
        case Act::Show: return {cmd::kShow, SW_SHOW};
        case Act::Hide: return {cmd::kShow, SW_HIDE};
        case Act::Enable: return {cmd::kEnable, TRUE};
        case Act::Disable: return {cmd::kEnable, FALSE};
        case Act::Rename: return {cmd::kRename, 0};
        default: return {cmd::kCreateChild, 0};
        }
    }
    WatchTarget m_target;
};

// Each wait ends when its window appears, closes or is in its states, what happens while it waits
// happening in this process or in another; or, when nothing happens, not before its time-out.
TEST(WatcherWaits, WindowsThatAppearCloseAndChangeStateHereAndInAnotherProcess) {
    enum Outcome { Found, Unbound, True, False };
    struct Case {
        const char* label;
        std::vector<Act> before;
        Act during;
        const wchar_t* member;
        LONG states;  // WaitForState; for WaitForWindow 1 looks for the renamed caption
        LONG timeout;
        Outcome expected;
    };
    const Case cases[] = {
        {"a window that appears later", {}, Act::Create, L"WaitForWindow", 0, 20000, Found},
        {"a window that gets its caption later", {Act::Create}, Act::Rename, L"WaitForWindow", 1, 20000, Found},
        {"a window that never appears", {}, Act::None, L"WaitForWindow", 0, 300, Unbound},
        {"a window that is there, time-out 0", {Act::Create}, Act::None, L"WaitForWindow", 0, 0, Found},
        {"a window that is not there, time-out 0", {}, Act::None, L"WaitForWindow", 0, 0, Unbound},
        {"a child that appears later", {Act::Create}, Act::CreateChild, L"WaitForChild", 0, 20000, Found},
        {"a child that never appears", {Act::Create}, Act::None, L"WaitForChild", 0, 300, Unbound},
        {"a window that closes", {Act::Create}, Act::Destroy, L"WaitForClose", 0, 20000, True},
        {"a window that stays", {Act::Create}, Act::None, L"WaitForClose", 0, 300, False},
        {"a window that stays, time-out 0", {Act::Create}, Act::None, L"WaitForClose", 0, 0, False},
        {"shown", {Act::Create}, Act::Show, L"WaitForState", WAIT_VISIBLE, 20000, True},
        {"hidden", {Act::Create, Act::Show}, Act::Hide, L"WaitForState", WAIT_HIDDEN, 20000, True},
        {"disabled", {Act::Create}, Act::Disable, L"WaitForState", WAIT_DISABLED, 20000, True},
        {"enabled, and visible all along",
         {Act::Create, Act::Show, Act::Disable},
         Act::Enable,
         L"WaitForState",
         WAIT_VISIBLE | WAIT_ENABLED,
         20000,
         True},
        {"never shown", {Act::Create}, Act::None, L"WaitForState", WAIT_VISIBLE, 300, False},
        {"in the state, time-out 0", {Act::Create}, Act::None, L"WaitForState", WAIT_HIDDEN | WAIT_ENABLED, 0, True},
        {"gone while waited for", {Act::Create}, Act::Destroy, L"WaitForState", WAIT_VISIBLE, 20000, False},
    };
    const ComPtr<_clsWatcher> watcher = NewWatcher();
    ThisProcess here;
    OtherProcess there;
    for (Place* place : {static_cast<Place*>(&here), static_cast<Place*>(&there)}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << c.label << ", " << place->Name());
            place->Do(Act::Destroy);
            for (Act act : c.before) place->Do(act);
            const HWND watched = FindWindowW(cmd::kWatchedClass, nullptr);
            const ComPtr<_clsWrangler> window = Bound(AsLong(watched));
            IDispatch* w = window.get();
            const std::wstring member = c.member;
            const bool renamed = member == L"WaitForWindow" && c.states == 1;
            CallResult result;
            milliseconds::rep took = 0;
            {
                DuringTheWait during([&] { place->Start(c.during); });
                if (member == L"WaitForWindow") {
                    took = CallTimed(watcher.get(), c.member,
                                     {Arg::String(cmd::kWatchedClass),
                                      Arg::String(renamed ? cmd::kRenamedCaption : cmd::kWatchedCaption),
                                      Arg::Long(c.timeout)},
                                     &result);
                } else if (member == L"WaitForChild") {
                    took = CallTimed(watcher.get(), c.member,
                                     {Arg::Object(w), Arg::String(L"Button"), Arg::String(cmd::kChildCaption),
                                      Arg::Long(c.timeout)},
                                     &result);
                } else if (member == L"WaitForState") {
                    took = CallTimed(watcher.get(), c.member, {Arg::Object(w), Arg::Long(c.states), Arg::Long(c.timeout)},
                                     &result);
                } else {
                    took = CallTimed(watcher.get(), c.member, {Arg::Object(w), Arg::Long(c.timeout)}, &result);
                }
                if (c.during != Act::None) EXPECT_TRUE(during.Ran()) << "the wait served this thread's messages";
            }
            ASSERT_EQ(S_OK, result.hr);
            const VARIANT& v = *result.value.get();
            switch (c.expected) {
            case Found: {
                const HWND top = FindWindowW(cmd::kWatchedClass, renamed ? cmd::kRenamedCaption : cmd::kWatchedCaption);
                const HWND expected = member == L"WaitForChild" ? FindWindowExW(watched, nullptr, L"Button", cmd::kChildCaption) : top;
                EXPECT_NE(nullptr, expected);
                EXPECT_EQ(AsLong(expected), HandleIn(v));
                break;
            }
            case Unbound: EXPECT_EQ(0, HandleIn(v)) << "an unbound window object, never Nothing"; break;
            case True:
            case False:
                ASSERT_EQ(VT_BOOL, V_VT(&v));
                EXPECT_EQ(c.expected == True ? VARIANT_TRUE : VARIANT_FALSE, V_BOOL(&v));
                break;
            }
            // Nothing happened: the time-out was waited out in full (and the call returned).
            if (c.during == Act::None && (c.expected == Unbound || c.expected == False)) EXPECT_GE(took, c.timeout);
        }
        place->Do(Act::Destroy);
    }
}

// A target whose thread stops taking messages: each member answers within its time-out, and at
// once when the system already reports the window hung; nothing blocks. Wine reports a window
// hung as Windows does, once its thread has taken no message for 5 seconds.
TEST(WatcherHungWindow, FalseAndNullWithinTheTimeoutAndAtOnceOnceReportedHung) {
    WatchTarget target;
    const ComPtr<_clsWatcher> watcher = NewWatcher();
    const ComPtr<_clsWrangler> control = Bound(AsLong(target.Control()));
    IDispatch* w = control.get();
    CallResult result;
    Call(watcher.get(), L"IsResponding", {Arg::Object(w)}, &result);
    EXPECT_EQ(VARIANT_TRUE, V_BOOL(result.value.get())) << "answering before the hang";
    Call(watcher.get(), L"SendMsgTimeout", {Arg::Object(w), Arg::Long(WM_GETTEXTLENGTH), Arg::Long(0), Arg::Long(0), Arg::Long(5000)},
         &result);
    ASSERT_EQ(VT_I4, V_VT(result.value.get()));
    EXPECT_EQ(static_cast<LONG>(wcslen(L"Watch control")), V_I4(result.value.get()));

    ASSERT_EQ(TRUE, target.Send(cmd::kHang, cmd::kLongestHangMs));
    // The three ways to ask whether the window answers; each answers False, or Null, for no answer.
    enum Way { Responding, Send, StateWait };
    const auto ask = [&](Way way, LONG timeout) {
        switch (way) {
        case Responding: return CallTimed(watcher.get(), L"IsResponding", {Arg::Object(w), Arg::Long(timeout)}, &result);
        case Send:
            return CallTimed(watcher.get(), L"SendMsgTimeout",
                             {Arg::Object(w), Arg::Long(WM_NULL), Arg::Long(0), Arg::Long(0), Arg::Long(timeout)}, &result);
        default:
            return CallTimed(watcher.get(), L"WaitForState",
                             {Arg::Object(w), Arg::Long(WAIT_RESPONDING), Arg::Long(timeout)}, &result);
        }
    };
    const auto expectNoAnswer = [&](Way way) {
        ASSERT_EQ(S_OK, result.hr);
        ASSERT_EQ(way == Send ? VT_NULL : VT_BOOL, V_VT(result.value.get()));
        if (way != Send) EXPECT_EQ(VARIANT_FALSE, V_BOOL(result.value.get()));
    };
    for (Way way : {Responding, Send, StateWait}) {
        SCOPED_TRACE(testing::Message() << "asked way " << way << ", not answering");
        EXPECT_GE(ask(way, 300), 300);
        expectNoAnswer(way);
        // Time-out 0: one look. (Wine's own send with a time-out of 0 would wait without a limit.)
        ask(way, 0);
        expectNoAnswer(way);
    }
    // Members that do not send return as they do for any window.
    Call(watcher.get(), L"WaitForState", {Arg::Object(w), Arg::Long(WAIT_HIDDEN), Arg::Long(0)}, &result);
    EXPECT_EQ(VARIANT_TRUE, V_BOOL(result.value.get()));
    Call(watcher.get(), L"Activate", {Arg::Object(w)}, &result);
    EXPECT_EQ(S_OK, result.hr);

    ASSERT_TRUE(PumpUntil([&] { return IsHungAppWindow(target.Control()) != FALSE; }))
        << "the system reports the window hung";
    // Reported hung: at once. A send that waited instead would take the message sent to this
    // thread meanwhile, which releases the target, and would then get its answer.
    {
        DuringTheWait release([&] { target.Release(); }, DuringTheWait::Sent);
        for (Way way : {Responding, Send}) {  // not StateWait: a wait serves the thread's messages
            SCOPED_TRACE(testing::Message() << "asked way " << way << ", reported hung");
            ask(way, 20000);
            expectNoAnswer(way);
        }
        EXPECT_FALSE(release.Ran()) << "a send waited for the window";
    }
    // Not answering again, until it is released while a wait goes on, which notices.
    ASSERT_EQ(TRUE, target.Send(cmd::kHang, cmd::kLongestHangMs));
    DuringTheWait release([&] { target.Release(); });
    Call(watcher.get(), L"WaitForState", {Arg::Object(w), Arg::Long(WAIT_RESPONDING), Arg::Long(20000)}, &result);
    EXPECT_EQ(VARIANT_TRUE, V_BOOL(result.value.get()));
    EXPECT_TRUE(release.Ran());
}

// While it waits, the thread serves a call from another apartment (only then can the caller go on
// and make the window waited for) and its own messages, one of which calls the component again,
// releases the caller's reference to the watcher and asks the thread to quit. Every hook goes.
TEST(WatcherServing, CrossApartmentCallsAndTheThreadsOwnMessagesDuringAWait) {
    WatchRecorder recorder;
    const platform::ScopedWindowSystem recorded(recorder);
    ComPtr<_clsWatcher> watcher = NewWatcher();
    const ComPtr<_clsWrangler> served = Bound(4242);
    IStream* stream = nullptr;
    ASSERT_EQ(S_OK, CoMarshalInterThreadInterfaceInStream(IID_IDispatch, served.get(), &stream));
    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    LONG seen = 0;
    std::thread caller([&] {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        IDispatch* proxy = nullptr;
        if (SUCCEEDED(CoGetInterfaceAndReleaseStream(stream, IID_IDispatch, reinterpret_cast<void**>(&proxy)))) {
            VARIANT handle;
            VariantInit(&handle);
            if (SUCCEEDED(DispatchCallByName(proxy, L"hWnd", DISPATCH_PROPERTYGET, nullptr, 0, false, &handle, nullptr)))
                seen = V_I4(&handle);
            proxy->Release();
            HWND made = CreateWindowExW(0, L"Static", L"Made after the call was served", 0, 0, 0, 10, 10, nullptr,
                                        nullptr, nullptr, nullptr);
            WaitForSingleObject(done, 60000);
            DestroyWindow(made);
        }
        CoUninitialize();
    });
    const LONG alive = LiveObjectCount();
    bool stillAlive = false;
    CallResult nested;
    DuringTheWait own([&] {
        Call(NewWatcher().get(), L"Pause", {Arg::Long(30)}, &nested);  // a wait inside the wait
        watcher.reset();  // the caller's last reference: the member holds its own until it returns
        stillAlive = LiveObjectCount() == alive;
    });
    IDispatch* raw = watcher.get();
    CallResult result;
    Call(raw, L"WaitForWindow", {Arg::String(L"Static"), Arg::String(L"Made after the call was served"), Arg::Long(60000)},
         &result);
    SetEvent(done);
    caller.join();
    CloseHandle(done);
    EXPECT_EQ(4242, seen);
    EXPECT_NE(0, HandleIn(*result.value.get()));
    VariantClear(result.value.get());
    EXPECT_TRUE(own.Ran());
    EXPECT_EQ(S_OK, nested.hr);
    EXPECT_TRUE(stillAlive);
    EXPECT_EQ(alive - 1, LiveObjectCount()) << "released once the call returned";

    // A request to quit ends the wait and stays for the thread's own loop.
    const ComPtr<_clsWatcher> another = NewWatcher();
    PostQuitMessage(7);
    Call(another.get(), L"WaitForClose", {Arg::Object(Bound(AsLong(GetDesktopWindow())).get()), Arg::Long(60000)},
         &result);
    EXPECT_EQ(VARIANT_FALSE, V_BOOL(result.value.get()));
    MSG quit = {};
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(7u, quit.wParam);
    EXPECT_GT(recorder.hooks, 0);
    EXPECT_EQ(recorder.hooks, recorder.unhooks);
}

// SendMsgTimeout widens its Long parameters and narrows the answer as SendMsgLong does, and keeps
// the window system's broadcast for a window bound to HWND_BROADCAST or -1; every other member
// takes those values for no window, and hands them to no window-system call.
TEST(WatcherMessages, SendMsgTimeoutWidensAndBroadcastsAndTheOthersNameNoWindow) {
    const UINT message = RegisterWindowMessageW(L"WrangWatcherMessagesTest");
    WindowThread thread;
    HWND window = thread.Create("WrangWatchMessages", "Messages", WS_OVERLAPPEDWINDOW);
    thread.SetHandler(window, [message](HWND, UINT m, WPARAM, LPARAM, LRESULT* answer) {
        if (m != message) return false;
        *answer = static_cast<LRESULT>(static_cast<ULONG_PTR>(0x123456789ABCDEF0ull));  // this build's width
        return true;
    });
    const ComPtr<_clsWatcher> watcher = NewWatcher();
    CallResult result;
    const auto send = [&](LONG hWnd) {
        Call(watcher.get(), L"SendMsgTimeout",
             {Arg::Object(Bound(hWnd).get()), Arg::Long(static_cast<LONG>(message)), Arg::Long(-1), Arg::Long(-2),
              Arg::Long(5000)},
             &result);
    };
    send(AsLong(window));
    ASSERT_EQ(VT_I4, V_VT(result.value.get()));
    EXPECT_EQ(static_cast<LONG>(0x9ABCDEF0u), V_I4(result.value.get()));
    const std::vector<Message> got = thread.Messages(window, message);
    ASSERT_EQ(1u, got.size());
    EXPECT_EQ(HexOf(BitsOf(platform::WParamOf(-1))), HexOf(BitsOf(got[0].wParam)));
    EXPECT_EQ(HexOf(BitsOf(platform::LParamOf(-2))), HexOf(BitsOf(got[0].lParam)));

    WatchRecorder recorder;
    const platform::ScopedWindowSystem recorded(recorder);
    for (const LONG broadcast : {0xFFFFL, -1L}) {
        SCOPED_TRACE(testing::Message() << "bound to " << broadcast);
        thread.Clear();
        send(broadcast);
        EXPECT_EQ(VT_I4, V_VT(result.value.get()));
        EXPECT_EQ(1u, thread.Messages(window, message).size()) << "every top-level window gets it";
        EXPECT_EQ(std::vector<LONG>{broadcast}, recorder.handles);
        recorder.handles.clear();

        const ComPtr<_clsWrangler> none = Bound(broadcast);
        IDispatch* w = none.get();
        const struct {
            const wchar_t* member;
            std::initializer_list<Arg> args;
            VARIANT_BOOL expected;
        } noWindow[] = {{L"IsResponding", {Arg::Object(w)}, VARIANT_FALSE},
                        {L"WaitForState", {Arg::Object(w), Arg::Long(WAIT_HIDDEN), Arg::Long(0)}, VARIANT_FALSE},
                        {L"WaitForClose", {Arg::Object(w), Arg::Long(0)}, VARIANT_TRUE},
                        {L"WaitForIdle", {Arg::Object(w), Arg::Long(0)}, VARIANT_FALSE},
                        {L"Activate", {Arg::Object(w)}, VARIANT_FALSE}};
        for (const auto& c : noWindow) {
            Call(watcher.get(), c.member, c.args, &result);
            EXPECT_EQ(c.expected, V_BOOL(result.value.get())) << c.member;
        }
        Call(watcher.get(), L"WaitForChild", {Arg::Object(w), Arg::Missing(), Arg::Missing(), Arg::Long(0)}, &result);
        EXPECT_EQ(0, HandleIn(*result.value.get()));
        for (LONG h : recorder.handles) EXPECT_NE(broadcast, h);
    }
}

// Activate restores a minimised top-level window and makes it the foreground window. Where the
// system refuses the change, it shares the foreground thread's input for the call only. Wine
// refuses no foreground change, so the refusal comes from a double of the platform layer.
struct RefusingForeground : platform::Win32WindowSystem {
    int refusals = 1;
    std::vector<std::string> steps;
    std::vector<std::pair<DWORD, DWORD>> shared;
    BOOL SetForegroundWindow(LONG h) override {
        steps.push_back("foreground");
        if (refusals > 0 && refusals--) return FALSE;
        return Win32WindowSystem::SetForegroundWindow(h);
    }
    BOOL BringWindowToTop(LONG h) override {
        steps.push_back("to top");
        return Win32WindowSystem::BringWindowToTop(h);
    }
    BOOL AttachThreadInput(DWORD t, DWORD to, BOOL attach) override {
        steps.push_back(attach ? "share input" : "stop sharing");
        shared.push_back({t, to});
        return Win32WindowSystem::AttachThreadInput(t, to, attach);
    }
};

TEST(WatcherFront, ActivateRestoresAndSharesInputOnlyForTheCall) {
    WindowThread thread;
    HWND first = thread.Create("WrangWatchFront", "First", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HWND second = thread.Create("WrangWatchFront", "Second", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HWND child = thread.CreateControl("Button", "Child", WS_CHILD | WS_VISIBLE, second);
    const ComPtr<_clsWatcher> watcher = NewWatcher();
    CallResult result;
    const auto activate = [&](HWND h) {
        Call(watcher.get(), L"Activate", {Arg::Object(Bound(AsLong(h)).get())}, &result);
        return V_BOOL(result.value.get());
    };
    EXPECT_EQ(VARIANT_TRUE, activate(first));
    EXPECT_EQ(first, GetForegroundWindow());

    // The top-level window of a child, minimised, through a refusal.
    thread.Run([&] { ShowWindow(second, SW_MINIMIZE); });
    ASSERT_TRUE(IsIconic(second));
    {
        RefusingForeground refusing;
        const platform::ScopedWindowSystem refused(refusing);
        EXPECT_EQ(VARIANT_TRUE, activate(child));
        EXPECT_EQ((std::vector<std::string>{"foreground", "share input", "to top", "foreground", "stop sharing"}),
                  refusing.steps);
        ASSERT_EQ(2u, refusing.shared.size());
        EXPECT_EQ(refusing.shared[0], refusing.shared[1]) << "the same threads stop sharing";
        EXPECT_EQ(std::make_pair(GetCurrentThreadId(), thread.ThreadId()), refusing.shared[0]);
    }
    EXPECT_EQ(second, GetForegroundWindow());
    EXPECT_FALSE(IsIconic(second));

    // The active state, waited for while another window becomes the foreground window.
    const ComPtr<_clsWrangler> firstWindow = Bound(AsLong(first));
    Call(watcher.get(), L"WaitForState", {Arg::Object(firstWindow.get()), Arg::Long(WAIT_ACTIVE), Arg::Long(300)}, &result);
    EXPECT_EQ(VARIANT_FALSE, V_BOOL(result.value.get()));
    {
        DuringTheWait during([&] { activate(first); });
        Call(watcher.get(), L"WaitForState", {Arg::Object(firstWindow.get()), Arg::Long(WAIT_ACTIVE | WAIT_VISIBLE),
                                              Arg::Long(20000)}, &result);
        EXPECT_EQ(VARIANT_TRUE, V_BOOL(result.value.get()));
    }
    thread.Destroy(second);
    EXPECT_EQ(VARIANT_FALSE, activate(child)) << "a window that is gone";
}

// WaitForIdle: the system's input-idle wait, which waits only once for a process (later calls
// answer at once, idle or busy). Under Wine as on Windows.
TEST(WatcherIdle, TrueOnceTheProcessWaitsForInputFalseUntilThenOrWhenItCannotBeAsked) {
    const ComPtr<_clsWatcher> watcher = NewWatcher();
    CallResult result;
    WatchTarget busy(L"--busy", L"wrang_target.exe", false);
    const ComPtr<_clsWrangler> control = Bound(AsLong(busy.Control()));
    ASSERT_NE(0, HandleOf(control.get()));
    EXPECT_GE(CallTimed(watcher.get(), L"WaitForIdle", {Arg::Object(control.get()), Arg::Long(300)}, &result), 300);
    EXPECT_EQ(VARIANT_FALSE, V_BOOL(result.value.get())) << "busy";
    {
        DuringTheWait release([&] { busy.Release(); });
        Call(watcher.get(), L"WaitForIdle", {Arg::Object(control.get()), Arg::Long(20000)}, &result);
        EXPECT_EQ(VARIANT_TRUE, V_BOOL(result.value.get()));
        EXPECT_TRUE(release.Ran());
    }
    busy.Stop();
    Call(watcher.get(), L"WaitForIdle", {Arg::Object(control.get()), Arg::Long(1000)}, &result);
    EXPECT_EQ(VARIANT_FALSE, V_BOOL(result.value.get())) << "the process has ended";
    if (RunningOnWine()) {
        // Wine: a process cannot ask for its own input-idle state; the system's wait fails at once.
        WindowThread thread;
        const ComPtr<_clsWrangler> own = Bound(AsLong(thread.Create("WrangWatchIdle", "Own", WS_OVERLAPPEDWINDOW)));
        Call(watcher.get(), L"WaitForIdle", {Arg::Object(own.get()), Arg::Long(1000)}, &result);
        EXPECT_EQ(VARIANT_FALSE, V_BOOL(result.value.get()));
    }
}

}  // namespace
}  // namespace wrang::test
