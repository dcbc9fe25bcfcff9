// The automation error model: every runtime error number a script can see from the component, in
// one place. Errors a script sees are the runtime's numbered errors (0x800A0000 + number) with
// their text; every other failure travels up unchanged (platform/Result.h).
#pragma once

#include <windows.h>

#include "platform/Result.h"

namespace wrang {

constexpr HRESULT kVbInvalidCall = static_cast<HRESULT>(0x800A0005);     // error 5
constexpr HRESULT kVbOverflow = static_cast<HRESULT>(0x800A0006);        // error 6
constexpr HRESULT kVbSubscriptOutOfRange = static_cast<HRESULT>(0x800A0009);  // error 9
constexpr HRESULT kVbTypeMismatch = static_cast<HRESULT>(0x800A000D);    // error 13
constexpr HRESULT kVbCannotPerform = static_cast<HRESULT>(0x800A0011);   // error 17
constexpr HRESULT kVbObjectRequired = static_cast<HRESULT>(0x800A005B);  // error 91

// Records the description for the client (IErrorInfo) and returns the status to hand back.
[[nodiscard]] HRESULT RaiseError(HRESULT status, const wchar_t* description) noexcept;

[[nodiscard]] HRESULT RaiseOverflow() noexcept;
[[nodiscard]] HRESULT RaiseInvalidCall() noexcept;
// An index or a column beyond the items a list has.
[[nodiscard]] HRESULT RaiseSubscriptOutOfRange() noexcept;
// A value of the wrong kind where an object of ours was needed.
[[nodiscard]] HRESULT RaiseTypeMismatch() noexcept;
// An operation the caller asked for could not be carried out (the keys were not taken).
[[nodiscard]] HRESULT RaiseCannotPerform() noexcept;
// A member needed an object and was given a null reference.
[[nodiscard]] HRESULT RaiseObjectRequired() noexcept;

// A member that hands out a value it already holds: the value goes through the caller's
// out-parameter, and a caller that gave none gets E_POINTER. Only for stored values: the argument
// is worked out before the check, so a value that needs a window-system call is not passed here.
template <typename Out, typename Value>
[[nodiscard]] HRESULT HandOut(Out* out, const Value& value) noexcept {
    if (!out) return E_POINTER;
    *out = value;
    return S_OK;
}

// Forgets an error description left by an earlier call, so that a new failure is not paired with it.
void ClearError() noexcept;

}  // namespace wrang
