// Doubles of the platform layer that record what a member asks of it and pass every call on to
// the real window system.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/WindowSystem.h"

namespace wrang::test {

// The window lookups, with whether each name was a null pointer (any) or a string (matched
// literally, the empty one too), and the reparentings.
struct LookupRecorder : platform::Win32WindowSystem {
    struct Lookup {
        LONG parent, after;  // 0 for a top-level lookup
        bool classIsNull, nameIsNull;
        std::wstring className, windowName;
    };
    std::vector<Lookup> lookups;       // FindWindowW
    std::vector<Lookup> childLookups;  // FindWindowExW
    std::vector<std::pair<LONG, LONG>> reparented;
    LONG FindWindowW(const wchar_t* c, const wchar_t* n) override {
        lookups.push_back({0, 0, c == nullptr, n == nullptr, c ? c : L"", n ? n : L""});
        return Win32WindowSystem::FindWindowW(c, n);
    }
    LONG FindWindowExW(LONG p, LONG a, const wchar_t* c, const wchar_t* n) override {
        childLookups.push_back({p, a, c == nullptr, n == nullptr, c ? c : L"", n ? n : L""});
        return Win32WindowSystem::FindWindowExW(p, a, c, n);
    }
    LONG SetParent(LONG child, LONG parent) override {
        reparented.push_back({child, parent});
        return Win32WindowSystem::SetParent(child, parent);
    }
};

}  // namespace wrang::test
