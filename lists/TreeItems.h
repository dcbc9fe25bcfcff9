// A tree view of another process as one member call sees it: its items' handles, texts and states,
// and the paths that name its items.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "lists/ItemTexts.h"

namespace wrang::lists {

// A tree item's handle: an address in the tree's process; 0 for none, and for the roots' level.
using TreeItem = ULONG64;

// A path is the texts of the items from a root down, joined by "\" ("" is the roots' level); an
// element "#n" picks the n-th child by its position (0 first).
class TreeItems {
public:
    explicit TreeItems(LONG hWnd) noexcept;

    // The first child of `parent` (the first root for 0), the next sibling, the parent (0 for a
    // root), the selected item: 0 for none. Every handle goes through these: one this build cannot
    // carry back to the tree ends the call with error 17.
    [[nodiscard]] HRESULT FirstChild(TreeItem parent, TreeItem* child) noexcept;
    [[nodiscard]] HRESULT Next(TreeItem item, TreeItem* next) noexcept;
    [[nodiscard]] HRESULT Parent(TreeItem item, TreeItem* parent) noexcept;
    [[nodiscard]] HRESULT Selected(TreeItem* item) noexcept;

    // S_FALSE with an empty text when the tree gave none.
    [[nodiscard]] HRESULT Text(TreeItem item, std::wstring* text) noexcept;
    [[nodiscard]] bool Expanded(TreeItem item) noexcept;
    // The texts of the children of `parent`, in order.
    [[nodiscard]] HRESULT ChildTexts(TreeItem parent, std::vector<std::wstring>* texts) noexcept;

    // The item `path` names (0 for the roots' level): S_OK, or S_FALSE when it names none.
    [[nodiscard]] HRESULT Find(const wchar_t* path, size_t length, TreeItem* item) noexcept;
    // The path of an item, as Find reads it: an element is the item's text, or "#n" where the text
    // would not name it (a text an earlier sibling has too, one with "\", one that reads as a
    // position, an empty one).
    [[nodiscard]] HRESULT PathOf(TreeItem item, std::wstring* path) noexcept;

private:
    [[nodiscard]] HRESULT Step(UINT relation, TreeItem from, TreeItem* to) noexcept;
    // Whether a handle that came back in a message's answer is the item's whole handle.
    bool Carried(TreeItem item) noexcept;

    LONG m_hWnd;
    RemoteItemTexts m_texts;
    // The most items one walk takes: the tree's count when the call began, which no list of
    // siblings and no chain of parents can exceed, also in a tree that answers in a circle.
    LONG m_most;
};

}  // namespace wrang::lists
