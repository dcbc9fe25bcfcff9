// wrang_regfree_client.exe [CLIENT_MANIFEST]: uses the component with nothing of it registered.
// With a manifest argument, the program first shows that no ProgID and no type library of ours is
// known, then activates a context made from CLIENT_MANIFEST; without one, its own manifest
// (wrang_regfree_client.exe.manifest) is the context. Either way it creates every creatable class
// by ProgID and by CLSID, binds a window of its own and reads it, finds the type library
// and the interfaces' proxy/stub through the context, and shows the registry unchanged at the end.
// Prints one line per check and "ALL PASSED" when every check held.
#include <windows.h>
#include <oleauto.h>

#include <cstdio>
#include <set>
#include <string>

#include "Wrang_h.h"
#include "platform/Resource.h"

namespace {

using wrang::ComPtr;
using wrang::UniqueBstr;

struct Class {
    const wchar_t* progId;
    const CLSID* clsid;
    const IID* iid;
};
const Class kClasses[] = {
#define WRANG_CREATABLE_CLASS(name, make, threading, description) {L"Wrang." #name, &CLSID_##name, &IID__##name},
#include "frame/CreatableClasses.inc"
#undef WRANG_CREATABLE_CLASS
};
const IID* const kInterfaces[] = {&IID__clsWrangler, &IID__clsSysToolbar, &IID__clsToolbarButton, &IID__clsJuggler,
                                  &IID__clsMenuItem, &IID__clsMenuEnum,   &IID__clsWatcher,       &IID__clsListReader,
                                  &IID__clsTreeReader,  &IID__clsFinder,
                                  &IID__clsInput};
// The system's type library marshaler, the proxy/stub of every dispatch interface.
const CLSID kTypeLibraryMarshaler = {0x00020424, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

int g_failures = 0;
void Check(bool held, const std::wstring& what) {
    std::printf("%s: %ls\n", held ? "ok" : "FAIL", what.c_str());
    if (!held) ++g_failures;
}

std::wstring Text(REFGUID guid) {
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

// The keys below both classes roots, their class, type library and interface folders.
std::set<std::wstring> ClassKeys() {
    std::set<std::wstring> keys;
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        for (const wchar_t* folder : {L"", L"\\CLSID", L"\\TypeLib", L"\\Interface"}) {
            const std::wstring path = std::wstring(root == HKEY_LOCAL_MACHINE ? L"HKLM" : L"HKCU") + folder;
            HKEY key = nullptr;
            if (RegOpenKeyExW(root, (std::wstring(L"Software\\Classes") + folder).c_str(), 0, KEY_READ, &key)) continue;
            wchar_t name[256];
            for (DWORD i = 0, size = 256; RegEnumKeyExW(key, i, name, &size, 0, 0, 0, 0) == ERROR_SUCCESS;
                 ++i, size = 256)
                keys.insert(path + L"\\" + name);
            RegCloseKey(key);
        }
    }
    return keys;
}

// Within a context the system answers a ProgID with a CLSID of the context's own making, not the
// class's; creating that CLSID, as a script's CreateObject does, creates the class.
void CreateEveryClass() {
    for (const Class& c : kClasses) {
        CLSID found = {};
        ComPtr<IUnknown> byProgId, byClsid;
        Check(CLSIDFromProgID(c.progId, &found) == S_OK &&
                  CoCreateInstance(found, nullptr, CLSCTX_INPROC_SERVER, *c.iid,
                                   reinterpret_cast<void**>(byProgId.put())) == S_OK,
              std::wstring(L"created by ProgID, answers its own interface: ") + c.progId);
        Check(CoCreateInstance(*c.clsid, nullptr, CLSCTX_INPROC_SERVER, *c.iid,
                               reinterpret_cast<void**>(byClsid.put())) == S_OK,
              L"created by CLSID, answers its own interface: " + Text(*c.clsid));
    }
}

// A window of this program, found by class name and caption as a script finds one, and read.
void BindAndReadAWindow() {
    WNDCLASSW cls = {};
    cls.lpfnWndProc = DefWindowProcW;
    cls.lpszClassName = L"WrangRegFreeTarget";
    RegisterClassW(&cls);
    UniqueBstr className(SysAllocString(cls.lpszClassName)), caption(SysAllocString(L"Driven without registration"));
    const HWND window = CreateWindowW(cls.lpszClassName, caption.get(), WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                                      nullptr, nullptr, nullptr);
    ComPtr<_clsWrangler> created, bound;
    LONG hWnd = 0;
    UniqueBstr text;
    if (CoCreateInstance(CLSID_clsWrangler, nullptr, CLSCTX_INPROC_SERVER, IID__clsWrangler,
                         reinterpret_cast<void**>(created.put())) == S_OK &&
        created->InitByWindow(className.get(), caption.get(), bound.put()) == S_OK) {
        bound->get_hWnd(&hWnd);
        bound->get_Text(text.put());
    }
    Check(window && hWnd == static_cast<LONG>(reinterpret_cast<LONG_PTR>(window)), L"InitByWindow found the window");
    Check(text && std::wstring(text.get()) == caption.get(), L"its Text is its caption");
    DestroyWindow(window);
}

void FindTheTypeLibraryAndProxyStubs() {
    ComPtr<ITypeLib> library;
    ComPtr<ITypeInfo> info;
    Check(LoadRegTypeLib(LIBID_Wrang, 90, 0, LOCALE_NEUTRAL, library.put()) == S_OK &&
              library->GetTypeInfoOfGuid(IID__clsWrangler, info.put()) == S_OK,
          L"LoadRegTypeLib asked for Wrang 90.0 finds the library (90.2), which describes _clsWrangler");
    for (const IID* iid : kInterfaces) {
        CLSID proxyStub = {};
        Check(CoGetPSClsid(*iid, &proxyStub) == S_OK && proxyStub == kTypeLibraryMarshaler,
              L"proxy/stub of " + Text(*iid) + L" is the type library marshaler");
    }
}

bool NothingKnown() {
    bool none = true;
    for (const Class& c : kClasses) {
        CLSID found = {};
        none = none && FAILED(CLSIDFromProgID(c.progId, &found));
    }
    ComPtr<ITypeLib> library;
    return none && FAILED(LoadRegTypeLib(LIBID_Wrang, 90, 0, LOCALE_NEUTRAL, library.put()));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    CoInitialize(nullptr);
    const std::set<std::wstring> before = ClassKeys();
    HANDLE context = INVALID_HANDLE_VALUE;
    ULONG_PTR cookie = 0;
    if (argc > 1) {
        Check(NothingKnown(), L"before the context: no ProgID and no type library of ours is known");
        ACTCTXW request = {sizeof request};
        request.lpSource = argv[1];
        context = CreateActCtxW(&request);
        Check(context != INVALID_HANDLE_VALUE && ActivateActCtx(context, &cookie),
              std::wstring(L"activated the context of ") + argv[1]);
    }
    CreateEveryClass();
    BindAndReadAWindow();
    FindTheTypeLibraryAndProxyStubs();
    if (context != INVALID_HANDLE_VALUE) {
        DeactivateActCtx(0, cookie);
        ReleaseActCtx(context);
        Check(NothingKnown(), L"after the context: no ProgID, no type library of ours is known again");
    }
    CoUninitialize();
    Check(ClassKeys() == before, L"the registry's classes are as they were");
    if (g_failures)
        std::printf("%d check(s) failed\n", g_failures);
    else
        std::printf("ALL PASSED\n");
    return g_failures ? 1 : 0;
}
