// clsListReader's actions: what a click on an item makes the control and its application do.
#include "lists/clsListReader.h"

#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <new>
#include <vector>

#include "frame/Errors.h"
#include "frame/MemberArguments.h"
#include "lists/Action.h"
#include "lists/BoundWindow.h"
#include "lists/ItemRecords.h"
#include "lists/ItemTexts.h"
#include "platform/WindowSystem.h"

namespace wrang {

namespace {

using lists::Action;
using lists::kCheckedImage;
using lists::kUncheckedImage;
using platform::LParamOf;
using platform::WParamOf;

bool SeveralSelections(LONG listBox) noexcept {
    return (platform::Current().GetWindowStyle(listBox) & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0;
}

// After a click on a list box's item the window system tells the parent (LBN_SELCHANGE), where the
// list asks for it (LBS_NOTIFY).
bool NotifyOfClick(Action& action, LONG listBox) noexcept {
    return !(platform::Current().GetWindowStyle(listBox) & LBS_NOTIFY) || action.NotifyParent(LBN_SELCHANGE);
}

// LVM_SETITEMSTATE: the bits `state` of the bits `mask` of item `index`, the record in the list
// view's process; false without an answer in time, or when the list view did not do it. It tells
// its parent itself (LVN_ITEMCHANGING, LVN_ITEMCHANGED).
bool SetListViewState(Action& action, LONG hWnd, LONG index, UINT state, UINT mask) noexcept {
    lists::RemoteItemTexts call(hWnd, lists::ItemMessage::ListView);
    LRESULT answer = 0;
    const auto fill = [state, mask](auto& record) noexcept {
        record.state = state;
        record.stateMask = mask;
    };
    return action.ExchangeRecord<lists::ListViewItem32, lists::ListViewItem64>(call, LVM_SETITEMSTATE, WParamOf(index),
                                                                               fill, &answer) &&
           answer != 0;
}

// The bits `mask` of a list view item's state, with the action's limit; false without an answer.
bool ListViewState(Action& action, LONG index, UINT mask, UINT* state) noexcept {
    LRESULT answer = 0;
    if (!action.Send(LVM_GETITEMSTATE, WParamOf(index), mask, &answer)) return false;
    *state = static_cast<UINT>(answer) & mask;
    return true;
}

// The rectangle of a tab, read through the region of the call. A single line of tabs has none for
// a tab scrolled out of view to the left: the tabs are scrolled towards it first, one step at a
// time as the control's arrows scroll them.
bool TabRectangle(Action& action, lists::RemoteItemTexts& call, LONG hWnd, LONG index,
                  lists::ItemRectangle* tab) noexcept {
    LRESULT count = 0;
    for (LONG step = 0;; ++step) {
        LRESULT found = 0;
        if (!action.Exchange(call, TCM_GETITEMRECT, WParamOf(index), tab, sizeof *tab, &found, true)) return false;
        if (found) return true;
        if (step == 0 && !action.Send(TCM_GETITEMCOUNT, 0, 0, &count)) return false;
        if (step >= count) return false;
        const LONG arrows = platform::Current().FindWindowExW(hWnd, 0, UPDOWN_CLASSW, nullptr);
        if (!action.Send(WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, index), LParamOf(arrows))) return false;
    }
}

// A click on a tab: the control asks its parent (TCN_SELCHANGING), and unless refused switches
// and tells it (TCN_SELCHANGE), then tells it of the click (NM_CLICK). It goes to the middle of the
// part of the tab that shows (of the whole tab where none shows: the control takes a click by its
// coordinates). Sent, not posted, so that the answer says what the application made of it.
bool ClickTab(Action& action, LONG hWnd, LONG index) noexcept {
    lists::RemoteItemTexts call(hWnd, lists::ItemMessage::Tab);
    lists::ItemRectangle tab = {};
    if (!TabRectangle(action, call, hWnd, index, &tab)) return false;
    RECT client = {};
    platform::Current().GetClientRect(hWnd, &client);
    lists::ItemRectangle shown = {std::max(tab.left, client.left), std::max(tab.top, client.top),
                                  std::min(tab.right, client.right), std::min(tab.bottom, client.bottom)};
    if (shown.left >= shown.right || shown.top >= shown.bottom) shown = tab;
    const LONG x = shown.left + (shown.right - shown.left) / 2, y = shown.top + (shown.bottom - shown.top) / 2;
    if (x < SHRT_MIN || x > SHRT_MAX || y < SHRT_MIN || y > SHRT_MAX) return false;  // no click reaches it
    const LPARAM point = platform::ComposedLParam(MAKELONG(static_cast<SHORT>(x), static_cast<SHORT>(y)));
    return action.Send(WM_LBUTTONDOWN, MK_LBUTTON, point) && action.Send(WM_LBUTTONUP, 0, point);
}

HRESULT ToLongArray(const std::vector<LONG>& values, VARIANT* out) noexcept {
    UniqueSafeArray array(SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(values.size())));
    RETURN_IF_NULL_ALLOC(array.get());
    VARIANT* elements = nullptr;
    RETURN_IF_FAILED(SafeArrayAccessData(array.get(), reinterpret_cast<void**>(&elements)));
    for (size_t i = 0; i < values.size(); ++i) {
        V_VT(&elements[i]) = VT_I4;
        V_I4(&elements[i]) = values[i];
    }
    SafeArrayUnaccessData(array.get());
    V_VT(out) = VT_ARRAY | VT_VARIANT;
    V_ARRAY(out) = array.release();
    return S_OK;
}

}  // namespace

