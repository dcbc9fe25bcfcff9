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
    // A tree whose count the caller asked already.
    TreeItems(LONG hWnd, LONG count) noexcept;

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
    [[nodiscard]] HRESULT Find(const wchar_t* path, size_t length, TreeItem* item) noexcept {
        return Walk(path, length, item, [](TreeItem, bool) noexcept { return S_OK; });
    }
    // Finds `path` level by level: `reached(item, last)` is called with the item of each level before
    // the next element is looked for among its children, so that it may make the application fill
    // them. S_OK with the item; S_FALSE when an element names no item, or `reached` answered S_FALSE.
    template <typename Reached>
    [[nodiscard]] HRESULT Walk(const wchar_t* path, size_t length, TreeItem* item, Reached&& reached) noexcept;
    // The child of `parent` that one element of a path names: S_OK, or S_FALSE for none.
    [[nodiscard]] HRESULT FindChild(TreeItem parent, const wchar_t* element, size_t length, TreeItem* child) noexcept;
    // The path of an item, as Find reads it: an element is the item's text, or "#n" where the text
    // would not name it (a text an earlier sibling has too, one with "\", one that reads as a
    // position, an empty one).
    [[nodiscard]] HRESULT PathOf(TreeItem item, std::wstring* path) noexcept;

    // The exchanges with the tree's process, and its region of the call.
    RemoteItemTexts& Texts() noexcept { return m_texts; }

private:
    // Whether the tree holds more items than the walks allowed for (an application that filled
    // children on an expansion): then they allow for the new count.
    bool Grown() noexcept;
    [[nodiscard]] HRESULT Step(UINT relation, TreeItem from, TreeItem* to) noexcept;
    // Whether a handle that came back in a message's answer is the item's whole handle.
    bool Carried(TreeItem item) noexcept;

    LONG m_hWnd;
    RemoteItemTexts m_texts;
    // The most items one walk takes: the tree's count when the call began, which no list of
    // siblings and no chain of parents can exceed, also in a tree that answers in a circle.
    LONG m_most;
};

template <typename Reached>
HRESULT TreeItems::Walk(const wchar_t* path, size_t length, TreeItem* item, Reached&& reached) noexcept {
    *item = 0;
    TreeItem current = 0;
    for (size_t start = 0; length > 0;) {
        const wchar_t* element = path + start;
        size_t end = start;
        while (end < length && path[end] != L'\\') ++end;
        TreeItem child = 0;
        const HRESULT found = FindChild(current, element, end - start, &child);
        if (found != S_OK) return found;
        const HRESULT taken = reached(child, end == length);
        if (taken != S_OK) return taken;
        current = child;
        if (end == length) break;
        start = end + 1;
    }
    *item = current;
    return S_OK;
}

}  // namespace wrang::lists
