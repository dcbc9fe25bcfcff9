// The window system's menu flag values, as the menu classes pass and read them. Spelled out here
// because the state word is a plain 32-bit number to the classes, never a typed flag set.
#pragma once

#include <windows.h>

namespace wrang {

constexpr UINT kByCommand = 0x0000;  // MF_BYCOMMAND: the entry is named by its identifier
constexpr UINT kEnabled = 0x0000;    // MF_ENABLED
constexpr UINT kGrayed = 0x0001;     // MF_GRAYED
constexpr UINT kDisabled = 0x0002;   // MF_DISABLED
constexpr UINT kUnchecked = 0x0000;  // MF_UNCHECKED
constexpr UINT kChecked = 0x0008;    // MF_CHECKED
constexpr UINT kPopup = 0x0010;      // MF_POPUP
constexpr UINT kSeparator = 0x0800;  // MF_SEPARATOR

// The state word of an entry that opens a sub-menu carries the sub-menu's entry count here
// instead of flags.
constexpr UINT kPopupCountBits = 0xFF00;

// The state word of an entry that the menu does not have.
constexpr LONG kNoSuchEntry = -1;

}  // namespace wrang
