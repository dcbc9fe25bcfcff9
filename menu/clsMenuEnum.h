// A forward-only cursor over the entries of a menu object.
#pragma once

#include "frame/AutomationObject.h"

namespace wrang {

class clsMenuEnum final : public AutomationObject<clsMenuEnum, _clsMenuEnum> {
public:
    HRESULT STDMETHODCALLTYPE Init(IDispatch *MenuItem) override;
    HRESULT STDMETHODCALLTYPE Count(LONG *result) override;
    HRESULT STDMETHODCALLTYPE NextItem(VARIANT_BOOL *result) override;
    HRESULT STDMETHODCALLTYPE GetItem(_clsMenuItem **result) override;
    HRESULT STDMETHODCALLTYPE EndEnum() override;

private:
    ComPtr<IDispatch> m_objMenu;
    LONG m_nPos = 0;
    LONG m_nCount = 0;
};

// A new cursor over the entries of `menuObject` (a controller or an entry), already started: what
// BeginChildEnum of both menu classes hands out.
[[nodiscard]] HRESULT BeginEnumeration(IDispatch* menuObject, _clsMenuEnum** result) noexcept;

}  // namespace wrang
