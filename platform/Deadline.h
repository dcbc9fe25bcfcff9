// A time-out as a point on the monotonic clock (the performance counter, through the layer), for
// every wait and every send with a limit.
#pragma once

#include <windows.h>

namespace wrang::platform {

class Deadline {
public:
    explicit Deadline(DWORD milliseconds) noexcept;
    bool Passed() const noexcept;
    // The whole milliseconds left, rounded up (a wait that long does not end early), at most `most`.
    DWORD Left(DWORD most) const noexcept;

private:
    LONGLONG m_end;
};

}  // namespace wrang::platform
