// The notification-area toolbar of the shell.
#pragma once

#include "frame/AutomationObject.h"

namespace wrang {

class clsSysToolbar final : public AutomationObject<clsSysToolbar, _clsSysToolbar> {
public:
    HRESULT STDMETHODCALLTYPE Init(_clsSysToolbar** result) override;
    HRESULT STDMETHODCALLTYPE get_Count(LONG* result) override;
    HRESULT STDMETHODCALLTYPE GetButtonByIndex(LONG intIndex, _clsToolbarButton** result) override;
    HRESULT STDMETHODCALLTYPE GetButtonByCommand(LONG intCmd, _clsToolbarButton** result) override;
    HRESULT STDMETHODCALLTYPE get_hWnd(LONG* result) override;
    HRESULT STDMETHODCALLTYPE get_IsWindow(VARIANT_BOOL* result) override;

private:
    LONG m_hToolbar = 0;
};

}  // namespace wrang
