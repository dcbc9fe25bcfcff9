// Calling the component the way clients do: by name through IDispatch, as a script engine does,
// with arguments built like a script's (variables are passed by reference).
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "platform/Resource.h"
#include "support/CallByName.h"
#include "support/TargetProcess.h"

namespace wrang::test {

// A VARIANT argument; the test owns whatever it holds until the call is made.
class Arg {
public:
    static Arg Long(LONG value);
    static Arg Bool(bool value);
    static Arg String(const wchar_t* value);  // nullptr gives a null string reference
    static Arg Object(IDispatch* value);      // nullptr gives Nothing
    static Arg Null();                        // JScript's null
    static Arg Missing();                     // an omitted optional argument
    // A script variable: passed as VT_VARIANT|VT_BYREF to `variable`.
    static Arg Variable(VARIANT* variable);

    Arg(const Arg& other);
    Arg& operator=(const Arg&) = delete;
    ~Arg();
    const VARIANT& get() const { return m_value; }

private:
    Arg();
    explicit Arg(const VARIANT& owned) : m_value(owned) {}  // takes over what `owned` holds
    VARIANT m_value;
};

struct CallResult {
    HRESULT hr = S_OK;         // what Invoke returned
    HRESULT scode = S_OK;      // the member's own status when Invoke reported an exception
    std::wstring description;  // the error text a script would show
    UniqueVariant value;
};

// Invokes `name` by name, with DISPATCH_METHOD | DISPATCH_PROPERTYGET as scripts do for calls.
void Call(IDispatch* object, const wchar_t* name, std::initializer_list<Arg> args, CallResult* out,
          WORD flags = DISPATCH_METHOD | DISPATCH_PROPERTYGET);
// Assigns a property by name (DISPATCH_PROPERTYPUT, or PUTREF for objects).
void Put(IDispatch* object, const wchar_t* name, const Arg& value, CallResult* out, WORD flags = DISPATCH_PROPERTYPUT);
// Invokes by DISPID.
void CallById(IDispatch* object, DISPID id, std::initializer_list<Arg> args, CallResult* out,
              WORD flags = DISPATCH_METHOD | DISPATCH_PROPERTYGET);

DISPID IdOf(IDispatch* object, const wchar_t* name);

// The handle of the window object a result holds; -1 when it holds none.
LONG HandleIn(const VARIANT& result);
// What a call by name answered, as a script would test it: True, False, Empty, Null, a Long, a
// text in quotes (a character outside ASCII as "?"), "window N" for a window object bound to N (0:
// unbound), "windows [N, M]" for an array of them, or "error 800A0005"; `took` is how long the call
// took, in milliseconds.
std::string Answered(IDispatch* object, const wchar_t* name, std::initializer_list<Arg> args,
                     long long* took = nullptr);

// One new object of each class, in type-library order.
struct OneOfEachClass {
    OneOfEachClass();
    ComPtr<IDispatch> objects[11];
};

}  // namespace wrang::test
