// Members that run out of memory report it as a status: a C++ exception must never leave a member
// and unwind into the client.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "frame/Classes.h"
#include "support/Wranglers.h"

namespace {

// The thread whose allocations fail; 0 for none. Other threads of the test program (window
// threads, GoogleTest itself outside the guarded call) allocate as usual.
std::atomic<DWORD> g_failingThread{0};

}  // namespace

// The program-wide allocation function, failing on request. The nothrow form and the array forms
// of the runtime library come through here as well.
void* operator new(std::size_t size) {
    const DWORD failing = g_failingThread.load();
    if (failing != 0 && failing == GetCurrentThreadId()) throw std::bad_alloc();
    if (void* memory = std::malloc(size ? size : 1)) return memory;
    throw std::bad_alloc();
}

namespace wrang::test {
namespace {

class NoMemory {
public:
    NoMemory() { g_failingThread = GetCurrentThreadId(); }
    ~NoMemory() { g_failingThread = 0; }
};

TEST(OutOfMemory, ClassNameReportsItInsteadOfThrowing) {
    ComPtr<_clsWrangler> w = Bound(L(GetDesktopWindow()));
    BSTR name = reinterpret_cast<BSTR>(1);
    HRESULT hr = S_OK;
    bool thrown = false;
    {
        NoMemory noMemory;
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
        NoMemory noMemory;
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
