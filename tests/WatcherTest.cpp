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

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <utility>
#include <vector>

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

namespace cmd = watch;

ComPtr<_clsWatcher> NewWatcher() { return Created(CreateWatcher); }

// The handle of the window object a call handed back; -1 when it handed back none.
LONG HandleIn(const VARIANT& result) {
    if (V_VT(&result) != VT_DISPATCH || !V_DISPATCH(&result)) return -1;
    CallResult handle;
    Call(V_DISPATCH(&result), L"hWnd", {}, &handle);
    return V_I4(handle.value.get());
}

// A call by name, as a script makes it, and what it answered, as a script would test it: True,
// False, Empty, Null, a Long, "window N" for a window object bound to N (0: unbound), or the error;
// `took` is how long it took, in milliseconds.
std::string Asked(IDispatch* object, const wchar_t* name, std::initializer_list<Arg> args, long long* took = nullptr) {
    using namespace std::chrono;
    CallResult result;
    const auto start = steady_clock::now();
    Call(object, name, args, &result);
    if (took) *took = duration_cast<milliseconds>(steady_clock::now() - start).count();
    const VARIANT& v = *result.value.get();
    if (result.hr != S_OK) return "error " + HexOf(static_cast<ULONG>(result.scode));
    switch (V_VT(&v)) {
    case VT_BOOL: return V_BOOL(&v) == VARIANT_TRUE ? "True" : V_BOOL(&v) == VARIANT_FALSE ? "False" : "not a Boolean";
    case VT_EMPTY: return "Empty";
    case VT_NULL: return "Null";
    case VT_I4: return std::to_string(V_I4(&v));
    case VT_DISPATCH: return "window " + std::to_string(HandleIn(v));
    default: return "vt " + std::to_string(V_VT(&v));
    }
}

// Records the handles that the watcher's window-system calls receive, the hooks it sets and
// removes, and its steps to the foreground, passing every call on. Wine refuses no foreground
// change: `refusals` makes the first ones fail.
struct WatchRecorder : platform::Win32WindowSystem {
    using Base = platform::Win32WindowSystem;
    std::vector<LONG> handles;
    int hooks = 0, unhooks = 0, refusals = 0;
    std::vector<std::string> steps;
    std::vector<std::pair<DWORD, DWORD>> shared;
    LONG Seen(LONG h) {
        handles.push_back(h);
        return h;
    }
    BOOL IsWindow(LONG h) override { return Base::IsWindow(Seen(h)); }
    BOOL IsWindowVisible(LONG h) override { return Base::IsWindowVisible(Seen(h)); }
    LONG GetAncestor(LONG h, UINT r) override { return Base::GetAncestor(Seen(h), r); }
    LONG FindWindowExW(LONG p, LONG a, const wchar_t* c, const wchar_t* n) override {
        return Base::FindWindowExW(Seen(p), a, c, n);
    }
    DWORD GetWindowThreadProcessId(LONG h, DWORD* p) override { return Base::GetWindowThreadProcessId(Seen(h), p); }
    LRESULT SendMessageTimeoutW(LONG h, UINT m, WPARAM w, LPARAM l, UINT f, UINT t, DWORD_PTR* r) override {
        return Base::SendMessageTimeoutW(Seen(h), m, w, l, f, t, r);
    }
    HWINEVENTHOOK SetWinEventHook(DWORD a, DWORD b, HMODULE m, WINEVENTPROC p, DWORD pid, DWORD tid, DWORD f) override {
        HWINEVENTHOOK hook = Base::SetWinEventHook(a, b, m, p, pid, tid, f);
        hooks += hook != nullptr;
        return hook;
    }
    BOOL UnhookWinEvent(HWINEVENTHOOK hook) override {
        ++unhooks;
        return Base::UnhookWinEvent(hook);
    }
    BOOL SetForegroundWindow(LONG h) override {
        steps.push_back("foreground");
        Seen(h);
        if (refusals > 0 && refusals--) return FALSE;
        return Base::SetForegroundWindow(h);
    }
    BOOL BringWindowToTop(LONG h) override {
        steps.push_back("to top");
        return Base::BringWindowToTop(Seen(h));
    }
    BOOL AttachThreadInput(DWORD t, DWORD to, BOOL attach) override {
        steps.push_back(attach ? "share input" : "stop sharing");
        shared.push_back({t, to});
        return Base::AttachThreadInput(t, to, attach);
    }
};

