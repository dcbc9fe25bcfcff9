// Memory of this process that the component lends a receiver for the length of one call: a window
// procedure handed an address to read or write. Whole pages, committed read-write and zero-filled,
// with one page of no access right behind them. A receiver that writes past the room stops at a
// fault on that page instead of overwriting what lies next in this process (a return address on
// the stack, the heap's own bookkeeping). Given back, guard page and all, on every path.
#pragma once

#include <windows.h>

#include <cstdint>

namespace wrang::platform {

class GuardedPages {
public:
    // The page of every x86 and x64 system, and so the size of the guard.
    static constexpr SIZE_T kPageSize = 4096;
    // Room for any structure the window system's messages write through an address they are given
    // (RECT, MINMAXINFO, NCCALCSIZE_PARAMS, the common controls' records: the largest, a link
    // control's LITEM, is about 4 KiB).
    static constexpr SIZE_T kLeastRoom = 8 * 1024;

    // The one room rule of lent memory. A receiver told no size of the memory it writes (or told a
    // size it may not keep to) is lent the largest of:
    //  - kLeastRoom;
    //  - twice the `heldBytes` the memory holds or is expected to receive: for a receiver that writes
    //    UTF-16 where ANSI was asked into a buffer sized by its text (Wine's LB_GETTEXT across
    //    processes does), and for a text that grows between the query of its length and its copy
    //    (LB_GETTEXT and CB_GETLBTEXT take no size);
    //  - `namedBytes`, what the request itself names (a count in wParam, a size in the first word).
    // The room is cleared before each call, so it is kept no larger than this asks.
    static constexpr SIZE_T RoomFor(SIZE_T heldBytes, SIZE_T namedBytes = 0) noexcept {
        const SIZE_T twice = heldBytes > kMostRoom / 2 ? kMostRoom : heldBytes * 2;
        const SIZE_T room = twice > namedBytes ? twice : namedBytes;
        return room > kLeastRoom ? room : kLeastRoom;
    }

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
    // Beyond this a request for room is refused (E_OUTOFMEMORY) rather than rounded.
    static constexpr SIZE_T kMostRoom = SIZE_MAX / 4;
    void GiveBack() noexcept;

    void* m_base = nullptr;
    SIZE_T m_room = 0;
};

}  // namespace wrang::platform
