#include "menu/clsJuggler.h"

#include "frame/Classes.h"

namespace wrang {

HRESULT CreateJuggler(_clsJuggler** out) noexcept { return clsJuggler::Create(out); }

// Not built yet.
HRESULT clsJuggler::Init(LONG hMenu, LONG hWnd, VARIANT_BOOL bIsSysMenu, _clsJuggler **result) { return E_NOTIMPL; }
HRESULT clsJuggler::InitByHandle(LONG hWnd, _clsJuggler **result) { return E_NOTIMPL; }
HRESULT clsJuggler::InitByWindow(BSTR strClassName, BSTR strText, _clsJuggler **result) { return E_NOTIMPL; }
HRESULT clsJuggler::get_hWnd(LONG *result) { return E_NOTIMPL; }
HRESULT clsJuggler::get_hMenu(LONG *result) { return E_NOTIMPL; }
HRESULT clsJuggler::GetWindow(_clsWrangler **result) { return E_NOTIMPL; }
HRESULT clsJuggler::GetMenuHandle(LONG *result) { return E_NOTIMPL; }
HRESULT clsJuggler::GetWindowHandle(LONG *result) { return E_NOTIMPL; }
HRESULT clsJuggler::get_ChildCount(LONG *result) { return E_NOTIMPL; }
HRESULT clsJuggler::GetSysMenu(_clsJuggler **result) { return E_NOTIMPL; }
HRESULT clsJuggler::GetChildState(_clsMenuItem *menuChild, LONG *result) { return E_NOTIMPL; }
HRESULT clsJuggler::GetChildMenu(LONG nPos, _clsMenuItem **result) { return E_NOTIMPL; }
HRESULT clsJuggler::GetSysMenuID(BSTR strID, LONG *result) { return E_NOTIMPL; }
HRESULT clsJuggler::ClickChildItem(LONG nPos, LONG *result) { return E_NOTIMPL; }
HRESULT clsJuggler::ClickChildItem2(_clsMenuItem *menuChild, LONG *result) { return E_NOTIMPL; }
HRESULT clsJuggler::BeginChildEnum(_clsMenuEnum **result) { return E_NOTIMPL; }
HRESULT clsJuggler::EndChildEnum(_clsMenuEnum *objEnum) { return E_NOTIMPL; }

}  // namespace wrang
