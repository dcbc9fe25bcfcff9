// What a process holds, for the tests and the soak that look for leaks: its handles and its private
// memory, counted the same way on Windows and under Wine (which reports no private bytes).
#pragma once

#include <windows.h>

namespace wrang::test {

// The value the next handle of this process gets: a handle left open takes the free slot.
inline HANDLE NextHandleSlot() {
    HANDLE probe = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    CloseHandle(probe);
    return probe;
}

// The handle count the system reports for `process`; 0 where it reports none.
inline DWORD HandleCount(HANDLE process) {
    DWORD count = 0;
    GetProcessHandleCount(process, &count);
    return count;
}

// The private regions of a process, walked region by region as its query handle sees them.
struct PrivateMemory {
    long long regions = 0;  // reserved or committed
    long long committedRegions = 0, committedBytes = 0;
};
inline PrivateMemory PrivateMemoryOf(HANDLE process) {
    PrivateMemory memory;
    MEMORY_BASIC_INFORMATION info;
    ULONG_PTR address = 0;
    while (VirtualQueryEx(process, reinterpret_cast<const void*>(address), &info, sizeof info) == sizeof info) {
        if (info.Type == MEM_PRIVATE && info.State != MEM_FREE) ++memory.regions;
        if (info.Type == MEM_PRIVATE && info.State == MEM_COMMIT) {
            ++memory.committedRegions;
            memory.committedBytes += static_cast<long long>(info.RegionSize);
        }
        const ULONG_PTR next = reinterpret_cast<ULONG_PTR>(info.BaseAddress) + info.RegionSize;
        if (next <= address) break;
        address = next;
    }
    return memory;
}

}  // namespace wrang::test
