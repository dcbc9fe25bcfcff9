#include "menu/clsMenuEnum.h"

#include "frame/Classes.h"

namespace wrang {

HRESULT CreateMenuEnum(_clsMenuEnum** out) noexcept { return clsMenuEnum::Create(out); }

// Not built yet.
HRESULT clsMenuEnum::Init(IDispatch *MenuItem) { return E_NOTIMPL; }
HRESULT clsMenuEnum::Count(LONG *result) { return E_NOTIMPL; }
HRESULT clsMenuEnum::NextItem(VARIANT_BOOL *result) { return E_NOTIMPL; }
HRESULT clsMenuEnum::GetItem(_clsMenuItem **result) { return E_NOTIMPL; }
HRESULT clsMenuEnum::EndEnum() { return E_NOTIMPL; }

}  // namespace wrang