// A watcher, and its members called by name as a script calls them.
class Watching : public ::testing::Test {
protected:
    std::string Ask(const wchar_t* member, std::initializer_list<Arg> args, long long* took = nullptr) {
        return Asked(watcher.get(), member, args, took);
    }
    ComPtr<_clsWatcher> watcher = NewWatcher();
};
using WatcherArguments = Watching;
using WatcherWaits = Watching;
using WatcherHungWindow = Watching;
using WatcherServing = Watching;
using WatcherMessages = Watching;
using WatcherFront = Watching;
using WatcherIdle = Watching;

// Every argument the watcher refuses, refused before it makes any window-system call.
TEST_F(WatcherArguments, ErrorsFiveThirteenAndNinetyOneComeBeforeAnythingHappens) {
    const ComPtr<_clsWrangler> window = Bound(AsLong(GetDesktopWindow()));
    const Arg w = Arg::Object(window.get()), nothing = Arg::Object(nullptr), none = Arg::Long(0);
    const ComPtr<_clsJuggler> otherClass = Created(CreateJuggler);
    struct Case {
        const wchar_t* member;
        std::initializer_list<Arg> args;
        HRESULT expected;  // the member's error, or the dispatcher's status
    };
    const Case cases[] = {
        {L"WaitForWindow", {Arg::Long(5)}, kVbTypeMismatch},
        {L"WaitForWindow", {Arg::Missing(), w}, kVbTypeMismatch},
        {L"WaitForWindow", {Arg::Bool(true)}, kVbTypeMismatch},
        {L"WaitForWindow", {Arg::String(L"Edit"), Arg::String(L""), Arg::Long(-1)}, kVbInvalidCall},
        {L"WaitForChild", {nothing, Arg::String(L"Edit")}, kVbObjectRequired},
        {L"WaitForChild", {Arg::Null()}, kVbObjectRequired},
        {L"WaitForChild", {w, none}, kVbTypeMismatch},
        {L"WaitForChild", {w, Arg::Missing(), Arg::Missing(), Arg::Long(-5)}, kVbInvalidCall},
        {L"WaitForState", {nothing, Arg::Long(WAIT_VISIBLE)}, kVbObjectRequired},
        {L"WaitForState", {w, none}, kVbInvalidCall},
        {L"WaitForState", {w, Arg::Long(WAIT_VISIBLE | WAIT_HIDDEN)}, kVbInvalidCall},
        {L"WaitForState", {w, Arg::Long(WAIT_ENABLED | WAIT_DISABLED | WAIT_ACTIVE)}, kVbInvalidCall},
        {L"WaitForState", {w, Arg::Long(64)}, kVbInvalidCall},
        {L"WaitForState", {w, Arg::Long(WAIT_VISIBLE), Arg::Long(-1)}, kVbInvalidCall},
        {L"WaitForClose", {Arg::Null()}, kVbObjectRequired},
        {L"WaitForClose", {w, Arg::Long(-1)}, kVbInvalidCall},
        {L"WaitForIdle", {nothing}, kVbObjectRequired},
        {L"WaitForIdle", {w, Arg::Long(-1)}, kVbInvalidCall},
        {L"IsResponding", {nothing}, kVbObjectRequired},
        {L"IsResponding", {w, Arg::Long(-1000)}, kVbInvalidCall},
        {L"SendMsgTimeout", {Arg::Null(), none, none, none, Arg::Long(10)}, kVbObjectRequired},
        {L"SendMsgTimeout", {w, none, none, none, Arg::Long(-1)}, kVbInvalidCall},
        {L"SendMsgTimeout", {w, none, none, none}, DISP_E_PARAMNOTOPTIONAL},
        {L"Activate", {nothing}, kVbObjectRequired},
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
TEST_F(WatcherArguments, NamesArriveByEveryVariantPath) {
    WindowThread thread;
    const LONG found = AsLong(thread.Create("WrangWatchNames", "Caption of the names"));
    UniqueBstr caption(SysAllocString(L"Caption of the names")), empty(SysAllocString(L""));
    UniqueBstr className(SysAllocString(L"WrangWatchNames"));
    VARIANT variable = TextValue(caption.get()), none;
    VariantInit(&none);
    BSTR typed = className.get(), nullText = nullptr;
    const VARIANT byVariable = VariableRef(&variable), byTypedRef = Holding(VT_BYREF | VT_BSTR, &typed);
    const VARIANT missing = Holding(VT_ERROR, DISP_E_PARAMNOTFOUND), null = Holding(VT_NULL, 0L);
    const VARIANT cls = TextValue(className.get()), text = TextValue(caption.get());
    struct Case {
        const char* label;
        VARIANT className, caption;
        LONG expected;
    };
    const Case cases[] = {
        {"both by value", cls, text, found},
        {"caption left out: any caption", cls, missing, found},
        {"class left out: any class", missing, text, found},
        {"class Null", null, text, found},
        {"class Empty", none, text, found},
        {"a null string matches any name", TextValue(nullptr), text, found},
        {"so does a reference to one", Holding(VT_BYREF | VT_BSTR, &nullText), text, found},
        {"\"\" matches only the empty caption", cls, TextValue(empty.get()), 0},
        {"a script's variable", cls, byVariable, found},
        {"a typed reference", byTypedRef, text, found},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const VARIANT args[] = {c.className, c.caption, LongValue(0)};  // one look
        UniqueVariant result;
        ASSERT_EQ(S_OK, DispatchCall(watcher.get(), IdOf(watcher.get(), L"WaitForWindow"), DISPATCH_METHOD, args, 3,
                                     false, result.get(), nullptr));
        EXPECT_EQ(c.expected, HandleIn(*result.get()));
        // Through the table of operations, a Variant by value: four stack slots in the 32-bit
        // build, the address of a copy in the 64-bit one.
        ComPtr<_clsWrangler> w;
        ASSERT_EQ(S_OK, watcher->WaitForWindow(c.className, c.caption, 0, w.put()));
        EXPECT_EQ(c.expected, HandleOf(w.get()));
    }
    // By name: WindowText and Timeout, ClassName left out.
    LPOLESTR names[] = {const_cast<LPOLESTR>(L"WaitForWindow"), const_cast<LPOLESTR>(L"WindowText"),
                        const_cast<LPOLESTR>(L"Timeout")};
    DISPID ids[3] = {};
    ASSERT_EQ(S_OK, watcher->GetIDsOfNames(IID_NULL, names, 3, 0, ids));
    EXPECT_EQ(1, ids[1]);
    EXPECT_EQ(2, ids[2]);
    VARIANT namedArgs[] = {text, LongValue(0)};
    DISPPARAMS named = {namedArgs, &ids[1], 2, 2};
    UniqueVariant result;
    ASSERT_EQ(S_OK, watcher->Invoke(ids[0], IID_NULL, 0, DISPATCH_METHOD, &named, result.get(), nullptr, nullptr));
    EXPECT_EQ(found, HandleIn(*result.get()));
    ComPtr<_clsWrangler> refused;
    EXPECT_EQ(kVbTypeMismatch, watcher->WaitForWindow(LongValue(1), missing, 0, refused.put()));
    EXPECT_FALSE(refused);
}

// A command of the watch control window, or none.
struct Command {
    UINT command;
    WPARAM wParam;
};
namespace Act {
constexpr Command None{0, 0}, Create{cmd::kCreate, 0}, Destroy{cmd::kDestroy, 0}, Show{cmd::kShow, SW_SHOW},
    Hide{cmd::kShow, SW_HIDE}, Enable{cmd::kEnable, TRUE}, Disable{cmd::kEnable, FALSE}, Rename{cmd::kRename, 0},
    CreateChild{cmd::kCreateChild, 0};
}  // namespace Act

// Where the watched window lives: with the control window, on a thread of this process or in the
// watch target's process.
struct Place {
    const char* name;
    HWND control;
    // Carried out when it returns.
    void Do(Command act) const {
        if (act.command) SendCommand(control, act.command, act.wParam);
    }
    // Under way when it returns: carried out now or soon after.
    void Start(Command act) const {
        if (act.command) PostMessageW(control, act.command, act.wParam, 0);
    }
};

// Each wait ends when its window appears, closes or is in its states, what happens while it waits
// happening in this process or in another; or, when nothing happens, not before its time-out.
TEST_F(WatcherWaits, WindowsThatAppearCloseAndChangeStateHereAndInAnotherProcess) {
    enum Outcome { Found, Unbound, True, False };
    struct Case {
        const char* label;
        std::vector<Command> before;
        Command during;  // WaitForWindow looks for the caption a rename gives
        const wchar_t* member;
        LONG states;
        LONG timeout;
        Outcome expected;
    };
    const Case cases[] = {
        {"a window that appears later", {}, Act::Create, L"WaitForWindow", 0, 20000, Found},
        {"a window that gets its caption later", {Act::Create}, Act::Rename, L"WaitForWindow", 0, 20000, Found},
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
        {"enabled, visible all along",
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
    WindowThread thread;
    HWND here = nullptr;
    thread.Run([&] { here = cmd::CreateControl(); });
    WatchTarget there;
    for (const Place& place : {Place{"a window of another thread of this process", here},
                               Place{"a window of another process", there.Control()}}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << c.label << ", " << place.name);
            place.Do(Act::Destroy);
            for (Command act : c.before) place.Do(act);
            const HWND watched = FindWindowW(cmd::kWatchedClass, nullptr);
            const ComPtr<_clsWrangler> window = Bound(AsLong(watched));
            const Arg w = Arg::Object(window.get()), timeout = Arg::Long(c.timeout);
            const wchar_t* caption = c.during.command == cmd::kRename ? cmd::kRenamedCaption : cmd::kWatchedCaption;
            const std::wstring member = c.member;
            std::string answer;
            long long took = 0;
            {
                DuringTheWait during([&] { place.Start(c.during); });
                if (member == L"WaitForWindow") {
                    answer = Ask(c.member, {Arg::String(cmd::kWatchedClass), Arg::String(caption), timeout}, &took);
                } else if (member == L"WaitForChild") {
                    answer =
                        Ask(c.member, {w, Arg::String(L"Button"), Arg::String(cmd::kChildCaption), timeout}, &took);
                } else if (member == L"WaitForState") {
                    answer = Ask(c.member, {w, Arg::Long(c.states), timeout}, &took);
                } else {
                    answer = Ask(c.member, {w, timeout}, &took);
                }
                if (c.during.command) EXPECT_TRUE(during.Ran()) << "the wait served this thread's messages";
            }
            const HWND found = member == L"WaitForChild"
                                   ? FindWindowExW(watched, nullptr, L"Button", cmd::kChildCaption)
                                   : FindWindowW(cmd::kWatchedClass, caption);
            if (c.expected == Found) EXPECT_NE(nullptr, found);
            const std::string outcomes[] = {"window " + std::to_string(AsLong(found)), "window 0", "True", "False"};
            EXPECT_EQ(outcomes[c.expected], answer);
            // Nothing happened: the time-out was waited out in full (and the call returned).
            if (!c.during.command && (c.expected == Unbound || c.expected == False)) EXPECT_GE(took, c.timeout);
        }
        place.Do(Act::Destroy);
    }
}

// A target whose thread stops taking messages: each member answers within its time-out, and at
// once when the system already reports the window hung; nothing blocks. Wine reports a window
// hung as Windows does, once its thread has taken no message for 5 seconds.
TEST_F(WatcherHungWindow, FalseAndNullWithinTheTimeoutAndAtOnceOnceReportedHung) {
    WatchTarget target;
    const ComPtr<_clsWrangler> control = Bound(AsLong(target.Control()));
    const Arg w = Arg::Object(control.get()), zero = Arg::Long(0);
    EXPECT_EQ("True", Ask(L"IsResponding", {w})) << "answering before the hang";
    EXPECT_EQ(std::to_string(wcslen(L"Watch control")),
              Ask(L"SendMsgTimeout", {w, Arg::Long(WM_GETTEXTLENGTH), zero, zero, Arg::Long(5000)}));

    ASSERT_EQ(TRUE, target.Send(cmd::kHang, cmd::kLongestHangMs));
    // The three ways to ask whether the window answers: each answers False, or Null, for no answer.
    enum Way { Responding, Send, StateWait };
    long long took = 0;
    const auto ask = [&](Way way, LONG timeout) {
        const Arg limit = Arg::Long(timeout);
        switch (way) {
        case Responding: return Ask(L"IsResponding", {w, limit}, &took);
        case Send: return Ask(L"SendMsgTimeout", {w, Arg::Long(WM_NULL), zero, zero, limit}, &took);
        default: return Ask(L"WaitForState", {w, Arg::Long(WAIT_RESPONDING), limit}, &took);
        }
    };
    const auto noAnswer = [](Way way) { return std::string(way == Send ? "Null" : "False"); };
    for (Way way : {Responding, Send, StateWait}) {
        SCOPED_TRACE(testing::Message() << "asked way " << way << ", not answering");
        EXPECT_EQ(noAnswer(way), ask(way, 300));
        EXPECT_GE(took, 300);
        // Time-out 0: one look. (Wine's own send with a time-out of 0 would wait without a limit.)
        EXPECT_EQ(noAnswer(way), ask(way, 0));
    }
    // Members that do not send return as they do for any window.
    EXPECT_EQ("True", Ask(L"WaitForState", {w, Arg::Long(WAIT_HIDDEN), zero}));
    const std::string activated = Ask(L"Activate", {w});
    EXPECT_TRUE(activated == "True" || activated == "False") << activated;

    ASSERT_TRUE(PumpUntil([&] { return IsHungAppWindow(target.Control()) != FALSE; }))
        << "the system reports the window hung";
    // Reported hung: at once. A send that waited instead would take the message sent to this
    // thread meanwhile, which releases the target, and would then get its answer.
    {
        DuringTheWait release([&] { target.Release(); }, DuringTheWait::Sent);
        for (Way way : {Responding, Send}) {  // not StateWait: a wait serves the thread's messages
            EXPECT_EQ(noAnswer(way), ask(way, 20000)) << "asked way " << way << ", reported hung";
        }
        EXPECT_FALSE(release.Ran()) << "a send waited for the window";
    }
    // Not answering again, until it is released while a wait goes on, which notices.
    ASSERT_EQ(TRUE, target.Send(cmd::kHang, cmd::kLongestHangMs));
    DuringTheWait release([&] { target.Release(); });
    EXPECT_EQ("True", ask(StateWait, 20000));
    EXPECT_TRUE(release.Ran());
}

// While it waits, the thread serves a call from another apartment (only then can the caller go on
// and make the window waited for) and its own messages, one of which calls the component again,
// releases the caller's reference to the watcher and asks the thread to quit. Every hook goes.
TEST_F(WatcherServing, CrossApartmentCallsAndTheThreadsOwnMessagesDuringAWait) {
    WatchRecorder recorder;
    const platform::ScopedWindowSystem recorded(recorder);
    const ComPtr<_clsWrangler> served = Bound(4242);
    IStream* stream = nullptr;
    ASSERT_EQ(S_OK, CoMarshalInterThreadInterfaceInStream(IID_IDispatch, served.get(), &stream));
    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    LONG seen = 0;
    HWND made = nullptr;
    std::thread caller([&] {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        IDispatch* proxy = nullptr;
        if (SUCCEEDED(CoGetInterfaceAndReleaseStream(stream, IID_IDispatch, reinterpret_cast<void**>(&proxy)))) {
            VARIANT handle;
            VariantInit(&handle);
            if (SUCCEEDED(
                    DispatchCallByName(proxy, L"hWnd", DISPATCH_PROPERTYGET, nullptr, 0, false, &handle, nullptr)))
                seen = V_I4(&handle);
            proxy->Release();
            made = CreateWindowExW(0, L"Static", L"Made after the call was served", 0, 0, 0, 10, 10, nullptr, nullptr,
                                   nullptr, nullptr);
            WaitForSingleObject(done, 60000);
            DestroyWindow(made);
        }
        CoUninitialize();
    });
    const LONG alive = LiveObjectCount();
    bool stillAlive = false;
    std::string nested;
    DuringTheWait own([&] {
        nested = Asked(NewWatcher().get(), L"Pause", {Arg::Long(30)});  // a wait inside the wait
        watcher.reset();  // the caller's last reference: the member holds its own until it returns
        stillAlive = LiveObjectCount() == alive;
    });
    const std::string found = Ask(
        L"WaitForWindow", {Arg::String(L"Static"), Arg::String(L"Made after the call was served"), Arg::Long(60000)});
    SetEvent(done);
    caller.join();
    CloseHandle(done);
    EXPECT_EQ(4242, seen);
    EXPECT_EQ("window " + std::to_string(AsLong(made)), found);
    EXPECT_TRUE(own.Ran());
    EXPECT_EQ("Empty", nested) << "Pause returns nothing";
    EXPECT_TRUE(stillAlive);
    EXPECT_EQ(alive - 1, LiveObjectCount()) << "released once the call returned";

    // A request to quit ends the wait and stays for the thread's own loop.
    PostQuitMessage(7);
    EXPECT_EQ("False", Asked(NewWatcher().get(), L"WaitForClose",
                             {Arg::Object(Bound(AsLong(GetDesktopWindow())).get()), Arg::Long(60000)}));
    MSG quit = {};
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(7u, quit.wParam);
    EXPECT_GT(recorder.hooks, 0);
    EXPECT_EQ(recorder.hooks, recorder.unhooks);
}

// SendMsgTimeout widens its Long parameters and narrows the answer as SendMsgLong does, and keeps
// the window system's broadcast for a window bound to HWND_BROADCAST or -1; every other member
// takes those values for no window, and hands them to no window-system call.
TEST_F(WatcherMessages, SendMsgTimeoutWidensAndBroadcastsAndTheOthersNameNoWindow) {
    const UINT message = RegisterWindowMessageW(L"WrangWatcherMessagesTest");
    WindowThread thread;
    HWND window = thread.Create("WrangWatchMessages", "Messages", WS_OVERLAPPEDWINDOW);
    thread.SetHandler(window, [message](HWND, UINT m, WPARAM, LPARAM, LRESULT* answer) {
        if (m != message) return false;
        *answer = static_cast<LRESULT>(static_cast<ULONG_PTR>(0x123456789ABCDEF0ull));  // this build's width
        return true;
    });
    const auto send = [&](LONG hWnd) {
        return Ask(L"SendMsgTimeout", {Arg::Object(Bound(hWnd).get()), Arg::Long(static_cast<LONG>(message)),
                                       Arg::Long(-1), Arg::Long(-2), Arg::Long(5000)});
    };
    EXPECT_EQ(std::to_string(static_cast<LONG>(0x9ABCDEF0u)), send(AsLong(window)));
    const std::vector<Message> got = thread.Messages(window, message);
    ASSERT_EQ(1u, got.size());
    EXPECT_EQ(HexOf(BitsOf(platform::WParamOf(-1))), HexOf(BitsOf(got[0].wParam)));
    EXPECT_EQ(HexOf(BitsOf(platform::LParamOf(-2))), HexOf(BitsOf(got[0].lParam)));

    WatchRecorder recorder;
    const platform::ScopedWindowSystem recorded(recorder);
    for (const LONG broadcast : {0xFFFFL, -1L}) {
        SCOPED_TRACE(testing::Message() << "bound to " << broadcast);
        thread.Clear();
        const std::string answer = send(broadcast);
        EXPECT_EQ(std::string::npos, answer.find_first_not_of("-0123456789")) << answer << ": a Long";
        EXPECT_EQ(1u, thread.Messages(window, message).size()) << "every top-level window gets it";
        // Sent to one top-level window after another within the one limit (this one among them),
        // never handed on as the broadcast value itself.
        EXPECT_EQ(1, std::count(recorder.handles.begin(), recorder.handles.end(), AsLong(window)));
        EXPECT_EQ(0, std::count(recorder.handles.begin(), recorder.handles.end(), broadcast));
        recorder.handles.clear();

        const ComPtr<_clsWrangler> none = Bound(broadcast);
        const Arg w = Arg::Object(none.get()), zero = Arg::Long(0);
        const struct {
            const wchar_t* member;
            std::initializer_list<Arg> args;
            const char* expected;
        } noWindow[] = {{L"IsResponding", {w}, "False"},
                        {L"WaitForState", {w, Arg::Long(WAIT_HIDDEN), zero}, "False"},
                        {L"WaitForClose", {w, zero}, "True"},
                        {L"WaitForIdle", {w, zero}, "False"},
                        {L"Activate", {w}, "False"},
                        {L"WaitForChild", {w, Arg::Missing(), Arg::Missing(), zero}, "window 0"}};
        for (const auto& c : noWindow) EXPECT_EQ(c.expected, Ask(c.member, c.args)) << c.member;
        for (LONG h : recorder.handles) EXPECT_NE(broadcast, h);
    }
}

// Activate restores a minimised top-level window and makes it the foreground window. Where the
// system refuses the change, it shares the foreground thread's input for the call only.
TEST_F(WatcherFront, ActivateRestoresAndSharesInputOnlyForTheCall) {
    WindowThread thread;
    HWND first = thread.Create("WrangWatchFront", "First", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HWND second = thread.Create("WrangWatchFront", "Second", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HWND child = thread.CreateControl("Button", "Child", WS_CHILD | WS_VISIBLE, second);
    const auto activate = [&](HWND h) { return Ask(L"Activate", {Arg::Object(Bound(AsLong(h)).get())}); };
    EXPECT_EQ("True", activate(first));
    EXPECT_EQ(first, GetForegroundWindow());

    // The top-level window of a child, minimised, through a refusal.
    thread.Run([&] { ShowWindow(second, SW_MINIMIZE); });
    ASSERT_TRUE(IsIconic(second));
    {
        WatchRecorder refusing;
        refusing.refusals = 1;
        const platform::ScopedWindowSystem refused(refusing);
        EXPECT_EQ("True", activate(child));
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
    const Arg w = Arg::Object(firstWindow.get());
    EXPECT_EQ("False", Ask(L"WaitForState", {w, Arg::Long(WAIT_ACTIVE), Arg::Long(300)}));
    {
        DuringTheWait during([&] { activate(first); });
        EXPECT_EQ("True", Ask(L"WaitForState", {w, Arg::Long(WAIT_ACTIVE | WAIT_VISIBLE), Arg::Long(20000)}));
    }
    thread.Destroy(second);
    EXPECT_EQ("False", activate(child)) << "a window that is gone";
}

// WaitForIdle: the system's input-idle wait, which waits only once for a process (later calls
// answer at once, idle or busy). Under Wine as on Windows.
TEST_F(WatcherIdle, TrueOnceTheProcessWaitsForInputFalseUntilThenOrWhenItCannotBeAsked) {
    WatchTarget busy(L"--busy", L"wrang_target.exe", false);
    const ComPtr<_clsWrangler> control = Bound(AsLong(busy.Control()));
    ASSERT_NE(0, HandleOf(control.get()));
    const Arg w = Arg::Object(control.get());
    long long took = 0;
    EXPECT_EQ("False", Ask(L"WaitForIdle", {w, Arg::Long(300)}, &took)) << "busy";
    EXPECT_GE(took, 300);
    {
        DuringTheWait release([&] { busy.Release(); });
        EXPECT_EQ("True", Ask(L"WaitForIdle", {w, Arg::Long(20000)}));
        EXPECT_TRUE(release.Ran());
    }
    busy.Stop();
    EXPECT_EQ("False", Ask(L"WaitForIdle", {w, Arg::Long(1000)})) << "the process has ended";
    if (RunningOnWine()) {
        // Wine: a process cannot ask for its own input-idle state; the system's wait fails at once.
        WindowThread thread;
        const ComPtr<_clsWrangler> own = Bound(AsLong(thread.Create("WrangWatchIdle", "Own", WS_OVERLAPPEDWINDOW)));
        EXPECT_EQ("False", Ask(L"WaitForIdle", {Arg::Object(own.get()), Arg::Long(1000)}));
    }
}

}  // namespace
}  // namespace wrang::test
