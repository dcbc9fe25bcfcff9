#include "menu/clsMenuEnum.h"

#include "frame/ArgumentConversion.h"
#include "frame/Checked.h"
#include "frame/Classes.h"
#include "frame/Errors.h"
#include "frame/LateBinding.h"
#include "menu/clsMenuItem.h"

namespace wrang {

HRESULT CreateMenuEnum(_clsMenuEnum** out) noexcept { return clsMenuEnum::Create(out); }

namespace {

// What a menu object handed back for an entry, as an entry reference. Nothing (and a script's
// Empty or null) is no entry; anything else must be an entry object.
HRESULT ToMenuItem(VARIANT* answer, _clsMenuItem** item) noexcept {
    *item = nullptr;
    IUnknown* given = nullptr;
    if (FAILED(ObjectIn(answer, &given))) return RaiseTypeMismatch();
    if (!given) return S_OK;
    if (FAILED(given->QueryInterface(__uuidof(_clsMenuItem), reinterpret_cast<void**>(item)))) {
        *item = nullptr;
        return RaiseTypeMismatch();
    }
    return S_OK;
}

}  // namespace

namespace {

// The object's identity: its IUnknown, compared without keeping a reference.
IUnknown* IdentityOf(IUnknown* object) noexcept {
    IUnknown* identity = nullptr;
    if (!object || FAILED(object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)))) return nullptr;
    identity->Release();
    return identity;
}

}  // namespace

bool WouldHoldItself(IUnknown* holder, IDispatch* candidate) noexcept {
    IUnknown* const self = IdentityOf(holder);
    IDispatch* current = candidate;
    while (current) {
        if (IdentityOf(current) == self) return true;
        // Only this component's classes implement these interfaces, so the casts are safe.
        ComPtr<_clsMenuItem> item;
        ComPtr<_clsMenuEnum> cursor;
        if (SUCCEEDED(current->QueryInterface(__uuidof(_clsMenuItem), reinterpret_cast<void**>(item.put())))) {
            current = static_cast<clsMenuItem*>(item.get())->HeldMenuObject();
        } else if (SUCCEEDED(current->QueryInterface(__uuidof(_clsMenuEnum), reinterpret_cast<void**>(cursor.put())))) {
            current = static_cast<clsMenuEnum*>(cursor.get())->HeldMenuObject();
        } else {
            return false;
        }
    }
    return false;
}

HRESULT clsMenuEnum::Init(IDispatch* MenuItem) {
    // A cursor over a menu object that holds this cursor would never be released.
    if (WouldHoldItself(static_cast<_clsMenuEnum*>(this), MenuItem)) return RaiseInvalidCall();
    // Kept even when it is Nothing; the count and the cursor change only once the count is known.
    m_objMenu = ComPtr<IDispatch>(MenuItem);
    LONG count = 0;
    RETURN_IF_FAILED(InvokeByNameForLong(MenuItem, L"ChildCount", nullptr, 0, &count));
    m_nCount = count;
    m_nPos = -1;
    return S_OK;
}

HRESULT clsMenuEnum::Count(LONG* result) {
    // The number of entries when the walk began; the menu may have changed since.
    return HandOut(result, m_nCount);
}

HRESULT clsMenuEnum::NextItem(VARIANT_BOOL* result) {
    if (!result) return E_POINTER;
    *result = VARIANT_FALSE;
    LONG next = 0;
    RETURN_IF_FAILED(CheckedAdd(m_nPos, 1, &next));
    m_nPos = next;
    *result = next < m_nCount ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT clsMenuEnum::GetItem(_clsMenuItem** result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    // The cursor goes by reference, as a script passes a variable: Wine's script engines write
    // back only through a variant reference. A failed call leaves the cursor as it was.
    UniqueVariant position;
    V_VT(position.get()) = VT_I4;
    V_I4(position.get()) = m_nPos;
    VARIANT cursor;
    V_VT(&cursor) = VT_VARIANT | VT_BYREF;
    V_VARIANTREF(&cursor) = position.get();
    UniqueVariant answer;
    RETURN_IF_FAILED(InvokeByName(m_objMenu.get(), L"GetChildMenu", DISPATCH_METHOD | DISPATCH_PROPERTYGET, &cursor, 1,
                                  answer.get()));
    UniqueVariant moved;
    RETURN_IF_FAILED(VariantChangeType(moved.get(), position.get(), 0, VT_I4));
    ComPtr<_clsMenuItem> item;
    RETURN_IF_FAILED(ToMenuItem(answer.get(), item.put()));
    m_nPos = V_I4(moved.get());
    *result = item.detach();
    return S_OK;
}

HRESULT clsMenuEnum::EndEnum() {
    VARIANT me;
    V_VT(&me) = VT_DISPATCH;
    V_DISPATCH(&me) = static_cast<IDispatch*>(self());
    return InvokeByName(m_objMenu.get(), L"EndChildEnum", DISPATCH_METHOD, &me, 1, nullptr);
}

HRESULT BeginEnumeration(IDispatch* menuObject, _clsMenuEnum** result) noexcept {
    if (!result) return E_POINTER;
    *result = nullptr;
    ComPtr<_clsMenuEnum> cursor;
    RETURN_IF_FAILED(CreateMenuEnum(cursor.put()));
    RETURN_IF_FAILED(cursor->Init(menuObject));
    *result = cursor.detach();
    return S_OK;
}

}  // namespace wrang
