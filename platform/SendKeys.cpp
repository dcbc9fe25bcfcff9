// The key-string service: reads the whole key string, then types it into the foreground window
// with SendInput: as one batch, so that no other input interleaves with it, or, when the caller
// waits for the keys to be handled, in slices that show how far the target has got.
#include <chrono>
#include <new>
#include <vector>

#include "platform/KeyStrings.h"
#include "platform/Result.h"
#include "platform/WindowSystem.h"

namespace wrang::platform {
namespace {

// Keys of the extended block (arrows, navigation cluster, numeric-pad divide, ...): without the
// flag, a layout-aware target reads them as their numeric-pad twins.
bool IsExtendedKey(WORD virtualKey) noexcept {
    switch (virtualKey) {
    case VK_INSERT:
    case VK_DELETE:
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_DIVIDE:
    case VK_NUMLOCK:
    case VK_SNAPSHOT: return true;
    default: return false;
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
        for (int m = 0; m < 3; ++m)
            if (kModifierKeys[m] == modifier) return m;
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

// The wait for the keys to be handled.
//
// Input is retrieved before a window's paint request, so invalidating the foreground window after
// some input and seeing it painted again means that its thread took and dispatched every key
// before it. With one batch that only tells "all done" or "not yet": a target that is slowly
// working through a long string looks the same as one that stopped. So with the wait the keys go
// in slices, each confirmed that way before the next is sent, and every confirmed slice is
// progress. The wait gives up only when the target takes no slice for kStallMs, or the window
// system reports it hung; the slices are sized from the target's own pace so that one takes about
// kSlicePaceMs, far inside that bound, even for a target that takes one key a second.

// How long the target may take no key before the wait gives up: the time after which the window
// system itself calls a window "not responding".
constexpr DWORD kStallMs = 5000;
constexpr DWORD kSlicePaceMs = 250;
// Inputs per slice: a key is at least a down and an up.
constexpr size_t kFirstSlice = 4, kSmallestSlice = 2, kLargestSlice = 1024;

enum class Handled { Yes, CannotTell, Stalled };

// Waits until the foreground window's thread has handled the input sent at `sent`, at most until
// `sent` + kStallMs. A window that cannot paint for us (none, hidden, minimised, or one of the
// caller's own thread, which cannot run while we wait here) gives no answer: CannotTell.
Handled WaitUntilHandled(std::chrono::steady_clock::time_point sent) {
    using std::chrono::milliseconds;
    using std::chrono::steady_clock;
    const auto deadline = sent + milliseconds(kStallMs);
    HWND foreground = ::GetForegroundWindow();
    if (!foreground) return Handled::CannotTell;
    // Lets a thread that is busy catch up, and answers at once for one that the window system
    // already reports hung.
    const auto left = std::chrono::duration_cast<milliseconds>(deadline - steady_clock::now());
    DWORD_PTR ignored = 0;
    if (!::SendMessageTimeoutW(foreground, WM_NULL, 0, 0, SMTO_ABORTIFHUNG,
                               static_cast<UINT>(left.count() > 0 ? left.count() : 1), &ignored)) {
        return ::IsWindow(foreground) ? Handled::Stalled : Handled::Yes;
    }
    if (::GetWindowThreadProcessId(foreground, nullptr) == ::GetCurrentThreadId()) {
        return Handled::CannotTell;
    }
    if (!::IsWindowVisible(foreground) || ::IsIconic(foreground)) return Handled::CannotTell;
    ::InvalidateRect(foreground, nullptr, FALSE);
    while (::GetUpdateRect(foreground, nullptr, FALSE)) {
        // A window that closed took its keys with it.
        if (!::IsWindow(foreground)) return Handled::Yes;
        if (::IsHungAppWindow(foreground) || steady_clock::now() >= deadline) return Handled::Stalled;
        ::Sleep(1);
    }
    return Handled::Yes;
}

// The next slice, sized so that the target, at the pace it just showed, takes about kSlicePaceMs
// for it; growing at most fourfold, so that one quick slice does not make the next one huge.
size_t NextSlice(size_t slice, std::chrono::steady_clock::duration took) {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(took).count();
    size_t next = ms > 0 ? static_cast<size_t>(slice * kSlicePaceMs / static_cast<ULONGLONG>(ms)) : kLargestSlice;
    if (next > slice * 4) next = slice * 4;
    if (next < kSmallestSlice) next = kSmallestSlice;
    return next < kLargestSlice ? next : kLargestSlice;
}

// Sends `count` inputs from `first`; on a partial send, lets go of the modifiers that the inputs
// sent so far left down and returns the failure.
HRESULT SendAll(std::vector<INPUT>& inputs, size_t first, size_t count) {
    const UINT sent = ::SendInput(static_cast<UINT>(count), inputs.data() + first, sizeof(INPUT));
    if (sent == count) return S_OK;
    const DWORD error = ::GetLastError();
    // A modifier left down would change every key the user types next.
    std::vector<INPUT> releases = ReleasesAfter(inputs, static_cast<UINT>(first + sent));
    if (!releases.empty()) ::SendInput(static_cast<UINT>(releases.size()), releases.data(), sizeof(INPUT));
    return error ? HRESULT_FROM_WIN32(error) : E_FAIL;
}

// Types the inputs slice by slice, each handled before the next goes.
HRESULT TypeAndWait(std::vector<INPUT>& inputs) {
    size_t done = 0, slice = kFirstSlice;
    while (done < inputs.size()) {
        const size_t count = slice < inputs.size() - done ? slice : inputs.size() - done;
        const auto sent = std::chrono::steady_clock::now();
        RETURN_IF_FAILED(SendAll(inputs, done, count));
        done += count;
        switch (WaitUntilHandled(sent)) {
        case Handled::Yes: slice = NextSlice(slice, std::chrono::steady_clock::now() - sent); break;
        case Handled::CannotTell:
            // Nothing to watch: the rest goes at once, as without the wait.
            return done < inputs.size() ? SendAll(inputs, done, inputs.size() - done) : S_OK;
        case Handled::Stalled: {
            // The rest is not sent; what was sent stays queued for the target.
            std::vector<INPUT> releases = ReleasesAfter(inputs, static_cast<UINT>(done));
            if (!releases.empty()) {
                ::SendInput(static_cast<UINT>(releases.size()), releases.data(), sizeof(INPUT));
            }
            // The caller asked to go on only once the keys were handled.
            return kKeysNotTaken;
        }
        }
    }
    return S_OK;
}

}  // namespace

HRESULT Win32WindowSystem::SendKeys(const wchar_t* keys, UINT length, bool wait) {
    try {
        std::vector<KeyAction> actions;
        const HRESULT parsed = ParseKeyString(keys, length, &actions);
        if (parsed == E_INVALIDARG) return kKeyStringMalformed;
        if (FAILED(parsed)) return parsed;
        InputBuilder builder;
        for (const KeyAction& action : actions) builder.Add(action);
        std::vector<INPUT>& inputs = builder.inputs();
        if (inputs.empty()) return S_OK;

        // Without the wait, one batch: no other input can come between its keys.
        if (!wait) return SendAll(inputs, 0, inputs.size());
        return TypeAndWait(inputs);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

}  // namespace wrang::platform
