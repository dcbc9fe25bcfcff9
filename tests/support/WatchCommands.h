// What the watch target (wrang_target --watch, tests/target/WatchTarget.cpp) and its clients agree
// on: its window classes and captions, and the commands its hidden control window takes. Each
// command acts on the one watched window at once; kCreate replaces it and answers its handle.
#pragma once

#include <windows.h>

namespace wrang::test::watch {

constexpr wchar_t kControlClass[] = L"WrangWatchControl";
constexpr char kControlClassA[] = "WrangWatchControl";
constexpr wchar_t kWatchedClass[] = L"WrangWatched";
// "Watched", or "Watched N" for the number N in wParam of kCreate.
constexpr wchar_t kWatchedCaption[] = L"Watched";
constexpr wchar_t kRenamedCaption[] = L"Renamed";
constexpr wchar_t kChildCaption[] = L"Child";  // a "Button" child
// The event that ends a hang, or the busy start: this name followed by the target's process id.
constexpr wchar_t kReleaseEvent[] = L"WrangWatchRelease.";
constexpr DWORD kLongestHangMs = 60000;

constexpr UINT kCreate = WM_APP + 1;       // wParam: the number in the caption, 0 for none
constexpr UINT kDestroy = WM_APP + 2;
constexpr UINT kShow = WM_APP + 3;         // wParam: the show command
constexpr UINT kEnable = WM_APP + 4;       // wParam: TRUE or FALSE
constexpr UINT kRename = WM_APP + 5;       // to kRenamedCaption
constexpr UINT kCreateChild = WM_APP + 6;
constexpr UINT kHang = WM_APP + 7;         // sent: answers, then takes no message until released
                                           // (wParam ms at most)

}  // namespace wrang::test::watch