HRESULT clsListReader::BeginAction(std::initializer_list<ListKinds> kinds) const noexcept {
    if (std::find(kinds.begin(), kinds.end(), m_kind) == kinds.end()) return RaiseInvalidCall();
    if (KindOfWindow(m_hWnd) == m_kind) return S_OK;
    // A list that is gone has no class: False, as for one that does not answer.
    return platform::Current().IsWindow(m_hWnd) ? RaiseInvalidCall() : S_FALSE;
}

HRESULT clsListReader::InRange(Action& action, LONG index) const noexcept {
    LRESULT count = 0;
    if (!action.Send(CountMessage(m_kind), 0, 0, &count)) return S_FALSE;
    return index >= 0 && index < platform::AnswerOf(count) ? S_OK : RaiseSubscriptOutOfRange();
}

HRESULT clsListReader::BeginCheckBoxes(Action& action) const noexcept {
    RETURN_UNLESS_BEGUN(BeginAction({LIST_LISTVIEW}));
    LRESULT extended = 0;
    if (!action.Send(LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0, &extended)) return S_FALSE;
    return extended & LVS_EX_CHECKBOXES ? S_OK : RaiseInvalidCall();
}

HRESULT clsListReader::SetItemState(Action& action, LONG index, UINT state, UINT mask, bool* set) const noexcept {
    *set = false;
    // -1 would name every item; past the end the list view changes nothing and answers FALSE, and
    // only then is asked its count.
    if (index < 0) return RaiseSubscriptOutOfRange();
    *set = SetListViewState(action, m_hWnd, index, state, mask);
    return *set ? S_OK : InRange(action, index);
}

HRESULT clsListReader::Select(LONG Index, VARIANT_BOOL* result) {
    if (!result) return E_POINTER;
    *result = VARIANT_FALSE;
    Action action(m_hWnd);
    RETURN_UNLESS_BEGUN(BeginAction({LIST_LISTBOX, LIST_COMBOBOX, LIST_LISTVIEW, LIST_TAB}));
    if (m_kind != LIST_LISTVIEW) RETURN_UNLESS_BEGUN(InRange(action, Index));
    LRESULT answer = 0;
    bool selected = false;
    switch (m_kind) {
    case LIST_LISTBOX:
        if (SeveralSelections(m_hWnd)) {
            // Added to the selection, with the caret on it.
            selected = action.Send(LB_SETSEL, TRUE, LParamOf(Index)) &&
                       action.Send(LB_SETCARETINDEX, WParamOf(Index), FALSE) &&
                       action.Send(LB_GETSEL, WParamOf(Index), 0, &answer) && answer > 0;
        } else {
            selected = action.Send(LB_SETCURSEL, WParamOf(Index), 0) && action.Send(LB_GETCURSEL, 0, 0, &answer) &&
                       platform::AnswerOf(answer) == Index;
        }
        selected = selected && NotifyOfClick(action, m_hWnd);
        break;
    case LIST_COMBOBOX:
        selected = action.Send(CB_SETCURSEL, WParamOf(Index), 0) && action.Send(CB_GETCURSEL, 0, 0, &answer) &&
                   platform::AnswerOf(answer) == Index && action.NotifyParent(CBN_SELCHANGE);
        break;
    case LIST_LISTVIEW: {
        UINT state = 0;
        RETURN_UNLESS_BEGUN(
            SetItemState(action, Index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED, &selected));
        selected = action.Send(LVM_ENSUREVISIBLE, WParamOf(Index), FALSE) &&
                   ListViewState(action, Index, LVIS_SELECTED, &state) && state != 0;
        break;
    }
    case LIST_TAB:
        // A click on the tab that is selected already changes nothing.
        if (!action.Send(TCM_GETCURSEL, 0, 0, &answer)) break;
        selected = platform::AnswerOf(answer) == Index ||
                   (ClickTab(action, m_hWnd, Index) && action.Send(TCM_GETCURSEL, 0, 0, &answer) &&
                    platform::AnswerOf(answer) == Index);
        break;
    default: break;
    }
    *result = ToBoolean(selected);
    return S_OK;
}

