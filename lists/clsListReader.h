// The items of a list of another application: a list box, a combo box's list, a list view's rows,
// the tabs of a tab control, the items of a header, the parts of a status bar.
#pragma once

#include <string>

#include "frame/AutomationObject.h"

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

private:
    LONG Count() const noexcept;
    LONG ColumnCount() const noexcept;
    LONG SelectedIndex() const noexcept;
    // Error 9 unless the column is one of the list's.
    HRESULT CheckColumn(LONG column) const noexcept;
    // Reads item after item of one column from `first`, through one exchange with the list, handing
    // each text to `take` until it returns false; stops early when the list goes away.
    template <typename Take>
    HRESULT ReadColumn(LONG column, LONG first, LONG count, Take take) const noexcept;

    LONG m_hWnd = 0;
    ListKinds m_kind = LIST_AUTO;
};

}  // namespace wrang
