// A menu bar, system menu or other menu of one window.
#pragma once

#include "frame/AutomationObject.h"

namespace wrang {

class clsJuggler final : public AutomationObject<clsJuggler, _clsJuggler> {
public:
    HRESULT STDMETHODCALLTYPE Init(LONG hMenu, LONG hWnd, VARIANT_BOOL bIsSysMenu, _clsJuggler** result) override;
    HRESULT STDMETHODCALLTYPE InitByHandle(LONG hWnd, _clsJuggler** result) override;
    HRESULT STDMETHODCALLTYPE InitByWindow(BSTR strClassName, BSTR strText, _clsJuggler** result) override;
    HRESULT STDMETHODCALLTYPE get_hWnd(LONG* result) override;
    HRESULT STDMETHODCALLTYPE get_hMenu(LONG* result) override;
    HRESULT STDMETHODCALLTYPE GetWindow(_clsWrangler** result) override;
    HRESULT STDMETHODCALLTYPE GetMenuHandle(LONG* result) override;
    HRESULT STDMETHODCALLTYPE GetWindowHandle(LONG* result) override;
    HRESULT STDMETHODCALLTYPE get_ChildCount(LONG* result) override;
    HRESULT STDMETHODCALLTYPE GetSysMenu(_clsJuggler** result) override;
    HRESULT STDMETHODCALLTYPE GetChildState(_clsMenuItem* menuChild, LONG* result) override;
    HRESULT STDMETHODCALLTYPE GetChildMenu(LONG nPos, _clsMenuItem** result) override;
    HRESULT STDMETHODCALLTYPE GetSysMenuID(BSTR strID, LONG* result) override;
    HRESULT STDMETHODCALLTYPE ClickChildItem(LONG nPos, LONG* result) override;
    HRESULT STDMETHODCALLTYPE ClickChildItem2(_clsMenuItem* menuChild, LONG* result) override;
    HRESULT STDMETHODCALLTYPE BeginChildEnum(_clsMenuEnum** result) override;
    HRESULT STDMETHODCALLTYPE EndChildEnum(_clsMenuEnum* objEnum) override;

private:
    LONG m_hWnd = 0;
    LONG m_hMenu = 0;
    VARIANT_BOOL m_bIsSysMenu = VARIANT_FALSE;
};

}  // namespace wrang
