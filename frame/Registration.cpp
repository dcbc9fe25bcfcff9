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
#include "frame/TypeLibrary.h"
#include "platform/ModuleAndRegistry.h"
#include "platform/Resource.h"

namespace wrang {
namespace {

constexpr wchar_t kLibraryName[] = L"Wrang";
constexpr const wchar_t* kOwnPlatformKey = sizeof(void*) == 8 ? L"win64" : L"win32";
constexpr const wchar_t* kOtherPlatformKey = sizeof(void*) == 8 ? L"win32" : L"win64";
// The automation marshaller, which marshals a dual interface from its type library.
constexpr wchar_t kAutomationMarshaller[] = L"{00020424-0000-0000-C000-000000000046}";

// The type library's version as the registry spells it: in decimal for a class ("90.1"), and in
// hexadecimal for the library's own key and its interfaces ("5a.1"), as the runtime names them. Read
// from the library itself, so that registration can never name another version than it carries.
struct LibraryVersion {
    WORD major = 0;
    WORD minor = 0;
    wchar_t text[16] = {};
    wchar_t key[16] = {};
};

HRESULT VersionOf(ITypeLib* library, LibraryVersion* version) noexcept {
    TLIBATTR* attr = nullptr;
    RETURN_IF_FAILED(library->GetLibAttr(&attr));
    version->major = attr->wMajorVerNum;
    version->minor = attr->wMinorVerNum;
    library->ReleaseTLibAttr(attr);
    swprintf(version->text, 16, L"%u.%u", version->major, version->minor);
    swprintf(version->key, 16, L"%x.%x", version->major, version->minor);
    return S_OK;
}

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

HRESULT RegisterClass(const CreatableClass& cls, const wchar_t* modulePath, const wchar_t* libid,
                      const LibraryVersion& version) {
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
    return platform::WriteRegistryString(HKEY_CLASSES_ROOT, key, nullptr, version.text);
}

// Calls `visit` with the key and the name of each dual interface of the library.
template <typename Visit>
HRESULT ForEachDualInterface(ITypeLib* library, Visit visit) noexcept {
    return ForEachType(library, [&visit](ITypeInfo* info, const TYPEATTR& attr) -> HRESULT {
        if (attr.typekind != TKIND_DISPATCH || !(attr.wTypeFlags & TYPEFLAG_FDUAL)) return S_OK;
        UniqueBstr name;
        RETURN_IF_FAILED(info->GetDocumentation(MEMBERID_NIL, name.put(), nullptr, nullptr, nullptr));
        wchar_t iid[40], key[64];
        if (!StringFromGUID2(attr.guid, iid, 40)) return E_UNEXPECTED;
        swprintf(key, 64, L"Interface\\%ls", iid);
        return visit(key, name.get());
    });
}

// The type library's keys for the current user, written here rather than by the runtime's per-user
// registration. Wine's falls back on the machine-wide registration, which under WoW64 writes each
// interface a second time into the 64-bit view by opening HKEY_CLASSES_ROOT with an explicit view:
// that passes the per-user redirection and lands machine-wide, where a user without administrator
// rights cannot remove it. These are the keys the runtime writes: the library under its version in
// hexadecimal with its file for this platform, and each dual interface with the automation
// marshaller. The interfaces go to this build's own view only: an in-process component's clients
// are of its own bitness, and the other build registers the other view.
HRESULT RegisterTypeLibraryForUser(ITypeLib* library, const wchar_t* path, const wchar_t* libid,
                                   const LibraryVersion& version) noexcept {
    UniqueBstr description;
    RETURN_IF_FAILED(library->GetDocumentation(-1, nullptr, description.put(), nullptr, nullptr));
    wchar_t versionKey[96], key[128];
    swprintf(versionKey, 96, L"TypeLib\\%ls\\%ls", libid, version.key);
    RETURN_IF_FAILED(platform::WriteRegistryString(HKEY_CLASSES_ROOT, versionKey, nullptr,
                                                   description ? description.get() : kLibraryName));
    swprintf(key, 128, L"%ls\\FLAGS", versionKey);
    RETURN_IF_FAILED(platform::WriteRegistryString(HKEY_CLASSES_ROOT, key, nullptr, L"0"));
    swprintf(key, 128, L"%ls\\0\\%ls", versionKey, kOwnPlatformKey);
    RETURN_IF_FAILED(platform::WriteRegistryString(HKEY_CLASSES_ROOT, key, nullptr, path));
    wchar_t folder[MAX_PATH + 1];
    wcscpy(folder, path);
    if (wchar_t* name = wcsrchr(folder, L'\\')) *name = 0;
    swprintf(key, 128, L"%ls\\HELPDIR", versionKey);
    RETURN_IF_FAILED(platform::WriteRegistryString(HKEY_CLASSES_ROOT, key, nullptr, folder));

    return ForEachDualInterface(library, [libid, &version](const wchar_t* interfaceKey, const wchar_t* name) {
        wchar_t key[128];
        RETURN_IF_FAILED(platform::WriteRegistryString(HKEY_CLASSES_ROOT, interfaceKey, nullptr, name));
        for (const wchar_t* proxy : {L"ProxyStubClsid", L"ProxyStubClsid32"}) {
            swprintf(key, 128, L"%ls\\%ls", interfaceKey, proxy);
            RETURN_IF_FAILED(platform::WriteRegistryString(HKEY_CLASSES_ROOT, key, nullptr, kAutomationMarshaller));
        }
        swprintf(key, 128, L"%ls\\TypeLib", interfaceKey);
        RETURN_IF_FAILED(platform::WriteRegistryString(HKEY_CLASSES_ROOT, key, nullptr, libid));
        return platform::WriteRegistryString(HKEY_CLASSES_ROOT, key, L"Version", version.key);
    });
}

// Removes this platform's file of the library. The library and its interfaces go with the last
// platform: the other build's DLL may still be registered for the user and needs them.
HRESULT UnregisterTypeLibraryForUser(ITypeLib* library, const wchar_t* libid, const LibraryVersion& version) noexcept {
    wchar_t key[128];
    swprintf(key, 128, L"TypeLib\\%ls\\%ls\\0\\%ls", libid, version.key, kOtherPlatformKey);
    if (platform::RegistryKeyExists(HKEY_CLASSES_ROOT, key)) {
        swprintf(key, 128, L"TypeLib\\%ls\\%ls\\0\\%ls", libid, version.key, kOwnPlatformKey);
        return platform::DeleteRegistryTree(HKEY_CLASSES_ROOT, key);
    }
    RETURN_IF_FAILED(ForEachDualInterface(library, [](const wchar_t* interfaceKey, const wchar_t*) {
        return platform::DeleteRegistryTree(HKEY_CLASSES_ROOT, interfaceKey);
    }));
    swprintf(key, 128, L"TypeLib\\%ls", libid);
    return platform::DeleteRegistryTree(HKEY_CLASSES_ROOT, key);
}

// Both scopes write the same keys relative to HKEY_CLASSES_ROOT; the per-user scope first makes
// that root mean the user's own classes.
HRESULT RegisterIn(RegistrationScope scope) noexcept {
    wchar_t path[MAX_PATH + 1];
    RETURN_IF_FAILED(platform::ThisModulePath(path, MAX_PATH + 1));
    ComPtr<ITypeLib> library;
    RETURN_IF_FAILED(LoadTypeLibEx(path, REGKIND_NONE, library.put()));
    LibraryVersion version;
    RETURN_IF_FAILED(VersionOf(library.get(), &version));
    wchar_t libid[40];
    if (!StringFromGUID2(LIBID_Wrang, libid, 40)) return E_UNEXPECTED;
    for (const CreatableClass& cls : kCreatableClasses) RETURN_IF_FAILED(RegisterClass(cls, path, libid, version));
    if (scope == RegistrationScope::User) return RegisterTypeLibraryForUser(library.get(), path, libid, version);
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
    // The library's keys are named by its version: without the library there is nothing to name.
    ComPtr<ITypeLib> library;
    LibraryVersion version;
    HRESULT described = LoadOwnTypeLibrary(library.put());
    if (SUCCEEDED(described)) described = VersionOf(library.get(), &version);
    keep(described);
    if (FAILED(described)) return first;
    if (scope == RegistrationScope::User) {
        wchar_t libid[40];
        keep(StringFromGUID2(LIBID_Wrang, libid, 40) ? UnregisterTypeLibraryForUser(library.get(), libid, version)
                                                     : E_UNEXPECTED);
        return first;
    }
    // The registration of this build's platform only: the other build's DLL may be registered too.
    constexpr SYSKIND kOwnPlatform = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;
    const HRESULT removed = UnRegisterTypeLib(LIBID_Wrang, version.major, version.minor, LOCALE_NEUTRAL, kOwnPlatform);
    // A library that is not registered for this platform is nothing to remove: Windows answers that
    // with TYPE_E_REGISTRYACCESS, Wine with E_INVALIDARG (the arguments here are constants).
    if (removed != TYPE_E_REGISTRYACCESS && removed != TYPE_E_CANTLOADLIBRARY && removed != E_INVALIDARG) keep(removed);
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
