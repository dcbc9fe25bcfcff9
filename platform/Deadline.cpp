#include "platform/Deadline.h"

#include "platform/WindowSystem.h"

namespace wrang::platform {
namespace {

LONGLONG Counter() noexcept {
    LARGE_INTEGER now = {};
    Current().QueryPerformanceCounter(&now);
    return now.QuadPart;
}

// Counts per second; the system fixes it at boot.
LONGLONG Frequency() noexcept {
    static const LONGLONG frequency = [] {
        LARGE_INTEGER f = {};
        Current().QueryPerformanceFrequency(&f);
        return f.QuadPart > 0 ? f.QuadPart : 1000;
    }();
    return frequency;
}

}  // namespace

Deadline::Deadline(DWORD milliseconds) noexcept {
    const LONGLONG f = Frequency();
    // In two parts, so that no product leaves 64 bits whatever the counter's frequency.
    m_end = Counter() + static_cast<LONGLONG>(milliseconds / 1000) * f + static_cast<LONGLONG>(milliseconds % 1000) * f / 1000;
}

bool Deadline::Passed() const noexcept { return Counter() >= m_end; }

DWORD Deadline::Left(DWORD most) const noexcept {
    const LONGLONG left = m_end - Counter();
    if (left <= 0) return 0;
    const LONGLONG f = Frequency();
    const LONGLONG milliseconds = left / f * 1000 + ((left % f) * 1000 + f - 1) / f;
    return milliseconds < static_cast<LONGLONG>(most) ? static_cast<DWORD>(milliseconds) : most;
}

}  // namespace wrang::platform
