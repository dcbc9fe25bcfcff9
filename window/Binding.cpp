#include "frame/Classes.h"
#include "frame/Errors.h"
#include "platform/AnsiText.h"
#include "platform/WindowSystem.h"
#include "window/clsWrangler.h"

namespace wrang {

HRESULT CreateWrangler(_clsWrangler** out) noexcept { return clsWrangler::Create(out); }

HRESULT clsWrangler::InitByHandle(LONG hWnd, _clsWrangler** result) {
    if (!result) return E_POINTER;
    // Any value is kept as it is: a handle of 0 or of a window that is gone is the caller's to ask
    // about through IsWindow.
    m_hWnd = hWnd;
    m_bAlwaysOnTop = VARIANT_FALSE;
    return ReturnSelf(result);
}

HRESULT clsWrangler::InitByWindow(BSTR ClassName, BSTR WindowText, _clsWrangler** result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    AnsiText className, windowText;
    RETURN_IF_FAILED(ToAnsi(ClassName, &className));
    RETURN_IF_FAILED(ToAnsi(WindowText, &windowText));
    // An empty string is matched literally; only a null string reference is a wildcard.
    const LONG found = platform::Current().FindWindowA(className.data(), windowText.data());
    return self()->InitByHandle(found, result);
}

HRESULT clsWrangler::get_hWnd(LONG* result) {
    if (!result) return E_POINTER;
    *result = m_hWnd;
    return S_OK;
}

HRESULT clsWrangler::GetWindowHandle(LONG* result) {
    if (!result) return E_POINTER;
    *result = m_hWnd;
    return S_OK;
}

HRESULT clsWrangler::get_IsWindow(VARIANT_BOOL* result) {
    if (!result) return E_POINTER;
    *result = platform::Current().IsWindow(m_hWnd) ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

}  // namespace wrang
