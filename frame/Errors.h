// The component's one error idiom: every member returns an HRESULT; failures travel up unchanged.
// Errors a script sees are the runtime's numbered errors (0x800A0000 + number) with their text.
#pragma once

#include <windows.h>

#define RETURN_IF_FAILED(expr)                    \
    do {                                          \
        const HRESULT hrReturnIfFailed_ = (expr); \
        if (FAILED(hrReturnIfFailed_)) return hrReturnIfFailed_; \
    } while (0)

namespace wrang {

constexpr HRESULT kVbInvalidCall = static_cast<HRESULT>(0x800A0005);     // error 5
constexpr HRESULT kVbOverflow = static_cast<HRESULT>(0x800A0006);        // error 6
constexpr HRESULT kVbObjectRequired = static_cast<HRESULT>(0x800A005B);  // error 91

// Records the description for the client (IErrorInfo) and returns the status to hand back.
[[nodiscard]] HRESULT RaiseError(HRESULT status, const wchar_t* description) noexcept;

[[nodiscard]] HRESULT RaiseOverflow() noexcept;
[[nodiscard]] HRESULT RaiseInvalidCall() noexcept;
// A member needed an object and was given a null reference.
[[nodiscard]] HRESULT RaiseObjectRequired() noexcept;

// Forgets an error description left by an earlier call, so that a new failure is not paired with it.
void ClearError() noexcept;

}  // namespace wrang
