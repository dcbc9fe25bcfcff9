#include "frame/Checked.h"
#include "frame/Classes.h"
#include "frame/Errors.h"
#include "platform/AnsiText.h"
#include "platform/WindowSystem.h"
#include "window/TextKeys.h"
#include "window/clsWrangler.h"

namespace wrang {
namespace {

struct ClickMessage {
    UINT message;
    WPARAM wParam;
};

// Indexed by ClickButtonMethods. The "down" and "up" values of both buttons send the opposite
// message (BTN_LBTN_DOWN sends WM_LBUTTONUP and so on). Scripts written against this component
// pick the value that produces the message they need, so the pairing stays as it is.
constexpr ClickMessage kClickMessages[][2] = {
    {{WM_KEYDOWN, VK_SPACE}, {WM_KEYUP, VK_SPACE}},  // BTN_DEFAULT
    {{WM_LBUTTONUP, 0}, {0, 0}},                     // BTN_LBTN_DOWN
    {{WM_LBUTTONDOWN, 0}, {0, 0}},                   // BTN_LBTN_UP
    {{WM_LBUTTONDBLCLK, 0}, {0, 0}},                 // BTN_LBTN_DBLCLICK
    {{WM_RBUTTONUP, 0}, {0, 0}},                     // BTN_RBTN_DOWN
    {{WM_RBUTTONDOWN, 0}, {0, 0}},                   // BTN_RBTN_UP
    {{WM_RBUTTONDBLCLK, 0}, {0, 0}},                 // BTN_RBTN_DBLCLICK
};

bool HasNoCharacter(LONG keyCode) noexcept {
    return (keyCode >= 42 && keyCode <= 57) || (keyCode >= 64 && keyCode <= 93) || (keyCode >= 97 && keyCode <= 122) ||
           keyCode == 32;
}

// How a keystroke posts its WM_CHAR, if it has one.
enum class CharacterPost { None, Ansi, Wide };

// Key-down, the pause, the character where there is one, key-up.
void PostKeyStroke(LONG keyCode, LONG hWnd, SHORT pause, CharacterPost post, LONG character) noexcept {
    platform::WindowSystem& system = platform::Current();
    // Only the low byte is a scan code; anything above it would spill into the flag bits.
    const ULONG scanCode = system.MapVirtualKeyA(static_cast<UINT>(keyCode), 0) & 0xFF;
    // The key flags are 32 bits, zero-extended in a 64-bit build as the window system sends them:
    // a key-up's lParam is 0x00000000C0ss0001 there, not a negative number.
    const LPARAM down = platform::ComposedLParam((scanCode << 16) | 1);
    const LPARAM up = platform::ComposedLParam(0xC0000000u | (scanCode << 16) | 1);
    const WPARAM key = platform::WParamOf(keyCode);
    system.PostMessageA(hWnd, WM_KEYDOWN, key, down);
    // A negative pause would reach Sleep as an almost endless (or INFINITE) wait: it means none.
    system.Sleep(pause > 0 ? static_cast<DWORD>(pause) : 0);
    if (post == CharacterPost::Ansi) system.PostMessageA(hWnd, WM_CHAR, platform::WParamOf(character), down);
    if (post == CharacterPost::Wide) system.PostMessageW(hWnd, WM_CHAR, platform::WParamOf(character), down);
    system.PostMessageA(hWnd, WM_KEYUP, key, up);
}

// A character that no key of the ANSI code page gives is typed as the window system types such
// input (an on-screen keyboard's, an input method's): VK_PACKET down and up around a WM_CHAR of
// the UTF-16 unit itself, one such stroke per unit, so a character beyond the Basic Multilingual
// Plane arrives as its surrogate pair. The character is posted wide: a Unicode window receives
// the unit unchanged, an ANSI window what the window manager converts it to. The key messages
// carry scan code 0, which is what the keyboard layout gives VK_PACKET, and not the unit that the
// window system's own VK_PACKET keys carry in their lParam's high word: a target that translates
// its key messages would make a second WM_CHAR of the unit from it. (From a VK_PACKET key-down
// without a unit Wine's TranslateMessage makes a NUL character, which edit controls ignore.)
void PostCharacter(wchar_t unit, LONG hWnd, SHORT pause) noexcept {
    PostKeyStroke(VK_PACKET, hWnd, pause, CharacterPost::Wide, unit);
}

}  // namespace

HRESULT clsWrangler::ClickButton(ClickButtonMethods ClickMethod) {
    // Compared unsigned, so that negative values are out of range as well.
    const auto method = static_cast<ULONG>(ClickMethod);
    // A broadcast value names no window to click (sent to it, the click would reach every one).
    if (method > 6 || platform::IsBroadcast(m_hWnd)) return S_OK;
    for (const ClickMessage& sent : kClickMessages[method]) {
        if (sent.message == 0) break;
        platform::Current().SendMessageA(m_hWnd, sent.message, sent.wParam, 0);
    }
    return S_OK;
}

HRESULT clsWrangler::SendText(BSTR strText, LONG sendInterval, VARIANT_BOOL* result) {
    if (!result) return E_POINTER;
    *result = VARIANT_FALSE;
    const size_t length = SysStringLen(strText);
    if (length > 0) {
        // Checked before the first key, so that a bad interval types nothing.
        SHORT pause = 0;
        RETURN_IF_FAILED(ToInteger16(sendInterval, &pause));
        // Keys posted to a broadcast value would reach every top-level window; it names none, and
        // the keys go nowhere, as to a window that is gone.
        for (size_t i = 0; i < length && !platform::IsBroadcast(m_hWnd);) {
            const TextStep step = ReadTextStep(strText, length, i);
            LONG keyCode = step.keyCode;
            SHORT code = 0;
            if (step.isCharacter && !AnsiCharacterCode(step.character, &code)) {
                PostCharacter(step.character, m_hWnd, pause);
            } else {
                if (step.isCharacter) keyCode = CharToKeyCode(code);
                RETURN_IF_FAILED(PostKey(keyCode, m_hWnd, pause));
            }
            i = step.next;
        }
    }
    *result = VARIANT_TRUE;
    return S_OK;
}

HRESULT clsWrangler::PostKey(LONG keyCode, LONG hWnd, SHORT pause) noexcept {
    // WM_CHAR carries the key code itself, read as a character code of the ANSI code page.
    PostKeyStroke(keyCode, hWnd, pause, HasNoCharacter(keyCode) ? CharacterPost::None : CharacterPost::Ansi, keyCode);
    return S_OK;
}

LONG clsWrangler::CharToKeyCode(SHORT characterCode) noexcept {
    const LONG c = characterCode;
    if (c >= '0' && c <= '9') return c;
    if (c >= 'a' && c <= 'z') return c - 'a' + 'A';
    if (c >= 'A' && c <= 'Z') return c;
    switch (c) {
    case '*': return VK_MULTIPLY;
    case '+': return VK_ADD;
    case '-': return VK_SUBTRACT;
    case '.': return VK_DECIMAL;
    case '/': return VK_DIVIDE;
    case '_': return VK_SEPARATOR;
    default: return c;
    }
}

HRESULT clsWrangler::VBSendKeys(BSTR strInput, VARIANT_BOOL wait) {
    // The window plays no part: the service types into whichever window is active. A null string
    // is an empty key string.
    const HRESULT typed =
        platform::Current().SendKeys(strInput ? strInput : L"", SysStringLen(strInput), wait != VARIANT_FALSE);
    // The runtime's errors for the service's own failures; the system's statuses pass unchanged.
    if (typed == platform::kKeyStringMalformed) return RaiseInvalidCall();
    if (typed == platform::kKeysNotTaken) return RaiseCannotPerform();
    return typed;
}

}  // namespace wrang
