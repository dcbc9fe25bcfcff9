#include "frame/Classes.h"
#include "frame/Errors.h"
#include "window/clsWrangler.h"

namespace wrang {

HRESULT clsWrangler::GetMenu(_clsJuggler** result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    ComPtr<_clsJuggler> menuBar;
    RETURN_IF_FAILED(CreateJuggler(menuBar.put()));
    RETURN_IF_FAILED(menuBar->InitByHandle(m_hWnd, result));
    if (*result) return S_OK;
    // The controller that found no menu bar still names this window; a fresh one names nothing, so
    // a client that tests hMenu for 0 finds hWnd 0 as well.
    return CreateJuggler(result);
}

}  // namespace wrang
