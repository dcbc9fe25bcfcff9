// Window wrappers for tests that call the component's members directly.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "frame/Classes.h"
#include "platform/Resource.h"

namespace wrang::test {

// A result of an object of ours, read through its table of operations and expected to succeed;
// `unread` comes back when the member does not write it.
template <typename Object, typename Value>
Value Read(Object* object, HRESULT (STDMETHODCALLTYPE Object::*member)(Value*), Value unread) {
    Value value = unread;
    EXPECT_EQ(S_OK, (object->*member)(&value));
    return value;
}

// A text of an object of ours, read through its table of operations and expected to answer
// `expected`: the whole string, embedded NULs included; `ifNull` for a null string.
template <typename Object>
std::wstring ReadText(Object* object, HRESULT (STDMETHODCALLTYPE Object::*member)(BSTR*), const wchar_t* ifNull = L"",
                      HRESULT expected = S_OK) {
    UniqueBstr text;
    EXPECT_EQ(expected, (object->*member)(text.put()));
    return text ? std::wstring(text.get(), SysStringLen(text.get())) : ifNull;
}

// A window handle as the component stores it.
inline LONG L(HWND h) { return static_cast<LONG>(reinterpret_cast<LONG_PTR>(h)); }

// A new, unbound window wrapper.
inline ComPtr<_clsWrangler> NewWrangler() {
    ComPtr<_clsWrangler> w;
    EXPECT_EQ(S_OK, CreateWrangler(w.put()));
    return w;
}

// A new window wrapper bound to `hWnd`.
inline ComPtr<_clsWrangler> Bound(LONG hWnd) {
    ComPtr<_clsWrangler> created, bound;
    EXPECT_EQ(S_OK, CreateWrangler(created.put()));
    EXPECT_EQ(S_OK, created->InitByHandle(hWnd, bound.put()));
    return bound;
}

// The handle a wrapper is bound to; -1 when the wrapper is Nothing.
inline LONG HandleOf(_clsWrangler* w) {
    LONG h = -1;
    EXPECT_TRUE(w) << "a window result was Nothing";
    if (w) EXPECT_EQ(S_OK, w->get_hWnd(&h));
    return h;
}

}  // namespace wrang::test
