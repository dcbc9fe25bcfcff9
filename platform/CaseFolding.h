// Case folding of names: key names, brace key names and member names are matched without regard to
// case, the way the automation runtime matches them.
#pragma once

#include <cwctype>

namespace wrang::platform {

// The plain letter mapping of ASCII; every other code unit is left as it is.
constexpr wchar_t UpperAscii(wchar_t c) noexcept {
    return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - (L'a' - L'A')) : c;
}

// The runtime's folding of any character, which its own name lookup has always used; for an ASCII
// character it is UpperAscii.
inline wchar_t Upper(wchar_t c) noexcept { return static_cast<wchar_t>(std::towupper(c)); }

}  // namespace wrang::platform
