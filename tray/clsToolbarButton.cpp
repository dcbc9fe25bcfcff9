#include "tray/clsToolbarButton.h"

#include <commctrl.h>

#include <algorithm>
#include <cwchar>
#include <new>
#include <string>

#include "frame/Checked.h"
#include "frame/Classes.h"
#include "frame/Errors.h"
#include "platform/ForeignMemory.h"
#include "platform/WindowSystem.h"
#include "tray/ToolbarWindow.h"

namespace wrang {

HRESULT CreateToolbarButton(_clsToolbarButton** out) noexcept { return clsToolbarButton::Create(out); }

namespace {

HRESULT ToBstr(const std::wstring& text, BSTR* result) noexcept {
    UniqueBstr converted(SysAllocStringLen(text.data(), static_cast<UINT>(text.size())));
    if (!converted) return E_OUTOFMEMORY;
    *result = converted.release();
    return S_OK;
}

// The most text a toolbar is asked to copy into a buffer of ours: more would be no button text.
constexpr LRESULT kMostCopiedText = 1 << 20;

}  // namespace

HRESULT clsToolbarButton::Init(LONG hWnd, LONG btnIndex) {
    m_hToolbar = hWnd;
    m_btnIndex = btnIndex;
    return S_OK;
}

platform::ForeignProcess clsToolbarButton::PrepareExchange() noexcept {
    const platform::ForeignProcess process = platform::ProcessOfWindow(m_hToolbar);
    // The toolbar must know the record size before every request: another client may have told
    // it a different one.
    SendToToolbar(m_hToolbar, TB_BUTTONSTRUCTSIZE, ButtonRecordSize(process), 0);
    return process;
}

ToolbarButtonRecord clsToolbarButton::RequestRecord(const platform::ForeignProcess& process,
                                                    const platform::ForeignRegion& buffer) noexcept {
    ToolbarButtonRecord record;
    // Without a buffer the toolbar would be handed address 0 to write to.
    if (!buffer) return record;
    SendToToolbar(m_hToolbar, TB_GETBUTTON, platform::WParamOf(m_btnIndex), buffer.AddressParameter());
    // A failed read leaves the record all zero: command 0 and no text.
    if (process.is64Bit) {
        ToolbarButtonRecord64 raw = {};
        if (buffer.Read(buffer.Address(), &raw, sizeof raw)) record = {raw.idCommand, raw.iString};
    } else {
        ToolbarButtonRecord32 raw = {};
        if (buffer.Read(buffer.Address(), &raw, sizeof raw)) record = {raw.idCommand, raw.iString};
    }
    return record;
}

ToolbarButtonRecord clsToolbarButton::GetButtonInfo() noexcept {
    const platform::ForeignProcess process = PrepareExchange();
    const platform::ForeignRegion buffer(process, ButtonRecordSize(process));
    return RequestRecord(process, buffer);
}

HRESULT clsToolbarButton::get_Text(BSTR* result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    const platform::ForeignProcess process = PrepareExchange();
    // The text is read through the same process handle, so the buffer stays until the end.
    const platform::ForeignRegion buffer(process, ButtonRecordSize(process));
    const ToolbarButtonRecord record = RequestRecord(process, buffer);
    if (buffer && !platform::Reachable(record.iString)) {
        return TextThroughToolbar(buffer, record.idCommand, result);
    }
    // Stops at the terminator, at the first unit that cannot be read (a text that is cut short or
    // an address that is no text: what was read is kept), or at the length bound.
    std::wstring text;
    const HRESULT read = buffer.ReadText(record.iString, process.is64Bit, kMaxTextLength, &text);
    if (read == platform::kAddressOverflow) return RaiseOverflow();
    RETURN_IF_FAILED(read);
    return ToBstr(text, result);
}

HRESULT clsToolbarButton::TextThroughToolbar(const platform::ForeignRegion& record, LONG idCommand,
                                             BSTR* result) noexcept {
    // A 32-bit component cannot read a 64-bit shell's memory above 4 GiB. The toolbar itself
    // copies the text into a buffer that this process can read; it learns no buffer size, so the
    // buffer holds the whole text it announced, and only the first kMaxTextLength units are kept.
    const WPARAM command = platform::WParamOf(idCommand);
    const LRESULT length = SendToToolbar(m_hToolbar, TB_GETBUTTONTEXTW, command, 0);
    if (length <= 0 || length > kMostCopiedText) return ToBstr(std::wstring(), result);
    const SIZE_T size = (static_cast<SIZE_T>(length) + 1) * sizeof(WCHAR);
    const platform::ForeignRegion copy(record, size);
    if (!copy) return ToBstr(std::wstring(), result);
    SendToToolbar(m_hToolbar, TB_GETBUTTONTEXTW, command, copy.AddressParameter());
    std::wstring text;
    try {
        text.resize(std::min(static_cast<size_t>(length), kMaxTextLength));
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    if (!copy.Read(copy.Address(), text.data(), text.size() * sizeof(WCHAR))) text.clear();
    text.resize(wcsnlen(text.data(), text.size()));
    return ToBstr(text, result);
}

HRESULT clsToolbarButton::get_Count(LONG* result) {
    if (!result) return E_POINTER;
    *result = platform::AnswerOf(SendToToolbar(m_hToolbar, TB_BUTTONCOUNT, 0, 0));
    return S_OK;
}

HRESULT clsToolbarButton::get_Visible(VARIANT_BOOL* result) {
    if (!result) return E_POINTER;
    const ToolbarButtonRecord record = GetButtonInfo();
    const LRESULT hidden = SendToToolbar(m_hToolbar, TB_ISBUTTONHIDDEN, platform::WParamOf(record.idCommand), 0);
    *result = hidden == 0 ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT clsToolbarButton::put_Visible(VARIANT_BOOL value) {
    const ToolbarButtonRecord record = GetButtonInfo();
    // True (-1) shows (flag 0), false (0) hides (flag 1); 32767 has no 16-bit flag and overflows.
    SHORT hide = 0;
    RETURN_IF_FAILED(CheckedAbs16(static_cast<SHORT>(~value), &hide));
    SendToToolbar(m_hToolbar, TB_HIDEBUTTON, platform::WParamOf(record.idCommand), platform::LParamOf(hide));
    return S_OK;
}

HRESULT clsToolbarButton::MoveLeft() {
    if (m_btnIndex <= 0) return S_OK;
    SendToToolbar(m_hToolbar, TB_MOVEBUTTON, platform::WParamOf(m_btnIndex), platform::LParamOf(m_btnIndex - 1));
    return S_OK;
}

HRESULT clsToolbarButton::MoveRight() {
    LONG count = 0, last = 0;
    RETURN_IF_FAILED(self()->get_Count(&count));
    RETURN_IF_FAILED(CheckedSubtract(count, 1, &last));
    if (m_btnIndex >= last) return S_OK;
    SendToToolbar(m_hToolbar, TB_MOVEBUTTON, platform::WParamOf(m_btnIndex), platform::LParamOf(m_btnIndex + 1));
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
