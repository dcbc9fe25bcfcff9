// When memory runs out: a member ends with E_OUTOFMEMORY instead of throwing through its COM
// interface, and a caller's variable passed by reference keeps its value. The operators below let a
// test refuse every allocation of this thread after a given number; unlimited otherwise.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "frame/Classes.h"
#include "support/Automation.h"

namespace {
thread_local int g_allocationsLeft = -1;  // -1: no limit
}  // namespace

void* operator new(std::size_t size) {
    if (g_allocationsLeft == 0) throw std::bad_alloc();
    if (g_allocationsLeft > 0) --g_allocationsLeft;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace wrang::test {
namespace {

// Lets `allowed` more allocations of this thread succeed while it lives.
class AllocationLimit {
public:
    explicit AllocationLimit(int allowed) { g_allocationsLeft = allowed; }
    ~AllocationLimit() { g_allocationsLeft = -1; }
};

TEST(OutOfMemory, TheLimitRefusesAllocationsBeyondIt) {
    AllocationLimit limit(1);
    char* first = new (std::nothrow) char[16];
    char* second = new (std::nothrow) char[16];
    EXPECT_NE(nullptr, first);
    EXPECT_EQ(nullptr, second);
    delete[] first;
}

TEST(OutOfMemory, ClassNameReportsItInsteadOfThrowing) {
    ComPtr<_clsWrangler> w;
    ASSERT_EQ(S_OK, CreateWrangler(w.put()));
    BSTR name = nullptr;
    HRESULT status = S_OK;
    {
        AllocationLimit none(0);
        try {
            status = w->get_ClassName(&name);
        } catch (...) {
            status = S_FALSE;
        }
    }
    EXPECT_EQ(E_OUTOFMEMORY, status) << "S_FALSE: an exception left the member";
    EXPECT_EQ(nullptr, name);
}

// A script variable passed to a by-reference parameter is written only when the member succeeds.
TEST(OutOfMemory, AFailedCallLeavesTheCallersVariableAsItWas) {
    ComPtr<_clsWrangler> w;
    ASSERT_EQ(S_OK, CreateWrangler(w.put()));
    const DISPID id = IdOf(w.get(), L"SendMsgStringByRef");
    VARIANT variable;
    V_VT(&variable) = VT_BSTR;
    V_BSTR(&variable) = SysAllocString(L"kept");
    const BSTR before = V_BSTR(&variable);
    VARIANT args[3];
    V_VT(&args[0]) = VT_VARIANT | VT_BYREF;  // lParam
    V_VARIANTREF(&args[0]) = &variable;
    V_VT(&args[1]) = VT_I4;  // wParam
    V_I4(&args[1]) = 0;
    V_VT(&args[2]) = VT_I4;  // wMsg
    V_I4(&args[2]) = WM_NULL;
    DISPPARAMS params = {args, nullptr, 3, 0};
    UniqueVariant result;
    ASSERT_EQ(S_OK, w->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, result.get(), nullptr, nullptr));
    ASSERT_NE(before, V_BSTR(&variable)) << "a successful call hands back a new string";
    const BSTR current = V_BSTR(&variable);

    // No memory for the dispatcher's own bookkeeping; then none for the member's text.
    for (int allowed : {0, 1}) {
        SCOPED_TRACE(allowed);
        EXCEPINFO exception = {};
        HRESULT status = S_OK;
        {
            AllocationLimit limit(allowed);
            status = w->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, result.get(), &exception, nullptr);
        }
        EXPECT_TRUE(status == E_OUTOFMEMORY ||
                    (status == DISP_E_EXCEPTION && exception.scode == E_OUTOFMEMORY)) << std::hex << status;
        SysFreeString(exception.bstrSource);
        SysFreeString(exception.bstrDescription);
        SysFreeString(exception.bstrHelpFile);
        ASSERT_EQ(VT_BSTR, V_VT(&variable));
        EXPECT_EQ(current, V_BSTR(&variable));
        EXPECT_STREQ(L"kept", V_BSTR(&variable));
    }
    VariantClear(&variable);
}

}  // namespace
}  // namespace wrang::test
