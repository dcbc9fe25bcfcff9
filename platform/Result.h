// The one error idiom of every floor: a function that can fail returns an HRESULT, and these
// macros keep the happy path straight by handing a failure up unchanged.
#pragma once

#include <windows.h>
#include <oleauto.h>

#define RETURN_IF_FAILED(expr)                                   \
    do {                                                         \
        const HRESULT hrReturnIfFailed_ = (expr);                \
        if (FAILED(hrReturnIfFailed_)) return hrReturnIfFailed_; \
    } while (0)

// An allocation that gave nothing ends the function with E_OUTOFMEMORY.
#define RETURN_IF_NULL_ALLOC(pointer)         \
    do {                                      \
        if (!(pointer)) return E_OUTOFMEMORY; \
    } while (0)

namespace wrang::platform {

// The system's description of a status as a new automation string; nullptr when it has none.
[[nodiscard]] BSTR SystemMessage(HRESULT status) noexcept;

}  // namespace wrang::platform
