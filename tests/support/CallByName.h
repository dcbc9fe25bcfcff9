// A call through IDispatch the way a script engine makes it, without any checks of its own: the
// tests (through support/Automation.h), the soak and the dispatch fuzzer share it.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <cstddef>
#include <cstring>
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
// in one stays the caller's to free. Every payload starts at the same place in a VARIANT, so one
// copy serves each type; the caller names the type that matches the payload.
template <typename Payload>
VARIANT Holding(VARTYPE type, Payload value) {
    static_assert(sizeof(Payload) <= sizeof(LONGLONG), "a payload of one of the plain types");
    VARIANT v;
    V_VT(&v) = type;
    std::memcpy(&V_I8(&v), &value, sizeof value);
    return v;
}
inline VARIANT LongValue(LONG value) { return Holding(VT_I4, value); }
inline VARIANT BoolValue(VARIANT_BOOL value) { return Holding(VT_BOOL, value); }
inline VARIANT TextValue(BSTR text) { return Holding(VT_BSTR, text); }
inline VARIANT ObjectValue(IDispatch* object) { return Holding(VT_DISPATCH, object); }
// A script variable passed by reference.
inline VARIANT VariableRef(VARIANT* variable) { return Holding(VT_VARIANT | VT_BYREF, variable); }

// The object a result holds, handed over to the caller (the result is left empty); nullptr when
// it holds none, and then the result stays the caller's to clear.
inline IDispatch* TakeObject(VARIANT* result) {
    if (V_VT(result) != VT_DISPATCH || !V_DISPATCH(result)) return nullptr;
    V_VT(result) = VT_EMPTY;
    return V_DISPATCH(result);
}

// Frees the texts a failed call left in an exception.
inline void FreeException(EXCEPINFO* exception) {
    SysFreeString(exception->bstrSource);
    SysFreeString(exception->bstrDescription);
    SysFreeString(exception->bstrHelpFile);
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
