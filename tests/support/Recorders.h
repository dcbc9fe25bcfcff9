// Doubles of the platform layer that record what a member asks of it and pass every call on to
// the real window system.
#pragma once

#include <string>
#include <vector>

#include "platform/WindowSystem.h"

namespace wrang::test {

// The top-level lookups, with whether each name was a null pointer (any) or a string (matched
// literally, the empty one too).
struct FindRecorder : platform::Win32WindowSystem {
    struct Lookup {
        bool classIsNull, nameIsNull;
        std::string className, windowName;
    };
    std::vector<Lookup> lookups;
    LONG FindWindowA(const char* c, const char* n) override {
        lookups.push_back({c == nullptr, n == nullptr, c ? c : "", n ? n : ""});
        return Win32WindowSystem::FindWindowA(c, n);
    }
};

}  // namespace wrang::test
