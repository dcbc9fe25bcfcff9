// The component's objects for tests that call their members directly, through their tables of
// operations.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "frame/Classes.h"
#include "platform/Resource.h"
#include "support/Parameters.h"

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

// The object a member hands out, `(object->*member)(args..., &result)`, expected to succeed.
template <typename Result, typename Object, typename Member, typename... Args>
ComPtr<Result> HandedOut(Object* object, Member member, Args... args) {
    ComPtr<Result> result;
    EXPECT_EQ(S_OK, (object->*member)(args..., result.put()));
    return result;
}

// A new object from one of the creation functions of frame/Classes.h, expected to succeed.
template <typename Object>
ComPtr<Object> Created(HRESULT (*create)(Object**)) {
    ComPtr<Object> object;
    EXPECT_EQ(S_OK, create(object.put()));
    return object;
}

// The current number of references to an object.
inline ULONG References(IUnknown* object) {
    object->AddRef();
    return object->Release();
}

// A window handle as the component stores it.
inline LONG L(HWND h) { return AsLong(h); }

// A new, unbound window wrapper.
inline ComPtr<_clsWrangler> NewWrangler() { return Created(CreateWrangler); }

// A new window wrapper bound to `hWnd`.
inline ComPtr<_clsWrangler> Bound(LONG hWnd) {
    return HandedOut<_clsWrangler>(NewWrangler().get(), &_clsWrangler::InitByHandle, hWnd);
}

// The handle a wrapper is bound to; -1 when the wrapper is Nothing.
inline LONG HandleOf(_clsWrangler* w) {
    LONG h = -1;
    EXPECT_TRUE(w) << "a window result was Nothing";
    if (w) EXPECT_EQ(S_OK, w->get_hWnd(&h));
    return h;
}

// The handle of the window wrapper a member hands out (-1 for Nothing), the member expected to
// succeed: GetNextSibling, GetChild(class, caption), GetWindow, ...
template <typename Object, typename Member, typename... Args>
LONG HandleFrom(Object* object, Member member, Args... args) {
    return HandleOf(HandedOut<_clsWrangler>(object, member, args...).get());
}

// The entry of a menu (a controller's or an entry's) at `position`, expected to succeed.
template <typename Parent>
ComPtr<_clsMenuItem> Child(Parent* parent, LONG position) {
    ComPtr<_clsMenuItem> item;
    EXPECT_EQ(S_OK, parent->GetChildMenu(position, item.put())) << position;
    return item;
}

// An entry's identifier: its command, or the handle of the sub-menu it opens; -2 when unread.
inline LONG IdOfEntry(_clsMenuItem* item) { return Read(item, &_clsMenuItem::GetMenuHandle, -2L); }

}  // namespace wrang::test
