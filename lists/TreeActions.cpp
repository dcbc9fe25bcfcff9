// clsTreeReader's actions: expanding, collapsing, selecting and checking items as a user does, so
// that the tree tells its application and the application's own code runs.
#include "lists/clsTreeReader.h"

#include <commctrl.h>

#include "frame/Errors.h"
#include "frame/MemberArguments.h"
#include "lists/Action.h"
#include "lists/BoundWindow.h"
#include "lists/ItemRecords.h"
#include "lists/TreeItems.h"
#include "platform/WindowSystem.h"

namespace wrang {

namespace {

using lists::Action;
using lists::TreeItem;
using lists::TreeItems;

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

// How an action reaches its item: found as it is, or with the levels above it opened (Open), or
// the item itself as well; in a tree with check boxes only.
enum class Reach { Find, OpenAbove, OpenAll, CheckBox };

// An action on the item at `path` of tree `hWnd`, `act(action, tree, item)` answering whether it
// ended as asked. Error 5 for an unbound reader, a window that is no tree view any more (nothing is
// sent to it), a tree without check boxes where they are needed, and a path that names no item;
// False when the tree is gone or does not answer within the action's limit (its count is asked with
// the limit first, before the path is read).
template <typename Act>
HRESULT OnItem(LONG hWnd, BSTR path, Reach reach, VARIANT_BOOL* result, Act&& act) noexcept {
    if (!result) return E_POINTER;
    *result = VARIANT_FALSE;
    platform::WindowSystem& system = platform::Current();
    if (!hWnd) return RaiseInvalidCall();
    // A tree that is gone has no class: False, as for one that does not answer.
    if (!lists::ClassNameOf(hWnd).Contains(L"SysTreeView32")) return system.IsWindow(hWnd) ? RaiseInvalidCall() : S_OK;
    if (reach == Reach::CheckBox && !(system.GetWindowStyle(hWnd) & TVS_CHECKBOXES)) return RaiseInvalidCall();
    Action action(hWnd);
    LRESULT count = 0;
    if (!action.Send(TVM_GETCOUNT, 0, 0, &count)) return S_OK;
    TreeItems tree(hWnd, platform::AnswerOf(count));
    TreeItem item = 0;
    const bool open = reach == Reach::OpenAbove || reach == Reach::OpenAll;
    RETURN_UNLESS_BEGUN(open ? Open(action, tree, path, reach == Reach::OpenAll, &item) : ItemAt(tree, path, &item));
    *result = ToBoolean(act(action, tree, item));
    return S_OK;
}

}  // namespace

HRESULT clsTreeReader::Expand(BSTR Path, VARIANT_BOOL* result) {
    return OnItem(m_hWnd, Path, Reach::OpenAll, result, [](Action& action, TreeItems&, TreeItem item) noexcept {
        UINT state = 0;
        return ItemState(action, item, TVIS_EXPANDED, &state) && state != 0;
    });
}

HRESULT clsTreeReader::Collapse(BSTR Path, VARIANT_BOOL* result) {
    return OnItem(m_hWnd, Path, Reach::Find, result, [](Action& action, TreeItems&, TreeItem item) noexcept {
        UINT state = TVIS_EXPANDED;
        return action.Send(TVM_EXPAND, TVE_COLLAPSE, static_cast<LPARAM>(ItemParameter(item))) &&
               ItemState(action, item, TVIS_EXPANDED, &state) && state == 0;
    });
}

HRESULT clsTreeReader::Select(BSTR Path, VARIANT_BOOL* result) {
    return OnItem(m_hWnd, Path, Reach::OpenAbove, result, [](Action& action, TreeItems& tree, TreeItem item) noexcept {
        // The tree tells its application itself (TVN_SELCHANGING, which may refuse; TVN_SELCHANGED).
        const LPARAM parameter = static_cast<LPARAM>(ItemParameter(item));
        LRESULT caret = 0;
        if (!action.Send(TVM_SELECTITEM, TVGN_CARET, parameter) || !action.Send(TVM_ENSUREVISIBLE, 0, parameter) ||
            !action.Send(TVM_GETNEXTITEM, TVGN_CARET, 0, &caret)) {
            return false;
        }
        // A 32-bit tree's handle is its answer's low 32 bits, however this build widened them.
        return item == (tree.Texts().Process().is64Bit ? static_cast<TreeItem>(static_cast<ULONG_PTR>(caret))
                                                       : static_cast<TreeItem>(static_cast<ULONG>(caret)));
    });
}

HRESULT clsTreeReader::Check(BSTR Path, VARIANT_BOOL Checked, VARIANT_BOOL* result) {
    const UINT wanted = INDEXTOSTATEIMAGEMASK(Checked ? lists::kCheckedImage : lists::kUncheckedImage);
    return OnItem(m_hWnd, Path, Reach::CheckBox, result,
                  [wanted](Action& action, TreeItems& tree, TreeItem item) noexcept {
                      // The item's state image, through the region of the call, in the record of the tree's process.
                      const auto fill = [item, wanted](auto& record) noexcept {
                          record.mask = TVIF_HANDLE | TVIF_STATE;
                          record.hItem = static_cast<decltype(record.hItem)>(item);
                          record.state = wanted;
                          record.stateMask = TVIS_STATEIMAGEMASK;
                      };
                      LRESULT answer = 0;
                      UINT state = 0;
                      return action.ExchangeRecord<lists::TreeItem32, lists::TreeItem64>(tree.Texts(), TVM_SETITEMW, 0,
                                                                                         fill, &answer) &&
                             ItemState(action, item, TVIS_STATEIMAGEMASK, &state) && state == wanted;
                  });
}

HRESULT clsTreeReader::IsChecked(BSTR Path, VARIANT_BOOL* result) {
    return OnItem(m_hWnd, Path, Reach::CheckBox, result, [](Action& action, TreeItems&, TreeItem item) noexcept {
        UINT state = 0;
        return ItemState(action, item, TVIS_STATEIMAGEMASK, &state) &&
               state == INDEXTOSTATEIMAGEMASK(lists::kCheckedImage);
    });
}

}  // namespace wrang
