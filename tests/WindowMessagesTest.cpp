// Sending and posting messages: what the receiving window finds in lParam, and what it can write
// back through it. The receiver is a real window on another thread, like a window of another
// application; its handler runs while the sender waits, so it may use the addresses it gets.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

#include "frame/Classes.h"
#include "platform/WindowSystem.h"
#include "support/Automation.h"
#include "support/LentMemory.h"
#include "support/TargetProcess.h"
#include "support/WindowThread.h"
#include "support/Wranglers.h"

namespace wrang::test {
namespace {

constexpr UINT kProbe = WM_APP + 7;

std::wstring Whole(BSTR s) { return std::wstring(s, SysStringLen(s)); }

class MessagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        target = thread.Create("WrangMsgTarget", "message target");
        ASSERT_TRUE(target);
        w = Bound(L(target));
    }
    void TearDown() override { thread.Destroy(target); }
    // Answers kProbe with `answer` after `probe` looked at (and perhaps wrote through) lParam.
    void OnProbe(std::function<void(WPARAM, LPARAM)> probe, LRESULT answer = 0) {
        thread.SetHandler(target, [probe, answer](HWND, UINT m, WPARAM wp, LPARAM lp, LRESULT* out) {
            if (m != kProbe) return false;
            probe(wp, lp);
            *out = answer;
            return true;
        });
    }

    WindowThread thread;
    HWND target = nullptr;
    ComPtr<_clsWrangler> w;
};

TEST_F(MessagesTest, SendMsgLongGivesAnAddressOfACopyOrTheValue) {
    LPARAM seen = 0;
    LONG pointedAt = 0;
    WPARAM seenW = 0;
    OnProbe(
        [&](WPARAM wp, LPARAM lp) {
            seenW = wp;
            seen = lp;
            if (lp != 1234) {
                pointedAt = *reinterpret_cast<LONG*>(lp);
                *reinterpret_cast<LONG*>(lp) = 99;  // lands in the component's copy
            }
        },
        -5);
    LONG answer = 0;
    ASSERT_EQ(S_OK, w->SendMsgLong(kProbe, 17, 1234, VARIANT_FALSE, &answer));
    EXPECT_EQ(-5, answer) << "the answer comes back unchanged";
    EXPECT_EQ(17u, seenW);
    EXPECT_NE(1234, seen) << "an address, not the number";
    EXPECT_EQ(1234, pointedAt);

    ASSERT_EQ(S_OK, w->SendMsgLong(kProbe, 0, 1234, VARIANT_TRUE, &answer));
    EXPECT_EQ(1234, seen);

    // A script's variable passed to the by-value member never changes, and an omitted flag is False.
    VARIANT variable = LongValue(1234);
    CallResult result;
    pointedAt = 0;
    Call(w.get(), L"SendMsgLong", {Arg::Long(kProbe), Arg::Long(0), Arg::Variable(&variable)}, &result);
    ASSERT_EQ(S_OK, result.hr);
    EXPECT_EQ(-5, V_I4(result.value.get()));
    EXPECT_EQ(1234, pointedAt);
    EXPECT_EQ(1234, V_I4(&variable));
}

TEST_F(MessagesTest, SendMsgLongByRefLetsTheReceiverWriteTheCallersVariable) {
    LPARAM seen = 0;
    OnProbe([&](WPARAM, LPARAM lp) {
        seen = lp;
        if (lp != 5) *reinterpret_cast<LONG*>(lp) = 4321;
    });
    LONG variable = 5, answer = -1;
    ASSERT_EQ(S_OK, w->SendMsgLongByRef(kProbe, 0, &variable, VARIANT_FALSE, &answer));
    EXPECT_NE(reinterpret_cast<LPARAM>(&variable), seen) << "a variable of the call's own, never the caller's";
    EXPECT_EQ(4321, variable);
    EXPECT_EQ(0, answer);

    variable = 5;
    ASSERT_EQ(S_OK, w->SendMsgLongByRef(kProbe, 0, &variable, VARIANT_TRUE, &answer));
    EXPECT_EQ(5, seen);
    EXPECT_EQ(5, variable);

    // Script variables, as a Long and as the 16-bit integer VBScript makes of a small number.
    for (VARTYPE type : {VT_I4, VT_I2}) {
        VARIANT script = type == VT_I4 ? LongValue(5) : Holding(VT_I2, SHORT{5});
        CallResult result;
        Call(w.get(), L"SendMsgLongByRef", {Arg::Long(kProbe), Arg::Long(0), Arg::Variable(&script), Arg::Bool(false)},
             &result);
        ASSERT_EQ(S_OK, result.hr) << type;
        ASSERT_EQ(VT_I4, V_VT(&script)) << type;
        EXPECT_EQ(4321, V_I4(&script)) << type;
    }
}

