#include "window/clsWrangler.h"

#include "frame/Classes.h"

namespace wrang {

HRESULT clsWrangler::SendMsg(LONG wMsg, LONG wParam, IDispatch *lParam, VARIANT_BOOL forceByVal, LONG *result) { return E_NOTIMPL; }
HRESULT clsWrangler::SendMsgByRef(LONG wMsg, LONG wParam, IDispatch **lParam, VARIANT_BOOL forceByVal, LONG *result) { return E_NOTIMPL; }
HRESULT clsWrangler::SendMsgLong(LONG wMsg, LONG wParam, LONG lParam, VARIANT_BOOL forceByVal, LONG *result) { return E_NOTIMPL; }
HRESULT clsWrangler::SendMsgLongByRef(LONG wMsg, LONG wParam, LONG *lParam, VARIANT_BOOL forceByVal, LONG *result) { return E_NOTIMPL; }
HRESULT clsWrangler::SendMsgString(LONG wMsg, LONG wParam, BSTR lParam, VARIANT_BOOL forceByVal, LONG *result) { return E_NOTIMPL; }
HRESULT clsWrangler::SendMsgStringByRef(LONG wMsg, LONG wParam, BSTR *lParam, VARIANT_BOOL forceByVal, LONG *result) { return E_NOTIMPL; }
HRESULT clsWrangler::PostMsg(LONG wMsg, LONG wParam, LONG lParam) { return E_NOTIMPL; }

}  // namespace wrang
