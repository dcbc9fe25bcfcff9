// The items of a tree view of another application, named by their path from a root.
#pragma once

#include "frame/AutomationObject.h"

namespace wrang {

class clsTreeReader final : public AutomationObject<clsTreeReader, _clsTreeReader> {
public:
    HRESULT STDMETHODCALLTYPE get_hWnd(LONG* result) override;
    HRESULT STDMETHODCALLTYPE get_Count(LONG* result) override;
    HRESULT STDMETHODCALLTYPE get_SelectedPath(BSTR* result) override;
    HRESULT STDMETHODCALLTYPE InitByHandle(LONG hWnd, _clsTreeReader** result) override;
    HRESULT STDMETHODCALLTYPE GetChildren(BSTR Path, VARIANT* result) override;
    HRESULT STDMETHODCALLTYPE Exists(BSTR Path, VARIANT_BOOL* result) override;
    HRESULT STDMETHODCALLTYPE IsExpanded(BSTR Path, VARIANT_BOOL* result) override;
    // The actions (lists/TreeActions.cpp).
    HRESULT STDMETHODCALLTYPE Expand(BSTR Path, VARIANT_BOOL* result) override;
    HRESULT STDMETHODCALLTYPE Collapse(BSTR Path, VARIANT_BOOL* result) override;
    HRESULT STDMETHODCALLTYPE Select(BSTR Path, VARIANT_BOOL* result) override;
    HRESULT STDMETHODCALLTYPE Check(BSTR Path, VARIANT_BOOL Checked, VARIANT_BOOL* result) override;
    HRESULT STDMETHODCALLTYPE IsChecked(BSTR Path, VARIANT_BOOL* result) override;

private:
    LONG m_hWnd = 0;
};

}  // namespace wrang
