// Checked integer arithmetic of the automation runtime: a result outside the range of its 16-bit
// or 32-bit variable ends the member with the Overflow error instead of wrapping around.
#pragma once

#include <windows.h>

#include <climits>

#include "frame/Errors.h"

namespace wrang {

[[nodiscard]] inline HRESULT CheckedAdd(LONG a, LONG b, LONG* sum) noexcept {
    const long long exact = static_cast<long long>(a) + b;
    if (exact < LONG_MIN || exact > LONG_MAX) return RaiseOverflow();
    *sum = static_cast<LONG>(exact);
    return S_OK;
}

[[nodiscard]] inline HRESULT CheckedSubtract(LONG a, LONG b, LONG* difference) noexcept {
    const long long exact = static_cast<long long>(a) - b;
    if (exact < LONG_MIN || exact > LONG_MAX) return RaiseOverflow();
    *difference = static_cast<LONG>(exact);
    return S_OK;
}

// Narrows a 32-bit value to a 16-bit variable.
[[nodiscard]] inline HRESULT ToInteger16(LONG value, SHORT* narrowed) noexcept {
    if (value < -32768 || value > 32767) return RaiseOverflow();
    *narrowed = static_cast<SHORT>(value);
    return S_OK;
}

// Absolute value in 16-bit arithmetic: -32768 has no 16-bit absolute value.
[[nodiscard]] inline HRESULT CheckedAbs16(SHORT value, SHORT* absolute) noexcept {
    if (value == -32768) return RaiseOverflow();
    *absolute = static_cast<SHORT>(value < 0 ? -value : value);
    return S_OK;
}

}  // namespace wrang
