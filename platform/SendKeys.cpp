#include "platform/WindowSystem.h"

namespace wrang::platform {

HRESULT Win32WindowSystem::SendKeys(const wchar_t*, UINT, bool) { return E_NOTIMPL; }

}  // namespace wrang::platform
