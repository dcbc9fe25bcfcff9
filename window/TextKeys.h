// How SendText reads its text: brace key names ("{ENTER}", "{F5}") and single characters, one
// keystroke per step. Pure text work, so that every rule is testable without a window.
#pragma once

#include <windows.h>

#include <cstddef>

namespace wrang {

struct TextStep {
    // A character step is typed as the character's own key code; otherwise keyCode is final.
    bool isCharacter = false;
    wchar_t character = 0;
    LONG keyCode = 0;
    // Where the next step starts.
    size_t next = 0;
};

// The key code of a whole brace token such as "{ENTER}" (any case), or false when no key has
// that name.
bool LookUpKeyName(const wchar_t* token, size_t length, LONG* keyCode) noexcept;

// Reads the step of `text` that starts at `position` (< length).
TextStep ReadTextStep(const wchar_t* text, size_t length, size_t position) noexcept;

}  // namespace wrang
