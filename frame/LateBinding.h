// Calls members of automation objects by name, the way a script does. Objects made by a script
// engine may answer names only through IDispatchEx::GetDispID, so that is asked first.
#pragma once

#include <windows.h>
#include <oaidl.h>

namespace wrang {

// Calls `name` on `object` with `argCount` arguments given in their natural order (first argument
// first). `flags` is DISPATCH_METHOD, DISPATCH_PROPERTYGET or both. `result` may be nullptr.
// A null object ends with the runtime's "object required" error; an exception raised by the
// callee comes back as its own status with its description kept for the client.
[[nodiscard]] HRESULT InvokeByName(IDispatch* object, const wchar_t* name, WORD flags, VARIANT* args, UINT argCount,
                                   VARIANT* result) noexcept;

// The result of a by-name call as a 32-bit integer, converted as the runtime converts it.
[[nodiscard]] HRESULT InvokeByNameForLong(IDispatch* object, const wchar_t* name, VARIANT* args, UINT argCount,
                                          LONG* result) noexcept;

}  // namespace wrang
