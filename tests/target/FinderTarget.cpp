// wrang_target --finder [--items N]: the windows the finder searches (support/FinderWindows.h), N
// numbered items among them (3 unless told), in a process of its own; two of them tell the process
// filter apart.
#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "../support/FinderWindows.h"

int RunFinderTarget(int argc, char** argv) {
    int items = wrang::test::finder_target::kTestItems;
    for (int i = 2; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--items") == 0) items = std::atoi(argv[i + 1]);
    }
    wrang::test::finder_target::Make(items);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
