// One entry of a menu; also the parent of its sub-menu's entries.
#pragma once

#include "frame/AutomationObject.h"

namespace wrang {

class clsMenuItem final : public AutomationObject<clsMenuItem, _clsMenuItem> {
public:
    HRESULT STDMETHODCALLTYPE Init(IDispatch* ParentItem, LONG hMenu, _clsMenuItem** result) override;
    HRESULT STDMETHODCALLTYPE GetMenuHandle(LONG* result) override;
    HRESULT STDMETHODCALLTYPE GetWindowHandle(LONG* result) override;
    HRESULT STDMETHODCALLTYPE GetChildState(_clsMenuItem* menuChild, LONG* result) override;
    HRESULT STDMETHODCALLTYPE get_Text(BSTR* result) override;
    HRESULT STDMETHODCALLTYPE put_Text(BSTR value) override;
    HRESULT STDMETHODCALLTYPE get_Enabled(VARIANT_BOOL* result) override;
    HRESULT STDMETHODCALLTYPE put_Enabled(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_Checked(VARIANT_BOOL* result) override;
    HRESULT STDMETHODCALLTYPE put_Checked(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_IsSeparator(VARIANT_BOOL* result) override;
    HRESULT STDMETHODCALLTYPE get_ChildCount(LONG* result) override;
    HRESULT STDMETHODCALLTYPE GetChildMenu(LONG nPos, _clsMenuItem** result) override;
    HRESULT STDMETHODCALLTYPE ClickChildItem(LONG nPos, LONG* result) override;
    HRESULT STDMETHODCALLTYPE ClickChildItem2(_clsMenuItem* menuChild, LONG* result) override;
    HRESULT STDMETHODCALLTYPE ClickItem(LONG* result) override;
    HRESULT STDMETHODCALLTYPE BeginChildEnum(_clsMenuEnum** result) override;
    HRESULT STDMETHODCALLTYPE EndChildEnum(_clsMenuEnum* objEnum) override;

    // The parent object this entry holds (see WouldHoldItself).
    IDispatch* HeldMenuObject() const noexcept { return m_objParent.get(); }

private:
    // The handle of the menu that contains this entry, and this entry's state word in it.
    HRESULT ParentMenu(LONG* hMenu) noexcept;
    HRESULT StateInParent(LONG* state) noexcept;

    ComPtr<IDispatch> m_objParent;
    LONG m_hMenu = 0;
};

}  // namespace wrang
