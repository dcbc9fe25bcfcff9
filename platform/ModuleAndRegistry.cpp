#include "platform/ModuleAndRegistry.h"

namespace wrang::platform {

HRESULT ThisModulePath(wchar_t* path, DWORD capacity) noexcept {
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCWSTR>(&ThisModulePath), &module)) {
        return HRESULT_FROM_WIN32(GetLastError());
    }
    const DWORD length = GetModuleFileNameW(module, path, capacity);
    if (length == 0) return HRESULT_FROM_WIN32(GetLastError());
    if (length >= capacity) return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
    return S_OK;
}

HRESULT WriteRegistryString(HKEY root, const wchar_t* key, const wchar_t* valueName, const wchar_t* value) noexcept {
    UniqueRegistryKey opened;
    LONG status =
        RegCreateKeyExW(root, key, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, opened.put(), nullptr);
    if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
    const DWORD bytes = static_cast<DWORD>((lstrlenW(value) + 1) * sizeof(wchar_t));
    status = RegSetValueExW(opened.get(), valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), bytes);
    return HRESULT_FROM_WIN32(status);
}

bool RegistryKeyExists(HKEY root, const wchar_t* key) noexcept {
    UniqueRegistryKey opened;
    return RegOpenKeyExW(root, key, 0, KEY_READ, opened.put()) == ERROR_SUCCESS;
}

HRESULT DeleteRegistryTree(HKEY root, const wchar_t* key) noexcept {
    const LONG status = RegDeleteTreeW(root, key);
    if (status == ERROR_FILE_NOT_FOUND) return S_OK;
    if (status == ERROR_SUCCESS) {
        // RegDeleteTreeW leaves the key itself when it is given a subkey path.
        const LONG removed = RegDeleteKeyW(root, key);
        return removed == ERROR_SUCCESS || removed == ERROR_FILE_NOT_FOUND ? S_OK : HRESULT_FROM_WIN32(removed);
    }
    return HRESULT_FROM_WIN32(status);
}

// The redirection ends before the key it points to is closed.
UserClassesAsClassesRoot::~UserClassesAsClassesRoot() {
    if (m_redirected) RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
}

HRESULT UserClassesAsClassesRoot::Begin() noexcept {
    LONG status = RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Classes", 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  KEY_ALL_ACCESS, nullptr, m_userClasses.put(), nullptr);
    if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
    status = RegOverridePredefKey(HKEY_CLASSES_ROOT, m_userClasses.get());
    if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
    m_redirected = true;
    return S_OK;
}

}  // namespace wrang::platform
