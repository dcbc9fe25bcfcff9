// Window wrappers for tests that call the component's members directly.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include "frame/Classes.h"
#include "platform/Resource.h"

namespace wrang::test {

// A window handle as the component stores it.
inline LONG L(HWND h) { return static_cast<LONG>(reinterpret_cast<LONG_PTR>(h)); }

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
