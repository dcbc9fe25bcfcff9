#include "frame/Classes.h"
#include "frame/Errors.h"
#include "platform/WindowSystem.h"
#include "window/clsWrangler.h"

namespace wrang {
namespace {

using platform::IsBroadcast;

// Every window a member finds is handed out as a new object of its own, never shared, and never
// Nothing: a window that is not there is an unbound object (handle 0).
HRESULT NewBoundTo(LONG hWnd, _clsWrangler** result) noexcept {
    ComPtr<_clsWrangler> created;
    RETURN_IF_FAILED(CreateWrangler(created.put()));
    return created->InitByHandle(hWnd, result);
}

// Backward steps by the window system's own neighbour lookup.
//
// GetPreviousSibling and GetLastChild are defined by forward walks over FindWindowEx (p, x): its
// enumeration of the direct children of p (for p = 0 the desktop's, the top-level windows) from
// the first (x = 0) onwards, one call per entry, so that walking back step by step is quadratic.
// GetWindow steps backwards in constant time through the children list of the window's real
// parent (GetAncestor GA_PARENT, which is the desktop window for a top-level window).
//
// Why the two agree where the neighbour lookup answers: on Windows and under Wine alike,
// FindWindowEx enumerates a parent's children in the order of that parent's children list, which
// is the z-order that GW_CHILD, GW_HWNDNEXT, GW_HWNDPREV and GW_HWNDLAST step through; for the
// desktop that list holds every top-level window, owned ones included, and no message-only window.
// FindWindowEx's one irregularity, that with parent and child-after both 0 it also looks among
// the message-only windows when no top-level window matches, cannot show while there is a
// top-level window to meet (the window itself, or the neighbour found).
//
// Which path answers:
//   - GetPreviousSibling takes the neighbour lookup when the window's real parent is the parent
//     the walk goes through (what GetParent reported, the desktop for 0), and the window after the
//     candidate is m_hWnd's very number. The walk then goes through the window's own list and
//     stops at the same entry. Otherwise it walks:
//       - GetParent reports a parent that is not the real one: an owned pop-up window reports its
//         owner, whose children it is not among; a message-only window reports 0 (the desktop) but
//         lives under the message-only root. The walk never meets such a window and answers 0,
//         GetWindow would answer its real neighbour.
//       - m_hWnd is not the number the window system hands out for the window (it also accepts a
//         handle's low 16 bits): the walk compares numbers and never meets it.
//       - an unbound object (handle 0), a window that vanished (no real parent), the parent's
//         first child (no previous window; the walk costs one call).
//   - GetLastChild takes the neighbour lookup for any bound window that has a child: it walks the
//     window's own children list whatever the window is, and compares no handle. It walks for an
//     unbound object and for HWND_MESSAGE, which FindWindowEx reads as the desktop (with the
//     irregularity above) and the message-only root rather than as windows, and when there is no
//     child, or the window vanished, where the walk costs one call.
// Nothing is remembered between calls, so a reordering of the siblings shows in the next answer
// along either path.

constexpr LONG kMessageOnlyRoot = -3;  // HWND_MESSAGE

// The sibling before `window` when its list is the one that FindWindowEx (parent, ...) walks and
// `window` is the number that walk meets; 0 when the walk has to answer.
LONG PreviousByNeighbour(platform::WindowSystem& ws, LONG parent, LONG window) {
    if (window == 0) return 0;
    const LONG realParent = ws.GetAncestor(window, GA_PARENT);
    if (realParent == 0 || realParent != (parent != 0 ? parent : ws.GetDesktopWindow())) return 0;
    const LONG candidate = ws.GetWindow(window, GW_HWNDPREV);
    if (candidate == 0) return 0;
    return ws.GetWindow(candidate, GW_HWNDNEXT) == window ? candidate : 0;
}

// The last child of `window`, which FindWindowEx (window, ...) enumerates as they stand in its
// children list; 0 when the walk has to answer.
LONG LastByNeighbour(platform::WindowSystem& ws, LONG window) {
    // FindWindowEx reads these two as the desktop and the message-only root, not as windows.
    if (window == 0 || window == kMessageOnlyRoot) return 0;
    const LONG first = ws.GetWindow(window, GW_CHILD);
    return first != 0 ? ws.GetWindow(first, GW_HWNDLAST) : 0;
}

}  // namespace

// A broadcast value names no window: it has no parent, no sibling and no child, as a window that is
// gone has none, and no lookup starts from it or after it.

HRESULT clsWrangler::get_hWndParent(LONG* result) {
    if (!result) return E_POINTER;
    *result = IsBroadcast(m_hWnd) ? 0 : platform::Current().GetParent(m_hWnd);
    return S_OK;
}

HRESULT clsWrangler::put_hWndParent(LONG value) {
    // Whether the window manager made the change is for the caller to read back.
    if (!IsBroadcast(m_hWnd)) platform::Current().SetParent(m_hWnd, value);
    return S_OK;
}

HRESULT clsWrangler::get_Parent(_clsWrangler** result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    LONG parent = 0;
    RETURN_IF_FAILED(self()->get_hWndParent(&parent));
    return NewBoundTo(parent, result);
}

HRESULT clsWrangler::putref_Parent(_clsWrangler* value) {
    // Nothing has no handle to read; the window keeps its parent.
    if (!value) return RaiseObjectRequired();
    LONG newParent = 0;
    RETURN_IF_FAILED(value->get_hWnd(&newParent));
    if (!IsBroadcast(m_hWnd)) platform::Current().SetParent(m_hWnd, newParent);
    return S_OK;
}

HRESULT clsWrangler::get_HasChildren(VARIANT_BOOL* result) {
    if (!result) return E_POINTER;
    const LONG first = IsBroadcast(m_hWnd) ? 0 : platform::Current().FindWindowExW(m_hWnd, 0, nullptr, nullptr);
    *result = first ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT clsWrangler::GetNextSibling(_clsWrangler** result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    LONG parent = 0;
    RETURN_IF_FAILED(self()->get_hWndParent(&parent));
    if (IsBroadcast(m_hWnd)) return NewBoundTo(0, result);
    return NewBoundTo(platform::Current().FindWindowExW(parent, m_hWnd, nullptr, nullptr), result);
}

HRESULT clsWrangler::GetPreviousSibling(_clsWrangler** result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    LONG parent = 0;
    RETURN_IF_FAILED(self()->get_hWndParent(&parent));
    if (IsBroadcast(m_hWnd)) return NewBoundTo(0, result);
    platform::WindowSystem& ws = platform::Current();
    if (const LONG before = PreviousByNeighbour(ws, parent, m_hWnd)) return NewBoundTo(before, result);
    // FindWindowEx only steps forwards: walk from the first sibling up to this window.
    LONG previous = 0;
    LONG current = ws.FindWindowExW(parent, 0, nullptr, nullptr);
    while (current != 0 && current != m_hWnd) {
        previous = current;
        current = ws.FindWindowExW(parent, current, nullptr, nullptr);
    }
    // Running off the end means this window is not among the parent's children: an unbound object
    // (handle 0) is among nobody's children, so it has no previous sibling either.
    return NewBoundTo(current != 0 ? previous : 0, result);
}

HRESULT clsWrangler::GetSibling(BSTR ClassName, BSTR WindowText, _clsWrangler** result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    LONG parent = 0;
    RETURN_IF_FAILED(self()->get_hWndParent(&parent));
    // Searched from the parent's first child, so this window itself may be the one found. A
    // broadcast value's parent is 0, as for a window that is gone: the top-level windows are searched.
    return NewBoundTo(platform::FindByClassAndCaption(ClassName, WindowText, &parent), result);
}

HRESULT clsWrangler::GetTopLevelParent(_clsWrangler** result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    LONG parent = 0;
    RETURN_IF_FAILED(self()->get_hWndParent(&parent));
    // The climb starts above this window: a window without a parent gives an unbound object,
    // never itself.
    LONG top = parent;
    for (LONG p = parent; p != 0; p = platform::Current().GetParent(p)) top = p;
    return NewBoundTo(top, result);
}

HRESULT clsWrangler::GetFirstChild(_clsWrangler** result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    if (IsBroadcast(m_hWnd)) return NewBoundTo(0, result);
    return NewBoundTo(platform::Current().FindWindowExW(m_hWnd, 0, nullptr, nullptr), result);
}

HRESULT clsWrangler::GetLastChild(_clsWrangler** result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    if (IsBroadcast(m_hWnd)) return NewBoundTo(0, result);
    platform::WindowSystem& ws = platform::Current();
    if (const LONG found = LastByNeighbour(ws, m_hWnd)) return NewBoundTo(found, result);
    LONG last = 0;
    for (LONG current = ws.FindWindowExW(m_hWnd, 0, nullptr, nullptr); current != 0;
         current = ws.FindWindowExW(m_hWnd, current, nullptr, nullptr)) {
        last = current;
    }
    return NewBoundTo(last, result);
}

HRESULT clsWrangler::GetChild(BSTR ClassName, BSTR WindowText, _clsWrangler** result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    if (IsBroadcast(m_hWnd)) return NewBoundTo(0, result);
    return NewBoundTo(platform::FindByClassAndCaption(ClassName, WindowText, &m_hWnd), result);
}

}  // namespace wrang
