// A helper process with real windows (tests/target), for what crosses process boundaries.
#pragma once

#include <windows.h>

#include <string>

namespace wrang::test {

class TargetProcess {
public:
    // Starts wrang_target.exe with `arguments` and waits until a top-level window of `className`
    // belonging to it exists.
    TargetProcess(const std::wstring& arguments, const char* className);
    ~TargetProcess();
    TargetProcess(const TargetProcess&) = delete;
    TargetProcess& operator=(const TargetProcess&) = delete;

    HWND Window() const { return m_window; }
    DWORD ProcessId() const { return m_info.dwProcessId; }
    HANDLE Process() const { return m_info.hProcess; }
    // Ends the process and waits for it.
    void Stop();

private:
    PROCESS_INFORMATION m_info = {};
    HWND m_window = nullptr;
};

}  // namespace wrang::test
