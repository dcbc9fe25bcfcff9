#include "support/AllocationLimit.h"

#include <cstdlib>
#include <new>

namespace {
thread_local int g_allocationsLeft = -1;  // -1: no limit
}  // namespace

// The program-wide allocation functions; the nothrow and array forms of the runtime library come
// through here as well.
void* operator new(std::size_t size) {
    if (g_allocationsLeft == 0) throw std::bad_alloc();
    if (g_allocationsLeft > 0) --g_allocationsLeft;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace wrang::test {

AllocationLimit::AllocationLimit(int allowed) { g_allocationsLeft = allowed; }
AllocationLimit::~AllocationLimit() { g_allocationsLeft = -1; }

}  // namespace wrang::test
