#include "window/clsWrangler.h"

#include "frame/Classes.h"

namespace wrang {

HRESULT clsWrangler::get_hWndParent(LONG *result) { return E_NOTIMPL; }
HRESULT clsWrangler::put_hWndParent(LONG value) { return E_NOTIMPL; }
HRESULT clsWrangler::get_Parent(_clsWrangler **result) { return E_NOTIMPL; }
HRESULT clsWrangler::putref_Parent(_clsWrangler *value) { return E_NOTIMPL; }
HRESULT clsWrangler::get_HasChildren(VARIANT_BOOL *result) { return E_NOTIMPL; }
HRESULT clsWrangler::GetNextSibling(_clsWrangler **result) { return E_NOTIMPL; }
HRESULT clsWrangler::GetPreviousSibling(_clsWrangler **result) { return E_NOTIMPL; }
HRESULT clsWrangler::GetSibling(BSTR ClassName, BSTR WindowText, _clsWrangler **result) { return E_NOTIMPL; }
HRESULT clsWrangler::GetTopLevelParent(_clsWrangler **result) { return E_NOTIMPL; }
HRESULT clsWrangler::GetFirstChild(_clsWrangler **result) { return E_NOTIMPL; }
HRESULT clsWrangler::GetLastChild(_clsWrangler **result) { return E_NOTIMPL; }
HRESULT clsWrangler::GetChild(BSTR ClassName, BSTR WindowText, _clsWrangler **result) { return E_NOTIMPL; }

}  // namespace wrang
