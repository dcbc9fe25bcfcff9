#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

// The component lives in single-threaded apartments, as in every script host.
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 2;
    const int result = RUN_ALL_TESTS();
    CoUninitialize();
    return result;
}
