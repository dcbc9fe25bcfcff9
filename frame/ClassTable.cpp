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

const CreatableClass kCreatableClasses[kCreatableClassCount] = {
#define WRANG_CREATABLE_CLASS(name, make, threading, description) \
    {&CLSID_##name, L"" #name, L"" #threading, L"" description, &CreateAsDispatch<_##name, make>},
#include "frame/CreatableClasses.inc"
#undef WRANG_CREATABLE_CLASS
};

}  // namespace wrang
