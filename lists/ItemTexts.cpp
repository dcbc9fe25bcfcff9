#include "lists/ItemTexts.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <new>
#include <vector>

#include "lists/ItemRecords.h"
#include "platform/AnsiText.h"
#include "platform/GuardedPages.h"
#include "platform/Resource.h"
#include "platform/Result.h"

namespace wrang::lists {

namespace {

using platform::ForeignAddress;

// The first region of a call: one allocation granule of the system (64 KiB), which any smaller
// allocation takes up in the other process all the same. It holds every record and some 32,000
// units of text; only what an answer needs of it is read.
constexpr SIZE_T kRegionSize = 0x10000;
// What a control that does not say how long a text is gets offered first; the offer doubles while
// a text fills it.
constexpr size_t kFirstOffer = 256;

// One record layout: its size, where its text address is, and how a request is written into it.
struct Layout {
    size_t size;
    size_t textOffset;
    size_t pointerSize;
    void (*fill)(BYTE* at, const ItemKey& item, ULONG64 text, INT offer);
};

template <typename Record>
void FillListView(BYTE* at, const ItemKey& item, ULONG64 text, INT offer) {
    Record record = {};
    record.mask = LVIF_TEXT;
    record.iItem = item.index;
    record.iSubItem = item.column;
    record.pszText = static_cast<decltype(record.pszText)>(text);
    record.cchTextMax = offer;
    std::memcpy(at, &record, sizeof record);
}
// A tab's or a header's record: the text alone.
template <typename Record, UINT kTextMask>
void FillText(BYTE* at, const ItemKey&, ULONG64 text, INT offer) {
    Record record = {};
    record.mask = kTextMask;
    record.pszText = static_cast<decltype(record.pszText)>(text);
    record.cchTextMax = offer;
    std::memcpy(at, &record, sizeof record);
}
template <typename Record>
void FillTree(BYTE* at, const ItemKey& item, ULONG64 text, INT offer) {
    Record record = {};
    record.mask = TVIF_TEXT | TVIF_HANDLE;
    record.hItem = static_cast<decltype(record.hItem)>(item.treeItem);
    record.pszText = static_cast<decltype(record.pszText)>(text);
    record.cchTextMax = offer;
    std::memcpy(at, &record, sizeof record);
}

template <typename Record>
constexpr Layout LayoutOf(void (*fill)(BYTE*, const ItemKey&, ULONG64, INT)) {
    return {sizeof(Record), offsetof(Record, pszText), sizeof(Record::pszText), fill};
}
constexpr size_t kLargestRecord = sizeof(ListViewItem64);

Layout LayoutFor(ItemMessage message, bool is64Bit) noexcept {
    switch (message) {
    case ItemMessage::ListView:
        return is64Bit ? LayoutOf<ListViewItem64>(FillListView<ListViewItem64>)
                       : LayoutOf<ListViewItem32>(FillListView<ListViewItem32>);
    case ItemMessage::Tab:
        return is64Bit ? LayoutOf<TabItem64>(FillText<TabItem64, TCIF_TEXT>)
                       : LayoutOf<TabItem32>(FillText<TabItem32, TCIF_TEXT>);
    case ItemMessage::Header:
        return is64Bit ? LayoutOf<HeaderItem64>(FillText<HeaderItem64, HDI_TEXT>)
                       : LayoutOf<HeaderItem32>(FillText<HeaderItem32, HDI_TEXT>);
    case ItemMessage::Tree:
        return is64Bit ? LayoutOf<TreeItem64>(FillTree<TreeItem64>) : LayoutOf<TreeItem32>(FillTree<TreeItem32>);
    case ItemMessage::StatusBar: break;  // the buffer alone, no record
    }
    return {0, 0, 0, nullptr};
}

// The message that asks for an item's text, in the character width the control takes.
UINT TextMessage(ItemMessage message, bool unicode) noexcept {
    switch (message) {
    case ItemMessage::ListView: return unicode ? LVM_GETITEMTEXTW : LVM_GETITEMTEXTA;
    case ItemMessage::Tab: return unicode ? TCM_GETITEMW : TCM_GETITEMA;
    case ItemMessage::Header: return unicode ? HDM_GETITEMW : HDM_GETITEMA;
    case ItemMessage::StatusBar: return unicode ? SB_GETTEXTW : SB_GETTEXTA;
    case ItemMessage::Tree: return unicode ? TVM_GETITEMW : TVM_GETITEMA;
    }
    return 0;
}

// The units before the first terminator among `count` units of `unitSize` bytes.
size_t UnitsBeforeTerminator(const BYTE* units, size_t count, size_t unitSize) noexcept {
    for (size_t i = 0; i < count; ++i) {
        bool zero = true;
        for (size_t b = 0; b < unitSize; ++b) zero = zero && units[i * unitSize + b] == 0;
        if (zero) return i;
    }
    return count;
}

HRESULT FromAnsiBytes(const char* bytes, size_t count, std::wstring* text) noexcept {
    UniqueBstr converted;
    RETURN_IF_FAILED(FromAnsi(bytes, static_cast<int>(count), converted.put()));
    try {
        text->assign(converted.get(), SysStringLen(converted.get()));
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

}  // namespace

RemoteItemTexts::RemoteItemTexts(LONG hWnd, ItemMessage message) noexcept
    : m_hWnd(hWnd),
      m_message(message),
      m_process(platform::ProcessOfWindow(hWnd)),
      m_unicode(platform::Current().IsWindowUnicode(hWnd) != FALSE),
      m_unitSize(m_unicode ? sizeof(WCHAR) : 1),
      m_recordSize(LayoutFor(message, m_process.is64Bit).size),
      m_asked(kFirstOffer) {}

LRESULT RemoteItemTexts::Send(UINT message, WPARAM wParam, LPARAM lParam) const noexcept {
    platform::WindowSystem& system = platform::Current();
    return m_unicode ? system.SendMessageW(m_hWnd, message, wParam, lParam)
                     : system.SendMessageA(m_hWnd, message, wParam, lParam);
}

bool RemoteItemTexts::MakeRoom(size_t units) noexcept {
    const size_t needed = m_recordSize + units * m_unitSize;
    // A region that could not be made is not asked for again at the same size: a process that
    // cannot be opened is not opened again for every item.
    if (m_region && m_region->Size() >= needed) return static_cast<bool>(*m_region);
    const SIZE_T size = std::max<SIZE_T>(kRegionSize, (needed + kRegionSize - 1) / kRegionSize * kRegionSize);
    if (m_region) return m_region->Replace(size);
    m_region.emplace(m_process, size);
    return static_cast<bool>(*m_region);
}

bool RemoteItemTexts::CanRead(ForeignAddress address) noexcept {
    BYTE probe = 0;
    return MakeRoom(0) && m_region->Read(address, &probe, sizeof probe);
}

platform::ForeignRegion* RemoteItemTexts::Region() noexcept { return MakeRoom(0) ? &*m_region : nullptr; }

HRESULT RemoteItemTexts::Decode(const BYTE* units, size_t count, std::wstring* text) const noexcept {
    if (!m_unicode) return FromAnsiBytes(reinterpret_cast<const char*>(units), count, text);
    try {
        text->resize(count);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    std::memcpy(text->data(), units, count * sizeof(WCHAR));
    return S_OK;
}

HRESULT RemoteItemTexts::ReadElsewhere(ForeignAddress address, size_t most, std::wstring* text) const noexcept {
    // A text that runs into the top of the address range ends there: what was read is kept.
    if (m_unicode) {
        const HRESULT read = m_region->ReadText(address, m_process.is64Bit, most, text);
        return read == platform::kAddressOverflow ? S_OK : read;
    }
    std::string bytes;
    const HRESULT read = m_region->ReadText(address, m_process.is64Bit, most, &bytes);
    if (read != platform::kAddressOverflow) RETURN_IF_FAILED(read);
    return FromAnsiBytes(bytes.data(), bytes.size(), text);
}

HRESULT RemoteItemTexts::Read(const ItemKey& item, std::wstring* text) noexcept {
    text->clear();
    if (m_message == ItemMessage::StatusBar) return ReadStatusText(item.index, text);
    const Layout layout = LayoutFor(m_message, m_process.is64Bit);
    const UINT message = TextMessage(m_message, m_unicode);
    const WPARAM wParam = m_message == ItemMessage::Tree ? 0 : platform::WParamOf(item.index);
    // A list view answers how long the text is; every other control is offered a buffer, larger
    // each time its text fills it.
    const bool answersLength = m_message == ItemMessage::ListView;
    size_t wanted = answersLength ? 0 : m_asked;
    std::vector<BYTE> answer;
    for (;;) {
        if (!MakeRoom(wanted)) return S_FALSE;
        const size_t offer = answersLength ? std::min(Capacity(), kMostTextUnits + 1) : wanted;
        BYTE record[kLargestRecord] = {};
        layout.fill(record, item, TextAddress(), static_cast<INT>(offer));
        if (!m_region->Write(0, record, layout.size)) return S_FALSE;
        const LRESULT answered = Send(message, wParam, m_region->AddressParameter());
        // No text (or an empty one) for a list view; no item for the others.
        if (answered <= 0) return S_FALSE;
        const size_t units = answersLength ? std::min(static_cast<size_t>(answered), offer - 1) : offer;
        // The record and the text in one read: the control may point the record at a text of its
        // own instead of filling the buffer (a text its application hands out on request).
        try {
            answer.resize(layout.size + units * m_unitSize);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
        if (!m_region->Read(m_region->Address(), answer.data(), answer.size())) return S_FALSE;
        ULONG64 pointer = 0;
        std::memcpy(&pointer, answer.data() + layout.textOffset, layout.pointerSize);
        if (pointer != TextAddress()) {
            if (pointer == 0) return S_FALSE;
            return ReadElsewhere(pointer, answersLength ? units : kMostTextUnits, text);
        }
        const BYTE* buffer = answer.data() + layout.size;
        const size_t length = answersLength ? units : UnitsBeforeTerminator(buffer, units, m_unitSize);
        // A text that fills the buffer may go on beyond it: read again with twice the room.
        if (length + 1 < offer || offer > kMostTextUnits) return Decode(buffer, std::min(length, kMostTextUnits), text);
        wanted = std::min(offer * 2, kMostTextUnits + 1);
        if (!answersLength) m_asked = wanted;
    }
}

HRESULT RemoteItemTexts::ReadStatusText(LONG part, std::wstring* text) noexcept {
    // A status bar is told no buffer size, copies the whole text, and counts its length in 16 bits
    // only (SB_GETTEXTLENGTH's low word: a part of 70,000 characters announces 4,464): so the
    // buffer always holds the longest text read and its terminator. The region is committed whole,
    // but the system backs committed pages with memory only once they are written, zero-filled: a
    // short text takes the pages it fills, as in a buffer of its own size.
    const bool servedBefore = m_region.has_value();
    if (!MakeRoom(kMostTextUnits + 1)) return S_FALSE;
    // A part its owner draws (SBT_OWNERDRAW), or an empty part with a style, has the control write
    // nothing into the buffer: a terminator there before every read makes that "", not the text of
    // the part read before it in the same region. A region made for this read comes zero-filled.
    const BYTE terminator[sizeof(WCHAR)] = {};
    if (servedBefore && !m_region->Write(m_recordSize, terminator, m_unitSize)) return S_FALSE;
    Send(TextMessage(m_message, m_unicode), platform::WParamOf(part),
         static_cast<LPARAM>(static_cast<ULONG_PTR>(TextAddress())));
    // The answer is the length cut to 16 bits and the style, or for a part its owner draws the
    // value it holds: neither says where the text ends, so it is read up to its terminator.
    return ReadElsewhere(TextAddress(), kMostTextUnits, text);
}

bool KeepsTexts(LONG hWnd, bool comboBox) noexcept {
    const LONG style = platform::Current().GetWindowStyle(hWnd);
    const LONG ownerDrawn =
        comboBox ? CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE : LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE;
    return !(style & ownerDrawn) || (style & (comboBox ? CBS_HASSTRINGS : LBS_HASSTRINGS));
}

HRESULT ReadListBoxText(LONG hWnd, bool comboBox, LONG index, std::wstring* text) noexcept {
    text->clear();
    platform::WindowSystem& system = platform::Current();
    // Always the wide messages: the window system hands an ANSI list's text over converted from its
    // code page, as it does WM_GETTEXT's, so no character is lost either way; and Wine's ANSI exchange
    // between processes hands over UTF-16 where bytes were asked, which would read as one character.
    const auto send = [&](UINT message, LPARAM lParam) {
        return system.SendMessageW(hWnd, message, platform::WParamOf(index), lParam);
    };
    const LRESULT length = send(comboBox ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, 0);
    if (length <= 0 || static_cast<size_t>(length) > kMostTextUnits) return S_FALSE;
    // The window system copies the text the list holds when it answers, into memory it is told no
    // size of: lent pages with the room rule's spare room (a text that grows between the two
    // messages still fits) and a page of no access behind them, never a buffer of the heap.
    const SIZE_T announced = (static_cast<SIZE_T>(length) + 1) * sizeof(WCHAR);
    platform::GuardedPages buffer;
    RETURN_IF_FAILED(buffer.Commit(platform::GuardedPages::RoomFor(announced)));
    const LRESULT copied = send(comboBox ? CB_GETLBTEXT : LB_GETTEXT, platform::AddressOf(buffer.as<wchar_t>()));
    if (copied <= 0) return S_FALSE;
    const size_t room = buffer.room() / sizeof(WCHAR);
    const size_t most = std::min({static_cast<size_t>(copied), room - 1, kMostTextUnits});
    try {
        text->assign(buffer.as<wchar_t>(), wcsnlen(buffer.as<wchar_t>(), most));
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT ReadListBoxSelection(LONG hWnd, LONG most, std::vector<LONG>* indices) noexcept {
    indices->clear();
    if (most <= 0) return S_OK;
    // The window system copies the indices into memory it is handed, as a list box's texts: lent
    // pages under the room rule, never a variable of the stack.
    platform::GuardedPages pages;
    RETURN_IF_FAILED(pages.Commit(platform::GuardedPages::RoomFor(static_cast<SIZE_T>(most) * sizeof(INT))));
    const LRESULT copied = platform::Current().SendMessageW(hWnd, LB_GETSELITEMS, platform::WParamOf(most),
                                                            platform::AddressOf(pages.as<INT>()));
    const LONG taken = std::clamp(platform::AnswerOf(copied), 0L, most);
    try {
        indices->assign(pages.as<INT>(), pages.as<INT>() + taken);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT ToStringArray(const std::wstring* texts, size_t count, VARIANT* out) noexcept {
    UniqueSafeArray array(SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(count)));
    RETURN_IF_NULL_ALLOC(array.get());
    VARIANT* elements = nullptr;
    RETURN_IF_FAILED(SafeArrayAccessData(array.get(), reinterpret_cast<void**>(&elements)));
    HRESULT status = S_OK;
    for (size_t i = 0; i < count && SUCCEEDED(status); ++i) {
        V_VT(&elements[i]) = VT_BSTR;
        V_BSTR(&elements[i]) = SysAllocStringLen(texts[i].data(), static_cast<UINT>(texts[i].size()));
        if (!V_BSTR(&elements[i])) status = E_OUTOFMEMORY;
    }
    SafeArrayUnaccessData(array.get());
    RETURN_IF_FAILED(status);
    V_VT(out) = VT_ARRAY | VT_VARIANT;
    V_ARRAY(out) = array.release();
    return S_OK;
}

}  // namespace wrang::lists