HRESULT clsListReader::SelectText(BSTR Text, LONG Column, LONG* result) {
    if (!result) return E_POINTER;
    *result = -1;
    Action action(m_hWnd);
    RETURN_UNLESS_BEGUN(BeginAction({LIST_LISTBOX, LIST_COMBOBOX, LIST_LISTVIEW, LIST_TAB}));
    // Whether the list answers, asked with the limit before its texts are read.
    if (!action.Send(CountMessage(m_kind), 0, 0)) return S_OK;
    LONG found = -1;
    RETURN_IF_FAILED(FindText(Text, Column, 0, &found));
    if (found < 0) return S_OK;
    VARIANT_BOOL selected = VARIANT_FALSE;
    RETURN_IF_FAILED(Select(found, &selected));
    if (selected) *result = found;
    return S_OK;
}

HRESULT clsListReader::Deselect(LONG Index, VARIANT_BOOL* result) {
    if (!result) return E_POINTER;
    *result = VARIANT_FALSE;
    Action action(m_hWnd);
    RETURN_UNLESS_BEGUN(BeginAction({LIST_LISTBOX, LIST_LISTVIEW}));
    // A list box of one selection keeps one selected, as a combo box and a tab do.
    if (m_kind == LIST_LISTBOX && !SeveralSelections(m_hWnd)) return RaiseInvalidCall();
    LRESULT answer = 0;
    bool deselected = false;
    if (m_kind == LIST_LISTBOX) {
        RETURN_UNLESS_BEGUN(InRange(action, Index));
        deselected = action.Send(LB_SETSEL, FALSE, LParamOf(Index)) &&
                     action.Send(LB_GETSEL, WParamOf(Index), 0, &answer) && answer == 0 &&
                     NotifyOfClick(action, m_hWnd);
    } else {
        UINT state = LVIS_SELECTED;
        RETURN_UNLESS_BEGUN(SetItemState(action, Index, 0, LVIS_SELECTED, &deselected));
        deselected = ListViewState(action, Index, LVIS_SELECTED, &state) && state == 0;
    }
    *result = ToBoolean(deselected);
    return S_OK;
}

HRESULT clsListReader::SelectedIndices(VARIANT* result) {
    if (!result) return E_POINTER;
    VariantInit(result);
    const auto ask = [this](UINT message, WPARAM wParam = 0, LPARAM lParam = 0) noexcept {
        return platform::AnswerOf(platform::Current().SendMessageW(m_hWnd, message, wParam, lParam));
    };
    std::vector<LONG> indices;
    try {
        switch (m_kind) {
        case LIST_LISTBOX: {
            // LB_GETSELCOUNT tells a list box of several selections from one of a single selection.
            const LONG selectedCount = ask(LB_GETSELCOUNT);
            if (selectedCount != LB_ERR) {
                RETURN_IF_FAILED(lists::ReadListBoxSelection(m_hWnd, selectedCount, &indices));
            } else if (const LONG current = ask(LB_GETCURSEL); current >= 0) {
                indices.push_back(current);
            }
            break;
        }
        case LIST_COMBOBOX:
        case LIST_TAB:
            if (const LONG current = ask(m_kind == LIST_TAB ? TCM_GETCURSEL : CB_GETCURSEL); current >= 0) {
                indices.push_back(current);
            }
            break;
        case LIST_LISTVIEW: {
            // Each selected item after the one before; never more than the list has, also from a list
            // that answers in a circle.
            const LONG count = ask(LVM_GETITEMCOUNT);
            for (LONG after = -1; static_cast<LONG>(indices.size()) < count;) {
                after = ask(LVM_GETNEXTITEM, WParamOf(after), LVNI_SELECTED);
                if (after < 0 || (!indices.empty() && after <= indices.back())) break;
                indices.push_back(after);
            }
            break;
        }
        default: break;  // a header or a status bar has no selection
        }
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return ToLongArray(indices, result);
}

HRESULT clsListReader::Check(LONG Index, VARIANT_BOOL Checked, VARIANT_BOOL* result) {
    if (!result) return E_POINTER;
    *result = VARIANT_FALSE;
    Action action(m_hWnd);
    RETURN_UNLESS_BEGUN(BeginCheckBoxes(action));
    const UINT wanted = INDEXTOSTATEIMAGEMASK(Checked ? kCheckedImage : kUncheckedImage);
    UINT state = 0;
    bool set = false;
    RETURN_UNLESS_BEGUN(SetItemState(action, Index, wanted, LVIS_STATEIMAGEMASK, &set));
    *result = ToBoolean(ListViewState(action, Index, LVIS_STATEIMAGEMASK, &state) && state == wanted);
    return S_OK;
}

HRESULT clsListReader::IsChecked(LONG Index, VARIANT_BOOL* result) {
    if (!result) return E_POINTER;
    *result = VARIANT_FALSE;
    Action action(m_hWnd);
    RETURN_UNLESS_BEGUN(BeginCheckBoxes(action));
    RETURN_UNLESS_BEGUN(InRange(action, Index));
    UINT state = 0;
    *result = ToBoolean(ListViewState(action, Index, LVIS_STATEIMAGEMASK, &state) &&
                        state == INDEXTOSTATEIMAGEMASK(kCheckedImage));
    return S_OK;
}

}  // namespace wrang
