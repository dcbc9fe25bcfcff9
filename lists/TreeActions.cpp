// clsTreeReader's actions: expanding, collapsing, selecting and checking items as a user does, so
// that the tree tells its application and the application's own code runs.
#include "lists/clsTreeReader.h"

#include <commctrl.h>

#include "frame/Errors.h"
#include "lists/Action.h"
#include "lists/BoundWindow.h"
#include "lists/ItemRecords.h"
#include "platform/WindowSystem.h"

namespace wrang {

namespace {

using lists::Action;
using lists::TreeItem;
using lists::TreeItems;

// A check box's state image: 1 unchecked, 2 checked.
constexpr UINT kUnchecked = 1, kChecked = 2;

VARIANT_BOOL ToBoolean(bool value) noexcept { return value ? VARIANT_TRUE : VARIANT_FALSE; }

// An item's handle as a message parameter; a handle this build could not carry back never gets
// here (TreeItems ends the call with error 17 first).
WPARAM ItemParameter(TreeItem item) noexcept { return static_cast<WPARAM>(item); }

// The item a script's path names; error 5 for none, and for the roots' level, which is no item.
HRESULT ItemAt(TreeItems& tree, BSTR path, TreeItem* item) noexcept {
    const HRESULT found = tree.Find(path, SysStringLen(path), item);
    RETURN_IF_FAILED(found);
    return found == S_FALSE || *item == 0 ? RaiseInvalidCall() : S_OK;
}

// The item `path` names, each level above it expanded (TVM_EXPAND, which tells the application
// the first time: TVN_ITEMEXPANDING, TVN_ITEMEXPANDED) before the next one is looked for among its
// children, so that an application which fills them only then has filled them; with `andItself`
// the item too. Error 5 as ItemAt; S_FALSE when the tree did not answer in time.
HRESULT Open(Action& action, TreeItems& tree, BSTR path, bool andItself, TreeItem* item) noexcept {
    bool answered = true;
    const HRESULT found = tree.Walk(path, SysStringLen(path), item, [&](TreeItem reached, bool last) noexcept {
        if (last && !andItself) return S_OK;
        answered = action.Send(TVM_EXPAND, TVE_EXPAND, static_cast<LPARAM>(ItemParameter(reached)));
        return answered ? S_OK : S_FALSE;
    });
    RETURN_IF_FAILED(found);
    if (!answered) return S_FALSE;
    return found == S_FALSE || *item == 0 ? RaiseInvalidCall() : S_OK;
}

// The bits `mask` of an item's state, with the action's limit; false without an answer.
bool ItemState(Action& action, TreeItem item, UINT mask, UINT* state) noexcept {
    LRESULT answer = 0;
    if (!action.Send(TVM_GETITEMSTATE, ItemParameter(item), mask, &answer)) return false;
    *state = static_cast<UINT>(answer) & mask;
    return true;
}

}  // namespace

HRESULT clsTreeReader::BeginAction(Action& action, std::optional<TreeItems>* tree) const noexcept {
    if (!m_hWnd) return RaiseInvalidCall();
    if (!platform::Current().IsWindow(m_hWnd)) return S_FALSE;
    if (!lists::ClassNameOf(m_hWnd).Contains(L"SysTreeView32")) return RaiseInvalidCall();
    LRESULT count = 0;
    if (!action.Send(TVM_GETCOUNT, 0, 0, &count)) return S_FALSE;
    tree->emplace(m_hWnd, platform::AnswerOf(count));
    return S_OK;
}

HRESULT clsTreeReader::BeginCheckBoxes(Action& action, std::optional<TreeItems>* tree, BSTR path,
                                       TreeItem* item) const noexcept {
    RETURN_UNLESS_BEGUN(BeginAction(action, tree));
    if (!(platform::Current().GetWindowStyle(m_hWnd) & TVS_CHECKBOXES)) return RaiseInvalidCall();
    return ItemAt(**tree, path, item);
}

HRESULT clsTreeReader::Expand(BSTR Path, VARIANT_BOOL* result) {
    if (!result) return E_POINTER;
    *result = VARIANT_FALSE;
    Action action(m_hWnd);
    std::optional<TreeItems> tree;
    TreeItem item = 0;
    RETURN_UNLESS_BEGUN(BeginAction(action, &tree));
    RETURN_UNLESS_BEGUN(Open(action, *tree, Path, true, &item));
    UINT state = 0;
    *result = ToBoolean(ItemState(action, item, TVIS_EXPANDED, &state) && state != 0);
    return S_OK;
}

HRESULT clsTreeReader::Collapse(BSTR Path, VARIANT_BOOL* result) {
    if (!result) return E_POINTER;
    *result = VARIANT_FALSE;
    Action action(m_hWnd);
    std::optional<TreeItems> tree;
    TreeItem item = 0;
    RETURN_UNLESS_BEGUN(BeginAction(action, &tree));
    RETURN_IF_FAILED(ItemAt(*tree, Path, &item));
    UINT state = TVIS_EXPANDED;
    *result = ToBoolean(action.Send(TVM_EXPAND, TVE_COLLAPSE, static_cast<LPARAM>(ItemParameter(item))) &&
                        ItemState(action, item, TVIS_EXPANDED, &state) && state == 0);
    return S_OK;
}

HRESULT clsTreeReader::Select(BSTR Path, VARIANT_BOOL* result) {
    if (!result) return E_POINTER;
    *result = VARIANT_FALSE;
    Action action(m_hWnd);
    std::optional<TreeItems> tree;
    TreeItem item = 0;
    RETURN_UNLESS_BEGUN(BeginAction(action, &tree));
    RETURN_UNLESS_BEGUN(Open(action, *tree, Path, false, &item));
    // The tree tells its application itself (TVN_SELCHANGING, which may refuse; TVN_SELCHANGED).
    const LPARAM parameter = static_cast<LPARAM>(ItemParameter(item));
    LRESULT caret = 0;
    const bool sent = action.Send(TVM_SELECTITEM, TVGN_CARET, parameter) &&
                      action.Send(TVM_ENSUREVISIBLE, 0, parameter) &&
                      action.Send(TVM_GETNEXTITEM, TVGN_CARET, 0, &caret);
    // A 32-bit tree's handle is its answer's low 32 bits, however this build widened them.
    const TreeItem selected = tree->Texts().Process().is64Bit ? static_cast<TreeItem>(static_cast<ULONG_PTR>(caret))
                                                              : static_cast<TreeItem>(static_cast<ULONG>(caret));
    *result = ToBoolean(sent && selected == item);
    return S_OK;
}

HRESULT clsTreeReader::Check(BSTR Path, VARIANT_BOOL Checked, VARIANT_BOOL* result) {
    if (!result) return E_POINTER;
    *result = VARIANT_FALSE;
    Action action(m_hWnd);
    std::optional<TreeItems> tree;
    TreeItem item = 0;
    RETURN_UNLESS_BEGUN(BeginCheckBoxes(action, &tree, Path, &item));
    // The item's state image, through the region of the call, in the record of the tree's process.
    const UINT wanted = INDEXTOSTATEIMAGEMASK(Checked ? kChecked : kUnchecked);
    const auto fill = [item, wanted](auto& record) noexcept {
        record.mask = TVIF_HANDLE | TVIF_STATE;
        record.hItem = static_cast<decltype(record.hItem)>(item);
        record.state = wanted;
        record.stateMask = TVIS_STATEIMAGEMASK;
    };
    LRESULT answer = 0;
    UINT state = 0;
    *result = ToBoolean(
        action.ExchangeRecord<lists::TreeItem32, lists::TreeItem64>(tree->Texts(), TVM_SETITEMW, 0, fill, &answer) &&
        ItemState(action, item, TVIS_STATEIMAGEMASK, &state) && state == wanted);
    return S_OK;
}

HRESULT clsTreeReader::IsChecked(BSTR Path, VARIANT_BOOL* result) {
    if (!result) return E_POINTER;
    *result = VARIANT_FALSE;
    Action action(m_hWnd);
    std::optional<TreeItems> tree;
    TreeItem item = 0;
    RETURN_UNLESS_BEGUN(BeginCheckBoxes(action, &tree, Path, &item));
    UINT state = 0;
    *result =
        ToBoolean(ItemState(action, item, TVIS_STATEIMAGEMASK, &state) && state == INDEXTOSTATEIMAGEMASK(kChecked));
    return S_OK;
}

}  // namespace wrang
