// The key-string language of VBSendKeys, read into the key actions to type. Pure text work: the
// whole string is read before any key is typed, so a malformed string types nothing.
//
//   +  ^  %      Shift, Ctrl, Alt held over the next key, character or parenthesised group
//   ~            Enter
//   ( )          a group: the modifiers before "(" stay down until ")"
//   {NAME}       a named key (any case): ENTER, TAB, F1 ... F16, ...
//   {c}          the character c itself, also one of + ^ % ~ ( ) [ ] { }
//   {NAME n}     the key or character n times, n from 0 to 10000
#pragma once

#include <windows.h>

#include <cstddef>
#include <vector>

namespace wrang::platform {

struct KeyAction {
    enum Kind : unsigned char {
        Press,      // a modifier key goes down
        Release,    // a modifier key comes up
        Tap,        // a key goes down and up
        Character,  // a character is typed, with whatever key the keyboard layout has for it
    };
    Kind kind;
    WORD virtualKey;    // Press, Release, Tap
    wchar_t character;  // Character

    bool operator==(const KeyAction& other) const noexcept {
        return kind == other.kind && virtualKey == other.virtualKey && character == other.character;
    }
};

// S_OK with the actions; E_INVALIDARG for a malformed string (unbalanced braces or parentheses,
// an unknown key name, a bad repeat count, a modifier with nothing after it); E_OUTOFMEMORY.
[[nodiscard]] HRESULT ParseKeyString(const wchar_t* keys, size_t length, std::vector<KeyAction>* actions) noexcept;

}  // namespace wrang::platform
