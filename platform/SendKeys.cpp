// The key-string service: reads the whole key string, then types it into the foreground window
// with SendInput as one batch, so that no other input interleaves with it.
#include <chrono>
#include <new>
#include <vector>

#include "frame/Errors.h"
#include "platform/KeyStrings.h"
#include "platform/WindowSystem.h"

namespace wrang::platform {
namespace {

// Keys of the extended block (arrows, navigation cluster, numeric-pad divide, ...): without the
// flag, a layout-aware target reads them as their numeric-pad twins.
bool IsExtendedKey(WORD virtualKey) noexcept {
    switch (virtualKey) {
        case VK_INSERT: case VK_DELETE: case VK_HOME: case VK_END: case VK_PRIOR: case VK_NEXT:
        case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: case VK_DIVIDE: case VK_NUMLOCK:
        case VK_SNAPSHOT:
            return true;
        default:
            return false;
    }
}

INPUT KeyInput(WORD virtualKey, bool up) noexcept {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (IsExtendedKey(virtualKey) ? KEYEVENTF_EXTENDEDKEY : 0);
    return input;
}

INPUT UnicodeInput(wchar_t character, bool up) noexcept {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wScan = character;
    input.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
    return input;
}

constexpr WORD kModifierKeys[] = {VK_SHIFT, VK_CONTROL, VK_MENU};

class InputBuilder {
public:
    void Add(const KeyAction& action) {
        switch (action.kind) {
            case KeyAction::Press: Modifier(action.virtualKey, true); break;
            case KeyAction::Release: Modifier(action.virtualKey, false); break;
            case KeyAction::Tap: Tap(action.virtualKey); break;
            case KeyAction::Character: Character(action.character); break;
        }
    }
    std::vector<INPUT>& inputs() { return m_inputs; }

private:
    int Index(WORD modifier) const noexcept {
        for (int m = 0; m < 3; ++m) if (kModifierKeys[m] == modifier) return m;
        return -1;
    }
    void Modifier(WORD key, bool down) {
        m_inputs.push_back(KeyInput(key, !down));
        if (int m = Index(key); m >= 0) m_held[m] = down;
    }
    void Tap(WORD key) {
        m_inputs.push_back(KeyInput(key, false));
        m_inputs.push_back(KeyInput(key, true));
    }
    void Character(wchar_t character) {
        const SHORT scan = ::VkKeyScanW(character);
        const BYTE key = LOBYTE(scan), state = HIBYTE(scan);
        // No key of the current layout (or only with the layout's special shift states).
        if (scan == -1 || key == 0xFF || (state & ~7) != 0) {
            m_inputs.push_back(UnicodeInput(character, false));
            m_inputs.push_back(UnicodeInput(character, true));
            return;
        }
        // The shift state the layout needs for this character, beyond what the string holds down.
        bool added[3] = {};
        for (int m = 0; m < 3; ++m) {
            if ((state & (1 << m)) && !m_held[m]) {
                m_inputs.push_back(KeyInput(kModifierKeys[m], false));
                added[m] = true;
            }
        }
        Tap(key);
        for (int m = 3; m-- > 0;) {
            if (added[m]) m_inputs.push_back(KeyInput(kModifierKeys[m], true));
        }
    }

    std::vector<INPUT> m_inputs;
    bool m_held[3] = {};
};

// Key-ups for every modifier that the first `sent` inputs left down.
std::vector<INPUT> ReleasesAfter(const std::vector<INPUT>& inputs, UINT sent) {
    bool down[3] = {};
    for (UINT i = 0; i < sent; ++i) {
        for (int m = 0; m < 3; ++m) {
            if (!(inputs[i].ki.dwFlags & KEYEVENTF_UNICODE) && inputs[i].ki.wVk == kModifierKeys[m]) {
                down[m] = !(inputs[i].ki.dwFlags & KEYEVENTF_KEYUP);
            }
        }
    }
    std::vector<INPUT> releases;
    for (int m = 0; m < 3; ++m) {
        if (down[m]) releases.push_back(KeyInput(kModifierKeys[m], true));
    }
    return releases;
}

// Returns once the foreground window's thread has handled the input queued for it. Input is
// retrieved before a window's paint request, so invalidating the window after the input and
// waiting until it has been painted again means that every key before it was taken and dispatched.
// The first WM_NULL round trip lets a thread that is busy catch up; the deadline keeps a window
// that never paints (or a hung one) from blocking the caller for good.
void WaitUntilHandled() {
    HWND foreground = ::GetForegroundWindow();
    if (!foreground) return;
    DWORD_PTR ignored = 0;
    constexpr UINT kTimeoutMs = 5000;
    if (!::SendMessageTimeoutW(foreground, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kTimeoutMs, &ignored)) return;
    // A window of this very thread cannot paint while we wait here.
    if (::GetWindowThreadProcessId(foreground, nullptr) == ::GetCurrentThreadId()) return;
    if (!::IsWindowVisible(foreground) || ::IsIconic(foreground)) return;
    ::InvalidateRect(foreground, nullptr, FALSE);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kTimeoutMs);
    while (::GetUpdateRect(foreground, nullptr, FALSE) && ::IsWindow(foreground) &&
           std::chrono::steady_clock::now() < deadline) {
        ::Sleep(1);
    }
}

}  // namespace

HRESULT Win32WindowSystem::SendKeys(const wchar_t* keys, UINT length, bool wait) {
    try {
        std::vector<KeyAction> actions;
        const HRESULT parsed = ParseKeyString(keys, length, &actions);
        if (parsed == E_INVALIDARG) return RaiseInvalidCall();
        if (FAILED(parsed)) return parsed;
        InputBuilder builder;
        for (const KeyAction& action : actions) builder.Add(action);
        std::vector<INPUT>& inputs = builder.inputs();
        if (inputs.empty()) return S_OK;

        const UINT sent = ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
        if (sent < inputs.size()) {
            const DWORD error = ::GetLastError();
            // A modifier left down would change every key the user types next.
            std::vector<INPUT> releases = ReleasesAfter(inputs, sent);
            if (!releases.empty()) {
                ::SendInput(static_cast<UINT>(releases.size()), releases.data(), sizeof(INPUT));
            }
            return error ? HRESULT_FROM_WIN32(error) : E_FAIL;
        }
        if (wait) WaitUntilHandled();
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

}  // namespace wrang::platform