TEST_F(MessagesTest, SendMsgStringGivesTheAnsiTextOrAVariableHoldingItsAddress) {
    std::string read;
    bool viaVariable = false;
    OnProbe([&](WPARAM, LPARAM lp) {
        char* text = viaVariable ? *reinterpret_cast<char**>(lp) : reinterpret_cast<char*>(lp);
        read = text ? text : "(null)";
        if (text && *text) text[0] = 'J';  // the receiver writes into the buffer
    });
    UniqueBstr hello(SysAllocString(L"hello \u00e9"));
    LONG answer = 0;
    ASSERT_EQ(S_OK, w->SendMsgString(kProbe, 0, hello.get(), VARIANT_TRUE, &answer));
    EXPECT_EQ("hello \xe9", read) << "converted to the ANSI code page";
    viaVariable = true;
    ASSERT_EQ(S_OK, w->SendMsgString(kProbe, 0, hello.get(), VARIANT_FALSE, &answer));
    EXPECT_EQ("hello \xe9", read);
    EXPECT_EQ(L"hello \u00e9", Whole(hello.get())) << "the caller's string never changes";

    // A null string reference is a null pointer to the receiver.
    viaVariable = false;
    ASSERT_EQ(S_OK, w->SendMsgString(kProbe, 0, nullptr, VARIANT_TRUE, &answer));
    EXPECT_EQ("(null)", read);
    viaVariable = true;
    ASSERT_EQ(S_OK, w->SendMsgString(kProbe, 0, nullptr, VARIANT_FALSE, &answer));
    EXPECT_EQ("(null)", read);

    VARIANT script = TextValue(SysAllocString(L"script text"));
    CallResult result;
    Call(w.get(), L"SendMsgString", {Arg::Long(kProbe), Arg::Long(0), Arg::Variable(&script)}, &result);
    ASSERT_EQ(S_OK, result.hr);
    EXPECT_EQ("script text", read);
    EXPECT_EQ(L"script text", Whole(V_BSTR(&script)));
    VariantClear(&script);
}

TEST_F(MessagesTest, SendMsgStringByRefBringsTheWholeBufferBack) {
    bool viaVariable = false;
    WPARAM room = 0;
    // Copies a three-character text and its terminating 0 into the buffer, as WM_GETTEXT would.
    OnProbe(
        [&](WPARAM wp, LPARAM lp) {
            room = wp;
            char* buffer = viaVariable ? *reinterpret_cast<char**>(lp) : reinterpret_cast<char*>(lp);
            if (wp >= 4) std::memcpy(buffer, "abc", 4);
        },
        3);
    const std::wstring expected(L"abc\0      ", 10);
    for (bool byVariable : {true, false}) {
        viaVariable = byVariable;
        UniqueBstr text(SysAllocString(L"          "));
        BSTR passed = text.release();
        LONG answer = 0;
        ASSERT_EQ(S_OK, w->SendMsgStringByRef(kProbe, 10, &passed, byVariable ? VARIANT_FALSE : VARIANT_TRUE, &answer));
        text.reset(passed);
        EXPECT_EQ(3, answer);
        EXPECT_EQ(10u, room);
        EXPECT_EQ(expected, Whole(text.get())) << "not trimmed, not cut at the 0";
    }

    // A script's variable is replaced too.
    viaVariable = false;
    VARIANT script = TextValue(SysAllocString(L"          "));
    CallResult result;
    Call(w.get(), L"SendMsgStringByRef", {Arg::Long(kProbe), Arg::Long(10), Arg::Variable(&script), Arg::Bool(true)},
         &result);
    ASSERT_EQ(S_OK, result.hr);
    ASSERT_EQ(VT_BSTR, V_VT(&script));
    EXPECT_EQ(expected, Whole(V_BSTR(&script)));
    VariantClear(&script);

    // A null string stays null: there is no buffer to bring back.
    BSTR none = nullptr;
    LONG answer = 0;
    ASSERT_EQ(S_OK, w->SendMsgStringByRef(kProbe, 0, &none, VARIANT_TRUE, &answer));
    EXPECT_EQ(nullptr, none);
}

