#include "platform/ForeignMemory.h"

#include <algorithm>
#include <climits>
#include <new>

namespace wrang::platform {

namespace {

constexpr DWORD kRegionAccess = PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE;

// The highest address a 32-bit component's message parameter carries unchanged into a 64-bit
// process: the window system widens a parameter with its sign.
constexpr ForeignAddress kHighestUnsignedParameter = 0x7FFFFFFF;

// Advances a text address by `bytes` in the arithmetic of the process's own pointers: a 32-bit
// process's address is a signed 32-bit number that overflows past 2147483647, a 64-bit process's
// one a signed 64-bit number.
bool Advance(bool is64Bit, ULONG bytes, ForeignAddress* address) noexcept {
    if (is64Bit) {
        if (*address > static_cast<ForeignAddress>(LLONG_MAX) - bytes) return false;
        *address += bytes;
        return true;
    }
    const LONG counter = static_cast<LONG>(static_cast<ULONG>(*address));
    if (counter > LONG_MAX - static_cast<LONG>(bytes)) return false;
    *address = static_cast<ULONG>(counter + static_cast<LONG>(bytes));
    return true;
}

// How many code units of `unitSize` bytes to read from `address` in one go: up to the next page
// boundary, at least one (a unit that straddles the boundary, at an odd address, is read alone), at
// most `left`.
size_t ChunkUnits(ForeignAddress address, size_t unitSize, size_t left) noexcept {
    const ForeignAddress toBoundary = kPageSize - (address & (kPageSize - 1));
    const size_t units = static_cast<size_t>(toBoundary / unitSize);
    return std::max<size_t>(1, std::min(units, left));
}

// A text of `Unit`s up to its terminator, a unit that cannot be read, or `most` units.
template <typename Unit>
HRESULT ReadUnits(const ForeignRegion& region, ForeignAddress address, bool is64Bit, size_t most,
                  std::basic_string<Unit>* text) noexcept {
    text->clear();
    Unit chunk[kPageSize / sizeof(Unit)];
    for (;;) {
        const size_t wanted = ChunkUnits(address, sizeof(Unit), most - text->size());
        size_t usable = wanted;
        if (!region.Read(address, chunk, wanted * sizeof(Unit))) {
            // A whole page is readable or not, so on a real system this is the first unit already;
            // read unit by unit to keep every unit before the one that fails all the same.
            usable = 0;
            ForeignAddress unitAddress = address;
            while (usable < wanted && region.Read(unitAddress, &chunk[usable], sizeof(Unit))) {
                ++usable;
                unitAddress += sizeof(Unit);
            }
        }
        const size_t length = static_cast<size_t>(std::find(chunk, chunk + usable, Unit{0}) - chunk);
        try {
            text->append(chunk, length);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
        // Only a read that follows needs the next address: a text complete at the bound is no
        // overflow, wherever it ends.
        if (length < wanted || text->size() == most) return S_OK;
        if (!Advance(is64Bit, static_cast<ULONG>(wanted * sizeof(Unit)), &address)) return kAddressOverflow;
    }
}

}  // namespace

ForeignProcess ProcessOfWindow(LONG hWnd) noexcept {
    WindowSystem& system = Current();
    ForeignProcess process;
    // A broadcast value names no window and so no process: id 0, as for a window that is gone.
    if (!IsBroadcast(hWnd)) system.GetWindowThreadProcessId(hWnd, &process.id);
    process.is64Bit = system.ProcessPointerSize(process.id) == 8;
    return process;
}

ForeignAddress OpenRegion(DWORD processId, SIZE_T size, HANDLE* process) noexcept {
    WindowSystem& system = Current();
    const HANDLE opened = system.OpenProcess(kRegionAccess, FALSE, processId);
    if (process) *process = opened;
    if (!opened) return 0;
    return system.VirtualAllocEx(opened, 0, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

void CloseRegion(HANDLE process, ForeignAddress address) noexcept {
    WindowSystem& system = Current();
    // A release must name size 0: it frees the whole region the allocation reserved.
    if (process && address) system.VirtualFreeEx(process, address, 0, MEM_RELEASE);
    if (process) system.CloseHandle(process);
}

ForeignRegion::ForeignRegion(const ForeignProcess& process, SIZE_T size) noexcept
    : m_size(size), m_widened(sizeof(void*) == 4 && process.is64Bit) {
    HANDLE opened = nullptr;
    m_address = OpenRegion(process.id, size, &opened);
    m_process.reset(opened);
}

ForeignRegion::ForeignRegion(const ForeignRegion& sameProcess, SIZE_T size) noexcept
    : m_borrowed(sameProcess.Process()), m_size(size), m_widened(sameProcess.m_widened) {
    if (m_borrowed) {
        m_address = Current().VirtualAllocEx(m_borrowed, 0, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
}

ForeignRegion::~ForeignRegion() {
    if (m_borrowed) {
        // The region only: the handle belongs to the region it was borrowed from.
        if (m_address) Current().VirtualFreeEx(m_borrowed, m_address, 0, MEM_RELEASE);
        return;
    }
    // CloseRegion closes the handle itself; take it out of the owner that would close it again.
    CloseRegion(m_process.release(), m_address);
}

bool ForeignRegion::Replace(SIZE_T size) noexcept {
    WindowSystem& system = Current();
    if (m_address) system.VirtualFreeEx(Process(), m_address, 0, MEM_RELEASE);
    m_address = Process() ? system.VirtualAllocEx(Process(), 0, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE) : 0;
    m_size = size;
    return static_cast<bool>(*this);
}

ForeignRegion::operator bool() const noexcept {
    return Process() && m_address != 0 && Reachable(m_address) &&
           (!m_widened || m_address <= kHighestUnsignedParameter);
}

bool ForeignRegion::Read(ForeignAddress address, void* buffer, SIZE_T size) const noexcept {
    // Without a region the exchange never happened: there is nothing of it to follow.
    if (!*this) return false;
    SIZE_T read = 0;
    return Current().ReadProcessMemory(Process(), address, buffer, size, &read) != FALSE;
}

bool ForeignRegion::Write(SIZE_T offset, const void* bytes, SIZE_T size) const noexcept {
    if (!*this || offset > m_size || size > m_size - offset) return false;
    SIZE_T written = 0;
    return Current().WriteProcessMemory(Process(), m_address + offset, bytes, size, &written) && written == size;
}

HRESULT ForeignRegion::ReadText(ForeignAddress address, bool is64Bit, size_t most, std::wstring* text) const noexcept {
    return ReadUnits(*this, address, is64Bit, most, text);
}

HRESULT ForeignRegion::ReadText(ForeignAddress address, bool is64Bit, size_t most, std::string* text) const noexcept {
    return ReadUnits(*this, address, is64Bit, most, text);
}

}  // namespace wrang::platform
