#include "window/TextKeys.h"

#include "platform/CaseFolding.h"

namespace wrang {
namespace {

struct KeyName {
    const char* token;
    LONG keyCode;
};

// Existing scripts rely on these exact codes, including the two that are character codes rather
// than key codes: "{^}" (no key has 94) and "{%}" (37, which is also the Left arrow).
constexpr KeyName kKeyNames[] = {
    {"{BACKSPACE}", VK_BACK},
    {"{BS}", VK_BACK},
    {"{BKSP}", VK_BACK},
    {"{BREAK}", VK_PAUSE},
    {"{DELETE}", VK_DELETE},
    {"{DEL}", VK_DELETE},
    {"{DOWN}", VK_DOWN},
    {"{END}", VK_END},
    {"{ENTER}", VK_RETURN},
    {"{ESC}", VK_ESCAPE},
    {"{HOME}", VK_HOME},
    {"{INSERT}", VK_INSERT},
    {"{INS}", VK_INSERT},
    {"{LEFT}", VK_LEFT},
    {"{NUMLOCK}", VK_NUMLOCK},
    {"{PGDN}", VK_NEXT},
    {"{PGUP}", VK_PRIOR},
    {"{PRTSC}", VK_SNAPSHOT},
    {"{RIGHT}", VK_RIGHT},
    {"{SCROLLLOCK}", VK_SCROLL},
    {"{TAB}", VK_TAB},
    {"{UP}", VK_UP},
    {"{F1}", VK_F1},
    {"{F2}", VK_F2},
    {"{F3}", VK_F3},
    {"{F4}", VK_F4},
    {"{F5}", VK_F5},
    {"{F6}", VK_F6},
    {"{F7}", VK_F7},
    {"{F8}", VK_F8},
    {"{F9}", VK_F9},
    {"{F10}", VK_F10},
    {"{F11}", VK_F11},
    {"{F12}", VK_F12},
    {"{+}", VK_ADD},
    {"{^}", '^'},
    {"{%}", '%'},
};

bool SameToken(const wchar_t* token, size_t length, const char* name) noexcept {
    size_t i = 0;
    for (; i < length; ++i) {
        if (name[i] == '\0' || platform::UpperAscii(token[i]) != static_cast<wchar_t>(name[i])) return false;
    }
    return name[i] == '\0';
}

}  // namespace

bool LookUpKeyName(const wchar_t* token, size_t length, LONG* keyCode) noexcept {
    for (const KeyName& row : kKeyNames) {
        if (SameToken(token, length, row.token)) {
            *keyCode = row.keyCode;
            return true;
        }
    }
    return false;
}

TextStep ReadTextStep(const wchar_t* text, size_t length, size_t position) noexcept {
    TextStep step;
    step.next = position + 1;
    const wchar_t ch = text[position];
    size_t close = position + 1;
    while (close < length && text[close] != L'}') ++close;
    if (ch == L'{' && close < length) {
        // A token that names no key still counts as one keystroke (key code 0) for its "{"; the
        // rest of it is then typed character by character, as scripts have always seen it.
        if (LookUpKeyName(text + position, close - position + 1, &step.keyCode)) {
            step.next = close + 1;
        } else {
            step.keyCode = 0;
        }
        return step;
    }
    step.isCharacter = true;
    step.character = ch;
    return step;
}

}  // namespace wrang
