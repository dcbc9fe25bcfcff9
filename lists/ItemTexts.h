// The texts of the items of a control in another process. List views, tabs, headers, status bars
// and trees take the address of a text buffer in their own process: one region there holds the
// request record and the buffer, for every item one member call reads. List boxes and combo boxes
// hand their texts across through the window system itself, into a buffer of this process.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/ForeignMemory.h"

namespace wrang::lists {

// The longest text read, in UTF-16 code units (8 MiB): a longer one is cut there.
constexpr size_t kMostTextUnits = size_t{1} << 22;

// Which message reads an item's text in the control's process, and so which record it takes.
enum class ItemMessage { ListView, Tab, Header, StatusBar, Tree };

// Which item: a list view's row and column, the index of a tab, a header's item or a status bar's
// part, or a tree item's handle (an address in the tree's process).
struct ItemKey {
    LONG index = 0;
    LONG column = 0;
    ULONG64 treeItem = 0;
};

// The texts of one control's items within one member call, through one region of its process.
// The region is made on the first read and released with this object; a text longer than the
// region holds replaces it with a larger one.
class RemoteItemTexts {
public:
    RemoteItemTexts(LONG hWnd, ItemMessage message) noexcept;
    RemoteItemTexts(const RemoteItemTexts&) = delete;
    RemoteItemTexts& operator=(const RemoteItemTexts&) = delete;

    const platform::ForeignProcess& Process() const noexcept { return m_process; }

    // One item's text, whole, into *text: S_OK; S_FALSE with an empty text when the control gave
    // none (no such item, no region, the control or its process gone); E_OUTOFMEMORY.
    [[nodiscard]] HRESULT Read(const ItemKey& item, std::wstring* text) noexcept;
    // Whether `address` can be read in the control's process.
    [[nodiscard]] bool CanRead(platform::ForeignAddress address) noexcept;
    // The region of the call, made on first use, for a request record of an action as well: null
    // when there is none.
    [[nodiscard]] platform::ForeignRegion* Region() noexcept;

private:
    // A region with room for the record and `units` units of text; false when there is none.
    bool MakeRoom(size_t units) noexcept;
    platform::ForeignAddress TextAddress() const noexcept { return m_region->Address() + m_recordSize; }
    size_t Capacity() const noexcept { return (m_region->Size() - m_recordSize) / m_unitSize; }
    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) const noexcept;
    HRESULT ReadStatusText(LONG part, std::wstring* text) noexcept;
    // Turns `units` units of text of the control's character width into *text.
    HRESULT Decode(const BYTE* units, size_t count, std::wstring* text) const noexcept;
    // The text at an address the control pointed the record to instead of filling the buffer.
    HRESULT ReadElsewhere(platform::ForeignAddress address, size_t most, std::wstring* text) const noexcept;

    LONG m_hWnd;
    ItemMessage m_message;
    platform::ForeignProcess m_process;
    bool m_unicode;
    size_t m_unitSize;
    size_t m_recordSize;
    size_t m_asked;  // units offered to a control that does not say how long the text is
    std::optional<platform::ForeignRegion> m_region;
};

// Whether a list box (or a combo box) keeps texts: one its owner draws without strings (no
// LBS_HASSTRINGS, CBS_HASSTRINGS) holds a number per item, which the text messages would copy as if
// it were a text.
[[nodiscard]] bool KeepsTexts(LONG hWnd, bool comboBox) noexcept;

// The text of item `index` of a list box (or of a combo box's list) that keeps texts, through the
// window system's own exchange into pages of this process lent for the call: S_OK; S_FALSE with an
// empty text when the list gave none; E_OUTOFMEMORY.
[[nodiscard]] HRESULT ReadListBoxText(LONG hWnd, bool comboBox, LONG index, std::wstring* text) noexcept;

// The selected indices of a list box of several selections, at most `most` of them, in order,
// through pages lent to the window system for its answer.
[[nodiscard]] HRESULT ReadListBoxSelection(LONG hWnd, LONG most, std::vector<LONG>* indices) noexcept;

// Texts as what a script takes for an array of strings: a Variant array (index 0 first) of
// strings.
[[nodiscard]] HRESULT ToStringArray(const std::wstring* texts, size_t count, VARIANT* out) noexcept;

}  // namespace wrang::lists
