// What DllCanUnloadNow needs to know: live objects and server locks.
#pragma once

#include <windows.h>

namespace wrang {

void ObjectCreated() noexcept;
void ObjectDestroyed() noexcept;
void LockServer(bool lock) noexcept;
bool CanUnloadNow() noexcept;
LONG LiveObjectCount() noexcept;

}  // namespace wrang
