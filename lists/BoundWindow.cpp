#include "lists/BoundWindow.h"

#include <algorithm>
#include <cwchar>

#include "platform/CaseFolding.h"
#include "platform/WindowSystem.h"

namespace wrang::lists {

bool ClassName::Contains(const wchar_t* part) const noexcept {
    const auto same = [](wchar_t a, wchar_t b) { return platform::UpperAscii(a) == platform::UpperAscii(b); };
    return std::search(text, text + length, part, part + wcslen(part), same) != text + length;
}

ClassName ClassNameOf(LONG hWnd) noexcept {
    platform::WindowSystem& system = platform::Current();
    ClassName name;
    // A broadcast value names no window: a reader binds to none and hands it to no call.
    if (platform::IsBroadcast(hWnd) || !system.IsWindow(hWnd)) return name;
    const int length = system.GetClassNameW(hWnd, name.text, 256);
    name.length = static_cast<size_t>(std::clamp(length, 0, 255));
    return name;
}

}  // namespace wrang::lists
