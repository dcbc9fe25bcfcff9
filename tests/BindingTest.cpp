// Binding a window wrapper by handle and by class name and caption.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame/Classes.h"
#include "platform/WindowSystem.h"
#include "support/Automation.h"
#include "support/Recorders.h"
#include "support/TargetProcess.h"
#include "support/WindowThread.h"
#include "support/Wranglers.h"

namespace wrang::test {
namespace {

TEST(Binding, InitByHandleStoresAnyValueAndReturnsTheObjectItself) {
    ComPtr<_clsWrangler> w = NewWrangler();
    for (LONG value : {0L, 0x12345678L, -1L}) {
        ComPtr<_clsWrangler> returned;
        ASSERT_EQ(S_OK, w->InitByHandle(value, returned.put()));
        EXPECT_EQ(w.get(), returned.get());
        EXPECT_EQ(value, HandleOf(w.get()));
        EXPECT_EQ(value, Read(w.get(), &_clsWrangler::GetWindowHandle, value + 1));
        EXPECT_EQ(VARIANT_FALSE, Read(w.get(), &_clsWrangler::get_IsWindow, VARIANT_TRUE)) << value;
    }
}

TEST(Binding, InitByWindowFindsByClassAndCaptionAndTreatsOnlyNullAsWildcard) {
    WindowThread thread;
    HWND window = thread.Create("WrangBindingTarget", "Binding target caption");
    ASSERT_TRUE(window);
    const LONG expected = L(window);
    LookupRecorder recorder;
    platform::ScopedWindowSystem scoped(recorder);
    ComPtr<_clsWrangler> w = NewWrangler();

    UniqueBstr cls(SysAllocString(L"WrangBindingTarget")), caption(SysAllocString(L"Binding target caption"));
    ComPtr<_clsWrangler> returned;
    ASSERT_EQ(S_OK, w->InitByWindow(cls.get(), caption.get(), returned.put()));
    EXPECT_EQ(w.get(), returned.get());
    EXPECT_EQ(expected, HandleOf(w.get()));
    EXPECT_EQ(VARIANT_TRUE, Read(w.get(), &_clsWrangler::get_IsWindow, VARIANT_FALSE));

    // A null class name matches any class; the caption alone finds the window.
    ASSERT_EQ(S_OK, w->InitByWindow(nullptr, caption.get(), returned.put()));
    EXPECT_EQ(expected, HandleOf(w.get()));
    ASSERT_EQ(2u, recorder.lookups.size());
    EXPECT_TRUE(recorder.lookups[1].classIsNull);
    EXPECT_FALSE(recorder.lookups[1].nameIsNull);

    // An empty caption is matched literally, so the same class with "" finds nothing, and the
    // earlier binding is gone.
    UniqueBstr empty(SysAllocString(L""));
    ASSERT_EQ(S_OK, w->InitByWindow(cls.get(), empty.get(), returned.put()));
    EXPECT_EQ(w.get(), returned.get());
    EXPECT_EQ(0, HandleOf(w.get()));
    EXPECT_FALSE(recorder.lookups[2].nameIsNull);
    EXPECT_EQ(L"", recorder.lookups[2].windowName);
    thread.Destroy(window);
}

TEST(Binding, OmittedArgumentsFromAScriptAreEmptyStringsNotWildcards) {
    LookupRecorder recorder;
    platform::ScopedWindowSystem scoped(recorder);
    ComPtr<_clsWrangler> w = NewWrangler();
    CallResult result;
    Call(w.get(), L"InitByWindow", {}, &result);
    ASSERT_EQ(S_OK, result.hr);
    Call(w.get(), L"InitByWindow", {Arg::String(L"Notepad")}, &result);
    ASSERT_EQ(S_OK, result.hr);
    Call(w.get(), L"InitByWindow", {Arg::Missing(), Arg::Missing()}, &result);
    ASSERT_EQ(S_OK, result.hr);
    ASSERT_EQ(3u, recorder.lookups.size());
    for (const auto& lookup : recorder.lookups) {
        EXPECT_FALSE(lookup.classIsNull);
        EXPECT_FALSE(lookup.nameIsNull);
        EXPECT_EQ(L"", lookup.windowName);
    }
    EXPECT_EQ(L"Notepad", recorder.lookups[1].className);
    EXPECT_EQ(L"", recorder.lookups[2].className);
    // The chained result is the object itself, never Nothing.
    ASSERT_EQ(VT_DISPATCH, V_VT(result.value.get()));
    EXPECT_EQ(static_cast<IDispatch*>(w.get()), V_DISPATCH(result.value.get()));

    // A null string reference sent through IDispatch stays a null pointer.
    Call(w.get(), L"InitByWindow", {Arg::String(nullptr), Arg::String(L"x")}, &result);
    ASSERT_EQ(S_OK, result.hr);
    EXPECT_TRUE(recorder.lookups[3].classIsNull);
}

TEST(Binding, ADestroyedWindowKeepsItsHandleButIsNoLongerAWindow) {
    WindowThread thread;
    HWND window = thread.Create("WrangBindingTarget", "soon gone");
    const LONG handle = L(window);
    ComPtr<_clsWrangler> w = Bound(handle);
    thread.Destroy(window);
    EXPECT_EQ(handle, HandleOf(w.get()));
    EXPECT_EQ(VARIANT_FALSE, Read(w.get(), &_clsWrangler::get_IsWindow, VARIANT_TRUE));
}

TEST(Binding, FindsATopLevelWindowOfAnotherProcess) {
    TargetProcess target(L"--window WrangRemoteTarget \"Remote caption\"", "WrangRemoteTarget");
    ASSERT_TRUE(target.Window());
    ComPtr<_clsWrangler> w = NewWrangler();
    CallResult result;
    Call(w.get(), L"InitByWindow", {Arg::String(L"WrangRemoteTarget"), Arg::String(L"Remote caption")}, &result);
    ASSERT_EQ(S_OK, result.hr);
    EXPECT_EQ(L(target.Window()), HandleOf(w.get()));
    Call(w.get(), L"IsWindow", {}, &result);
    EXPECT_EQ(VARIANT_TRUE, V_BOOL(result.value.get()));
    target.Stop();
    Call(w.get(), L"IsWindow", {}, &result);
    EXPECT_EQ(VARIANT_FALSE, V_BOOL(result.value.get()));
}

}  // namespace
}  // namespace wrang::test
