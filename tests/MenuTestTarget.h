// A window with a real menu bar on a window thread of the test process, answering and recording the
// menu commands that the menu classes send it.
//
//   bar:   0 "&File" ─┬─ 0 "&Open"            101
//                     ├─ 1 "&Checked entry"   102  checked
//                     ├─ 2 "&Disabled entry"  103  grayed and disabled
//                     ├─ 3 separator          (identifier 0, as separators have)
//                     ├─ 4 "&Recent" ─┬─ 0 "First recent" 201
//                     │               └─ 1 "&More" ── 0 "Deep entry" 301
//                     └─ 5 "&Grayed only"     104  grayed, not disabled
//          1 "&Empty"   (opens an empty sub-menu)
//          2 "&Help"    405  (opens nothing)
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include "frame/Classes.h"
#include "frame/Errors.h"
#include "platform/Resource.h"
#include "support/Parameters.h"
#include "support/TargetProcess.h"
#include "support/WindowThread.h"
#include "support/Wranglers.h"

namespace wrang::test {

// Command identifiers below 0x20: the window system takes a small number whose upper word is 0 for
// the handle of whichever menu has that index (Wine from 0x20 on), so a larger command identifier
// can name some live menu when an entry uses it as its sub-menu handle.
constexpr LONG kOpen = 11, kCheckedEntry = 12, kDisabledEntry = 13, kGrayedOnly = 14;
constexpr LONG kFirstRecent = 21, kDeepEntry = 31, kHelp = 15;
// What the window answers, so that a test sees the send's own result come back.
constexpr LRESULT kCommandAnswer = 0x4321, kSysCommandAnswer = 0x5678;

class MenuTarget {
public:
    explicit MenuTarget(const char* caption = "Menu target") {
        thread.Run([this] {
            bar = CreateMenu();
            file = CreatePopupMenu();
            recent = CreatePopupMenu();
            more = CreatePopupMenu();
            empty = CreatePopupMenu();
            AppendMenuA(more, MF_STRING, kDeepEntry, "Deep entry");
            AppendMenuA(recent, MF_STRING, kFirstRecent, "First recent");
            AppendMenuA(recent, MF_POPUP, reinterpret_cast<UINT_PTR>(more), "&More");
            AppendMenuA(file, MF_STRING, kOpen, "&Open");
            AppendMenuA(file, MF_STRING | MF_CHECKED, kCheckedEntry, "&Checked entry");
            AppendMenuA(file, MF_STRING | MF_GRAYED | MF_DISABLED, kDisabledEntry, "&Disabled entry");
            AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
            AppendMenuA(file, MF_POPUP, reinterpret_cast<UINT_PTR>(recent), "&Recent");
            AppendMenuA(file, MF_STRING | MF_GRAYED, kGrayedOnly, "&Grayed only");
            AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
            AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(empty), "&Empty");
            AppendMenuA(bar, MF_STRING, kHelp, "&Help");
        });
        window = thread.Create("WrangMenuTarget", caption, WS_OVERLAPPEDWINDOW, nullptr, bar);
        // A WM_SYSCOMMAND SC_CLOSE reaching the default procedure would close the window.
        thread.SetHandler(window, [](HWND, UINT message, WPARAM, LPARAM, LRESULT* answer) {
            if (message == WM_COMMAND)
                *answer = kCommandAnswer;
            else if (message == WM_SYSCOMMAND)
                *answer = kSysCommandAnswer;
            else
                return false;
            return true;
        });
    }

    // The bound controller of the menu bar, as a client gets it.
    ComPtr<_clsJuggler> MenuBar() {
        return HandedOut<_clsJuggler>(Created(CreateJuggler).get(), &_clsJuggler::InitByHandle, AsLong(window));
    }

    // The commands the window received since the last call, each as (message, wParam, lParam).
    std::vector<Message> TakeCommands() {
        std::vector<Message> commands;
        for (const Message& m : thread.Messages(window)) {
            if (m.message == WM_COMMAND || m.message == WM_SYSCOMMAND) commands.push_back(m);
        }
        thread.Clear();
        return commands;
    }

    WindowThread thread;
    HMENU bar = nullptr, file = nullptr, recent = nullptr, more = nullptr, empty = nullptr;
    HWND window = nullptr;
};

// Asserts one recorded command exactly, at the full width of this build's parameters: the command
// and the menu handle are Longs that arrive widened with their sign, as a 64-bit client's runtime
// widens a Long, so -1 is all ones and a handle keeps the form the window system gives it.
inline void ExpectCommand(const Message& m, UINT message, LONG wParam, LONG lParam) {
    EXPECT_EQ(message, m.message);
    EXPECT_EQ(HexOf(BitsOf(static_cast<WPARAM>(static_cast<LONG_PTR>(wParam)))), HexOf(BitsOf(m.wParam)));
    EXPECT_EQ(HexOf(BitsOf(static_cast<LPARAM>(lParam))), HexOf(BitsOf(m.lParam)));
}

}  // namespace wrang::test
