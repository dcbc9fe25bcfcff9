#include "platform/GuardedPages.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

#include "platform/WindowSystem.h"

namespace wrang::platform {
namespace {

// Regions that calls gave back, kept for the calls that follow: under Wine a reservation and its
// release cost about a hundred microseconds, a hundred times a message to a window, while clearing
// a kept room of a few KiB costs a fraction of one. A few of them, of modest rooms, so that what is
// kept stays bounded; calls on other threads, and calls nested in a window procedure that runs
// during a send, each take a region of their own.
constexpr int kMostSpares = 4;
constexpr SIZE_T kMostSpareRoom = 256 * 1024;

struct Spare {
    void* base;
    SIZE_T room;
};
SRWLOCK g_sparesLock = SRWLOCK_INIT;
Spare g_spares[kMostSpares];
int g_spareCount = 0;

// A kept region of exactly `room` bytes, or nullptr.
void* TakeSpare(SIZE_T room) noexcept {
    AcquireSRWLockExclusive(&g_sparesLock);
    void* base = nullptr;
    for (int i = 0; i < g_spareCount; ++i) {
        if (g_spares[i].room != room) continue;
        base = g_spares[i].base;
        g_spares[i] = g_spares[--g_spareCount];
        break;
    }
    ReleaseSRWLockExclusive(&g_sparesLock);
    return base;
}

// Keeps the region for a later call; false when it is not kept.
bool KeepSpare(void* base, SIZE_T room) noexcept {
    if (room > kMostSpareRoom) return false;
    AcquireSRWLockExclusive(&g_sparesLock);
    const bool kept = g_spareCount < kMostSpares;
    if (kept) g_spares[g_spareCount++] = {base, room};
    ReleaseSRWLockExclusive(&g_sparesLock);
    return kept;
}

void Release(void* base) noexcept { Current().VirtualFree(base, 0, MEM_RELEASE); }

}  // namespace

HRESULT GuardedPages::Commit(SIZE_T room) noexcept {
    GiveBack();
    if (room > SIZE_MAX - 2 * kPageSize) return E_OUTOFMEMORY;
    const SIZE_T pages = (room + kPageSize - 1) / kPageSize * kPageSize;
    if (void* spare = TakeSpare(pages)) {
        // Whatever an earlier receiver left there is gone before the next one sees it.
        std::memset(spare, 0, pages);
        m_base = spare;
        m_room = pages;
        return S_OK;
    }
    WindowSystem& system = Current();
    // The whole range is reserved with no access and only the room committed (zero-filled): the
    // page behind it stays reserved, so nothing else of this process can ever be placed there.
    void* base = system.VirtualAlloc(nullptr, pages + kPageSize, MEM_RESERVE, PAGE_NOACCESS);
    if (!base) return E_OUTOFMEMORY;
    if (pages > 0 && !system.VirtualAlloc(base, pages, MEM_COMMIT, PAGE_READWRITE)) {
        Release(base);
        return E_OUTOFMEMORY;
    }
    m_base = base;
    m_room = pages;
    return S_OK;
}

void GuardedPages::GiveBack() noexcept {
    void* base = std::exchange(m_base, nullptr);
    const SIZE_T room = std::exchange(m_room, 0);
    if (base && !KeepSpare(base, room)) Release(base);
}

void GuardedPages::ReleaseSpares() noexcept {
    AcquireSRWLockExclusive(&g_sparesLock);
    const int count = std::exchange(g_spareCount, 0);
    Spare spares[kMostSpares];
    std::copy(g_spares, g_spares + count, spares);
    ReleaseSRWLockExclusive(&g_sparesLock);
    for (int i = 0; i < count; ++i) Release(spares[i].base);
}

}  // namespace wrang::platform
