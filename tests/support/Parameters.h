// Message parameters and handles as the window system carries them in this build. WPARAM and
// LPARAM are pointer-sized: a key-up's flag word C01E0001 is a negative LPARAM in the 32-bit build
// and a positive one in the 64-bit build. Tests that format or compare a parameter go through
// these, never through a conversion or a literal of one width.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>

namespace wrang::test {

// A handle (window, menu) as the component stores it: a Long, in either build.
inline LONG AsLong(const void* handle) { return static_cast<LONG>(reinterpret_cast<LONG_PTR>(handle)); }

// The parameter's bits, unsigned, in this build's width: never widened with its sign.
constexpr ULONG_PTR BitsOf(WPARAM parameter) noexcept { return parameter; }
constexpr ULONG_PTR BitsOf(LPARAM parameter) noexcept { return static_cast<ULONG_PTR>(parameter); }

// At least eight hexadecimal digits: C01E0001 in both builds for the flag word above, while a
// flag word wrongly widened with its sign reads FFFFFFFFC01E0001 in the 64-bit build.
inline std::string HexOf(ULONG_PTR bits) {
    char text[24];
    std::snprintf(text, sizeof text, "%08llX", static_cast<unsigned long long>(bits));
    return text;
}

}  // namespace wrang::test
