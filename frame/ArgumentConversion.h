// Arguments on their way from a caller's VARIANTs to a member's parameters. Inline: the dispatcher
// runs these on every call, and the common cases (a Long that is already a Long) cost a comparison.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <cstring>

#include "platform/Result.h"

namespace wrang {

// What a parameter receives: a Long, a Boolean, a String, any object, one interface of ours, or a
// Variant (any value, also none at all).
enum class ArgumentKind : unsigned char { Long, Boolean, String, Object, Interface, Variant };

// One argument as the member receives it. An integer, a Boolean or a pointer takes one integer slot
// in either calling convention: four bytes on the stack in 32-bit stdcall, one register or eight-byte
// stack slot in the 64-bit convention, where the callee reads only the low bits that its parameter
// type has. A Variant passed by value is the one structure: 32-bit stdcall copies its 16 bytes onto
// the stack, four slots in a row; the 64-bit convention passes a structure of more than eight bytes
// as the address of a copy that the callee may change, one slot.
using ArgumentSlot = UINT_PTR;
constexpr size_t kVariantSlots = sizeof(void*) == 4 ? sizeof(VARIANT) / sizeof(ArgumentSlot) : 1;
static_assert(sizeof(void*) == 8 || sizeof(VARIANT) == 4 * sizeof(ArgumentSlot), "a 32-bit VARIANT is 16 bytes");

// The slots a parameter of `kind`, passed by value, takes.
constexpr size_t SlotsOf(ArgumentKind kind, bool byRef) noexcept {
    return kind == ArgumentKind::Variant && !byRef ? kVariantSlots : 1;
}

// Writes the slots that pass `value` (owned by the caller until the call returns) by value.
inline void VariantToSlots(VARIANT* value, ArgumentSlot* slots) noexcept {
    if constexpr (kVariantSlots == 1) {
        slots[0] = reinterpret_cast<ArgumentSlot>(value);
    } else {
        std::memcpy(slots, value, sizeof(VARIANT));
    }
}

inline VARTYPE VariantTypeOf(ArgumentKind kind) noexcept {
    switch (kind) {
    case ArgumentKind::Long: return VT_I4;
    case ArgumentKind::Boolean: return VT_BOOL;
    case ArgumentKind::String: return VT_BSTR;
    case ArgumentKind::Object:
    case ArgumentKind::Interface: return VT_DISPATCH;
    case ArgumentKind::Variant: return VT_VARIANT;
    }
    return VT_EMPTY;
}

// A script passes a variable as a reference to it, sometimes through several references.
inline VARIANT* Dereference(VARIANT* arg) noexcept {
    while (arg && V_VT(arg) == (VT_VARIANT | VT_BYREF)) arg = V_VARIANTREF(arg);
    return arg;
}

// The object a VARIANT holds, as a borrowed IUnknown: nullptr for Nothing, Empty or a script's
// null. DISP_E_TYPEMISMATCH for a value that is no object at all.
[[nodiscard]] inline HRESULT ObjectIn(const VARIANT* value, IUnknown** object) noexcept {
    *object = nullptr;
    switch (V_VT(value)) {
    case VT_EMPTY:
    case VT_NULL: return S_OK;
    case VT_DISPATCH: *object = V_DISPATCH(value); return S_OK;
    case VT_UNKNOWN: *object = V_UNKNOWN(value); return S_OK;
    case VT_DISPATCH | VT_BYREF: *object = *V_DISPATCHREF(value); return S_OK;
    case VT_UNKNOWN | VT_BYREF: *object = *V_UNKNOWNREF(value); return S_OK;
    default: return DISP_E_TYPEMISMATCH;
    }
}

// The text of a Variant argument that takes a text or nothing at all: *text is null for an argument
// left out, Empty, Null or a null string, else the caller's string (borrowed). DISP_E_TYPEMISMATCH
// for any other value.
[[nodiscard]] inline HRESULT OptionalTextIn(const VARIANT& argument, BSTR* text) noexcept {
    *text = nullptr;
    const VARIANT* value = &argument;
    while (V_VT(value) == (VT_VARIANT | VT_BYREF)) {
        value = V_VARIANTREF(value);
        if (!value) return DISP_E_TYPEMISMATCH;
    }
    switch (V_VT(value)) {
    case VT_EMPTY:
    case VT_NULL: return S_OK;
    case VT_ERROR: return V_ERROR(value) == DISP_E_PARAMNOTFOUND ? S_OK : DISP_E_TYPEMISMATCH;
    case VT_BSTR: *text = V_BSTR(value); return S_OK;
    case VT_BSTR | VT_BYREF:
        if (!V_BSTRREF(value)) return DISP_E_TYPEMISMATCH;
        *text = *V_BSTRREF(value);
        return S_OK;
    default: return DISP_E_TYPEMISMATCH;
    }
}

// Converts one argument into `local`, which owns whatever the conversion made, and sets `slot` to
// what the member receives for a parameter passed by value. `iid` is the interface wanted for
// ArgumentKind::Interface.
[[nodiscard]] inline HRESULT ConvertArgument(ArgumentKind kind, REFIID iid, VARIANT* source, VARIANT* local,
                                             ArgumentSlot* slot) noexcept {
    // An argument that already has the parameter's type is taken as it is (what VariantChangeType
    // would do, without its call).
    if (kind == ArgumentKind::Long && V_VT(source) == VT_I4) {
        V_VT(local) = VT_I4;
        V_I4(local) = V_I4(source);
        *slot = static_cast<ArgumentSlot>(static_cast<ULONG>(V_I4(local)));
        return S_OK;
    }
    if (kind == ArgumentKind::Boolean && V_VT(source) == VT_BOOL) {
        V_VT(local) = VT_BOOL;
        V_BOOL(local) = V_BOOL(source);
        *slot = static_cast<USHORT>(V_BOOL(local));
        return S_OK;
    }
    switch (kind) {
    case ArgumentKind::Long:
        RETURN_IF_FAILED(VariantChangeType(local, source, 0, VT_I4));
        *slot = static_cast<ArgumentSlot>(static_cast<ULONG>(V_I4(local)));
        return S_OK;
    case ArgumentKind::Boolean:
        RETURN_IF_FAILED(VariantChangeType(local, source, 0, VT_BOOL));
        *slot = static_cast<USHORT>(V_BOOL(local));
        return S_OK;
    case ArgumentKind::String:
        RETURN_IF_FAILED(VariantChangeType(local, source, 0, VT_BSTR));
        *slot = reinterpret_cast<ArgumentSlot>(V_BSTR(local));
        return S_OK;
    case ArgumentKind::Object:
    case ArgumentKind::Interface: {
        IUnknown* given = nullptr;
        RETURN_IF_FAILED(ObjectIn(source, &given));
        V_VT(local) = VT_DISPATCH;
        V_DISPATCH(local) = nullptr;
        if (given) {
            const IID& wanted = kind == ArgumentKind::Object ? IID_IDispatch : iid;
            if (FAILED(given->QueryInterface(wanted, reinterpret_cast<void**>(&V_DISPATCH(local))))) {
                V_DISPATCH(local) = nullptr;
                return DISP_E_TYPEMISMATCH;
            }
        }
        *slot = reinterpret_cast<ArgumentSlot>(V_DISPATCH(local));
        return S_OK;
    }
    case ArgumentKind::Variant:
        // The value itself, not the caller's variable: a member that takes a Variant by value
        // reads it and never writes a script's variable through it. A null string stays null, as
        // for a String parameter: the runtime's copy (Wine's) makes an empty string of it, which
        // the member could not tell from "".
        if ((V_VT(source) == VT_BSTR && !V_BSTR(source)) ||
            (V_VT(source) == (VT_BSTR | VT_BYREF) && V_BSTRREF(source) && !*V_BSTRREF(source))) {
            V_VT(local) = VT_BSTR;
            V_BSTR(local) = nullptr;
        } else {
            RETURN_IF_FAILED(VariantCopyInd(local, source));
        }
        *slot = 0;  // a Variant takes kVariantSlots slots: see VariantToSlots
        return S_OK;
    }
    return DISP_E_TYPEMISMATCH;
}

// Where a by-reference parameter points: the payload of the converted value.
inline void* PayloadAddress(VARIANT* local) noexcept {
    switch (V_VT(local)) {
    case VT_I4: return &V_I4(local);
    case VT_BOOL: return &V_BOOL(local);
    case VT_BSTR: return &V_BSTR(local);
    default: return &V_DISPATCH(local);
    }
}

// A VARIANT of the dispatcher's own that clears itself only when it holds something to release: a
// Long, a Boolean or nothing needs no call into the runtime, and most arguments are such.
class LocalVariant {
public:
    LocalVariant() noexcept { V_VT(&m_value) = VT_EMPTY; }
    LocalVariant(const LocalVariant&) = delete;
    LocalVariant& operator=(const LocalVariant&) = delete;
    ~LocalVariant() {
        const VARTYPE type = V_VT(&m_value);
        if (type != VT_EMPTY && type != VT_I4 && type != VT_BOOL) VariantClear(&m_value);
    }
    VARIANT* get() noexcept { return &m_value; }
    // Hands the value to `out` (which the caller has cleared) and forgets it.
    void release(VARIANT* out) noexcept {
        *out = m_value;
        V_VT(&m_value) = VT_EMPTY;
    }

private:
    VARIANT m_value;
};

}  // namespace wrang
