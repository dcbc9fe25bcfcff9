// A forward-only cursor over the entries of a menu object.
#pragma once

#include "frame/AutomationObject.h"

namespace wrang {

class clsMenuEnum final : public AutomationObject<clsMenuEnum, _clsMenuEnum> {
public:
    HRESULT STDMETHODCALLTYPE Init(IDispatch* MenuItem) override;
    HRESULT STDMETHODCALLTYPE Count(LONG* result) override;
    HRESULT STDMETHODCALLTYPE NextItem(VARIANT_BOOL* result) override;
    HRESULT STDMETHODCALLTYPE GetItem(_clsMenuItem** result) override;
    HRESULT STDMETHODCALLTYPE EndEnum() override;

    // The menu object this cursor holds (see WouldHoldItself).
    IDispatch* HeldMenuObject() const noexcept { return m_objMenu.get(); }

private:
    ComPtr<IDispatch> m_objMenu;
    LONG m_nPos = 0;
    LONG m_nCount = 0;
};

// A new cursor over the entries of `menuObject` (a controller or an entry), already started: what
// BeginChildEnum of both menu classes hands out.
[[nodiscard]] HRESULT BeginEnumeration(IDispatch* menuObject, _clsMenuEnum** result) noexcept;

// Whether `holder` would hold itself, and so never be released, if it held `candidate`: true when
// `holder` is `candidate` or is reached from it through entries' parents and cursors' menus.
[[nodiscard]] bool WouldHoldItself(IUnknown* holder, IDispatch* candidate) noexcept;

}  // namespace wrang
