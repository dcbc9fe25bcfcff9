#include "support/TargetProcess.h"

#include "support/Automation.h"
#include "support/WindowThread.h"

namespace wrang::test {

namespace {
struct Search {
    DWORD processId;
    const char* className;
    HWND found;
};
BOOL CALLBACK FindOwnWindow(HWND hWnd, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(hWnd, &owner);
    char name[256] = {};
    GetClassNameA(hWnd, name, sizeof name);
    if (owner == search->processId && lstrcmpA(name, search->className) == 0) {
        search->found = hWnd;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

TargetProcess::TargetProcess(const std::wstring& arguments, const char* className) {
    std::wstring command = L"\"" + TestDirectory() + L"\\wrang_target.exe\" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &m_info)) {
        return;
    }
    WaitForInputIdle(m_info.hProcess, 10000);
    Search search = {m_info.dwProcessId, className, nullptr};
    PumpUntil([&] {
        EnumWindows(&FindOwnWindow, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
    }, std::chrono::seconds(20));
    m_window = search.found;
}

TargetProcess::~TargetProcess() { Stop(); }

void TargetProcess::Stop() {
    if (!m_info.hProcess) return;
    TerminateProcess(m_info.hProcess, 0);
    WaitForSingleObject(m_info.hProcess, 10000);
    CloseHandle(m_info.hProcess);
    CloseHandle(m_info.hThread);
    m_info = {};
    m_window = nullptr;
}

}  // namespace wrang::test
