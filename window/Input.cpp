#include "window/clsWrangler.h"

#include "frame/Classes.h"

namespace wrang {

HRESULT clsWrangler::ClickButton(ClickButtonMethods ClickMethod) { return E_NOTIMPL; }
HRESULT clsWrangler::SendText(BSTR strText, LONG sendInterval, VARIANT_BOOL *result) { return E_NOTIMPL; }
HRESULT clsWrangler::VBSendKeys(BSTR strInput, VARIANT_BOOL wait) { return E_NOTIMPL; }

}  // namespace wrang
