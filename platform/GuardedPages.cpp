#include "platform/GuardedPages.h"

#include <cstdint>
#include <utility>

#include "platform/WindowSystem.h"

namespace wrang::platform {

void ReleasePages::operator()(void* base) const noexcept { Current().VirtualFree(base, 0, MEM_RELEASE); }

HRESULT GuardedPages::Commit(SIZE_T room) noexcept {
    m_base.reset();
    m_room = 0;
    if (room > SIZE_MAX - 2 * kPageSize) return E_OUTOFMEMORY;
    const SIZE_T pages = (room + kPageSize - 1) / kPageSize * kPageSize;
    WindowSystem& system = Current();
    // The whole range is reserved with no access and only the room committed: the page behind it
    // stays reserved, so nothing else of this process can ever be placed there.
    Unique<void*, ReleasePages> reserved(system.VirtualAlloc(nullptr, pages + kPageSize, MEM_RESERVE, PAGE_NOACCESS));
    if (!reserved) return E_OUTOFMEMORY;
    if (pages > 0 && !system.VirtualAlloc(reserved.get(), pages, MEM_COMMIT, PAGE_READWRITE)) return E_OUTOFMEMORY;
    m_base = std::move(reserved);
    m_room = pages;
    return S_OK;
}

}  // namespace wrang::platform
