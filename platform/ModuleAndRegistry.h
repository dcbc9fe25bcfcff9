// The module file and the registry: what self-registration and the loading of the component's own
// type library need from the system.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include "platform/Resource.h"

namespace wrang::platform {

// Full path of the module (DLL or test program) that holds this code.
[[nodiscard]] HRESULT ThisModulePath(wchar_t* path, DWORD capacity) noexcept;

[[nodiscard]] HRESULT WriteRegistryString(HKEY root, const wchar_t* key, const wchar_t* valueName,
                                          const wchar_t* value) noexcept;
[[nodiscard]] bool RegistryKeyExists(HKEY root, const wchar_t* key) noexcept;
// Removes a key with everything below it; a key that is not there is not an error.
[[nodiscard]] HRESULT DeleteRegistryTree(HKEY root, const wchar_t* key) noexcept;

// While it lives, HKEY_CLASSES_ROOT of this process means the current user's own classes
// (HKEY_CURRENT_USER\Software\Classes): everything this process writes through that root lands
// there. A runtime call that asks for a particular registry view passes the redirection by (Wine's
// type-library registration does), so the per-user registration writes every key itself.
class UserClassesAsClassesRoot {
public:
    UserClassesAsClassesRoot() noexcept = default;
    UserClassesAsClassesRoot(const UserClassesAsClassesRoot&) = delete;
    UserClassesAsClassesRoot& operator=(const UserClassesAsClassesRoot&) = delete;
    ~UserClassesAsClassesRoot();
    [[nodiscard]] HRESULT Begin() noexcept;

private:
    UniqueRegistryKey m_userClasses;
    bool m_redirected = false;
};

}  // namespace wrang::platform
