#include "tray/clsToolbarButton.h"

#include "frame/Classes.h"

namespace wrang {

HRESULT CreateToolbarButton(_clsToolbarButton** out) noexcept { return clsToolbarButton::Create(out); }

// Not built yet.
HRESULT clsToolbarButton::Init(LONG hWnd, LONG btnIndex) { return E_NOTIMPL; }
HRESULT clsToolbarButton::get_Text(BSTR *result) { return E_NOTIMPL; }
HRESULT clsToolbarButton::get_Count(LONG *result) { return E_NOTIMPL; }
HRESULT clsToolbarButton::get_Visible(VARIANT_BOOL *result) { return E_NOTIMPL; }
HRESULT clsToolbarButton::put_Visible(VARIANT_BOOL value) { return E_NOTIMPL; }
HRESULT clsToolbarButton::MoveLeft() { return E_NOTIMPL; }
HRESULT clsToolbarButton::MoveRight() { return E_NOTIMPL; }
HRESULT clsToolbarButton::GetNextButton(_clsToolbarButton **result) { return E_NOTIMPL; }
HRESULT clsToolbarButton::GetPreviousButton(_clsToolbarButton **result) { return E_NOTIMPL; }

}  // namespace wrang
