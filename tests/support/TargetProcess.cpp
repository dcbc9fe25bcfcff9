#include "support/TargetProcess.h"

#include "support/WindowThread.h"

namespace wrang::test {

namespace {
struct Search {
    DWORD processId;
    const char* className;
    bool untilCaptioned;
    HWND found;
};
BOOL CALLBACK FindOwnWindow(HWND hWnd, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(hWnd, &owner);
    char name[256] = {};
    GetClassNameA(hWnd, name, sizeof name);
    char caption[8] = {};
    if (search->untilCaptioned) GetWindowTextA(hWnd, caption, sizeof caption);
    if (owner == search->processId && lstrcmpA(name, search->className) == 0 &&
        (!search->untilCaptioned || caption[0] != 0)) {
        search->found = hWnd;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

TargetProcess::TargetProcess(const std::wstring& arguments, const char* className)
    : TargetProcess(L"wrang_target.exe", arguments, className, false, 2 * kEventDeadline) {}

TargetProcess::TargetProcess(const wchar_t* program, const std::wstring& arguments, const char* className,
                             bool untilCaptioned, std::chrono::milliseconds deadline, bool untilIdle) {
    // A program named with its folder runs from there; a bare name from the test's own folder.
    const std::wstring name = program;
    const bool hasFolder = name.find_first_of(L"\\:") != std::wstring::npos;
    std::wstring command = L"\"" + (hasFolder ? name : TestDirectory() + L"\\" + name) + L"\" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &m_info)) {
        return;
    }
    if (untilIdle) WaitForInputIdle(m_info.hProcess, 10000);
    Search search = {m_info.dwProcessId, className, untilCaptioned, nullptr};
    PumpUntil(
        [&] {
            EnumWindows(&FindOwnWindow, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        },
        deadline);
    m_window = search.found;
}

std::wstring ProgramNamedBy(const wchar_t* variable, const wchar_t* program) {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(variable, path, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(path, length) : program;
}

std::wstring TestDirectory() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring directory(path);
    return directory.substr(0, directory.find_last_of(L"\\/"));
}

std::wstring DllPath() {
    const std::wstring tests = TestDirectory();
    return tests.substr(0, tests.find_last_of(L"\\/")) + L"\\Wrang.dll";
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
