#include "window/clsWrangler.h"

#include "frame/Classes.h"

namespace wrang {

HRESULT clsWrangler::GetMenu(_clsJuggler **result) { return E_NOTIMPL; }

}  // namespace wrang
