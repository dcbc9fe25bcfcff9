// The watch target (wrang_target --watch) in a process of its own, told what to do with its
// windows: for the tests of the watcher and the benchmark of its waits.
#pragma once

#include <windows.h>

#include <chrono>
#include <string>

#include "support/TargetProcess.h"
#include "support/WatchCommands.h"
#include "support/WindowThread.h"

namespace wrang::test {

// Has a watch control window (in any process) carry out a command, and hands back its answer; 0
// when it took none in time.
inline LRESULT SendCommand(HWND control, UINT command, WPARAM wParam = 0) {
    DWORD_PTR answer = 0;
    const auto deadline = std::chrono::duration_cast<std::chrono::milliseconds>(kEventDeadline).count();
    SendMessageTimeoutW(control, command, wParam, 0, SMTO_NORMAL, static_cast<UINT>(deadline), &answer);
    return static_cast<LRESULT>(answer);
}

class WatchTarget {
public:
    // `program` as TargetProcess takes it; `arguments` follow --watch. Without `untilIdle` the
    // target is not waited for until it first waits for input (with --busy it is still busy).
    explicit WatchTarget(const std::wstring& arguments = L"", const wchar_t* program = L"wrang_target.exe",
                         bool untilIdle = true)
        : m_process(program, L"--watch " + arguments, watch::kControlClassA, false, 2 * kEventDeadline, untilIdle) {}

    HWND Control() const { return m_process.Window(); }
    LRESULT Send(UINT command, WPARAM wParam = 0) const { return SendCommand(Control(), command, wParam); }
    // A command the target carries out when it next takes its messages.
    void Post(UINT command, WPARAM wParam = 0) const { PostMessageW(Control(), command, wParam, 0); }
    void Stop() { m_process.Stop(); }
    // Ends a hang, or the busy start.
    void Release() const {
        const std::wstring name = watch::kReleaseEvent + std::to_wstring(m_process.ProcessId());
        if (HANDLE event = OpenEventW(EVENT_MODIFY_STATE, FALSE, name.c_str())) {
            SetEvent(event);
            CloseHandle(event);
        }
    }

private:
    TargetProcess m_process;
};

}  // namespace wrang::test
