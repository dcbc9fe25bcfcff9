// Buffers inside another process, for toolbar messages whose answer is written to an address that
// must be valid in the toolbar owner's address space. The component only ever reads them.
#pragma once

#include <windows.h>

#include "frame/Resource.h"

namespace wrang {

// Opens the process (operation, read and write rights; not inheritable) and commits a zero-filled
// read-write region of `size` bytes inside it. The handle goes to `process` (0 when the process
// could not be opened); the result is the region's address there, 0 when nothing was allocated.
[[nodiscard]] LONG AllocSharedMem(LONG processId, LONG size, LONG* process) noexcept;

// Releases the whole region and closes the handle. Either may be 0, meaning it was never acquired.
// `size` is what the caller allocated; a release always frees the whole region.
void FreeSharedMem(LONG process, LONG address, LONG size) noexcept;

struct CloseProcessHandle {
    void operator()(LONG process) const noexcept;
};
using UniqueProcess = Unique<LONG, CloseProcessHandle>;

// One buffer in the process that owns a window, released with its process handle on every path.
class ForeignBuffer {
public:
    // Allocates `size` bytes in the process of `hWnd`.
    ForeignBuffer(LONG hWnd, LONG size) noexcept;
    ForeignBuffer(const ForeignBuffer&) = delete;
    ForeignBuffer& operator=(const ForeignBuffer&) = delete;
    ~ForeignBuffer();

    // True when both the process and the region were acquired: only then may the address be handed
    // to the window, which would otherwise write its answer to address 0.
    explicit operator bool() const noexcept { return m_process && m_address != 0; }
    LONG Process() const noexcept { return m_process.get(); }
    LONG Address() const noexcept { return m_address; }

    // Copies `size` bytes from `address` in the same process; false when nothing was read, and
    // always false without a buffer.
    [[nodiscard]] bool Read(LONG address, void* buffer, DWORD size) const noexcept;

private:
    UniqueProcess m_process;
    LONG m_address = 0;
    LONG m_size = 0;
};

}  // namespace wrang
