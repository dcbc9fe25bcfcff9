// The request records of the item messages, as the control's own process lays them out. A record
// goes into a region of that process (platform/ForeignMemory.h), and the process's bitness, not the
// component's, decides its layout: a 32-bit process has 4-byte pointers, a 64-bit one 8-byte
// pointers aligned to 8 bytes. Both layouts are written out here with fixed-width fields, so that
// either build writes either layout; the offsets are checked below, and against the system's own
// structure in the build whose bitness it has.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstddef>

namespace wrang::lists {

// LVITEM: a list view's item (LVM_GETITEMTEXT, LVM_SETITEMSTATE).
struct ListViewItem32 {
    UINT mask;
    INT iItem;
    INT iSubItem;
    UINT state;
    UINT stateMask;
    ULONG pszText;
    INT cchTextMax;
    INT iImage;
    ULONG lParam;
    INT iIndent;
    INT iGroupId;
    UINT cColumns;
    ULONG puColumns;
    ULONG piColFmt;
    INT iGroup;
};
struct ListViewItem64 {
    UINT mask;
    INT iItem;
    INT iSubItem;
    UINT state;
    UINT stateMask;
    UINT padding0;
    ULONG64 pszText;
    INT cchTextMax;
    INT iImage;
    ULONG64 lParam;
    INT iIndent;
    INT iGroupId;
    UINT cColumns;
    UINT padding1;
    ULONG64 puColumns;
    ULONG64 piColFmt;
    INT iGroup;
    UINT padding2;
};

// TCITEM: a tab (TCM_GETITEM).
struct TabItem32 {
    UINT mask;
    DWORD dwState;
    DWORD dwStateMask;
    ULONG pszText;
    INT cchTextMax;
    INT iImage;
    ULONG lParam;
};
struct TabItem64 {
    UINT mask;
    DWORD dwState;
    DWORD dwStateMask;
    UINT padding0;
    ULONG64 pszText;
    INT cchTextMax;
    INT iImage;
    ULONG64 lParam;
};

// HDITEM: a header's item (HDM_GETITEM).
struct HeaderItem32 {
    UINT mask;
    INT cxy;
    ULONG pszText;
    ULONG hbm;
    INT cchTextMax;
    INT fmt;
    ULONG lParam;
    INT iImage;
    INT iOrder;
    UINT type;
    ULONG pvFilter;
    UINT state;
};
struct HeaderItem64 {
    UINT mask;
    INT cxy;
    ULONG64 pszText;
    ULONG64 hbm;
    INT cchTextMax;
    INT fmt;
    ULONG64 lParam;
    INT iImage;
    INT iOrder;
    UINT type;
    UINT padding0;
    ULONG64 pvFilter;
    UINT state;
    UINT padding1;
};

// TVITEM: a tree view's item (TVM_GETITEM, TVM_SETITEM); hItem is the item's handle, an address in
// the tree's process.
struct TreeItem32 {
    UINT mask;
    ULONG hItem;
    UINT state;
    UINT stateMask;
    ULONG pszText;
    INT cchTextMax;
    INT iImage;
    INT iSelectedImage;
    INT cChildren;
    ULONG lParam;
};
struct TreeItem64 {
    UINT mask;
    UINT padding0;
    ULONG64 hItem;
    UINT state;
    UINT stateMask;
    ULONG64 pszText;
    INT cchTextMax;
    INT iImage;
    INT iSelectedImage;
    INT cChildren;
    ULONG64 lParam;
};

// RECT: a tab's rectangle (TCM_GETITEMRECT), four 32-bit numbers in either layout.
struct ItemRectangle {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

// The sizes and the offsets of the fields the component writes or reads, in both layouts.
static_assert(sizeof(ListViewItem32) == 60 && sizeof(ListViewItem64) == 88, "LVITEM is 60 or 88 bytes");
static_assert(offsetof(ListViewItem32, pszText) == 20 && offsetof(ListViewItem32, cchTextMax) == 24, "LVITEM 32");
static_assert(offsetof(ListViewItem64, pszText) == 24 && offsetof(ListViewItem64, cchTextMax) == 32, "LVITEM 64");
static_assert(sizeof(TabItem32) == 28 && sizeof(TabItem64) == 40, "TCITEM is 28 or 40 bytes");
static_assert(offsetof(TabItem32, pszText) == 12 && offsetof(TabItem32, cchTextMax) == 16, "TCITEM 32");
static_assert(offsetof(TabItem64, pszText) == 16 && offsetof(TabItem64, cchTextMax) == 24, "TCITEM 64");
static_assert(sizeof(HeaderItem32) == 48 && sizeof(HeaderItem64) == 72, "HDITEM is 48 or 72 bytes");
static_assert(offsetof(HeaderItem32, pszText) == 8 && offsetof(HeaderItem32, cchTextMax) == 16, "HDITEM 32");
static_assert(offsetof(HeaderItem64, pszText) == 8 && offsetof(HeaderItem64, cchTextMax) == 24, "HDITEM 64");
static_assert(sizeof(TreeItem32) == 40 && sizeof(TreeItem64) == 56, "TVITEM is 40 or 56 bytes");
static_assert(offsetof(TreeItem32, hItem) == 4 && offsetof(TreeItem32, pszText) == 16, "TVITEM 32");
static_assert(offsetof(TreeItem32, cchTextMax) == 20, "TVITEM 32");
static_assert(offsetof(TreeItem64, hItem) == 8 && offsetof(TreeItem64, pszText) == 24, "TVITEM 64");
static_assert(offsetof(TreeItem64, cchTextMax) == 32, "TVITEM 64");
static_assert(offsetof(ListViewItem32, state) == 12 && offsetof(ListViewItem32, stateMask) == 16, "LVITEM 32");
static_assert(offsetof(ListViewItem64, state) == 12 && offsetof(ListViewItem64, stateMask) == 16, "LVITEM 64");
static_assert(offsetof(TreeItem32, state) == 8 && offsetof(TreeItem32, stateMask) == 12, "TVITEM 32");
static_assert(offsetof(TreeItem64, state) == 16 && offsetof(TreeItem64, stateMask) == 20, "TVITEM 64");
static_assert(sizeof(ItemRectangle) == 16 && sizeof(RECT) == 16, "RECT is 16 bytes");

// The layout of this build's own bitness is the system's structure.
template <typename Own32, typename Own64, typename System>
constexpr bool SameSizeAsSystem() {
    return sizeof(void*) == 8 ? sizeof(Own64) == sizeof(System) : sizeof(Own32) == sizeof(System);
}
static_assert(SameSizeAsSystem<ListViewItem32, ListViewItem64, LVITEMW>(), "LVITEMW of this build");
static_assert(SameSizeAsSystem<TabItem32, TabItem64, TCITEMW>(), "TCITEMW of this build");
static_assert(SameSizeAsSystem<HeaderItem32, HeaderItem64, HDITEMW>(), "HDITEMW of this build");
static_assert(SameSizeAsSystem<TreeItem32, TreeItem64, TVITEMW>(), "TVITEMW of this build");
static_assert(offsetof(LVITEMW, pszText) == (sizeof(void*) == 8 ? 24 : 20), "LVITEMW of this build");
static_assert(offsetof(TCITEMW, pszText) == (sizeof(void*) == 8 ? 16 : 12), "TCITEMW of this build");
static_assert(offsetof(HDITEMW, cchTextMax) == (sizeof(void*) == 8 ? 24 : 16), "HDITEMW of this build");
static_assert(offsetof(TVITEMW, pszText) == (sizeof(void*) == 8 ? 24 : 16), "TVITEMW of this build");
static_assert(offsetof(LVITEMW, stateMask) == 16, "LVITEMW of this build");
static_assert(offsetof(TVITEMW, stateMask) == (sizeof(void*) == 8 ? 20 : 12), "TVITEMW of this build");

}  // namespace wrang::lists
