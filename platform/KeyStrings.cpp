#include "platform/KeyStrings.h"

#include <new>

#include "platform/CaseFolding.h"

namespace wrang::platform {
namespace {

constexpr unsigned kShift = 1, kControl = 2, kAlt = 4;
constexpr unsigned kModifierBits[] = {kShift, kControl, kAlt};
constexpr WORD kModifierKeys[] = {VK_SHIFT, VK_CONTROL, VK_MENU};
constexpr unsigned long kMostRepeats = 10000;

struct NamedKey {
    const wchar_t* name;
    WORD virtualKey;
};

constexpr NamedKey kNamedKeys[] = {
    {L"BACKSPACE", VK_BACK},
    {L"BS", VK_BACK},
    {L"BKSP", VK_BACK},
    {L"BREAK", VK_PAUSE},
    {L"CAPSLOCK", VK_CAPITAL},
    {L"DELETE", VK_DELETE},
    {L"DEL", VK_DELETE},
    {L"DOWN", VK_DOWN},
    {L"END", VK_END},
    {L"ENTER", VK_RETURN},
    {L"ESC", VK_ESCAPE},
    {L"HELP", VK_HELP},
    {L"HOME", VK_HOME},
    {L"INSERT", VK_INSERT},
    {L"INS", VK_INSERT},
    {L"LEFT", VK_LEFT},
    {L"NUMLOCK", VK_NUMLOCK},
    {L"PGDN", VK_NEXT},
    {L"PGUP", VK_PRIOR},
    {L"PRTSC", VK_SNAPSHOT},
    {L"RIGHT", VK_RIGHT},
    {L"SCROLLLOCK", VK_SCROLL},
    {L"TAB", VK_TAB},
    {L"UP", VK_UP},
    {L"F1", VK_F1},
    {L"F2", VK_F2},
    {L"F3", VK_F3},
    {L"F4", VK_F4},
    {L"F5", VK_F5},
    {L"F6", VK_F6},
    {L"F7", VK_F7},
    {L"F8", VK_F8},
    {L"F9", VK_F9},
    {L"F10", VK_F10},
    {L"F11", VK_F11},
    {L"F12", VK_F12},
    {L"F13", VK_F13},
    {L"F14", VK_F14},
    {L"F15", VK_F15},
    {L"F16", VK_F16},
    {L"ADD", VK_ADD},
    {L"SUBTRACT", VK_SUBTRACT},
    {L"MULTIPLY", VK_MULTIPLY},
    {L"DIVIDE", VK_DIVIDE},
};

bool FindNamedKey(const wchar_t* name, size_t length, WORD* virtualKey) noexcept {
    for (const NamedKey& key : kNamedKeys) {
        size_t i = 0;
        while (i < length && key.name[i] != L'\0' && UpperAscii(name[i]) == key.name[i]) ++i;
        if (i == length && key.name[i] == L'\0') {
            *virtualKey = key.virtualKey;
            return true;
        }
    }
    return false;
}

class Parser {
public:
    Parser(const wchar_t* keys, size_t length, std::vector<KeyAction>& out)
        : m_keys(keys), m_length(length), m_out(out) {}

    // Throws std::bad_alloc only; false for a malformed string.
    bool Run() {
        for (size_t i = 0; i < m_length;) {
            const wchar_t c = m_keys[i];
            switch (c) {
            case L'+':
                m_pending |= kShift;
                ++i;
                break;
            case L'^':
                m_pending |= kControl;
                ++i;
                break;
            case L'%':
                m_pending |= kAlt;
                ++i;
                break;
            case L'~':
                Unit({KeyAction::Tap, VK_RETURN, 0}, 1);
                ++i;
                break;
            case L'(': {
                const unsigned pressed = Press(m_pending);
                m_pending = 0;
                m_groups.push_back(pressed);
                ++i;
                break;
            }
            case L')':
                // A modifier right before ")" has nothing to act on.
                if (m_groups.empty() || m_pending != 0) return false;
                Release(m_groups.back());
                m_groups.pop_back();
                ++i;
                break;
            case L'{':
                if (!Brace(&i)) return false;
                break;
            case L'}': return false;
            default:
                Unit({KeyAction::Character, 0, c}, 1);
                ++i;
                break;
            }
        }
        return m_groups.empty() && m_pending == 0;
    }

private:
    // Reads "{...}" at *i and moves past it.
    bool Brace(size_t* i) {
        const size_t start = *i + 1;
        if (start >= m_length) return false;
        // "{}}" types "}": the first "}" after "{" belongs to the name.
        size_t close = m_keys[start] == L'}' ? start + 1 : start;
        while (close < m_length && m_keys[close] != L'}') ++close;
        if (close >= m_length || close == start) return false;

        size_t nameEnd = close;
        unsigned long repeats = 1;
        size_t space = close;
        while (space > start + 1 && m_keys[space - 1] != L' ') --space;
        if (space > start + 1 && m_keys[space - 1] == L' ' && space < close) {
            // "{NAME n}": everything after the last space must be a count.
            unsigned long count = 0;
            for (size_t d = space; d < close; ++d) {
                const wchar_t digit = m_keys[d];
                if (digit < L'0' || digit > L'9') return false;
                count = count * 10 + (digit - L'0');
                if (count > kMostRepeats) return false;
            }
            repeats = count;
            nameEnd = space - 1;
        }
        const size_t nameLength = nameEnd - start;
        KeyAction action{};
        if (nameLength == 1) {
            action = {KeyAction::Character, 0, m_keys[start]};
        } else {
            WORD virtualKey = 0;
            if (!FindNamedKey(m_keys + start, nameLength, &virtualKey)) return false;
            action = {KeyAction::Tap, virtualKey, 0};
        }
        Unit(action, repeats);
        *i = close + 1;
        return true;
    }

    // One key or character, `repeats` times, under the pending modifiers.
    void Unit(const KeyAction& action, unsigned long repeats) {
        const unsigned pressed = Press(m_pending);
        m_pending = 0;
        for (unsigned long r = 0; r < repeats; ++r) m_out.push_back(action);
        Release(pressed);
    }

    // Presses the modifiers of `bits` that no enclosing group holds already; returns those.
    unsigned Press(unsigned bits) {
        unsigned pressed = 0;
        for (size_t m = 0; m < 3; ++m) {
            if ((bits & kModifierBits[m]) && !(m_held & kModifierBits[m])) {
                m_out.push_back({KeyAction::Press, kModifierKeys[m], 0});
                pressed |= kModifierBits[m];
            }
        }
        m_held |= pressed;
        return pressed;
    }

    void Release(unsigned bits) {
        for (size_t m = 3; m-- > 0;) {
            if (bits & kModifierBits[m]) m_out.push_back({KeyAction::Release, kModifierKeys[m], 0});
        }
        m_held &= ~bits;
    }

    const wchar_t* m_keys;
    size_t m_length;
    std::vector<KeyAction>& m_out;
    unsigned m_pending = 0;
    unsigned m_held = 0;
    std::vector<unsigned> m_groups;
};

}  // namespace

HRESULT ParseKeyString(const wchar_t* keys, size_t length, std::vector<KeyAction>* actions) noexcept {
    actions->clear();
    if (length == 0) return S_OK;
    try {
        std::vector<KeyAction> parsed;
        if (!Parser(keys, length, parsed).Run()) return E_INVALIDARG;
        actions->swap(parsed);
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

}  // namespace wrang::platform
