// wrang_target --watch [--busy]: a process whose windows change when the test says so, for the
// watcher's waits: the control window of support/WatchCommands.h. With --busy the process takes
// no message until it is released (the release event), so that it is not yet waiting for input.
#include <windows.h>

#include <cstring>

#include "../support/WatchCommands.h"

int RunWatchTarget(int argc, char** argv) {
    using namespace wrang::test::watch;
    wchar_t release[64];
    wsprintfW(release, L"%ls%lu", kReleaseEvent, GetCurrentProcessId());
    g_release = CreateEventW(nullptr, FALSE, FALSE, release);
    CreateControl();
    if (argc >= 3 && std::strcmp(argv[2], "--busy") == 0) WaitForSingleObject(g_release, kLongestHangMs);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