TEST_F(MessagesTest, AReceiverToldOfMoreRoomThanTheTextHasWritesNoFurtherThanTheBuffer) {
    // The receiver fills all the room wParam promises, as WM_GETTEXT with a short string does.
    size_t allocated = 0;
    OnProbe([&](WPARAM wp, LPARAM lp) {
        char* buffer = reinterpret_cast<char*>(lp);
        allocated = CommittedFrom(buffer);
        if (allocated >= wp) {
            std::memset(buffer, 'x', wp - 1);
            buffer[wp - 1] = 0;
        }
    });
    BSTR text = SysAllocString(L"abc");
    LONG answer = 0;
    ASSERT_EQ(S_OK, w->SendMsgStringByRef(kProbe, 64, &text, VARIANT_TRUE, &answer));
    EXPECT_GE(allocated, 64u);
    EXPECT_EQ(L"xxx", Whole(text)) << "as long as the text that went out";
    SysFreeString(text);
    UniqueBstr constant(SysAllocString(L"abc"));
    ASSERT_EQ(S_OK, w->SendMsgString(kProbe, 64, constant.get(), VARIANT_TRUE, &answer));
    EXPECT_GE(allocated, 64u);
    EXPECT_EQ(L"abc", Whole(constant.get()));

    // The real message, from the window's own caption.
    text = SysAllocString(L"abc");
    ASSERT_EQ(S_OK, w->SendMsgStringByRef(WM_GETTEXT, 100, &text, VARIANT_TRUE, &answer));
    EXPECT_EQ(14, answer) << "all of \"message target\" was copied";
    EXPECT_EQ(L"mes", Whole(text));
    SysFreeString(text);
}

TEST_F(MessagesTest, WmGetTextFromAnotherProcessFillsAStringOfSpaces) {
    TargetProcess remote(L"--window WrangMsgRemote \"Remote caption\"", "WrangMsgRemote");
    ASSERT_TRUE(remote.Window());
    ComPtr<_clsWrangler> r = Bound(L(remote.Window()));
    BSTR text = SysAllocString(L"                    ");  // 20 spaces
    LONG answer = 0;
    ASSERT_EQ(S_OK, r->SendMsgStringByRef(WM_GETTEXT, 20, &text, VARIANT_TRUE, &answer));
    EXPECT_EQ(14, answer);
    EXPECT_EQ(std::wstring(L"Remote caption\0     ", 20), Whole(text));
    SysFreeString(text);
}

