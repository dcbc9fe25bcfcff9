// The class factory of a creatable class and the server entry points built on the class table.
#pragma once

#include <windows.h>

namespace wrang {

[[nodiscard]] HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** factory) noexcept;
// Machine-wide: HKEY_CLASSES_ROOT as the system defines it. User: the current user's classes only
// (HKEY_CURRENT_USER\Software\Classes), which needs no administrator rights.
enum class RegistrationScope { Machine, User };
[[nodiscard]] HRESULT RegisterServer(RegistrationScope scope = RegistrationScope::Machine) noexcept;
[[nodiscard]] HRESULT UnregisterServer(RegistrationScope scope = RegistrationScope::Machine) noexcept;
// DllInstall: install or uninstall in the scope its command line names ("" machine, "user").
[[nodiscard]] HRESULT Install(bool install, const wchar_t* commandLine) noexcept;

}  // namespace wrang
