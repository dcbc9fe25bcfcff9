// What a receiver was lent: the tests' view of memory the component hands a window procedure.
#pragma once

#include <windows.h>

#include <cstddef>

namespace wrang::test {

// Room for any structure a message writes, which every lending gives at least.
constexpr size_t kLeastRoom = 8 * 1024;

// The bytes that can be written from `address` on before the first page that cannot.
inline size_t CommittedFrom(const void* address) {
    MEMORY_BASIC_INFORMATION region = {};
    if (!VirtualQuery(address, &region, sizeof region) || region.State != MEM_COMMIT) return 0;
    return static_cast<const char*>(region.BaseAddress) + region.RegionSize - static_cast<const char*>(address);
}

// Whether `lp` starts a region of its own (not the stack, not the heap) with at least `least` bytes
// and a page of no access right behind them.
inline bool LentAlone(LPARAM lp, size_t least = kLeastRoom) {
    const char* lent = reinterpret_cast<const char*>(lp);
    MEMORY_BASIC_INFORMATION behind = {};
    const size_t room = CommittedFrom(lent);
    return room >= least && VirtualQuery(lent + room, &behind, sizeof behind) && behind.AllocationBase == lent &&
           behind.State == MEM_RESERVE;
}

}  // namespace wrang::test
