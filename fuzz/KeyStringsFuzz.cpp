// Coverage-guided fuzzing of the key-string reader (platform/KeyStrings.cpp), built natively.
// Each input byte is one character (byte b is U+00bb), except that 0xFF takes the next two bytes
// as one arbitrary UTF-16 code unit, so the plain-text dictionary and seeds stay readable.
// Checked beyond "no crash":
//  - a rejected string gives E_INVALIDARG and no action at all;
//  - an accepted string presses a modifier only while it is up, releases only the modifier pressed
//    last (the reverse order of pressing), and leaves nothing down at the end;
//  - Tap and Press/Release carry a key and no character; Character carries no key.
#include "platform/KeyStrings.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

using wrang::platform::KeyAction;

namespace {

[[noreturn]] void Fault(const char* what, size_t index) {
    std::fprintf(stderr, "key-string property broken: %s (action %zu)\n", what, index);
    std::abort();
}

bool IsModifier(WORD key) { return key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<wchar_t> keys;
    keys.reserve(size);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0xFF && i + 2 < size) {
            keys.push_back(static_cast<wchar_t>(data[i + 1] | (data[i + 2] << 8)));
            i += 2;
        } else {
            keys.push_back(static_cast<wchar_t>(data[i]));
        }
    }
    // Something left over from an earlier call must be cleared, whatever the outcome.
    std::vector<KeyAction> actions{{KeyAction::Tap, VK_TAB, 0}};
    const HRESULT hr = wrang::platform::ParseKeyString(keys.data(), keys.size(), &actions);
    if (hr == E_INVALIDARG) {
        if (!actions.empty()) Fault("a rejected string left actions", 0);
        return 0;
    }
    if (hr != S_OK) Fault("neither S_OK nor E_INVALIDARG", 0);
    if (keys.empty() && !actions.empty()) Fault("an empty string typed something", 0);

    std::vector<WORD> down;  // modifiers held, in the order they went down
    for (size_t i = 0; i < actions.size(); ++i) {
        const KeyAction& a = actions[i];
        switch (a.kind) {
        case KeyAction::Press:
            if (!IsModifier(a.virtualKey) || a.character != 0) Fault("odd press", i);
            for (WORD held : down) {
                if (held == a.virtualKey) Fault("a modifier pressed while already down", i);
            }
            down.push_back(a.virtualKey);
            break;
        case KeyAction::Release:
            if (down.empty() || down.back() != a.virtualKey) {
                Fault("a release out of order or of a modifier that is up", i);
            }
            down.pop_back();
            break;
        case KeyAction::Tap:
            if (a.virtualKey == 0 || a.character != 0 || IsModifier(a.virtualKey)) {
                Fault("odd tap", i);
            }
            break;
        case KeyAction::Character:
            if (a.virtualKey != 0) Fault("a character with a key code", i);
            break;
        default: Fault("unknown action kind", i);
        }
    }
    if (!down.empty()) Fault("a modifier left down at the end", actions.size());
    return 0;
}
