// Self-registration: the ProgIDs, the CLSIDs with their in-process server and threading model, and
// the type library, machine-wide or for the current user only. Unregistration removes exactly these
// from the same scope.
#include <windows.h>
#include <oleauto.h>

#include <cstdio>
#include <cwchar>

#include "frame/ClassFactory.h"
#include "frame/Classes.h"
#include "frame/Errors.h"
#include "frame/Resource.h"
#include "platform/Module.h"

namespace wrang {
namespace {

constexpr wchar_t kLibraryName[] = L"Wrang";
constexpr wchar_t kVersion[] = L"90.0";

struct ClassKeys {
    wchar_t clsid[40];
    wchar_t progId[64];
    wchar_t clsidKey[64];
};

HRESULT KeysOf(const CreatableClass& cls, ClassKeys* keys) {
    if (!StringFromGUID2(*cls.clsid, keys->clsid, 40)) return E_UNEXPECTED;
    swprintf(keys->progId, 64, L"%ls.%ls", kLibraryName, cls.name);
    swprintf(keys->clsidKey, 64, L"CLSID\\%ls", keys->clsid);
    return S_OK;
}

HRESULT RegisterClass(const CreatableClass& cls, const wchar_t* modulePath, const wchar_t* libid) {
    ClassKeys k;
    RETURN_IF_FAILED(KeysOf(cls, &k));
    wchar_t key[128];
    RETURN_IF_FAILED(platform::WriteRegistryString(HKEY_CLASSES_ROOT, k.progId, nullptr, cls.description));
    swprintf(key, 128, L"%ls\\CLSID", k.progId);
    RETURN_IF_FAILED(platform::WriteRegistryString(HKEY_CLASSES_ROOT, key, nullptr, k.clsid));
    RETURN_IF_FAILED(platform::WriteRegistryString(HKEY_CLASSES_ROOT, k.clsidKey, nullptr, k.progId));
    swprintf(key, 128, L"%ls\\ProgID", k.clsidKey);
    RETURN_IF_FAILED(platform::WriteRegistryString(HKEY_CLASSES_ROOT, key, nullptr, k.progId));
    swprintf(key, 128, L"%ls\\InprocServer32", k.clsidKey);
    RETURN_IF_FAILED(platform::WriteRegistryString(HKEY_CLASSES_ROOT, key, nullptr, modulePath));
    RETURN_IF_FAILED(platform::WriteRegistryString(HKEY_CLASSES_ROOT, key, L"ThreadingModel", cls.threadingModel));
    swprintf(key, 128, L"%ls\\TypeLib", k.clsidKey);
    RETURN_IF_FAILED(platform::WriteRegistryString(HKEY_CLASSES_ROOT, key, nullptr, libid));
    swprintf(key, 128, L"%ls\\VERSION", k.clsidKey);
    return platform::WriteRegistryString(HKEY_CLASSES_ROOT, key, nullptr, kVersion);
}

// Both scopes write the same keys relative to HKEY_CLASSES_ROOT; the per-user scope first makes
// that root mean the user's own classes. The type library comes last: the runtime's per-user
// registration may end the redirection of HKEY_CLASSES_ROOT on its own, and nothing of ours may be
// written after that point.
HRESULT RegisterIn(RegistrationScope scope) noexcept {
    wchar_t path[MAX_PATH + 1];
    RETURN_IF_FAILED(platform::ThisModulePath(path, MAX_PATH + 1));
    ComPtr<ITypeLib> library;
    RETURN_IF_FAILED(LoadTypeLibEx(path, REGKIND_NONE, library.put()));
    wchar_t libid[40];
    if (!StringFromGUID2(LIBID_Wrang, libid, 40)) return E_UNEXPECTED;
    for (const CreatableClass& cls : kCreatableClasses) RETURN_IF_FAILED(RegisterClass(cls, path, libid));
    if (scope == RegistrationScope::User) return platform::RegisterTypeLibraryForUser(library.get(), path);
    return RegisterTypeLib(library.get(), path, nullptr);
}

HRESULT UnregisterIn(RegistrationScope scope) noexcept {
    HRESULT first = S_OK;
    auto keep = [&first](HRESULT hr) {
        if (FAILED(hr) && SUCCEEDED(first)) first = hr;
    };
    for (const CreatableClass& cls : kCreatableClasses) {
        ClassKeys k;
        keep(KeysOf(cls, &k));
        keep(platform::DeleteRegistryTree(HKEY_CLASSES_ROOT, k.progId));
        keep(platform::DeleteRegistryTree(HKEY_CLASSES_ROOT, k.clsidKey));
    }
    // The registration of this build's platform only: the other build's DLL may be registered too.
    constexpr SYSKIND kOwnPlatform = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;
    const HRESULT removed = scope == RegistrationScope::User
                                ? platform::UnregisterTypeLibraryForUser(LIBID_Wrang, 90, 0, kOwnPlatform)
                                : UnRegisterTypeLib(LIBID_Wrang, 90, 0, LOCALE_NEUTRAL, kOwnPlatform);
    // A library that is not registered for this platform is nothing to remove: Windows answers that
    // with TYPE_E_REGISTRYACCESS, Wine with E_INVALIDARG (the arguments here are constants).
    if (removed != TYPE_E_REGISTRYACCESS && removed != TYPE_E_CANTLOADLIBRARY && removed != E_INVALIDARG)
        keep(removed);
    return first;
}

}  // namespace

HRESULT RegisterServer(RegistrationScope scope) noexcept {
    if (scope == RegistrationScope::Machine) return RegisterIn(scope);
    platform::UserClassesAsClassesRoot userClasses;
    RETURN_IF_FAILED(userClasses.Begin());
    return RegisterIn(scope);
}

HRESULT UnregisterServer(RegistrationScope scope) noexcept {
    if (scope == RegistrationScope::Machine) return UnregisterIn(scope);
    platform::UserClassesAsClassesRoot userClasses;
    RETURN_IF_FAILED(userClasses.Begin());
    return UnregisterIn(scope);
}

// The command line of DllInstall: empty for the machine-wide registration, "user" (any case) for the
// current user's; anything else is refused rather than guessed at.
HRESULT Install(bool install, const wchar_t* commandLine) noexcept {
    RegistrationScope scope = RegistrationScope::Machine;
    if (commandLine && *commandLine) {
        if (_wcsicmp(commandLine, L"user") != 0) return E_INVALIDARG;
        scope = RegistrationScope::User;
    }
    return install ? RegisterServer(scope) : UnregisterServer(scope);
}

}  // namespace wrang
