#include "frame/Classes.h"
#include "frame/Errors.h"
#include "platform/AnsiText.h"
#include "platform/WindowSystem.h"
#include "window/clsWrangler.h"

namespace wrang {
namespace {

// Every window a member finds is handed out as a new object of its own, never shared, and never
// Nothing: a window that is not there is an unbound object (handle 0).
HRESULT NewBoundTo(LONG hWnd, _clsWrangler** result) noexcept {
    ComPtr<_clsWrangler> created;
    RETURN_IF_FAILED(CreateWrangler(created.put()));
    return created->InitByHandle(hWnd, result);
}

// One lookup among the direct children of `parent` (0: the top-level windows) by class name and
// caption. Only a null string reference is a wildcard; "" is looked for literally.
HRESULT FindChild(LONG parent, BSTR className, BSTR windowText, LONG* found) noexcept {
    AnsiText cls, text;
    RETURN_IF_FAILED(ToAnsi(className, &cls));
    RETURN_IF_FAILED(ToAnsi(windowText, &text));
    *found = platform::Current().FindWindowExA(parent, 0, cls.data(), text.data());
    return S_OK;
}

}  // namespace

HRESULT clsWrangler::get_hWndParent(LONG* result) {
    if (!result) return E_POINTER;
    *result = platform::Current().GetParent(m_hWnd);
    return S_OK;
}

HRESULT clsWrangler::put_hWndParent(LONG value) {
    // Whether the window manager made the change is for the caller to read back.
    platform::Current().SetParent(m_hWnd, value);
    return S_OK;
}

HRESULT clsWrangler::get_Parent(_clsWrangler** result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    return NewBoundTo(platform::Current().GetParent(m_hWnd), result);
}

HRESULT clsWrangler::putref_Parent(_clsWrangler* value) {
    // Nothing has no handle to read; the window keeps its parent.
    if (!value) return RaiseObjectRequired();
    LONG newParent = 0;
    RETURN_IF_FAILED(value->get_hWnd(&newParent));
    platform::Current().SetParent(m_hWnd, newParent);
    return S_OK;
}

HRESULT clsWrangler::get_HasChildren(VARIANT_BOOL* result) {
    if (!result) return E_POINTER;
    const LONG first = platform::Current().FindWindowExA(m_hWnd, 0, nullptr, nullptr);
    *result = first ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT clsWrangler::GetNextSibling(_clsWrangler** result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    LONG parent = 0;
    RETURN_IF_FAILED(self()->get_hWndParent(&parent));
    return NewBoundTo(platform::Current().FindWindowExA(parent, m_hWnd, nullptr, nullptr), result);
}

HRESULT clsWrangler::GetPreviousSibling(_clsWrangler** result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    LONG parent = 0;
    RETURN_IF_FAILED(self()->get_hWndParent(&parent));
    // The window manager only steps forwards, so walk from the first sibling up to this window.
    platform::WindowSystem& ws = platform::Current();
    LONG previous = 0;
    LONG current = ws.FindWindowExA(parent, 0, nullptr, nullptr);
    while (current != 0 && current != m_hWnd) {
        previous = current;
        current = ws.FindWindowExA(parent, current, nullptr, nullptr);
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
    // Searched from the parent's first child, so this window itself may be the one found.
    LONG found = 0;
    RETURN_IF_FAILED(FindChild(parent, ClassName, WindowText, &found));
    return NewBoundTo(found, result);
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
    return NewBoundTo(platform::Current().FindWindowExA(m_hWnd, 0, nullptr, nullptr), result);
}

HRESULT clsWrangler::GetLastChild(_clsWrangler** result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    platform::WindowSystem& ws = platform::Current();
    LONG last = 0;
    for (LONG current = ws.FindWindowExA(m_hWnd, 0, nullptr, nullptr); current != 0;
         current = ws.FindWindowExA(m_hWnd, current, nullptr, nullptr)) {
        last = current;
    }
    return NewBoundTo(last, result);
}

HRESULT clsWrangler::GetChild(BSTR ClassName, BSTR WindowText, _clsWrangler** result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    LONG found = 0;
    RETURN_IF_FAILED(FindChild(m_hWnd, ClassName, WindowText, &found));
    return NewBoundTo(found, result);
}

}  // namespace wrang
