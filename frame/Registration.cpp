// Self-registration: the ProgIDs, the CLSIDs with their in-process server and threading model, and
// the type library. Unregistration removes exactly these.
#include <windows.h>
#include <oleauto.h>

#include <cstdio>

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
    RETURN_IF_FAILED(platform::WriteRegistryString(HKEY_CLASSES_ROOT, key, L"ThreadingModel", L"Apartment"));
    swprintf(key, 128, L"%ls\\TypeLib", k.clsidKey);
    RETURN_IF_FAILED(platform::WriteRegistryString(HKEY_CLASSES_ROOT, key, nullptr, libid));
    swprintf(key, 128, L"%ls\\VERSION", k.clsidKey);
    return platform::WriteRegistryString(HKEY_CLASSES_ROOT, key, nullptr, kVersion);
}

}  // namespace

HRESULT RegisterServer() noexcept {
    wchar_t path[MAX_PATH + 1];
    RETURN_IF_FAILED(platform::ThisModulePath(path, MAX_PATH + 1));
    ComPtr<ITypeLib> library;
    RETURN_IF_FAILED(LoadTypeLibEx(path, REGKIND_NONE, library.put()));
    RETURN_IF_FAILED(RegisterTypeLib(library.get(), path, nullptr));
    wchar_t libid[40];
    if (!StringFromGUID2(LIBID_Wrang, libid, 40)) return E_UNEXPECTED;
    for (const CreatableClass& cls : kCreatableClasses) RETURN_IF_FAILED(RegisterClass(cls, path, libid));
    return S_OK;
}

HRESULT UnregisterServer() noexcept {
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
    const HRESULT removed = UnRegisterTypeLib(LIBID_Wrang, 90, 0, LOCALE_NEUTRAL, kOwnPlatform);
    if (removed != TYPE_E_REGISTRYACCESS && removed != TYPE_E_CANTLOADLIBRARY) keep(removed);
    return first;
}

}  // namespace wrang
