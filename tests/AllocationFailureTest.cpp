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

// A record whose copy finds no memory, as a client's record type may: the runtime's copy of a
// Variant holding it ends with E_OUTOFMEMORY, whichever of the record's members it asks.
struct RecordWithoutMemory : IRecordInfo {
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        *out = iid == IID_IUnknown || iid == IID_IRecordInfo ? this : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE RecordInit(PVOID) override { return E_OUTOFMEMORY; }
    HRESULT STDMETHODCALLTYPE RecordClear(PVOID) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RecordCopy(PVOID, PVOID) override { return E_OUTOFMEMORY; }
    HRESULT STDMETHODCALLTYPE GetGuid(GUID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetName(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetSize(ULONG*) override { return E_OUTOFMEMORY; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetField(PVOID, LPCOLESTR, VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetFieldNoCopy(PVOID, LPCOLESTR, VARIANT*, PVOID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE PutField(ULONG, PVOID, LPCOLESTR, VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE PutFieldNoCopy(ULONG, PVOID, LPCOLESTR, VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetFieldNames(ULONG*, BSTR*) override { return E_NOTIMPL; }
    BOOL STDMETHODCALLTYPE IsMatchingType(IRecordInfo*) override { return FALSE; }
    PVOID STDMETHODCALLTYPE RecordCreate() override { return nullptr; }
    HRESULT STDMETHODCALLTYPE RecordCreateCopy(PVOID, PVOID*) override { return E_OUTOFMEMORY; }
    HRESULT STDMETHODCALLTYPE RecordDestroy(PVOID) override { return S_OK; }
};

// No memory to copy an argument given by value is the runtime's "Out of memory" (error 7), not a
// type mismatch of an argument that has the right type: no argument is named.
TEST(OutOfMemory, AnArgumentWithoutMemoryForItsCopyIsOutOfMemory) {
    ComPtr<IDispatch> watcher(Created(CreateWatcher).get());
    RecordWithoutMemory record;
    BYTE fields[16] = {};
    VARIANT args[3];
    args[2] = Holding(VT_RECORD, static_cast<void*>(fields));  // ClassName, by value
    V_RECORDINFO(&args[2]) = &record;
    args[1] = Holding(VT_BSTR, static_cast<BSTR>(nullptr));
    args[0] = LongValue(0);
    DISPPARAMS params = {args, nullptr, 3, 0};
    UniqueVariant result;
    UINT argError = 12345;
    EXPECT_EQ(E_OUTOFMEMORY, watcher->Invoke(IdOf(watcher.get(), L"WaitForWindow"), IID_NULL, 0, DISPATCH_METHOD,
                                             &params, result.get(), nullptr, &argError));
    EXPECT_EQ(12345u, argError) << "an argument was named";
    EXPECT_EQ(VT_EMPTY, V_VT(result.get()));
}

}  // namespace
}  // namespace wrang::test
