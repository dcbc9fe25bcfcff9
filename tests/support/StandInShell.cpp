#include "support/StandInShell.h"

namespace wrang::test {

std::wstring StandInShellProgram() { return ProgramNamedBy(L"WRANG_FAKESHELL", L"wrang_fakeshell.exe"); }

StandInShell::StandInShell(const std::wstring& arguments, const std::wstring& program,
                           std::chrono::milliseconds deadline)
    : m_process(program.c_str(), arguments, "Shell_TrayWnd", true, deadline) {
    if (!Shell()) return;
    const HWND notify = FindWindowExA(Shell(), nullptr, "TrayNotifyWnd", nullptr);
    const HWND pager = FindWindowExA(notify, nullptr, "SysPager", nullptr);
    m_toolbar = FindWindowExA(pager ? pager : notify, nullptr, "ToolbarWindow32", nullptr);
}

bool StandInShell::Running() const { return Process() && WaitForSingleObject(Process(), 0) == WAIT_TIMEOUT; }

}  // namespace wrang::test
