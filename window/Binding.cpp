#include "frame/Classes.h"
#include "frame/Errors.h"
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
    return self()->InitByHandle(platform::FindByClassAndCaption(ClassName, WindowText), result);
}

HRESULT clsWrangler::get_hWnd(LONG* result) { return HandOut(result, m_hWnd); }

HRESULT clsWrangler::GetWindowHandle(LONG* result) { return HandOut(result, m_hWnd); }

HRESULT clsWrangler::get_IsWindow(VARIANT_BOOL* result) {
    if (!result) return E_POINTER;
    *result = !platform::IsBroadcast(m_hWnd) && platform::Current().IsWindow(m_hWnd) ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

}  // namespace wrang
