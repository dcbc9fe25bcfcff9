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

}  // namespace
}  // namespace wrang::test
