#include "lists/Action.h"

#include "platform/ForeignMemory.h"
#include "platform/LimitedSend.h"
#include "platform/WindowSystem.h"

namespace wrang::lists {

Action::Action(LONG hWnd) noexcept : m_hWnd(hWnd), m_deadline(kActionLimitMs) {}

bool Action::SendTo(LONG hWnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* answer) noexcept {
    const DWORD left = m_deadline.Left(kActionLimitMs);
    LRESULT ignored = 0;
    return left > 0 && platform::SendWithin(hWnd, message, wParam, lParam, left, answer ? answer : &ignored);
}

bool Action::Send(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* answer) noexcept {
    return SendTo(m_hWnd, message, wParam, lParam, answer);
}

bool Action::NotifyParent(WORD code) noexcept {
    platform::WindowSystem& system = platform::Current();
    // The window a control notifies: its parent, or for a combo box's list (a pop-up) its combo box.
    const LONG parent = system.GetParent(m_hWnd);
    if (!parent) return true;
    const WORD id = static_cast<WORD>(system.GetDlgCtrlID(m_hWnd));
    return SendTo(parent, WM_COMMAND, MAKEWPARAM(id, code), platform::LParamOf(m_hWnd), nullptr);
}

bool Action::Exchange(RemoteItemTexts& call, UINT message, WPARAM wParam, void* record, size_t size, LRESULT* answer,
                      bool readBack) noexcept {
    platform::ForeignRegion* region = call.Region();
    if (!region || !region->Write(0, record, size)) return false;
    if (!Send(message, wParam, region->AddressParameter(), answer)) {
        region->Leave();
        return false;
    }
    return !readBack || region->Read(region->Address(), record, size);
}

}  // namespace wrang::lists
