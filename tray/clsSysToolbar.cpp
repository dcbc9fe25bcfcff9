#include "tray/clsSysToolbar.h"

#include "frame/Classes.h"

namespace wrang {

HRESULT CreateSysToolbar(_clsSysToolbar** out) noexcept { return clsSysToolbar::Create(out); }

// Not built yet.
HRESULT clsSysToolbar::Init(_clsSysToolbar **result) { return E_NOTIMPL; }
HRESULT clsSysToolbar::get_Count(LONG *result) { return E_NOTIMPL; }
HRESULT clsSysToolbar::GetButtonByIndex(LONG intIndex, _clsToolbarButton **result) { return E_NOTIMPL; }
HRESULT clsSysToolbar::GetButtonByCommand(LONG intCmd, _clsToolbarButton **result) { return E_NOTIMPL; }
HRESULT clsSysToolbar::get_hWnd(LONG *result) { return E_NOTIMPL; }
HRESULT clsSysToolbar::get_IsWindow(VARIANT_BOOL *result) { return E_NOTIMPL; }

}  // namespace wrang
