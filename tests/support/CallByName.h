// A call through IDispatch the way a script engine makes it, without any checks of its own: the
// tests (through support/Automation.h), the soak and the dispatch fuzzer share it.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <cstddef>

namespace wrang::test {

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
