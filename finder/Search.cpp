#include "finder/Search.h"

#include <climits>

#include "platform/LimitedSend.h"
#include "platform/WindowSystem.h"

namespace wrang::finder {
namespace {

// A window system holds at most 65,536 windows at a time; a walk that meets more is going round a
// window moved while it walked, and ends.
constexpr size_t kMostWindows = 0x10000;

// The longest class name the window system keeps is 256 characters.
constexpr int kClassNameRoom = 257;

void ReadClassName(platform::WindowSystem& ws, LONG hWnd, std::wstring* name) {
    name->resize(kClassNameRoom);
    const int length = ws.GetClassNameW(hWnd, &(*name)[0], kClassNameRoom);
    name->resize(length > 0 ? static_cast<size_t>(length) : 0);
}

// The caption the window system keeps, whole: the room doubles until the caption fits with room to
// spare. It starts small for every window (a long caption met once leaves its room allocated, and
// filling all of it for each window after would cost more than the reads).
void ReadCaption(platform::WindowSystem& ws, LONG hWnd, std::wstring* caption) {
    size_t room = 256;
    for (;;) {
        caption->resize(room);
        const int copied = ws.InternalGetWindowText(hWnd, &(*caption)[0], static_cast<int>(room));
        const size_t length = copied > 0 ? static_cast<size_t>(copied) : 0;
        if (length + 1 < room || room >= INT_MAX / 2) {
            caption->resize(length);
            return;
        }
        room *= 2;
    }
}

}  // namespace

HRESULT CandidateWindows(const Scope& scope, std::vector<LONG>* windows) noexcept {
    windows->clear();
    if (!scope.descendants) return platform::TopLevelWindows(windows) ? S_OK : E_OUTOFMEMORY;
    platform::WindowSystem& ws = platform::Current();
    try {
        // Depth first, each next sibling noted before its elder's children are walked.
        std::vector<LONG> siblingsToCome;
        LONG next = ws.GetWindow(scope.parent != 0 ? scope.parent : ws.GetDesktopWindow(), GW_CHILD);
        while (next != 0 && windows->size() < kMostWindows) {
            windows->push_back(next);
            const LONG child = ws.GetWindow(next, GW_CHILD);
            const LONG sibling = ws.GetWindow(next, GW_HWNDNEXT);
            if (child != 0) {
                if (sibling != 0) siblingsToCome.push_back(sibling);
                next = child;
            } else if (sibling != 0) {
                next = sibling;
            } else if (!siblingsToCome.empty()) {
                next = siblingsToCome.back();
                siblingsToCome.pop_back();
            } else {
                next = 0;
            }
        }
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

LONG ControlIdOf(LONG hWnd) noexcept {
    platform::WindowSystem& ws = platform::Current();
    if (!(ws.GetWindowStyle(hWnd) & WS_CHILD)) return 0;
    return ws.GetDlgCtrlID(hWnd);
}

HRESULT Meets(const Criteria& criteria, LONG hWnd, WindowTexts* texts, bool* meets) noexcept {
    *meets = false;
    platform::WindowSystem& ws = platform::Current();
    if (criteria.visibleOnly && !ws.IsWindowVisible(hWnd)) return S_OK;
    if (criteria.processId != 0) {
        DWORD processId = 0;
        if (!ws.GetWindowThreadProcessId(hWnd, &processId) || processId != criteria.processId) return S_OK;
    }
    if (criteria.controlId != 0 && ControlIdOf(hWnd) != criteria.controlId) return S_OK;
    try {
        bool matches = true;
        if (criteria.className) {
            ReadClassName(ws, hWnd, &texts->className);
            RETURN_IF_FAILED(criteria.className->Matches(texts->className.c_str(), texts->className.size(), &matches));
            if (!matches) return S_OK;
        }
        if (criteria.caption) {
            ReadCaption(ws, hWnd, &texts->caption);
            RETURN_IF_FAILED(criteria.caption->Matches(texts->caption.c_str(), texts->caption.size(), &matches));
            if (!matches) return S_OK;
        }
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    *meets = true;
    return S_OK;
}

}  // namespace wrang::finder
