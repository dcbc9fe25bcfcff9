#include "window/clsWrangler.h"

#include "frame/Classes.h"

namespace wrang {

HRESULT clsWrangler::get_ClassName(BSTR *result) { return E_NOTIMPL; }
HRESULT clsWrangler::get_AlwaysOnTop(VARIANT_BOOL *result) { return E_NOTIMPL; }
HRESULT clsWrangler::put_AlwaysOnTop(VARIANT_BOOL value) { return E_NOTIMPL; }
HRESULT clsWrangler::get_Enabled(VARIANT_BOOL *result) { return E_NOTIMPL; }
HRESULT clsWrangler::put_Enabled(VARIANT_BOOL value) { return E_NOTIMPL; }
HRESULT clsWrangler::get_Visible(VARIANT_BOOL *result) { return E_NOTIMPL; }
HRESULT clsWrangler::put_Visible(VARIANT_BOOL value) { return E_NOTIMPL; }
HRESULT clsWrangler::get_Text(BSTR *result) { return E_NOTIMPL; }
HRESULT clsWrangler::put_Text(BSTR value) { return E_NOTIMPL; }
HRESULT clsWrangler::get_Left(LONG *result) { return E_NOTIMPL; }
HRESULT clsWrangler::put_Left(LONG value) { return E_NOTIMPL; }
HRESULT clsWrangler::get_Top(LONG *result) { return E_NOTIMPL; }
HRESULT clsWrangler::put_Top(LONG value) { return E_NOTIMPL; }
HRESULT clsWrangler::get_Width(LONG *result) { return E_NOTIMPL; }
HRESULT clsWrangler::put_Width(LONG value) { return E_NOTIMPL; }
HRESULT clsWrangler::get_Height(LONG *result) { return E_NOTIMPL; }
HRESULT clsWrangler::put_Height(LONG value) { return E_NOTIMPL; }
HRESULT clsWrangler::get_WindowState(LONG *result) { return E_NOTIMPL; }
HRESULT clsWrangler::put_WindowState(LONG value) { return E_NOTIMPL; }
HRESULT clsWrangler::CloseWindow() { return E_NOTIMPL; }
HRESULT clsWrangler::Flash() { return E_NOTIMPL; }
HRESULT clsWrangler::Refresh() { return E_NOTIMPL; }
HRESULT clsWrangler::Focus() { return E_NOTIMPL; }
HRESULT clsWrangler::Update() { return E_NOTIMPL; }

}  // namespace wrang
