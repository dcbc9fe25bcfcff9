// Buffers inside another process, for toolbar messages whose answer is written to an address that
// must be valid in the toolbar owner's address space. The module's procedures are the names the
// toolbar members have always used for the regions of platform/ForeignMemory.h.
#pragma once

#include <windows.h>

#include "platform/ForeignMemory.h"
#include "platform/WindowSystem.h"

namespace wrang {

using platform::ForeignAddress;
using platform::UniqueProcess;

// Opens the process (operation, read and write rights; not inheritable) and commits a zero-filled
// read-write region of `size` bytes inside it. The handle goes to `process` (null when the process
// could not be opened); the result is the region's address there, 0 when nothing was allocated.
[[nodiscard]] inline ForeignAddress AllocSharedMem(DWORD processId, SIZE_T size, HANDLE* process) noexcept {
    return platform::OpenRegion(processId, size, process);
}

// Releases the whole region and closes the handle. Either may be null, meaning it was never
// acquired. `size` is what the caller allocated; a release always frees the whole region.
inline void FreeSharedMem(HANDLE process, ForeignAddress address, SIZE_T /*size*/) noexcept {
    platform::CloseRegion(process, address);
}

}  // namespace wrang
