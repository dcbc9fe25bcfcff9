// The items of a list of another application: a list box, a combo box's list, a list view's rows,
// the tabs of a tab control, the items of a header, the parts of a status bar.
#pragma once

#include <initializer_list>
#include <string>

#include "frame/AutomationObject.h"

namespace wrang::lists {
class Action;
}

namespace wrang {

class clsListReader final : public AutomationObject<clsListReader, _clsListReader> {
public:
    HRESULT STDMETHODCALLTYPE get_hWnd(LONG* result) override;
    HRESULT STDMETHODCALLTYPE get_Kind(ListKinds* result) override;
    HRESULT STDMETHODCALLTYPE get_Count(LONG* result) override;
    HRESULT STDMETHODCALLTYPE get_ColumnCount(LONG* result) override;
    HRESULT STDMETHODCALLTYPE get_SelectedIndex(LONG* result) override;
    HRESULT STDMETHODCALLTYPE InitByHandle(LONG hWnd, ListKinds Kind, _clsListReader** result) override;
    HRESULT STDMETHODCALLTYPE GetText(LONG Index, LONG Column, BSTR* result) override;
    HRESULT STDMETHODCALLTYPE GetColumn(LONG Column, VARIANT* result) override;
    HRESULT STDMETHODCALLTYPE FindText(BSTR Text, LONG Column, LONG StartIndex, LONG* result) override;
    HRESULT STDMETHODCALLTYPE IsSelected(LONG Index, VARIANT_BOOL* result) override;
    // The actions (lists/ListActions.cpp).
    HRESULT STDMETHODCALLTYPE Select(LONG Index, VARIANT_BOOL* result) override;
    HRESULT STDMETHODCALLTYPE SelectText(BSTR Text, LONG Column, LONG* result) override;
    HRESULT STDMETHODCALLTYPE Deselect(LONG Index, VARIANT_BOOL* result) override;
    HRESULT STDMETHODCALLTYPE SelectedIndices(VARIANT* result) override;
    HRESULT STDMETHODCALLTYPE Check(LONG Index, VARIANT_BOOL Checked, VARIANT_BOOL* result) override;
    HRESULT STDMETHODCALLTYPE IsChecked(LONG Index, VARIANT_BOOL* result) override;

private:
    // The message that counts a kind's items.
    static UINT CountMessage(ListKinds kind) noexcept;
    // The kind the window's class name tells; LIST_AUTO for none.
    static ListKinds KindOfWindow(LONG hWnd) noexcept;
    LONG Count() const noexcept;
    LONG ColumnCount() const noexcept;
    LONG SelectedIndex() const noexcept;
    // Error 9 unless the column is one of the list's.
    HRESULT CheckColumn(LONG column) const noexcept;
    // Reads item after item of one column from `first`, through one exchange with the list, handing
    // each text to `take` until it returns false; stops early when the list goes away.
    template <typename Take>
    HRESULT ReadColumn(LONG column, LONG first, LONG count, Take take) const noexcept;
    // The steps before an action (lists/ListActions.cpp); each answers S_OK to go on, S_FALSE when
    // the list is gone or did not answer within the action's limit (the action answers False), or
    // an error. Error 5 for a reader of another kind than `kinds` (or none) and for a window whose
    // class is not of the kind bound, to which nothing is sent.
    HRESULT BeginAction(std::initializer_list<ListKinds> kinds) const noexcept;
    // Error 9 for an index outside the list.
    HRESULT InRange(lists::Action& action, LONG index) const noexcept;
    // A list view with check boxes (else error 5).
    HRESULT BeginCheckBoxes(lists::Action& action) const noexcept;
    // LVM_SETITEMSTATE of item `index`, *set when the list view did it; error 9 as InRange.
    HRESULT SetItemState(lists::Action& action, LONG index, UINT state, UINT mask, bool* set) const noexcept;

    LONG m_hWnd = 0;
    ListKinds m_kind = LIST_AUTO;
};

}  // namespace wrang
