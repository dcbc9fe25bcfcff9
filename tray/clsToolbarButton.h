// One position on a toolbar that belongs to another process.
#pragma once

#include "frame/AutomationObject.h"
#include "platform/ForeignMemory.h"
#include "platform/WindowSystem.h"

namespace wrang {

// A toolbar's record of one button as a 32-bit process lays it out.
struct ToolbarButtonRecord32 {
    LONG iBitmap;
    LONG idCommand;
    BYTE fsState;
    BYTE fsStyle;
    BYTE bReserved[2];
    ULONG dwData;
    ULONG iString;  // address of the button's text in the toolbar's process
};
static_assert(sizeof(ToolbarButtonRecord32) == 20, "a 32-bit button record is 20 bytes");

// The same record as a 64-bit process lays it out: the reserved bytes pad the two pointer-sized
// fields to 8-byte boundaries.
struct ToolbarButtonRecord64 {
    LONG iBitmap;
    LONG idCommand;
    BYTE fsState;
    BYTE fsStyle;
    BYTE bReserved[6];
    ULONG64 dwData;
    ULONG64 iString;
};
static_assert(sizeof(ToolbarButtonRecord64) == 32, "a 64-bit button record is 32 bytes");

// What the component takes from a record, whichever layout the toolbar's process writes.
struct ToolbarButtonRecord {
    LONG idCommand = 0;
    platform::ForeignAddress iString = 0;
};

// The size of the records the toolbar's process writes.
constexpr LONG ButtonRecordSize(const platform::ForeignProcess& process) noexcept {
    return process.is64Bit ? sizeof(ToolbarButtonRecord64) : sizeof(ToolbarButtonRecord32);
}

class clsToolbarButton final : public AutomationObject<clsToolbarButton, _clsToolbarButton> {
public:
    // The longest text, in UTF-16 code units, read from the toolbar's process.
    static constexpr size_t kMaxTextLength = 32767;

    HRESULT STDMETHODCALLTYPE Init(LONG hWnd, LONG btnIndex) override;
    HRESULT STDMETHODCALLTYPE get_Text(BSTR* result) override;
    HRESULT STDMETHODCALLTYPE get_Count(LONG* result) override;
    HRESULT STDMETHODCALLTYPE get_Visible(VARIANT_BOOL* result) override;
    HRESULT STDMETHODCALLTYPE put_Visible(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE MoveLeft() override;
    HRESULT STDMETHODCALLTYPE MoveRight() override;
    HRESULT STDMETHODCALLTYPE GetNextButton(_clsToolbarButton** result) override;
    HRESULT STDMETHODCALLTYPE GetPreviousButton(_clsToolbarButton** result) override;

private:
    // The toolbar's process, told the size of the records it is about to be asked for.
    platform::ForeignProcess PrepareExchange() noexcept;
    // The record of the button now at m_btnIndex; all zero when it could not be read.
    ToolbarButtonRecord GetButtonInfo() noexcept;
    // Asks the toolbar to write the record into `buffer` and copies it out.
    ToolbarButtonRecord RequestRecord(const platform::ForeignProcess& process,
                                      const platform::ForeignRegion& buffer) noexcept;
    // A text this process cannot read where it lies, copied by the toolbar into a buffer of ours.
    // The copy is made in a second region of `record`'s process, through the same handle.
    HRESULT TextThroughToolbar(const platform::ForeignRegion& record, LONG idCommand, BSTR* result) noexcept;
    HRESULT NewButton(LONG btnIndex, _clsToolbarButton** result) noexcept;

    LONG m_hToolbar = 0;
    LONG m_btnIndex = 0;
};

}  // namespace wrang
