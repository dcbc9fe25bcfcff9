// When memory runs out: a member ends with E_OUTOFMEMORY instead of throwing through its COM
// interface, and a caller's variable passed by reference keeps its value.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "frame/Classes.h"
#include "platform/WindowSystem.h"
#include "support/AllocationLimit.h"
#include "support/Automation.h"
#include "support/Wranglers.h"

namespace wrang::test {
namespace {

// The arguments of a send of WM_NULL with wParam 0 and `lParam` a script's variable by reference,
// in `args` (last argument first, as a client passes them).
DISPPARAMS NullMessageTo(VARIANT* lParam, VARIANT (&args)[3]) {
    args[0] = VariableRef(lParam);
    args[1] = LongValue(0);
    args[2] = LongValue(WM_NULL);
    return {args, nullptr, 3, 0};
}

// The texts that members read from the window system go straight into the runtime's strings,
// which the platform layer allocates: out of memory, it has none to give either.
struct NoMemoryForStrings : platform::Win32WindowSystem {
    BSTR AllocString(const wchar_t*, UINT) override { return nullptr; }
};

TEST(OutOfMemory, TheLimitRefusesAllocationsBeyondIt) {
    AllocationLimit limit(1);
    char* first = new (std::nothrow) char[16];
    char* second = new (std::nothrow) char[16];
    EXPECT_NE(nullptr, first);
    EXPECT_EQ(nullptr, second);
    delete[] first;
}

// A script variable passed to a by-reference parameter is written only when the member succeeds.
TEST(OutOfMemory, AFailedCallLeavesTheCallersVariableAsItWas) {
    const ComPtr<_clsWrangler> w = NewWrangler();
    ASSERT_TRUE(w);
    const DISPID id = IdOf(w.get(), L"SendMsgStringByRef");
    VARIANT variable = TextValue(SysAllocString(L"kept"));
    const BSTR before = V_BSTR(&variable);
    VARIANT args[3];
    DISPPARAMS params = NullMessageTo(&variable, args);
    UniqueVariant result;
    ASSERT_EQ(S_OK, w->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, result.get(), nullptr, nullptr));
    ASSERT_NE(before, V_BSTR(&variable)) << "a successful call hands back a new string";
    const BSTR current = V_BSTR(&variable);

    // Each allocation of the call fails in turn (the dispatcher makes none of its own, the member
    // one or more for its text), until the call has all it needs.
    int failures = 0;
    for (int allowed = 0; allowed < 8; ++allowed) {
        SCOPED_TRACE(allowed);
        EXCEPINFO exception = {};
        HRESULT status = S_OK;
        {
            AllocationLimit limit(allowed);
            status = w->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, result.get(), &exception, nullptr);
        }
        if (status == S_OK) break;
        ++failures;
        EXPECT_TRUE(status == E_OUTOFMEMORY || (status == DISP_E_EXCEPTION && exception.scode == E_OUTOFMEMORY))
            << std::hex << status;
        FreeException(&exception);
        ASSERT_EQ(VT_BSTR, V_VT(&variable));
        EXPECT_EQ(current, V_BSTR(&variable));
        EXPECT_STREQ(L"kept", V_BSTR(&variable));
    }
    EXPECT_GT(failures, 0) << "the member's text needs memory";
    VariantClear(&variable);
}

// The dispatcher itself allocates nothing for a call: a member without texts works with no memory
// at all, its by-reference Long written back.
TEST(OutOfMemory, ACallWithoutTextsNeedsNoMemory) {
    const ComPtr<_clsWrangler> w = NewWrangler();
    ASSERT_TRUE(w);
    const DISPID id = IdOf(w.get(), L"SendMsgLongByRef");
    VARIANT variable = LongValue(7);
    VARIANT args[3];
    DISPPARAMS params = NullMessageTo(&variable, args);
    UniqueVariant result;
    HRESULT status = E_FAIL;
    {
        AllocationLimit noMemory(0);
        status = w->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, result.get(), nullptr, nullptr);
    }
    EXPECT_EQ(S_OK, status);
    EXPECT_EQ(VT_I4, V_VT(result.get()));
    EXPECT_EQ(VT_I4, V_VT(&variable));
    EXPECT_EQ(7, V_I4(&variable));
}

TEST(OutOfMemory, ClassNameReportsItInsteadOfThrowing) {
    ComPtr<_clsWrangler> w = Bound(L(GetDesktopWindow()));
    BSTR name = reinterpret_cast<BSTR>(1);
    HRESULT hr = S_OK;
    bool thrown = false;
    {
        NoMemoryForStrings noStrings;
        platform::ScopedWindowSystem scoped(noStrings);
        AllocationLimit noMemory(0);
        try {
            hr = w->get_ClassName(&name);
        } catch (...) {
            thrown = true;
        }
    }
    EXPECT_FALSE(thrown) << "an exception left the member";
    EXPECT_EQ(E_OUTOFMEMORY, hr);
    EXPECT_EQ(nullptr, name);
    // With memory again the same member works.
    UniqueBstr again;
    ASSERT_EQ(S_OK, w->get_ClassName(again.put()));
    EXPECT_NE(0u, SysStringLen(again.get()));
}

// The members that need memory for a text or a new object end with the status and change nothing.
TEST(OutOfMemory, TextsAndNewObjectsEndWithTheStatus) {
    ComPtr<_clsWrangler> w = Bound(L(GetDesktopWindow()));
    UniqueBstr text;
    ComPtr<_clsWrangler> child;
    UniqueBstr kept(SysAllocString(L"kept"));
    BSTR byRef = kept.get();
    LONG answer = -1;
    HRESULT text_hr = S_OK, child_hr = S_OK, send_hr = S_OK;
    {
        NoMemoryForStrings noStrings;
        platform::ScopedWindowSystem scoped(noStrings);
        AllocationLimit noMemory(0);
        text_hr = w->get_Text(text.put());
        child_hr = w->GetChild(nullptr, nullptr, child.put());
        send_hr = w->SendMsgStringByRef(WM_NULL, 0, &byRef, VARIANT_FALSE, &answer);
    }
    EXPECT_EQ(E_OUTOFMEMORY, text_hr);
    EXPECT_EQ(nullptr, text.get());
    EXPECT_EQ(E_OUTOFMEMORY, child_hr);
    EXPECT_EQ(nullptr, child.get());
    EXPECT_EQ(E_OUTOFMEMORY, send_hr);
    EXPECT_EQ(0, answer);
    EXPECT_EQ(kept.get(), byRef) << "the caller's string stays as it was";
}

}  // namespace
}  // namespace wrang::test
