#include "menu/clsJuggler.h"

#include <cwchar>

#include "frame/Classes.h"
#include "frame/Errors.h"
#include "menu/ChildEntries.h"
#include "menu/MenuFlags.h"
#include "menu/clsMenuEnum.h"
#include "platform/WindowSystem.h"

namespace wrang {

HRESULT CreateJuggler(_clsJuggler** out) noexcept { return clsJuggler::Create(out); }

namespace {

struct SystemCommand {
    const wchar_t* name;
    LONG id;
};

// The window system's SC_ identifiers by their own names. The gap after SC_MOUSEMENU is the
// window system's: SC_KEYMENU is 0xF100, not 0xF0A0.
constexpr SystemCommand kSystemCommands[] = {
    {L"SC_SIZE", 0xF000},       {L"SC_MOVE", 0xF010},       {L"SC_MINIMIZE", 0xF020},   {L"SC_MAXIMIZE", 0xF030},
    {L"SC_NEXTWINDOW", 0xF040}, {L"SC_PREVWINDOW", 0xF050}, {L"SC_CLOSE", 0xF060},      {L"SC_VSCROLL", 0xF070},
    {L"SC_HSCROLL", 0xF080},    {L"SC_MOUSEMENU", 0xF090},  {L"SC_KEYMENU", 0xF100},    {L"SC_ARRANGE", 0xF110},
    {L"SC_RESTORE", 0xF120},    {L"SC_TASKLIST", 0xF130},   {L"SC_SCREENSAVE", 0xF140}, {L"SC_HOTKEY", 0xF150},
};

}  // namespace

HRESULT clsJuggler::Init(LONG hMenu, LONG hWnd, VARIANT_BOOL bIsSysMenu, _clsJuggler** result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    // Stored before the test: a controller asked for menu 0 still remembers its window.
    m_hMenu = hMenu;
    m_hWnd = hWnd;
    m_bIsSysMenu = bIsSysMenu;
    if (hMenu == 0) return S_OK;
    return ReturnSelf(result);
}

HRESULT clsJuggler::InitByHandle(LONG hWnd, _clsJuggler** result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    // A broadcast value names no window, so it has no menu bar.
    const LONG menuBar = platform::IsBroadcast(hWnd) ? 0 : platform::Current().GetMenu(hWnd);
    return self()->Init(menuBar, hWnd, VARIANT_FALSE, result);
}

HRESULT clsJuggler::InitByWindow(BSTR strClassName, BSTR strText, _clsJuggler** result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    return self()->InitByHandle(platform::FindByClassAndCaption(strClassName, strText), result);
}

HRESULT clsJuggler::get_hWnd(LONG* result) { return HandOut(result, m_hWnd); }

HRESULT clsJuggler::get_hMenu(LONG* result) { return HandOut(result, m_hMenu); }

// Never Nothing: a client always gets a window object to ask.
HRESULT clsJuggler::GetWindow(_clsWrangler** result) { return NewBoundToWindow(CreateWrangler, m_hWnd, result); }

HRESULT clsJuggler::GetMenuHandle(LONG* result) { return HandOut(result, m_hMenu); }

HRESULT clsJuggler::GetWindowHandle(LONG* result) { return HandOut(result, m_hWnd); }

HRESULT clsJuggler::get_ChildCount(LONG* result) {
    if (!result) return E_POINTER;
    *result = platform::Current().GetMenuItemCount(m_hMenu);
    return S_OK;
}

HRESULT clsJuggler::GetSysMenu(_clsJuggler** result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    ComPtr<_clsJuggler> systemMenu;
    RETURN_IF_FAILED(CreateJuggler(systemMenu.put()));
    // bRevert false: the window's current system menu, with whatever the application changed in it.
    const LONG hSysMenu = platform::IsBroadcast(m_hWnd) ? 0 : platform::Current().GetSystemMenu(m_hWnd, FALSE);
    return systemMenu->Init(hSysMenu, m_hWnd, VARIANT_TRUE, result);
}

HRESULT clsJuggler::GetChildState(_clsMenuItem* menuChild, LONG* result) {
    if (!result) return E_POINTER;
    return StateOfChild(m_hMenu, menuChild, result);
}

HRESULT clsJuggler::GetChildMenu(LONG nPos, _clsMenuItem** result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    ComPtr<_clsMenuItem> entry;
    RETURN_IF_FAILED(CreateMenuItem(entry.put()));
    const LONG subMenu = platform::Current().GetSubMenu(m_hMenu, nPos);
    // A system menu is addressed by command: the argument is the system command identifier.
    const LONG entryId = m_bIsSysMenu ? nPos : subMenu;
    return entry->Init(static_cast<IDispatch*>(self()), entryId, result);
}

HRESULT clsJuggler::GetSysMenuID(BSTR strID, LONG* result) {
    if (!result) return E_POINTER;
    *result = 0;
    const UINT length = SysStringLen(strID);
    for (const SystemCommand& command : kSystemCommands) {
        // Whole string, case and blanks included; a NUL inside strID makes it another name.
        if (std::wcslen(command.name) == length && std::wmemcmp(command.name, strID, length) == 0) {
            *result = command.id;
            return S_OK;
        }
    }
    return S_OK;
}

HRESULT clsJuggler::ClickChildItem(LONG nPos, LONG* result) {
    if (!result) return E_POINTER;
    *result = 0;
    LONG window = 0;
    RETURN_IF_FAILED(self()->GetWindowHandle(&window));
    const UINT message = m_bIsSysMenu ? WM_SYSCOMMAND : WM_COMMAND;
    // Sent as it comes: an entry that opens a sub-menu, or a position past the end, sends -1.
    const LONG command = static_cast<LONG>(platform::Current().GetMenuItemID(m_hMenu, nPos));
    *result = SendMenuCommand(window, message, command, m_hMenu);
    return S_OK;
}

HRESULT clsJuggler::ClickChildItem2(_clsMenuItem* menuChild, LONG* result) {
    if (!result) return E_POINTER;
    *result = 0;
    LONG window = 0;
    RETURN_IF_FAILED(self()->GetWindowHandle(&window));
    const UINT message = m_bIsSysMenu ? WM_SYSCOMMAND : WM_COMMAND;
    return SendCommandOfChild(window, message, m_hMenu, menuChild, result);
}

HRESULT clsJuggler::BeginChildEnum(_clsMenuEnum** result) {
    return BeginEnumeration(static_cast<IDispatch*>(self()), result);
}

HRESULT clsJuggler::EndChildEnum(_clsMenuEnum*) {
    // A walk holds nothing of the controller's that would need giving back.
    return S_OK;
}

}  // namespace wrang
