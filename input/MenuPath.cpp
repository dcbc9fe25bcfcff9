#include "input/MenuPath.h"

#include <new>
#include <utility>
#include <vector>

#include "frame/Errors.h"
#include "platform/LimitedSend.h"
#include "platform/WindowSystem.h"

namespace wrang::input {
namespace {

// Room for the caption of almost any entry; a longer one is read again whole.
constexpr int kCaptionRoom = 256;

// Makes `text` what a user calls it, in place: without the "&" that marks an access key (nor
// either of a doubled "&&"), and without the accelerator text after a tab. Its new length.
int Spoken(wchar_t* text, int length) noexcept {
    int kept = 0;
    for (int i = 0; i < length && text[i] != L'\t'; ++i) {
        if (text[i] != L'&') text[kept++] = text[i];
    }
    return kept;
}

// One element of a path: a caption, or "#n", the n-th entry of its level counting from 0.
struct Element {
    std::wstring written;  // as the caller wrote it, for a description that names it
    std::wstring spoken;   // as Spoken makes it
    LONG position = -1;    // n for "#n", else -1
};

// n for "#n" (at most nine digits), else -1: any other element is a caption.
LONG PositionNamed(const std::wstring& element) noexcept {
    if (element.size() < 2 || element.size() > 10 || element[0] != L'#') return -1;
    LONG value = 0;
    for (size_t i = 1; i < element.size(); ++i) {
        if (element[i] < L'0' || element[i] > L'9') return -1;
        value = value * 10 + (element[i] - L'0');
    }
    return value;
}

// The elements between the backslashes of `path`. Throws std::bad_alloc.
std::vector<Element> ElementsOf(const std::wstring& path) {
    std::vector<Element> elements;
    for (size_t start = 0;;) {
        const size_t end = path.find(L'\\', start);
        Element element;
        element.written = path.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
        element.spoken = element.written;
        element.spoken.resize(
            static_cast<size_t>(Spoken(element.spoken.data(), static_cast<int>(element.spoken.size()))));
        element.position = PositionNamed(element.written);
        elements.push_back(std::move(element));
        if (end == std::wstring::npos) return elements;
        start = end + 1;
    }
}

// Whether the entry at `position` of `menu` is the one a caption names, as a user reads it.
bool Named(LONG menu, int position, const std::wstring& spoken) {
    platform::WindowSystem& ws = platform::Current();
    wchar_t room[kCaptionRoom];
    std::wstring whole;
    wchar_t* caption = room;
    int length = ws.GetMenuStringW(menu, static_cast<UINT>(position), room, kCaptionRoom, MF_BYPOSITION);
    if (length >= kCaptionRoom - 1) {
        whole.resize(
            static_cast<size_t>(ws.GetMenuStringW(menu, static_cast<UINT>(position), nullptr, 0, MF_BYPOSITION)) + 1);
        caption = whole.data();
        length = ws.GetMenuStringW(menu, static_cast<UINT>(position), caption, static_cast<int>(whole.size()),
                                   MF_BYPOSITION);
    }
    // Separators, pictures and entries their owner draws have no caption, and no caption names them.
    if (length <= 0) return false;
    length = Spoken(caption, length);
    return ws.SameTextIgnoringCase(caption, length, spoken.data(), static_cast<int>(spoken.size()));
}

// The position of the entry `element` names in `menu`; -1 for none. Throws std::bad_alloc.
int PositionOf(LONG menu, const Element& element) {
    platform::WindowSystem& ws = platform::Current();
    const int count = ws.GetMenuItemCount(menu);
    if (element.position >= 0) {
        if (element.position >= count) return -1;
        const UINT state = ws.GetMenuState(menu, static_cast<UINT>(element.position), MF_BYPOSITION);
        // A separator offers nothing to choose. (In the state of an entry that opens a menu, the
        // separator's bit counts that menu's entries.)
        return (state & MF_POPUP) || !(state & MF_SEPARATOR) ? element.position : -1;
    }
    if (element.spoken.empty()) return -1;
    for (int position = 0; position < count; ++position) {
        if (Named(menu, position, element.spoken)) return position;
    }
    return -1;
}

HRESULT RaiseNaming(const wchar_t* before, const std::wstring& element, const wchar_t* after) noexcept {
    try {
        const std::wstring text =
            std::wstring(L"Invalid procedure call or argument: ") + before + L"\"" + element + L"\"" + after;
        return RaiseError(kVbInvalidCall, text.c_str());
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

bool OfThisProcess(LONG hWnd) noexcept {
    platform::WindowSystem& ws = platform::Current();
    DWORD process = 0;
    ws.GetWindowThreadProcessId(hWnd, &process);
    return process == ws.GetCurrentProcessId();
}

bool Notified(LONG hWnd, UINT message, LONG menu, LPARAM lParam) noexcept {
    LRESULT ignored = 0;
    return platform::SendWithin(hWnd, message, platform::WParamOf(menu), lParam, kNotificationLimitMs, &ignored);
}

HRESULT Find(LONG hWnd, const std::vector<Element>& elements, MenuEntry* entry) {
    platform::WindowSystem& ws = platform::Current();
    // A child window has no menu bar: GetMenu answers its identifier instead.
    const LONG bar = (ws.GetWindowStyle(hWnd) & WS_CHILD) ? 0 : ws.GetMenu(hWnd);
    if (bar == 0) return RaiseNaming(L"the window has no menu bar, so no entry ", elements[0].written, L"");
    // Where a process can use only its own menus (Wine: only GetMenu crosses processes), another
    // process's menu bar reads as no menu at all. Said so, rather than clicking what is not there.
    if (ws.GetMenuItemCount(bar) < 0 && !OfThisProcess(hWnd)) {
        return RaiseError(kVbInvalidCall,
                          L"Invalid procedure call or argument: the menus of another process cannot be read on "
                          L"this system (only the handle of a menu bar crosses between processes), so no entry can "
                          L"be chosen by its caption");
    }
    // As opening the menu bar does: WM_INITMENU once, then WM_INITMENUPOPUP for each menu opened,
    // with its entry's position (and False: not the system menu).
    if (!Notified(hWnd, WM_INITMENU, bar, 0)) return S_FALSE;
    LONG menu = bar;
    for (size_t i = 0;; ++i) {
        const int position = PositionOf(menu, elements[i]);
        if (position < 0) return RaiseNaming(L"the menu has no entry ", elements[i].written, L"");
        const LONG opened = ws.GetSubMenu(menu, position);
        if (i + 1 == elements.size()) {
            if (opened) {
                return RaiseNaming(L"the entry ", elements[i].written, L" opens a menu: name one of its entries");
            }
            entry->command = ws.GetMenuItemID(menu, position);
            entry->enabled =
                !(ws.GetMenuState(menu, static_cast<UINT>(position), MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED));
            return S_OK;
        }
        if (!opened) {
            return RaiseNaming(L"the menu has no entry ", elements[i + 1].written,
                               L" (the entry before it opens no menu)");
        }
        if (!Notified(hWnd, WM_INITMENUPOPUP, opened,
                      platform::ComposedLParam(static_cast<ULONG>(position) & 0xFFFF))) {
            return S_FALSE;
        }
        menu = opened;
    }
}

}  // namespace

HRESULT FindMenuEntry(LONG hWnd, const std::wstring& path, MenuEntry* entry) noexcept {
    try {
        return Find(hWnd, ElementsOf(path), entry);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

}  // namespace wrang::input