TEST_F(MessagesTest, SendMsgPassesTheAddressOfAVariableHoldingTheReference) {
    ComPtr<_clsWrangler> object = Bound(42);
    IDispatch* held = nullptr;
    LPARAM seen = 0;
    ULONG referencesDuringCall = 0;
    OnProbe([&](WPARAM, LPARAM lp) {
        seen = lp;
        held = *reinterpret_cast<IDispatch**>(lp);
        if (held) referencesDuringCall = References(held);
    });
    const ULONG before = References(object.get());
    LONG answer = 0;
    for (VARIANT_BOOL flag : {VARIANT_FALSE, VARIANT_TRUE}) {
        held = nullptr;
        ASSERT_EQ(S_OK, w->SendMsg(kProbe, 0, object.get(), flag, &answer));
        EXPECT_EQ(static_cast<IDispatch*>(object.get()), held) << "the same for either flag";
        EXPECT_EQ(before + 1, referencesDuringCall) << "a counted reference of its own";
        EXPECT_EQ(before, References(object.get())) << "and released afterwards";
    }

    // Nothing: still an address, of a variable that holds 0.
    held = reinterpret_cast<IDispatch*>(1);
    ASSERT_EQ(S_OK, w->SendMsg(kProbe, 0, nullptr, VARIANT_FALSE, &answer));
    EXPECT_NE(0, seen);
    EXPECT_EQ(nullptr, held);

    CallResult result;
    held = reinterpret_cast<IDispatch*>(1);
    Call(w.get(), L"SendMsg", {Arg::Long(kProbe), Arg::Long(0), Arg::Null()}, &result);
    ASSERT_EQ(S_OK, result.hr);
    EXPECT_EQ(nullptr, held);

    // A receiver that swaps the reference as an in/out reference is swapped leaks nothing and
    // releases nothing twice.
    ComPtr<_clsWrangler> other = Bound(43);
    OnProbe([&](WPARAM, LPARAM lp) {
        auto** slot = reinterpret_cast<IDispatch**>(lp);
        (*slot)->Release();
        other->AddRef();
        *slot = other.get();
    });
    ASSERT_EQ(S_OK, w->SendMsg(kProbe, 0, object.get(), VARIANT_FALSE, &answer));
    EXPECT_EQ(before, References(object.get()));
    EXPECT_EQ(1u, References(other.get()));
}

TEST_F(MessagesTest, SendMsgByRefLetsTheReceiverHandBackAnotherObject) {
    ComPtr<_clsWrangler> first = Bound(1), second = Bound(2);
    IDispatch* replacement = second.get();
    // Swaps the reference in the caller's variable the way an in/out reference is swapped.
    OnProbe([&](WPARAM, LPARAM lp) {
        auto** slot = reinterpret_cast<IDispatch**>(lp);
        if (*slot) (*slot)->Release();
        replacement->AddRef();
        *slot = replacement;
    });
    IDispatch* variable = first.get();
    variable->AddRef();
    LONG answer = 0;
    ASSERT_EQ(S_OK, w->SendMsgByRef(kProbe, 0, &variable, VARIANT_TRUE, &answer));
    EXPECT_EQ(static_cast<IDispatch*>(second.get()), variable);
    variable->Release();

    VARIANT script = ObjectValue(first.get());
    first->AddRef();
    CallResult result;
    Call(w.get(), L"SendMsgByRef", {Arg::Long(kProbe), Arg::Long(0), Arg::Variable(&script)}, &result);
    ASSERT_EQ(S_OK, result.hr);
    ASSERT_EQ(VT_DISPATCH, V_VT(&script));
    EXPECT_EQ(static_cast<IDispatch*>(second.get()), V_DISPATCH(&script));
    VariantClear(&script);
    EXPECT_EQ(1u, References(first.get())) << "the swapped-out reference was released, once";
}

TEST_F(MessagesTest, PostMsgQueuesAndDoesNotWait) {
    ASSERT_EQ(S_OK, w->PostMsg(kProbe, 11, -22));
    ASSERT_TRUE(thread.WaitForMessages(target, kProbe, 1));
    auto posted = thread.Messages(target, kProbe);
    EXPECT_EQ(11u, posted[0].wParam);
    EXPECT_EQ(-22, posted[0].lParam);

    // To a window that is gone, or to no window: nothing to report, no error.
    HWND gone = thread.Create("WrangMsgTarget", "gone");
    ComPtr<_clsWrangler> dead = Bound(L(gone));
    thread.Destroy(gone);
    EXPECT_EQ(S_OK, dead->PostMsg(kProbe, 0, 0));
    LONG answer = -1;
    ASSERT_EQ(S_OK, dead->SendMsgLong(kProbe, 0, 0, VARIANT_TRUE, &answer));
    EXPECT_EQ(0, answer);
    ComPtr<_clsWrangler> none = Bound(0);
    answer = -1;
    ASSERT_EQ(S_OK, none->SendMsgLong(WM_NULL, 0, 0, VARIANT_TRUE, &answer));
    EXPECT_EQ(0, answer);
}

