#include "tray/modSharedMem.h"

#include "platform/WindowSystem.h"

namespace wrang {

namespace {
constexpr DWORD kForeignBufferAccess = PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE;
}

LONG AllocSharedMem(LONG processId, LONG size, LONG* process) noexcept {
    platform::WindowSystem& system = platform::Current();
    const LONG opened = system.OpenProcess(kForeignBufferAccess, FALSE, static_cast<DWORD>(processId));
    if (process) *process = opened;
    if (!opened) return 0;
    return system.VirtualAllocEx(opened, 0, static_cast<DWORD>(size), MEM_COMMIT | MEM_RESERVE,
                                 PAGE_READWRITE);
}

void FreeSharedMem(LONG process, LONG address, LONG /*size*/) noexcept {
    platform::WindowSystem& system = platform::Current();
    // A release must name size 0: it frees the whole region the allocation reserved.
    if (process && address) system.VirtualFreeEx(process, address, 0, MEM_RELEASE);
    if (process) system.CloseHandle(process);
}

void CloseProcessHandle::operator()(LONG process) const noexcept {
    platform::Current().CloseHandle(process);
}

ForeignBuffer::ForeignBuffer(LONG hWnd, LONG size) noexcept : m_size(size) {
    DWORD processId = 0;
    platform::Current().GetWindowThreadProcessId(hWnd, &processId);
    LONG process = 0;
    m_address = AllocSharedMem(static_cast<LONG>(processId), size, &process);
    m_process.reset(process);
}

ForeignBuffer::~ForeignBuffer() {
    // FreeSharedMem closes the handle itself; take it out of the owner that would close it again.
    FreeSharedMem(m_process.release(), m_address, m_size);
}

bool ForeignBuffer::Read(LONG address, void* buffer, DWORD size) const noexcept {
    // Without a buffer the exchange never happened: there is nothing of it to follow.
    if (!*this) return false;
    DWORD read = 0;
    return platform::Current().ReadProcessMemory(m_process.get(), address, buffer, size, &read) != FALSE;
}

}  // namespace wrang
