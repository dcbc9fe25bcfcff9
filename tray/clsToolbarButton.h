// One position on a toolbar that belongs to another process.
#pragma once

#include "frame/AutomationObject.h"

namespace wrang {

class clsToolbarButton final : public AutomationObject<clsToolbarButton, _clsToolbarButton> {
public:
    HRESULT STDMETHODCALLTYPE Init(LONG hWnd, LONG btnIndex) override;
    HRESULT STDMETHODCALLTYPE get_Text(BSTR *result) override;
    HRESULT STDMETHODCALLTYPE get_Count(LONG *result) override;
    HRESULT STDMETHODCALLTYPE get_Visible(VARIANT_BOOL *result) override;
    HRESULT STDMETHODCALLTYPE put_Visible(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE MoveLeft() override;
    HRESULT STDMETHODCALLTYPE MoveRight() override;
    HRESULT STDMETHODCALLTYPE GetNextButton(_clsToolbarButton **result) override;
    HRESULT STDMETHODCALLTYPE GetPreviousButton(_clsToolbarButton **result) override;

private:
    LONG m_hToolbar = 0;
    LONG m_btnIndex = 0;
};

}  // namespace wrang