// A Long from the caller reaches the window as a 64-bit client's runtime widens it (sign-extended),
// and the answer comes back as its low 32 bits: the same numbers in either build.
TEST_F(MessagesTest, NegativeLongsArriveSignExtendedAndAnswersComeBackAsLongs) {
    const struct {
        LONG wParam, lParam;
    } cases[] = {{-1, -1}, {LONG_MIN, LONG_MAX}, {-22, LONG_MIN}, {0x7FFF0000, -0x10000}};
    WPARAM seenW = 0;
    LPARAM seenL = 0;
    OnProbe([&](WPARAM wp, LPARAM lp) { seenW = wp, seenL = lp; },
            static_cast<LRESULT>(0x500000005ll));  // 5 where an answer is 32 bits
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.wParam << ", " << c.lParam);
        const WPARAM wantedW = static_cast<WPARAM>(static_cast<LONG_PTR>(c.wParam));
        const LPARAM wantedL = c.lParam;
        LONG answer = 0;
        ASSERT_EQ(S_OK, w->SendMsgLong(kProbe, c.wParam, c.lParam, VARIANT_TRUE, &answer));
        EXPECT_EQ(wantedW, seenW);
        EXPECT_EQ(wantedL, seenL);
        EXPECT_EQ(5, answer);
        thread.Clear();
        ASSERT_EQ(S_OK, w->PostMsg(kProbe, c.wParam, c.lParam));
        ASSERT_TRUE(thread.WaitForMessages(target, kProbe, 1));
        EXPECT_EQ(wantedW, thread.Messages(target, kProbe)[0].wParam);
        EXPECT_EQ(wantedL, thread.Messages(target, kProbe)[0].lParam);
    }
}

// The faults scripts met with forceByVal left False: a window's text, or a RECT, written where the
// member lent a variable of 32 or 64 bits. The text lands in the lent variable and is lost, as the
// published table has it; the rest of the call's memory and the caller's stay as they were.
TEST_F(MessagesTest, ATextOrRectangleWrittenIntoALentVariableHarmsNothing) {
    for (size_t length : {16, 24, 32, 40, 1000, 100000}) {
        SCOPED_TRACE(length);
        ASSERT_TRUE(SetWindowTextA(target, std::string(length, 'Q').c_str()));
        const size_t copied = std::min<size_t>(length, 63);
        for (VARIANT_BOOL flag : {VARIANT_FALSE, VARIANT_TRUE}) {
            BSTR text = SysAllocString(std::wstring(64, L' ').c_str());
            LONG answer = 0;
            ASSERT_EQ(S_OK, w->SendMsgStringByRef(WM_GETTEXT, 64, &text, flag, &answer));
            const UniqueBstr returned(text);
            EXPECT_EQ(static_cast<LONG>(copied), answer);
            const std::wstring expected =
                flag ? std::wstring(copied, L'Q') + L'\0' + std::wstring(63 - copied, L' ') : std::wstring(64, L' ');
            EXPECT_EQ(expected, Whole(text)) << flag;
        }
    }
    HWND edit = thread.CreateControl("Edit", "text", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, target, 1, 0, 0, 120, 24);
    RECT rect = {-1, -1, -1, -1};
    SendMessageA(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&rect));
    LONG left = -1, answer = -1;
    ASSERT_EQ(S_OK, Bound(L(edit))->SendMsgLongByRef(EM_GETRECT, 0, &left, VARIANT_FALSE, &answer));
    EXPECT_EQ(rect.left, left) << "the rectangle's first field comes back";

    // EM_GETLINE takes its count from the variable itself: 30,000 characters into a Long.
    ASSERT_TRUE(SetWindowTextA(edit, std::string(30000, 'Q').c_str()));
    LONG count = 30000;
    ASSERT_EQ(S_OK, Bound(L(edit))->SendMsgLongByRef(EM_GETLINE, 0, &count, VARIANT_FALSE, &answer));
    EXPECT_EQ(30000, answer);
    EXPECT_EQ(0x51515151, count);
}

