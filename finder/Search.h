// Which windows a finder looks at, in which order, and whether one meets every criterion: the one
// search behind FindFirst, FindAll and Count (and so behind the watcher's WaitForMatch).
#pragma once

#include <windows.h>

#include <new>
#include <optional>
#include <string>
#include <vector>

#include "finder/Pattern.h"
#include "platform/Result.h"

namespace wrang::finder {

struct Criteria {
    std::optional<Pattern> className;  // none: any class
    std::optional<Pattern> caption;    // none: any caption
    DWORD processId = 0;               // 0: any process
    LONG controlId = 0;                // 0: any window; else a child with this identifier
    bool visibleOnly = false;
};

// Where a search looks: the top-level windows, or every descendant of one window.
struct Scope {
    bool descendants = false;
    LONG parent = 0;  // for descendants: 0 stands for the desktop, whose descendants are all windows
};

// The windows of `scope` as the window system lists them now: the top-level windows front to back
// (the Z order, owned pop-ups included), or the descendants at every depth in document order (a
// child, then its own children, then the next child).
[[nodiscard]] HRESULT CandidateWindows(const Scope& scope, std::vector<LONG>* windows) noexcept;

// What is read of a window to compare it, kept between windows so that its room is made once.
struct WindowTexts {
    std::wstring className, caption;
};

// Whether `hWnd` meets every criterion. Each fact is asked of the window system only when the
// criteria need it, the cheapest first, and no window procedure runs.
[[nodiscard]] HRESULT Meets(const Criteria& criteria, LONG hWnd, WindowTexts* texts, bool* meets) noexcept;

// The control identifier of a child window; 0 for any other (a top-level window's identifier
// field holds its menu).
LONG ControlIdOf(LONG hWnd) noexcept;

// Calls `found(hWnd)` for each window of `scope` that meets the criteria, in order, until it
// answers false.
template <typename Found>
[[nodiscard]] HRESULT Search(const Criteria& criteria, const Scope& scope, Found found) noexcept {
    try {
        std::vector<LONG> windows;
        WindowTexts texts;
        RETURN_IF_FAILED(CandidateWindows(scope, &windows));
        for (const LONG hWnd : windows) {
            bool meets = false;
            RETURN_IF_FAILED(Meets(criteria, hWnd, &texts, &meets));
            if (meets && !found(hWnd)) break;
        }
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

}  // namespace wrang::finder
