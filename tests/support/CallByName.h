// A call through IDispatch the way a script engine makes it, without any checks of its own: the
// tests (through support/Automation.h), the soak and the dispatch fuzzer share it.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <cstddef>
#include <string>

namespace wrang::test {

// An export of a loaded DLL as the function type the caller names; nullptr when it has none.
template <typename Function>
Function ExportOf(HMODULE dll, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(dll, name)));
}

// A DLL loaded for as long as the object lives; `module` is null when it could not be loaded.
struct LoadedDll {
    explicit LoadedDll(const std::wstring& path) : module(LoadLibraryW(path.c_str())) {}
    LoadedDll(const LoadedDll&) = delete;
    LoadedDll& operator=(const LoadedDll&) = delete;
    ~LoadedDll() {
        if (module) FreeLibrary(module);
    }
    template <typename Function>
    Function Get(const char* name) const {
        return ExportOf<Function>(module, name);
    }
    HMODULE module;
};

// Arguments and variables as a script engine builds them. They own nothing: a text or an object
// in one stays the caller's to free.
inline VARIANT LongValue(LONG value) {
    VARIANT v;
    V_VT(&v) = VT_I4;
    V_I4(&v) = value;
    return v;
}
inline VARIANT BoolValue(VARIANT_BOOL value) {
    VARIANT v;
    V_VT(&v) = VT_BOOL;
    V_BOOL(&v) = value;
    return v;
}
inline VARIANT TextValue(BSTR text) {
    VARIANT v;
    V_VT(&v) = VT_BSTR;
    V_BSTR(&v) = text;
    return v;
}
inline VARIANT ObjectValue(IDispatch* object) {
    VARIANT v;
    V_VT(&v) = VT_DISPATCH;
    V_DISPATCH(&v) = object;
    return v;
}
// A script variable passed by reference.
inline VARIANT VariableRef(VARIANT* variable) {
    VARIANT v;
    V_VT(&v) = VT_VARIANT | VT_BYREF;
    V_VARIANTREF(&v) = variable;
    return v;
}

// A new object of `clsid` from the class factory of a loaded DLL, as the runtime makes one;
// nullptr when the DLL has no such class.
IDispatch* CreateFromDll(HMODULE dll, REFCLSID clsid);

// The member's DISPID; DISPID_UNKNOWN when the object has no such name.
DISPID IdOfName(IDispatch* object, const wchar_t* name);

// Invokes `id` with `count` arguments in the order a script writes them (IDispatch takes them
// last first). With `assigned` the one argument is the value of a property assignment (named
// DISPID_PROPERTYPUT). `result` and `exception` may be nullptr; the caller clears them.
HRESULT DispatchCall(IDispatch* object, DISPID id, WORD flags, const VARIANT* args, size_t count, bool assigned,
                     VARIANT* result, EXCEPINFO* exception);
// The same by name: DISP_E_UNKNOWNNAME when the object has no such name.
HRESULT DispatchCallByName(IDispatch* object, const wchar_t* name, WORD flags, const VARIANT* args, size_t count,
                           bool assigned, VARIANT* result, EXCEPINFO* exception);

}  // namespace wrang::test
