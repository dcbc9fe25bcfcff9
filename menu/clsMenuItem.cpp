#include "menu/clsMenuItem.h"

#include "frame/Classes.h"

namespace wrang {

HRESULT CreateMenuItem(_clsMenuItem** out) noexcept { return clsMenuItem::Create(out); }

// Not built yet.
HRESULT clsMenuItem::Init(IDispatch *ParentItem, LONG hMenu, _clsMenuItem **result) { return E_NOTIMPL; }
HRESULT clsMenuItem::GetMenuHandle(LONG *result) { return E_NOTIMPL; }
HRESULT clsMenuItem::GetWindowHandle(LONG *result) { return E_NOTIMPL; }
HRESULT clsMenuItem::GetChildState(_clsMenuItem *menuChild, LONG *result) { return E_NOTIMPL; }
HRESULT clsMenuItem::get_Text(BSTR *result) { return E_NOTIMPL; }
HRESULT clsMenuItem::put_Text(BSTR value) { return E_NOTIMPL; }
HRESULT clsMenuItem::get_Enabled(VARIANT_BOOL *result) { return E_NOTIMPL; }
HRESULT clsMenuItem::put_Enabled(VARIANT_BOOL value) { return E_NOTIMPL; }
HRESULT clsMenuItem::get_Checked(VARIANT_BOOL *result) { return E_NOTIMPL; }
HRESULT clsMenuItem::put_Checked(VARIANT_BOOL value) { return E_NOTIMPL; }
HRESULT clsMenuItem::get_IsSeparator(VARIANT_BOOL *result) { return E_NOTIMPL; }
HRESULT clsMenuItem::get_ChildCount(LONG *result) { return E_NOTIMPL; }
HRESULT clsMenuItem::GetChildMenu(LONG nPos, _clsMenuItem **result) { return E_NOTIMPL; }
HRESULT clsMenuItem::ClickChildItem(LONG nPos, LONG *result) { return E_NOTIMPL; }
HRESULT clsMenuItem::ClickChildItem2(_clsMenuItem *menuChild, LONG *result) { return E_NOTIMPL; }
HRESULT clsMenuItem::ClickItem(LONG *result) { return E_NOTIMPL; }
HRESULT clsMenuItem::BeginChildEnum(_clsMenuEnum **result) { return E_NOTIMPL; }
HRESULT clsMenuItem::EndChildEnum(_clsMenuEnum *objEnum) { return E_NOTIMPL; }

}  // namespace wrang
