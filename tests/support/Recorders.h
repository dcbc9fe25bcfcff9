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
        std::string className, windowName;
    };
    std::vector<Lookup> lookups;       // FindWindowA
    std::vector<Lookup> childLookups;  // FindWindowExA
    std::vector<std::pair<LONG, LONG>> reparented;
    LONG FindWindowA(const char* c, const char* n) override {
        lookups.push_back({0, 0, c == nullptr, n == nullptr, c ? c : "", n ? n : ""});
        return Win32WindowSystem::FindWindowA(c, n);
    }
    LONG FindWindowExA(LONG p, LONG a, const char* c, const char* n) override {
        childLookups.push_back({p, a, c == nullptr, n == nullptr, c ? c : "", n ? n : ""});
        return Win32WindowSystem::FindWindowExA(p, a, c, n);
    }
    LONG SetParent(LONG child, LONG parent) override {
        reparented.push_back({child, parent});
        return Win32WindowSystem::SetParent(child, parent);
    }
};

}  // namespace wrang::test
