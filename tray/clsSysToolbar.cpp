#include "tray/clsSysToolbar.h"

#include <commctrl.h>

#include "frame/Classes.h"
#include "frame/Errors.h"
#include "platform/WindowSystem.h"
#include "tray/ToolbarWindow.h"

namespace wrang {

HRESULT CreateSysToolbar(_clsSysToolbar** out) noexcept { return clsSysToolbar::Create(out); }

namespace {
// From the shell's top-level window down to the toolbar that holds the notification icons.
constexpr const char* kToolbarPath[] = {"TrayNotifyWnd", "SysPager", "ToolbarWindow32"};

HRESULT NewButton(LONG hToolbar, LONG btnIndex, _clsToolbarButton** result) noexcept {
    ComPtr<_clsToolbarButton> button;
    RETURN_IF_FAILED(CreateToolbarButton(button.put()));
    RETURN_IF_FAILED(button->Init(hToolbar, btnIndex));
    *result = button.detach();
    return S_OK;
}
}  // namespace

HRESULT clsSysToolbar::Init(_clsSysToolbar** result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    platform::WindowSystem& system = platform::Current();
    // Each step keeps what it found, so that after a failed search hWnd shows where it stopped.
    m_hToolbar = system.FindWindowA("Shell_TrayWnd", nullptr);
    if (!ToolbarIsWindow(m_hToolbar)) return S_OK;
    for (const char* className : kToolbarPath) {
        m_hToolbar = system.FindWindowExA(m_hToolbar, 0, className, nullptr);
        if (!ToolbarIsWindow(m_hToolbar)) return S_OK;
    }
    return ReturnSelf(result);
}

HRESULT clsSysToolbar::get_Count(LONG* result) {
    if (!result) return E_POINTER;
    *result = platform::AnswerOf(SendToToolbar(m_hToolbar, TB_BUTTONCOUNT, 0, 0));
    return S_OK;
}

HRESULT clsSysToolbar::GetButtonByIndex(LONG intIndex, _clsToolbarButton** result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    return NewButton(m_hToolbar, intIndex, result);
}

HRESULT clsSysToolbar::GetButtonByCommand(LONG intCmd, _clsToolbarButton** result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    // An absent command answers -1, and the button is bound to that index as it is.
    const LONG index = platform::AnswerOf(SendToToolbar(m_hToolbar, TB_COMMANDTOINDEX, platform::WParamOf(intCmd), 0));
    return NewButton(m_hToolbar, index, result);
}

HRESULT clsSysToolbar::get_hWnd(LONG* result) { return HandOut(result, m_hToolbar); }

HRESULT clsSysToolbar::get_IsWindow(VARIANT_BOOL* result) {
    if (!result) return E_POINTER;
    *result = ToolbarIsWindow(m_hToolbar) ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

}  // namespace wrang
