// Arguments on their way from a caller's VARIANTs to a member's parameters. Inline: the dispatcher
// runs these on every call, and the common cases (a Long that is already a Long) cost a comparison.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "platform/Result.h"

namespace wrang {

// What a parameter receives: a Long, a Boolean, a String, any object, or one interface of ours.
enum class ArgumentKind : unsigned char { Long, Boolean, String, Object, Interface };

// One argument as the member receives it. Every parameter of the library is an integer, a Boolean
// or a pointer, so each takes one integer slot in either calling convention: four bytes on the
// stack in 32-bit stdcall, one register or eight-byte stack slot in the 64-bit convention, where
// the callee reads only the low bits that its parameter type has.
using ArgumentSlot = UINT_PTR;

inline VARTYPE VariantTypeOf(ArgumentKind kind) noexcept {
    switch (kind) {
    case ArgumentKind::Long: return VT_I4;
    case ArgumentKind::Boolean: return VT_BOOL;
    case ArgumentKind::String: return VT_BSTR;
    case ArgumentKind::Object:
    case ArgumentKind::Interface: return VT_DISPATCH;
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
