#include "lists/clsTreeReader.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "frame/Classes.h"
#include "frame/Errors.h"
#include "lists/BoundWindow.h"
#include "lists/TreeItems.h"
#include "platform/WindowSystem.h"

namespace wrang {

HRESULT CreateTreeReader(_clsTreeReader** out) noexcept { return clsTreeReader::Create(out); }

namespace {
// The item a script's path names: S_OK, or S_FALSE when it names none.
HRESULT Find(lists::TreeItems& tree, BSTR path, lists::TreeItem* item) noexcept {
    return tree.Find(path, SysStringLen(path), item);
}
}  // namespace

HRESULT clsTreeReader::get_hWnd(LONG* result) { return HandOut(result, m_hWnd); }

HRESULT clsTreeReader::get_Count(LONG* result) {
    if (!result) return E_POINTER;
    *result =
        m_hWnd ? std::max(platform::AnswerOf(platform::Current().SendMessageW(m_hWnd, TVM_GETCOUNT, 0, 0)), 0L) : 0;
    return S_OK;
}

HRESULT clsTreeReader::get_SelectedPath(BSTR* result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    std::wstring path;
    if (m_hWnd) {
        lists::TreeItems tree(m_hWnd);
        lists::TreeItem selected = 0;
        RETURN_IF_FAILED(tree.Selected(&selected));
        RETURN_IF_FAILED(tree.PathOf(selected, &path));
    }
    return platform::NewString(path.data(), static_cast<UINT>(path.size()), result);
}

HRESULT clsTreeReader::InitByHandle(LONG hWnd, _clsTreeReader** result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    m_hWnd = 0;
    // A window of another class may take the tree's message numbers for messages of its own.
    if (!lists::ClassNameOf(hWnd).Contains(L"SysTreeView32")) return S_OK;
    m_hWnd = hWnd;
    return ReturnSelf(result);
}

HRESULT clsTreeReader::GetChildren(BSTR Path, VARIANT* result) {
    if (!result) return E_POINTER;
    VariantInit(result);
    lists::TreeItems tree(m_hWnd);
    lists::TreeItem parent = 0;
    const HRESULT found = Find(tree, Path, &parent);
    RETURN_IF_FAILED(found);
    if (found == S_FALSE) return RaiseInvalidCall();
    std::vector<std::wstring> texts;
    RETURN_IF_FAILED(tree.ChildTexts(parent, &texts));
    return lists::ToStringArray(texts.data(), texts.size(), result);
}

HRESULT clsTreeReader::Exists(BSTR Path, VARIANT_BOOL* result) {
    if (!result) return E_POINTER;
    *result = VARIANT_FALSE;
    lists::TreeItems tree(m_hWnd);
    lists::TreeItem item = 0;
    const HRESULT found = Find(tree, Path, &item);
    RETURN_IF_FAILED(found);
    *result = found == S_OK ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT clsTreeReader::IsExpanded(BSTR Path, VARIANT_BOOL* result) {
    if (!result) return E_POINTER;
    *result = VARIANT_FALSE;
    lists::TreeItems tree(m_hWnd);
    lists::TreeItem item = 0;
    const HRESULT found = Find(tree, Path, &item);
    RETURN_IF_FAILED(found);
    // The roots' level is no item.
    if (found == S_FALSE || item == 0) return RaiseInvalidCall();
    *result = tree.Expanded(item) ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

}  // namespace wrang