TEST_F(MessagesTest, AListBoxOfAnotherProcessThatWritesMoreThanItsTextStaysInTheBuffer) {
    TargetProcess remote(L"--window WrangListRemote \"Remote list\" --listbox", "WrangListRemote");
    HWND list = FindWindowExA(remote.Window(), nullptr, "ListBox", nullptr);
    ASSERT_TRUE(list);
    ASSERT_EQ(16, SendMessageA(list, LB_GETTEXTLEN, 0, 0));
    BSTR text = SysAllocString(std::wstring(16, L' ').c_str());
    LONG answer = 0;
    ASSERT_EQ(S_OK, Bound(L(list))->SendMsgStringByRef(LB_GETTEXT, 0, &text, VARIANT_TRUE, &answer));
    const UniqueBstr returned(text);
    EXPECT_EQ(16, answer);
    EXPECT_TRUE(HeapValidate(GetProcessHeap(), 0, nullptr));
    // Wine: across processes the list box writes UTF-16 into the ANSI buffer, twice the bytes of
    // the text it announced, and the first 16 of them come back.
    const std::wstring expected = RunningOnWine() ? std::wstring(L"W\0r\0a\0n\0g\0 \0l\0i\0", 16) : L"Wrang list entry";
    EXPECT_EQ(expected, Whole(text));
}

// Every address a message member lends a receiver, passed as a script passes it (a variable).
struct Lending {
    const wchar_t* member;
    bool forceByVal;
    VARTYPE type;
    size_t announced;  // what the message itself says the receiver may write: the variable, or wParam
    size_t kept;       // leading bytes a receiver leaves as they are: a reference the member releases
    bool comesBack;    // whether what the receiver wrote reaches the variable
};
std::string NameOf(const Lending& c) {
    return std::string(c.member, c.member + wcslen(c.member)) + (c.forceByVal ? "WithForceByVal" : "");
}
void PrintTo(const Lending& c, std::ostream* out) { *out << NameOf(c); }
constexpr LONG kAnnounced = 64;  // the wParam of every case: a count of bytes
const Lending kLendings[] = {
    {L"SendMsg", false, VT_DISPATCH, sizeof(void*), sizeof(void*), false},
    {L"SendMsgByRef", false, VT_DISPATCH, sizeof(void*), sizeof(void*), false},
    {L"SendMsgLong", false, VT_I4, sizeof(LONG), 0, false},
    {L"SendMsgLongByRef", false, VT_I4, sizeof(LONG), 0, true},
    {L"SendMsgString", false, VT_BSTR, sizeof(void*), 0, false},
    {L"SendMsgString", true, VT_BSTR, kAnnounced, 0, false},
    {L"SendMsgStringByRef", false, VT_BSTR, sizeof(void*), 0, false},
    {L"SendMsgStringByRef", true, VT_BSTR, kAnnounced, 0, true},
};

std::atomic<LPARAM> g_lent{0};
std::atomic<DWORD> g_writer{0};

// A receiver that wrote far beyond its room faulted: where? The writing thread's fault ends the
// process with the fault's own status when it lies in the page right behind the lent room.
LONG CALLBACK AtTheGuardPage(EXCEPTION_POINTERS* info) {
    if (info->ExceptionRecord->ExceptionCode != EXCEPTION_ACCESS_VIOLATION || GetCurrentThreadId() != g_writer) {
        return EXCEPTION_CONTINUE_SEARCH;
    }
    const char* lent = reinterpret_cast<const char*>(g_lent.load());
    const char* guard = lent + CommittedFrom(lent);
    const auto* fault = reinterpret_cast<const char*>(info->ExceptionRecord->ExceptionInformation[1]);
    const bool atGuard = LentAlone(g_lent) && fault >= guard && fault < guard + 4096;
    std::fprintf(stderr, "fault %s the guard page\n", atGuard ? "at" : "away from");
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), atGuard ? EXCEPTION_ACCESS_VIOLATION : 3);
    return EXCEPTION_CONTINUE_SEARCH;
}

