// Memory of this process that the component lends a receiver for the length of one call: a window
// procedure handed an address to read or write. Whole pages, committed read-write and zero-filled,
// with one page of no access right behind them. A receiver that writes past the room stops at a
// fault on that page instead of overwriting what lies next in this process (a return address on
// the stack, the heap's own bookkeeping). Given back, guard page and all, on every path.
#pragma once

#include <windows.h>

namespace wrang::platform {

class GuardedPages {
public:
    // The page of every x86 and x64 system, and so the size of the guard.
    static constexpr SIZE_T kPageSize = 4096;

    GuardedPages() noexcept = default;
    GuardedPages(const GuardedPages&) = delete;
    GuardedPages& operator=(const GuardedPages&) = delete;
    ~GuardedPages() { GiveBack(); }

    // At least `room` bytes, rounded up to whole pages, all zero, and the guard page right behind
    // them. E_OUTOFMEMORY when the pages cannot be had; then the object holds none.
    [[nodiscard]] HRESULT Commit(SIZE_T room) noexcept;

    template <typename T = void>
    T* as() const noexcept {
        return static_cast<T*>(m_base);
    }
    // The bytes a receiver may write from as() on: the guard page starts right after them.
    SIZE_T room() const noexcept { return m_room; }

    // Releases the regions kept for later calls. For when no call can be under way any more (the
    // module is about to be unloaded).
    static void ReleaseSpares() noexcept;

private:
    void GiveBack() noexcept;

    void* m_base = nullptr;
    SIZE_T m_room = 0;
};

}  // namespace wrang::platform
