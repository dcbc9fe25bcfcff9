#include "menu/clsMenuItem.h"

#include <cwchar>

#include "frame/Classes.h"
#include "frame/Errors.h"
#include "frame/LateBinding.h"
#include "menu/ChildEntries.h"
#include "menu/MenuFlags.h"
#include "menu/clsMenuEnum.h"
#include "platform/WindowSystem.h"

namespace wrang {

HRESULT CreateMenuItem(_clsMenuItem** out) noexcept { return clsMenuItem::Create(out); }

namespace {

// Room for a caption of 249 characters and its terminating NUL.
constexpr int kCaptionBuffer = 250;

}  // namespace

// The parent is any automation object with the parent members, so it is only ever called by name.
HRESULT clsMenuItem::ParentMenu(LONG* hMenu) noexcept {
    return InvokeByNameForLong(m_objParent.get(), L"GetMenuHandle", nullptr, 0, hMenu);
}

HRESULT clsMenuItem::StateInParent(LONG* state) noexcept {
    VARIANT me;
    V_VT(&me) = VT_DISPATCH;
    V_DISPATCH(&me) = static_cast<IDispatch*>(self());
    return InvokeByNameForLong(m_objParent.get(), L"GetChildState", &me, 1, state);
}

HRESULT clsMenuItem::Init(IDispatch* ParentItem, LONG hMenu, _clsMenuItem** result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    // An entry that became its own ancestor would hold itself alive for ever and pass every
    // question about its window up the chain without end: such a parent is refused.
    if (WouldHoldItself(static_cast<_clsMenuItem*>(this), ParentItem)) return RaiseInvalidCall();
    // Both are stored before the parent is asked: it asks this entry for its identifier.
    m_objParent = ComPtr<IDispatch>(ParentItem);
    m_hMenu = hMenu;
    LONG state = 0;
    RETURN_IF_FAILED(StateInParent(&state));
    if (state == kNoSuchEntry) return S_OK;
    return ReturnSelf(result);
}

HRESULT clsMenuItem::GetMenuHandle(LONG* result) { return HandOut(result, m_hMenu); }

HRESULT clsMenuItem::GetWindowHandle(LONG* result) {
    if (!result) return E_POINTER;
    *result = 0;
    return InvokeByNameForLong(m_objParent.get(), L"GetWindowHandle", nullptr, 0, result);
}

HRESULT clsMenuItem::GetChildState(_clsMenuItem* menuChild, LONG* result) {
    if (!result) return E_POINTER;
    return StateOfChild(m_hMenu, menuChild, result);
}

HRESULT clsMenuItem::get_Text(BSTR* result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    wchar_t caption[kCaptionBuffer] = {};
    LONG parentMenu = 0;
    RETURN_IF_FAILED(ParentMenu(&parentMenu));
    // Nothing is written for a separator or a missing entry: the buffer stays NUL and the caption "".
    platform::Current().GetMenuStringW(parentMenu, static_cast<UINT>(m_hMenu), caption, kCaptionBuffer, kByCommand);
    // At most 249 characters, however much the window system wrote.
    const size_t length = wcsnlen(caption, kCaptionBuffer - 1);
    return platform::NewString(caption, static_cast<UINT>(length), result);
}

HRESULT clsMenuItem::put_Text(BSTR value) {
    LONG stateMenu = 0;
    RETURN_IF_FAILED(ParentMenu(&stateMenu));
    // Only MF_BYPOSITION counts in these flags; the other bits of 10 are ignored by the lookup.
    const UINT state = platform::Current().GetMenuState(stateMenu, static_cast<UINT>(m_hMenu), 10);
    // -1 says the entry is not there; handed on as flags it would ask for every option at once.
    if (static_cast<LONG>(state) == kNoSuchEntry) return S_OK;
    // A pop-up's state word holds its sub-menu's entry count where ModifyMenu reads owner-draw,
    // by-position and separator flags; only the low flags describe the entry itself.
    const UINT flags = (state & kPopup) ? (state & ~kPopupCountBits) : state;
    LONG modifyMenu = 0;
    RETURN_IF_FAILED(ParentMenu(&modifyMenu));
    // The identifier stays the entry identifier, which for a pop-up is the sub-menu it opens.
    platform::Current().ModifyMenuW(modifyMenu, static_cast<UINT>(m_hMenu), flags,
                                    static_cast<UINT_PTR>(static_cast<ULONG>(m_hMenu)), value);
    return S_OK;
}

HRESULT clsMenuItem::get_Enabled(VARIANT_BOOL* result) {
    if (!result) return E_POINTER;
    *result = VARIANT_FALSE;
    LONG state = 0;
    RETURN_IF_FAILED(StateInParent(&state));
    // A missing entry (all bits set) reads as disabled. MF_GRAYED alone does not count.
    *result = (static_cast<UINT>(state) & kDisabled) ? VARIANT_FALSE : VARIANT_TRUE;
    return S_OK;
}

HRESULT clsMenuItem::put_Enabled(VARIANT_BOOL value) {
    LONG parentMenu = 0;
    RETURN_IF_FAILED(ParentMenu(&parentMenu));
    platform::Current().EnableMenuItem(parentMenu, static_cast<UINT>(m_hMenu),
                                       value ? kEnabled : (kGrayed | kDisabled));
    return S_OK;
}

HRESULT clsMenuItem::get_Checked(VARIANT_BOOL* result) {
    if (!result) return E_POINTER;
    *result = VARIANT_FALSE;
    LONG state = 0;
    RETURN_IF_FAILED(StateInParent(&state));
    // An entry that is not there carries no check mark, whatever bits the -1 has set.
    if (state == kNoSuchEntry) return S_OK;
    *result = (static_cast<UINT>(state) & kChecked) ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT clsMenuItem::put_Checked(VARIANT_BOOL value) {
    LONG parentMenu = 0;
    RETURN_IF_FAILED(ParentMenu(&parentMenu));
    platform::Current().CheckMenuItem(parentMenu, static_cast<UINT>(m_hMenu), value ? kChecked : kUnchecked);
    return S_OK;
}

HRESULT clsMenuItem::get_IsSeparator(VARIANT_BOOL* result) {
    if (!result) return E_POINTER;
    *result = VARIANT_FALSE;
    LONG state = 0;
    RETURN_IF_FAILED(StateInParent(&state));
    const UINT word = static_cast<UINT>(state);
    // Neither a missing entry nor a pop-up is a separator: in a pop-up's state word the separator
    // bit is part of its sub-menu's entry count (set for 8 to 15 entries, for instance).
    if (state == kNoSuchEntry || (word & kPopup)) return S_OK;
    *result = (word & kSeparator) ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT clsMenuItem::get_ChildCount(LONG* result) {
    if (!result) return E_POINTER;
    *result = platform::Current().GetMenuItemCount(m_hMenu);
    return S_OK;
}

HRESULT clsMenuItem::GetChildMenu(LONG nPos, _clsMenuItem** result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    ComPtr<_clsMenuItem> entry;
    RETURN_IF_FAILED(CreateMenuItem(entry.put()));
    LONG entryId = platform::Current().GetSubMenu(m_hMenu, nPos);
    // A command entry is named by its command identifier (-1 for a position that does not exist).
    if (entryId == 0) entryId = static_cast<LONG>(platform::Current().GetMenuItemID(m_hMenu, nPos));
    return entry->Init(static_cast<IDispatch*>(self()), entryId, result);
}

HRESULT clsMenuItem::ClickChildItem(LONG nPos, LONG* result) {
    if (!result) return E_POINTER;
    *result = 0;
    LONG window = 0;
    RETURN_IF_FAILED(self()->GetWindowHandle(&window));
    const LONG command = static_cast<LONG>(platform::Current().GetMenuItemID(m_hMenu, nPos));
    // Always WM_COMMAND, also below a system-menu controller: an entry does not know what kind of
    // menu its parent wraps.
    *result = SendMenuCommand(window, WM_COMMAND, command, m_hMenu);
    return S_OK;
}

HRESULT clsMenuItem::ClickChildItem2(_clsMenuItem* menuChild, LONG* result) {
    if (!result) return E_POINTER;
    *result = 0;
    LONG window = 0;
    RETURN_IF_FAILED(self()->GetWindowHandle(&window));
    return SendCommandOfChild(window, WM_COMMAND, m_hMenu, menuChild, result);
}

HRESULT clsMenuItem::ClickItem(LONG* result) {
    if (!result) return E_POINTER;
    *result = 0;
    // The parent knows whether its menu is a system menu, so it chooses the message.
    VARIANT me;
    V_VT(&me) = VT_DISPATCH;
    V_DISPATCH(&me) = static_cast<IDispatch*>(self());
    return InvokeByNameForLong(m_objParent.get(), L"ClickChildItem2", &me, 1, result);
}

HRESULT clsMenuItem::BeginChildEnum(_clsMenuEnum** result) {
    return BeginEnumeration(static_cast<IDispatch*>(self()), result);
}

HRESULT clsMenuItem::EndChildEnum(_clsMenuEnum*) {
    // A walk holds nothing of the entry's that would need giving back.
    return S_OK;
}

}  // namespace wrang
