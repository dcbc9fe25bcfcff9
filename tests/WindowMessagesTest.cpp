// Sending and posting messages: what the receiving window finds in lParam, and what it can write
// back through it. The receiver is a real window on another thread, like a window of another
// application; its handler runs while the sender waits, so it may use the addresses it gets.
#include <gtest/gtest.h>

#include <malloc.h>

#include <climits>
#include <cstring>
#include <string>

#include "frame/Classes.h"
#include "platform/WindowSystem.h"
#include "support/Automation.h"
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
    EXPECT_EQ(reinterpret_cast<LPARAM>(&variable), seen) << "the caller's own variable";
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
        allocated = _msize(buffer);
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

}  // namespace
}  // namespace wrang::test
