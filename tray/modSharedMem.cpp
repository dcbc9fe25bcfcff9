#include "tray/modSharedMem.h"

namespace wrang {

namespace {
constexpr DWORD kForeignBufferAccess = PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE;
}

ForeignAddress AllocSharedMem(DWORD processId, SIZE_T size, HANDLE* process) noexcept {
    platform::WindowSystem& system = platform::Current();
    const HANDLE opened = system.OpenProcess(kForeignBufferAccess, FALSE, processId);
    if (process) *process = opened;
    if (!opened) return 0;
    return system.VirtualAllocEx(opened, 0, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

void FreeSharedMem(HANDLE process, ForeignAddress address, SIZE_T /*size*/) noexcept {
    platform::WindowSystem& system = platform::Current();
    // A release must name size 0: it frees the whole region the allocation reserved.
    if (process && address) system.VirtualFreeEx(process, address, 0, MEM_RELEASE);
    if (process) system.CloseHandle(process);
}

ForeignBuffer::ForeignBuffer(DWORD processId, SIZE_T size) noexcept : m_size(size) {
    HANDLE process = nullptr;
    m_address = AllocSharedMem(processId, size, &process);
    m_process.reset(process);
}

ForeignBuffer::ForeignBuffer(const ForeignBuffer& sameProcess, SIZE_T size) noexcept
    : m_borrowed(sameProcess.Process()), m_size(size) {
    if (m_borrowed) {
        m_address = platform::Current().VirtualAllocEx(m_borrowed, 0, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
}

ForeignBuffer::~ForeignBuffer() {
    if (m_borrowed) {
        // The region only: the handle belongs to the buffer it was borrowed from.
        if (m_address) platform::Current().VirtualFreeEx(m_borrowed, m_address, 0, MEM_RELEASE);
        return;
    }
    // FreeSharedMem closes the handle itself; take it out of the owner that would close it again.
    FreeSharedMem(m_process.release(), m_address, m_size);
}

bool ForeignBuffer::Read(ForeignAddress address, void* buffer, SIZE_T size) const noexcept {
    // Without a buffer the exchange never happened: there is nothing of it to follow.
    if (!*this) return false;
    SIZE_T read = 0;
    return platform::Current().ReadProcessMemory(Process(), address, buffer, size, &read) != FALSE;
}

}  // namespace wrang
