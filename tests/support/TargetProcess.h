// A helper process with real windows (tests/target, tests/fakeshell), for what crosses process
// boundaries.
#pragma once

#include <windows.h>

#include <chrono>
#include <string>

namespace wrang::test {

// Where Wine differs from Windows, a test checks what Windows does and says beside the check what
// Wine does instead, under this condition.
inline bool RunningOnWine() { return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr; }

// The folder of the running program (the test programs' folder); Wrang.dll is in its parent.
std::wstring TestDirectory();
std::wstring DllPath();

// The program an environment variable names (another build's, for a helper process of the other
// bitness), else `program` of this build; a bare name runs from the test programs' folder.
std::wstring ProgramNamedBy(const wchar_t* variable, const wchar_t* program);
// The helper application: this build's wrang_target.exe, or the one WRANG_TARGET names.
inline std::wstring TargetProgram() { return ProgramNamedBy(L"WRANG_TARGET", L"wrang_target.exe"); }

class TargetProcess {
public:
    // Starts wrang_target.exe with `arguments` and waits until a top-level window of `className`
    // belonging to it exists.
    TargetProcess(const std::wstring& arguments, const char* className);
    // The same for another program of the test directory; with `untilCaptioned` the window counts
    // only once it has a caption (a program's sign that it is ready). Without `untilIdle` the window
    // is looked for at once, not after the process first waits for input.
    TargetProcess(const wchar_t* program, const std::wstring& arguments, const char* className, bool untilCaptioned,
                  std::chrono::milliseconds deadline, bool untilIdle = true);
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
