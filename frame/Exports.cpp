// The five entry points of Wrang.dll, and nothing else (see Wrang.def).
#include <windows.h>
#include <objbase.h>

#include "frame/ClassFactory.h"
#include "frame/ServerLifetime.h"
#include "platform/GuardedPages.h"

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** factory) {
    return wrang::GetClassObject(clsid, iid, factory);
}

STDAPI DllCanUnloadNow() {
    if (!wrang::CanUnloadNow()) return S_FALSE;
    // No object is left, so no call is under way: what calls lent windows need not be kept.
    wrang::platform::GuardedPages::ReleaseSpares();
    return S_OK;
}

STDAPI DllRegisterServer() { return wrang::RegisterServer(); }

STDAPI DllUnregisterServer() { return wrang::UnregisterServer(); }

// regsvr32 /n /i:user Wrang.dll registers for the current user only; /u undoes it.
STDAPI DllInstall(BOOL install, PCWSTR commandLine) { return wrang::Install(install != FALSE, commandLine); }
