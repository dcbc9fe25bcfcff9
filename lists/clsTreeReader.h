// The items of a tree view of another application, named by their path from a root.
#pragma once

#include <optional>

#include "frame/AutomationObject.h"
#include "lists/TreeItems.h"

namespace wrang::lists {
class Action;
}

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
    // Before an action: error 5 for an unbound reader and for a window that is no tree view any
    // more, to which nothing is sent; S_FALSE when the tree is gone or did not answer within the
    // action's limit (the action answers False); else the tree, counted with the limit, in *tree.
    HRESULT BeginAction(lists::Action& action, std::optional<lists::TreeItems>* tree) const noexcept;
    // The same for a tree with check boxes (TVS_CHECKBOXES; else error 5), and the item at `path`.
    HRESULT BeginCheckBoxes(lists::Action& action, std::optional<lists::TreeItems>* tree, BSTR path,
                            lists::TreeItem* item) const noexcept;

    LONG m_hWnd = 0;
};

}  // namespace wrang
