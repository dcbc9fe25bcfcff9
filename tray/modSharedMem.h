// Buffers inside another process, for toolbar messages whose answer is written to an address that
// must be valid in the toolbar owner's address space. The component only ever reads them.
#pragma once

#include <windows.h>

#include "platform/WindowSystem.h"

namespace wrang {

using platform::ForeignAddress;
using platform::UniqueProcess;

// Opens the process (operation, read and write rights; not inheritable) and commits a zero-filled
// read-write region of `size` bytes inside it. The handle goes to `process` (null when the process
// could not be opened); the result is the region's address there, 0 when nothing was allocated.
[[nodiscard]] ForeignAddress AllocSharedMem(DWORD processId, SIZE_T size, HANDLE* process) noexcept;

// Releases the whole region and closes the handle. Either may be null, meaning it was never
// acquired. `size` is what the caller allocated; a release always frees the whole region.
void FreeSharedMem(HANDLE process, ForeignAddress address, SIZE_T size) noexcept;

// One buffer in another process, released with its process handle on every path.
class ForeignBuffer {
public:
    // Allocates `size` bytes in the process `processId`.
    ForeignBuffer(DWORD processId, SIZE_T size) noexcept;
    // Allocates `size` bytes more in the process of `sameProcess`, through its handle: one member
    // call opens the process once. `sameProcess` must outlive this buffer, which frees only its
    // own region.
    ForeignBuffer(const ForeignBuffer& sameProcess, SIZE_T size) noexcept;
    ForeignBuffer(const ForeignBuffer&) = delete;
    ForeignBuffer& operator=(const ForeignBuffer&) = delete;
    ~ForeignBuffer();

    // True when both the process and the region were acquired and this process can name the
    // region: only then may the address be handed to the window, which would otherwise write its
    // answer to address 0 (or to an address cut short in a message parameter).
    explicit operator bool() const noexcept { return Process() && m_address != 0 && platform::Reachable(m_address); }
    HANDLE Process() const noexcept { return m_process ? m_process.get() : m_borrowed; }
    ForeignAddress Address() const noexcept { return m_address; }
    // The address as the message parameter that hands it to the window; only meaningful while the
    // buffer is there, and then the address fits a parameter (see operator bool).
    LPARAM AddressParameter() const noexcept { return static_cast<LPARAM>(static_cast<ULONG_PTR>(m_address)); }

    // Copies `size` bytes from `address` in the same process; false when nothing was read, and
    // always false without a buffer.
    [[nodiscard]] bool Read(ForeignAddress address, void* buffer, SIZE_T size) const noexcept;

private:
    UniqueProcess m_process;
    HANDLE m_borrowed = nullptr;  // another buffer's handle, not closed here
    ForeignAddress m_address = 0;
    SIZE_T m_size = 0;
};

}  // namespace wrang
