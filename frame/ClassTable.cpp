#include "frame/Classes.h"

namespace wrang {
namespace {

template <typename Interface, HRESULT (*Make)(Interface**) noexcept>
HRESULT CreateAsDispatch(IDispatch** out) noexcept {
    Interface* object = nullptr;
    const HRESULT hr = Make(&object);
    *out = object;
    return hr;
}

}  // namespace

const CreatableClass kCreatableClasses[3] = {
    {&CLSID_clsWrangler, L"clsWrangler", L"One window of another application",
     &CreateAsDispatch<_clsWrangler, CreateWrangler>},
    {&CLSID_clsSysToolbar, L"clsSysToolbar", L"The notification-area toolbar of the shell",
     &CreateAsDispatch<_clsSysToolbar, CreateSysToolbar>},
    {&CLSID_clsJuggler, L"clsJuggler", L"A menu bar, system menu or other menu of one window",
     &CreateAsDispatch<_clsJuggler, CreateJuggler>},
};

}  // namespace wrang
