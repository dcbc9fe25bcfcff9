// The class factory of a creatable class and the server entry points built on the class table.
#pragma once

#include <windows.h>

namespace wrang {

[[nodiscard]] HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** factory) noexcept;
[[nodiscard]] HRESULT RegisterServer() noexcept;
[[nodiscard]] HRESULT UnregisterServer() noexcept;

}  // namespace wrang
