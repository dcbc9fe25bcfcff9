// One position on a toolbar that belongs to another process.
#pragma once

#include "frame/AutomationObject.h"

namespace wrang {

class ForeignBuffer;

// A toolbar's record of one button in its 32-bit layout, as the toolbar writes it.
struct ToolbarButtonRecord {
    LONG iBitmap;
    LONG idCommand;
    BYTE fsState;
    BYTE fsStyle;
    BYTE bReserved[2];
    LONG dwData;
    LONG iString;  // address of the button's text in the toolbar's process
};
static_assert(sizeof(ToolbarButtonRecord) == 20, "a button record is 20 bytes");

class clsToolbarButton final : public AutomationObject<clsToolbarButton, _clsToolbarButton> {
public:
    // The longest text, in UTF-16 code units, read from the toolbar's process.
    static constexpr size_t kMaxTextLength = 32767;

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
    // The record of the button now at m_btnIndex; all zero when it could not be read.
    ToolbarButtonRecord GetButtonInfo() noexcept;
    // Asks the toolbar to write the record into `buffer` and copies it out.
    ToolbarButtonRecord RequestRecord(const ForeignBuffer& buffer) noexcept;
    HRESULT NewButton(LONG btnIndex, _clsToolbarButton **result) noexcept;

    LONG m_hToolbar = 0;
    LONG m_btnIndex = 0;
};

}  // namespace wrang
