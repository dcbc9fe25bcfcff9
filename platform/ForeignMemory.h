// Memory inside another process, for the messages whose answer is written to an address that must be
// valid in the receiving window's own process (a toolbar's button record, a list view's item text).
// A region is opened and released within one member call; it holds a request the component writes
// and the answer the window writes, and is the only memory of that process the component writes.
#pragma once

#include <windows.h>

#include <string>

#include "platform/WindowSystem.h"

namespace wrang::platform {

// The process behind a window, and whether it lays out its records and addresses in 64 bits:
// decided by that process's bitness, not by the component's.
struct ForeignProcess {
    DWORD id = 0;
    bool is64Bit = false;
    // The size of a pointer in that process.
    size_t PointerSize() const noexcept { return is64Bit ? 8 : 4; }
};
[[nodiscard]] ForeignProcess ProcessOfWindow(LONG hWnd) noexcept;

// Opens the process (operation, read and write rights; not inheritable) and commits a zero-filled
// read-write region of `size` bytes inside it. The handle goes to `process` (null when the process
// could not be opened); the result is the region's address there, 0 when nothing was allocated.
[[nodiscard]] ForeignAddress OpenRegion(DWORD processId, SIZE_T size, HANDLE* process) noexcept;
// Releases the whole region and closes the handle. Either may be null (0), meaning it was never
// acquired.
void CloseRegion(HANDLE process, ForeignAddress address) noexcept;

// Whether memory can be read is decided page by page, and the smallest page of every x86 and x64
// system is 4 KiB (larger pages are multiples of it, on the same boundaries).
constexpr ForeignAddress kPageSize = 4096;

// A read of a text in another process that had to stop: its next address would leave the range of
// that process's own (signed) addresses.
constexpr HRESULT kAddressOverflow = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_WIN32, ERROR_ARITHMETIC_OVERFLOW);

// One region in another process, released with its process handle on every path.
class ForeignRegion {
public:
    // Allocates `size` bytes in `process`.
    ForeignRegion(const ForeignProcess& process, SIZE_T size) noexcept;
    // Allocates `size` bytes more in the process of `sameProcess`, through its handle: one member
    // call opens the process once. `sameProcess` must outlive this region, which frees only its own
    // memory.
    ForeignRegion(const ForeignRegion& sameProcess, SIZE_T size) noexcept;
    ForeignRegion(const ForeignRegion&) = delete;
    ForeignRegion& operator=(const ForeignRegion&) = delete;
    ~ForeignRegion();

    // True when both the process and the region were acquired and the region's address reaches the
    // window intact as a message parameter: only then may it be handed over, as the window would
    // otherwise write its answer to address 0, or to an address cut short (this process cannot name
    // it) or widened with a sign (a 32-bit component's parameter at 2 GiB or above, which a 64-bit
    // process receives as an address above the top of its own range).
    explicit operator bool() const noexcept;
    HANDLE Process() const noexcept { return m_process ? m_process.get() : m_borrowed; }
    ForeignAddress Address() const noexcept { return m_address; }
    SIZE_T Size() const noexcept { return m_size; }
    // The address as the message parameter that hands it to the window; only meaningful while the
    // region is there, and then the address fits a parameter (see operator bool).
    LPARAM AddressParameter() const noexcept { return static_cast<LPARAM>(static_cast<ULONG_PTR>(m_address)); }

    // Replaces the region with one of `size` bytes through the same process handle (the old one is
    // released first: one region at a time); false when there is none now.
    [[nodiscard]] bool Replace(SIZE_T size) noexcept;
    // Leaves the region in the process, never released (the process frees it when it ends), and
    // uses it no more: a message sent with its address that ran out of time stays queued at the
    // window, which handles it whenever its thread takes messages again and must then find the
    // region still there, not memory released or handed out anew.
    void Leave() noexcept { m_address = 0; }

    // Copies `size` bytes from `address` in the same process; false when nothing was read, and
    // always false without a region.
    [[nodiscard]] bool Read(ForeignAddress address, void* buffer, SIZE_T size) const noexcept;
    // Copies `size` bytes into the region at `offset`; false when they were not all written, and
    // always false without a region or beyond its end. The region is the only memory of the other
    // process the component writes.
    [[nodiscard]] bool Write(SIZE_T offset, const void* bytes, SIZE_T size) const noexcept;

    // The UTF-16 text at `address` in the same process (which lays out addresses in 64 bits or not),
    // into `text`: up to its terminator, the first unit that cannot be read (what was read before
    // it is kept) or `most` units. Reads in chunks that never cross a page boundary, so a read
    // succeeds or fails as each of its units would on its own. kAddressOverflow when the text runs
    // to the top of the process's signed address range before it ends; E_OUTOFMEMORY.
    [[nodiscard]] HRESULT ReadText(ForeignAddress address, bool is64Bit, size_t most,
                                   std::wstring* text) const noexcept;
    // The same for a text of bytes (of an ANSI code page), up to `most` bytes.
    [[nodiscard]] HRESULT ReadText(ForeignAddress address, bool is64Bit, size_t most, std::string* text) const noexcept;

private:
    UniqueProcess m_process;
    HANDLE m_borrowed = nullptr;  // another region's handle, not closed here
    ForeignAddress m_address = 0;
    SIZE_T m_size = 0;
    bool m_widened = false;  // a 32-bit component's parameters reach a 64-bit process
};

}  // namespace wrang::platform
