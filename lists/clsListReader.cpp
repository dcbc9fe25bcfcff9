#include "lists/clsListReader.h"

#include <commctrl.h>

#include <algorithm>
#include <new>
#include <optional>
#include <vector>

#include "frame/Classes.h"
#include "frame/Errors.h"
#include "lists/BoundWindow.h"
#include "lists/ItemTexts.h"
#include "platform/WindowSystem.h"

namespace wrang {

HRESULT CreateListReader(_clsListReader** out) noexcept { return clsListReader::Create(out); }

namespace {

// The kind a class name tells, in this order: the first part the name contains decides.
struct KindByClass {
    const wchar_t* part;
    ListKinds kind;
};
constexpr KindByClass kKindsByClass[] = {{L"SysListView32", LIST_LISTVIEW}, {L"SysTabControl32", LIST_TAB},
                                         {L"SysHeader32", LIST_HEADER},     {L"msctls_statusbar32", LIST_STATUSBAR},
                                         {L"ComboLBox", LIST_LISTBOX},      {L"ComboBox", LIST_COMBOBOX},
                                         {L"ListBox", LIST_LISTBOX}};

// The kind a class name tells; LIST_AUTO for none.
ListKinds KindOfClass(const lists::ClassName& name) noexcept {
    for (const KindByClass& known : kKindsByClass) {
        if (name.Contains(known.part)) return known.kind;
    }
    return LIST_AUTO;
}

// The message that reads a kind's texts in the list's own process; none for the lists whose texts
// the window system carries across itself.
std::optional<lists::ItemMessage> RemoteMessage(ListKinds kind) noexcept {
    switch (kind) {
    case LIST_LISTVIEW: return lists::ItemMessage::ListView;
    case LIST_TAB: return lists::ItemMessage::Tab;
    case LIST_HEADER: return lists::ItemMessage::Header;
    case LIST_STATUSBAR: return lists::ItemMessage::StatusBar;
    default: return std::nullopt;
    }
}

LONG Ask(LONG hWnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) noexcept {
    return platform::AnswerOf(platform::Current().SendMessageW(hWnd, message, wParam, lParam));
}

bool SameText(const std::wstring& text, BSTR wanted) noexcept {
    return platform::Current().SameTextIgnoringCase(text.c_str(), static_cast<int>(text.size()), wanted ? wanted : L"",
                                                    static_cast<int>(SysStringLen(wanted)));
}

}  // namespace

UINT clsListReader::CountMessage(ListKinds kind) noexcept {
    switch (kind) {
    case LIST_LISTBOX: return LB_GETCOUNT;
    case LIST_COMBOBOX: return CB_GETCOUNT;
    case LIST_LISTVIEW: return LVM_GETITEMCOUNT;
    case LIST_TAB: return TCM_GETITEMCOUNT;
    case LIST_HEADER: return HDM_GETITEMCOUNT;
    case LIST_STATUSBAR: return SB_GETPARTS;  // without an array to fill: the number of parts
    default: return 0;
    }
}

ListKinds clsListReader::KindOfWindow(LONG hWnd) noexcept { return KindOfClass(lists::ClassNameOf(hWnd)); }

LONG clsListReader::Count() const noexcept {
    const UINT message = CountMessage(m_kind);
    if (!message) return 0;  // unbound
    return std::max(Ask(m_hWnd, message), 0L);
}

LONG clsListReader::ColumnCount() const noexcept {
    if (m_kind == LIST_AUTO) return 0;  // unbound
    if (m_kind != LIST_LISTVIEW) return 1;
    // A report view has a column per item of its header; any other view shows the items' own
    // texts only. A report view without columns still has those.
    if ((platform::Current().GetWindowStyle(m_hWnd) & LVS_TYPEMASK) != LVS_REPORT) return 1;
    return std::max(Ask(Ask(m_hWnd, LVM_GETHEADER), HDM_GETITEMCOUNT), 1L);
}

LONG clsListReader::SelectedIndex() const noexcept {
    LONG selected = -1;
    switch (m_kind) {
    case LIST_LISTBOX: {
        // A list box of one selection has no count of selected items, only its current one.
        const LONG selectedCount = Ask(m_hWnd, LB_GETSELCOUNT);
        if (selectedCount == LB_ERR) {
            selected = Ask(m_hWnd, LB_GETCURSEL);
        } else if (std::vector<LONG> first; SUCCEEDED(lists::ReadListBoxSelection(m_hWnd, 1, &first)) && !first.empty()) {
            selected = first[0];
        }
        break;
    }
    case LIST_COMBOBOX: selected = Ask(m_hWnd, CB_GETCURSEL); break;
    case LIST_LISTVIEW: selected = Ask(m_hWnd, LVM_GETNEXTITEM, platform::WParamOf(-1), LVNI_SELECTED); break;
    case LIST_TAB: selected = Ask(m_hWnd, TCM_GETCURSEL); break;
    default: break;  // a header or a status bar has no selection
    }
    return selected < 0 ? -1 : selected;
}

HRESULT clsListReader::CheckColumn(LONG column) const noexcept {
    // Column 0 is every bound list's: only another column needs the list asked.
    if (column == 0 && m_kind != LIST_AUTO) return S_OK;
    if (column < 0 || column >= ColumnCount()) return RaiseSubscriptOutOfRange();
    return S_OK;
}

template <typename Take>
HRESULT clsListReader::ReadColumn(LONG column, LONG first, LONG count, Take take) const noexcept {
    // A list its owner draws without strings answers the text messages with its items' numbers: it
    // has no texts to read, which an empty text for every item would hide.
    const bool listOrCombo = m_kind == LIST_LISTBOX || m_kind == LIST_COMBOBOX;
    if (listOrCombo && !lists::KeepsTexts(m_hWnd, m_kind == LIST_COMBOBOX)) {
        return RaiseError(kVbInvalidCall,
                          L"This list keeps no texts: its owner draws its items from numbers of its own (it has no "
                          L"LBS_HASSTRINGS or CBS_HASSTRINGS style). Count and SelectedIndex still answer.");
    }
    std::optional<lists::RemoteItemTexts> remote;
    if (const auto message = RemoteMessage(m_kind)) remote.emplace(m_hWnd, *message);
    for (LONG index = first; index < count; ++index) {
        std::wstring text;
        RETURN_IF_FAILED(remote ? remote->Read({index, column}, &text)
                                : lists::ReadListBoxText(m_hWnd, m_kind == LIST_COMBOBOX, index, &text));
        // An empty text may be the sign of a list that went away: what was read before is the answer.
        if (text.empty() && !platform::Current().IsWindow(m_hWnd)) return S_OK;
        const HRESULT taken = take(index, std::move(text));
        if (taken != S_OK) return SUCCEEDED(taken) ? S_OK : taken;
    }
    return S_OK;
}

HRESULT clsListReader::get_hWnd(LONG* result) { return HandOut(result, m_hWnd); }

HRESULT clsListReader::get_Kind(ListKinds* result) { return HandOut(result, m_kind); }

HRESULT clsListReader::get_Count(LONG* result) {
    if (!result) return E_POINTER;
    *result = Count();
    return S_OK;
}

HRESULT clsListReader::get_ColumnCount(LONG* result) {
    if (!result) return E_POINTER;
    *result = ColumnCount();
    return S_OK;
}

HRESULT clsListReader::get_SelectedIndex(LONG* result) {
    if (!result) return E_POINTER;
    *result = SelectedIndex();
    return S_OK;
}

HRESULT clsListReader::InitByHandle(LONG hWnd, ListKinds Kind, _clsListReader** result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    m_hWnd = 0;
    m_kind = LIST_AUTO;
    if (Kind < LIST_AUTO || Kind > LIST_STATUSBAR) return S_OK;  // no kind at all
    const lists::ClassName name = lists::ClassNameOf(hWnd);
    if (name.length == 0) return S_OK;  // no window
    const ListKinds kind = Kind == LIST_AUTO ? KindOfClass(name) : Kind;
    if (kind == LIST_AUTO) return S_OK;  // a class that tells no kind
    m_hWnd = hWnd;
    m_kind = kind;
    return ReturnSelf(result);
}

HRESULT clsListReader::GetText(LONG Index, LONG Column, BSTR* result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    if (Index < 0) return RaiseSubscriptOutOfRange();
    RETURN_IF_FAILED(CheckColumn(Column));
    // A status bar may answer a part it does not have (the text of its simple mode).
    if (m_kind == LIST_STATUSBAR && Index >= Count()) return RaiseSubscriptOutOfRange();
    std::wstring text;
    RETURN_IF_FAILED(ReadColumn(Column, Index, Index + 1, [&text](LONG, std::wstring&& read) noexcept {
        text.swap(read);
        return S_OK;
    }));
    // Only an empty answer needs the range checked: a list that gave a text has the item. A list
    // that went away gives what was read: nothing.
    if (text.empty() && platform::Current().IsWindow(m_hWnd) && Index >= Count()) return RaiseSubscriptOutOfRange();
    return platform::NewString(text.data(), static_cast<UINT>(text.size()), result);
}

HRESULT clsListReader::GetColumn(LONG Column, VARIANT* result) {
    if (!result) return E_POINTER;
    VariantInit(result);
    RETURN_IF_FAILED(CheckColumn(Column));
    const LONG count = Count();
    std::vector<std::wstring> texts;
    try {
        texts.reserve(static_cast<size_t>(count));
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    RETURN_IF_FAILED(ReadColumn(Column, 0, count, [&texts](LONG, std::wstring&& text) noexcept {
        texts.push_back(std::move(text));  // reserved: moves a string in, allocates nothing
        return S_OK;
    }));
    return lists::ToStringArray(texts.data(), texts.size(), result);
}

HRESULT clsListReader::FindText(BSTR Text, LONG Column, LONG StartIndex, LONG* result) {
    if (!result) return E_POINTER;
    *result = -1;
    RETURN_IF_FAILED(CheckColumn(Column));
    const LONG count = Count();
    // Up to the count itself, where a search that goes on after the last item found ends.
    if (StartIndex < 0 || StartIndex > count) return RaiseSubscriptOutOfRange();
    LONG found = -1;
    RETURN_IF_FAILED(ReadColumn(Column, StartIndex, count, [&found, Text](LONG index, std::wstring&& text) noexcept {
        if (!SameText(text, Text)) return S_OK;
        found = index;
        return S_FALSE;  // the first one
    }));
    *result = found;
    return S_OK;
}

HRESULT clsListReader::IsSelected(LONG Index, VARIANT_BOOL* result) {
    if (!result) return E_POINTER;
    *result = VARIANT_FALSE;
    if (Index < 0 || Index >= Count()) return RaiseSubscriptOutOfRange();
    bool selected = false;
    switch (m_kind) {
    case LIST_LISTBOX:
        // LB_GETSELCOUNT tells a list box of several selections from one of a single selection.
        selected = Ask(m_hWnd, LB_GETSELCOUNT) == LB_ERR ? Ask(m_hWnd, LB_GETCURSEL) == Index
                                                         : Ask(m_hWnd, LB_GETSEL, platform::WParamOf(Index)) > 0;
        break;
    case LIST_COMBOBOX: selected = Ask(m_hWnd, CB_GETCURSEL) == Index; break;
    case LIST_LISTVIEW:
        selected = (Ask(m_hWnd, LVM_GETITEMSTATE, platform::WParamOf(Index), LVIS_SELECTED) & LVIS_SELECTED) != 0;
        break;
    case LIST_TAB: selected = Ask(m_hWnd, TCM_GETCURSEL) == Index; break;
    default: break;
    }
    *result = selected ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

}  // namespace wrang
