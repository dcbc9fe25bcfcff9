#include "frame/Classes.h"
#include "window/clsWrangler.h"

namespace wrang {

// Where the window has no menu bar the controller handed out is a fresh one, not the one that
// found none: that one still names this window, a fresh one names nothing, so a client that tests
// hMenu for 0 finds hWnd 0 as well.
HRESULT clsWrangler::GetMenu(_clsJuggler** result) { return NewBoundToWindow(CreateJuggler, m_hWnd, result); }

}  // namespace wrang
