// The stand-in for the shell's notification area (tests/fakeshell, wrang_fakeshell.exe) in a
// process of its own, for the tests, the soak, the dispatch fuzzer and the benchmark alike.
#pragma once

#include <windows.h>

#include <chrono>
#include <string>

#include "support/Parameters.h"
#include "support/TargetProcess.h"

namespace wrang::test {

// The stand-in of this build, or the one WRANG_FAKESHELL names (the other build's, for a shell of
// the other bitness); a bare name runs from the test programs' folder.
std::wstring StandInShellProgram();

class StandInShell {
public:
    // Starts `program` with `arguments` and waits until its window chain is in place (the shell
    // window gets its caption last).
    explicit StandInShell(const std::wstring& arguments, const std::wstring& program = StandInShellProgram(),
                          std::chrono::milliseconds deadline = std::chrono::seconds(100));

    HWND Shell() const { return m_process.Window(); }
    // The toolbar: TrayNotifyWnd, SysPager, ToolbarWindow32, or without the pager straight below
    // TrayNotifyWnd; nullptr when the shell did not start.
    HWND Toolbar() const { return m_toolbar; }
    LONG ToolbarHandle() const { return AsLong(m_toolbar); }
    DWORD ProcessId() const { return m_process.ProcessId(); }
    HANDLE Process() const { return m_process.Process(); }
    // Whether the process is still there.
    bool Running() const;
    void Stop() { m_process.Stop(); }

private:
    TargetProcess m_process;
    HWND m_toolbar = nullptr;
};

}  // namespace wrang::test