class LendingTest : public MessagesTest, public ::testing::WithParamInterface<Lending> {
protected:
    // Sends kProbe through the case's member; the receiver writes `bytes` bytes of 'Q' after the
    // kept ones. `variable` is the script's variable, by reference.
    CallResult Lend(size_t bytes, VARIANT* variable) {
        const Lending& c = GetParam();
        OnProbe([&, bytes](WPARAM, LPARAM lp) {
            lentAlone = LentAlone(lp);
            clean = reinterpret_cast<const char*>(lp)[kLeastRoom - 1] == 0;
            g_lent = lp;
            g_writer = GetCurrentThreadId();
            volatile char* from = reinterpret_cast<char*>(lp) + c.kept;
            for (size_t i = 0; i < bytes; ++i) from[i] = 'Q';
        });
        CallResult result;
        Call(w.get(), c.member,
             {Arg::Long(kProbe), Arg::Long(kAnnounced), Arg::Variable(variable), Arg::Bool(c.forceByVal)}, &result);
        return result;
    }
    // The script's variable before the call, and as it must read after a receiver wrote 'Q's.
    VARIANT Before() {
        switch (GetParam().type) {
        case VT_DISPATCH: object->AddRef(); return ObjectValue(object.get());
        case VT_I4: return LongValue(5);
        default: return TextValue(SysAllocString(L"abc"));
        }
    }
    std::wstring Reading(const VARIANT& variable) {
        if (V_VT(&variable) == VT_I4) return std::to_wstring(V_I4(&variable));
        if (V_VT(&variable) == VT_BSTR) return Whole(V_BSTR(&variable));
        return V_VT(&variable) == VT_DISPATCH && V_DISPATCH(&variable) == object.get() ? L"object" : L"?";
    }

    ComPtr<_clsWrangler> object = Bound(42);
    bool lentAlone = false, clean = false;
};

// Beyond what the message announces within the least room, then exactly what it announces: the call
// answers, the variable reads as the published table says, and neither the stack nor the heap was
// touched. What one receiver left is gone before the next one gets its room.
TEST_P(LendingTest, AReceiverWritesWithinTheRoomWithoutHarm) {
    const Lending& c = GetParam();
    for (size_t bytes : {kLeastRoom - c.kept, c.announced - c.kept}) {
        SCOPED_TRACE(bytes);
        VARIANT variable = Before();
        const std::wstring unchanged = Reading(variable);
        ASSERT_EQ(S_OK, Lend(bytes, &variable).hr);
        EXPECT_TRUE(lentAlone) << "a region of the call's own, with a guard page behind its room";
        EXPECT_TRUE(clean) << "lent zero-filled";
        const std::wstring written = c.type == VT_I4 ? std::to_wstring(0x51515151) : L"QQQ";
        EXPECT_EQ(c.comesBack ? written : unchanged, Reading(variable));
        EXPECT_TRUE(HeapValidate(GetProcessHeap(), 0, nullptr));
        VariantClear(&variable);
    }
}

// Far beyond the room the receiver faults at the guard page, in a child process of the test.
TEST_P(LendingTest, AReceiverThatWritesFarBeyondTheRoomFaultsAtTheGuardPage) {
    VARIANT variable = Before();
    EXPECT_EXIT(
        {
            AddVectoredExceptionHandler(1, AtTheGuardPage);
            Lend(64 << 20, &variable);
            std::fprintf(stderr, "no fault\n");
            std::exit(4);
        },
        testing::ExitedWithCode(static_cast<int>(EXCEPTION_ACCESS_VIOLATION)), "fault at the guard page");
    VariantClear(&variable);
}

INSTANTIATE_TEST_SUITE_P(EveryAddress, LendingTest, testing::ValuesIn(kLendings),
                         [](const testing::TestParamInfo<Lending>& info) { return NameOf(info.param); });

}  // namespace
}  // namespace wrang::test
