#include "tray/clsToolbarButton.h"

#include <commctrl.h>

#include <new>
#include <string>

#include "frame/Checked.h"
#include "frame/Classes.h"
#include "frame/Errors.h"
#include "platform/WindowSystem.h"
#include "tray/modSharedMem.h"

namespace wrang {

HRESULT CreateToolbarButton(_clsToolbarButton** out) noexcept { return clsToolbarButton::Create(out); }

namespace {
constexpr LONG kRecordSize = sizeof(ToolbarButtonRecord);
}

HRESULT clsToolbarButton::Init(LONG hWnd, LONG btnIndex) {
    m_hToolbar = hWnd;
    m_btnIndex = btnIndex;
    return S_OK;
}

ToolbarButtonRecord clsToolbarButton::RequestRecord(const ForeignBuffer& buffer) noexcept {
    ToolbarButtonRecord record = {};
    // Without a buffer the toolbar would be handed address 0 to write to.
    if (!buffer) return record;
    platform::Current().SendMessageA(m_hToolbar, TB_GETBUTTON, m_btnIndex, buffer.Address());
    // A failed read leaves the record all zero: command 0 and no text.
    if (!buffer.Read(buffer.Address(), &record, sizeof record)) record = {};
    return record;
}

ToolbarButtonRecord clsToolbarButton::GetButtonInfo() noexcept {
    // The toolbar must know the record size before every request: another client may have told
    // it a different one.
    platform::Current().SendMessageA(m_hToolbar, TB_BUTTONSTRUCTSIZE, kRecordSize, 0);
    ForeignBuffer buffer(m_hToolbar, kRecordSize);
    return RequestRecord(buffer);
}

HRESULT clsToolbarButton::get_Text(BSTR* result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    platform::Current().SendMessageA(m_hToolbar, TB_BUTTONSTRUCTSIZE, kRecordSize, 0);
    // The text is read through the same process handle, so the buffer stays until the end.
    ForeignBuffer buffer(m_hToolbar, kRecordSize);
    const ToolbarButtonRecord record = RequestRecord(buffer);

    std::wstring text;
    LONG address = record.iString;
    // Stops at the terminator, at the first read that fails (a text that is cut short or an
    // address that is no text: what was read is kept), or at the length bound.
    for (;;) {
        WCHAR unit = 0;
        if (!buffer.Read(address, &unit, sizeof unit) || unit == 0) break;
        try {
            text.push_back(unit);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
        // Only a read that follows needs the next address: a text complete at the bound is no
        // overflow, wherever it ends.
        if (text.size() == kMaxTextLength) break;
        RETURN_IF_FAILED(CheckedAdd(address, sizeof unit, &address));
    }
    UniqueBstr converted(SysAllocStringLen(text.data(), static_cast<UINT>(text.size())));
    if (!converted) return E_OUTOFMEMORY;
    *result = converted.release();
    return S_OK;
}

HRESULT clsToolbarButton::get_Count(LONG* result) {
    if (!result) return E_POINTER;
    *result = platform::Current().SendMessageA(m_hToolbar, TB_BUTTONCOUNT, 0, 0);
    return S_OK;
}

HRESULT clsToolbarButton::get_Visible(VARIANT_BOOL* result) {
    if (!result) return E_POINTER;
    const ToolbarButtonRecord record = GetButtonInfo();
    const LONG hidden = platform::Current().SendMessageA(m_hToolbar, TB_ISBUTTONHIDDEN, record.idCommand, 0);
    *result = hidden == 0 ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT clsToolbarButton::put_Visible(VARIANT_BOOL value) {
    const ToolbarButtonRecord record = GetButtonInfo();
    // True (-1) shows (flag 0), false (0) hides (flag 1); 32767 has no 16-bit flag and overflows.
    SHORT hide = 0;
    RETURN_IF_FAILED(CheckedAbs16(static_cast<SHORT>(~value), &hide));
    platform::Current().SendMessageA(m_hToolbar, TB_HIDEBUTTON, record.idCommand, hide);
    return S_OK;
}

HRESULT clsToolbarButton::MoveLeft() {
    if (m_btnIndex <= 0) return S_OK;
    platform::Current().SendMessageA(m_hToolbar, TB_MOVEBUTTON, m_btnIndex, m_btnIndex - 1);
    return S_OK;
}

HRESULT clsToolbarButton::MoveRight() {
    LONG count = 0, last = 0;
    RETURN_IF_FAILED(self()->get_Count(&count));
    RETURN_IF_FAILED(CheckedSubtract(count, 1, &last));
    if (m_btnIndex >= last) return S_OK;
    platform::Current().SendMessageA(m_hToolbar, TB_MOVEBUTTON, m_btnIndex, m_btnIndex + 1);
    return S_OK;
}

HRESULT clsToolbarButton::NewButton(LONG btnIndex, _clsToolbarButton** result) noexcept {
    ComPtr<_clsToolbarButton> button;
    RETURN_IF_FAILED(CreateToolbarButton(button.put()));
    RETURN_IF_FAILED(button->Init(m_hToolbar, btnIndex));
    *result = button.detach();
    return S_OK;
}

HRESULT clsToolbarButton::GetNextButton(_clsToolbarButton** result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    LONG count = 0, last = 0;
    RETURN_IF_FAILED(self()->get_Count(&count));
    RETURN_IF_FAILED(CheckedSubtract(count, 1, &last));
    if (m_btnIndex >= last) return S_OK;
    return NewButton(m_btnIndex + 1, result);
}

HRESULT clsToolbarButton::GetPreviousButton(_clsToolbarButton** result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    if (m_btnIndex <= 0) return S_OK;
    return NewButton(m_btnIndex - 1, result);
}

}  // namespace wrang
