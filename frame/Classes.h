// Creation of the component's objects, for members that hand out new objects of another class.
#pragma once

#include "Wrang_h.h"
#include "platform/Resource.h"
#include "platform/Result.h"

namespace wrang {

[[nodiscard]] HRESULT CreateWrangler(_clsWrangler** out) noexcept;
[[nodiscard]] HRESULT CreateSysToolbar(_clsSysToolbar** out) noexcept;
[[nodiscard]] HRESULT CreateToolbarButton(_clsToolbarButton** out) noexcept;
[[nodiscard]] HRESULT CreateJuggler(_clsJuggler** out) noexcept;
[[nodiscard]] HRESULT CreateMenuItem(_clsMenuItem** out) noexcept;
[[nodiscard]] HRESULT CreateMenuEnum(_clsMenuEnum** out) noexcept;
[[nodiscard]] HRESULT CreateWatcher(_clsWatcher** out) noexcept;
[[nodiscard]] HRESULT CreateListReader(_clsListReader** out) noexcept;
[[nodiscard]] HRESULT CreateTreeReader(_clsTreeReader** out) noexcept;
[[nodiscard]] HRESULT CreateFinder(_clsFinder** out) noexcept;
[[nodiscard]] HRESULT CreateInput(_clsInput** out) noexcept;

// A new object of ours bound by its InitByHandle to `hWnd`, for the members that hand out the
// object of a window. Where binding gives Nothing, a fresh unbound object goes out instead, so that
// the client always has an object to ask.
template <typename Interface>
[[nodiscard]] HRESULT NewBoundToWindow(HRESULT (*create)(Interface**) noexcept, LONG hWnd,
                                       Interface** result) noexcept {
    if (!result) return E_POINTER;
    *result = nullptr;
    ComPtr<Interface> object;
    RETURN_IF_FAILED(create(object.put()));
    RETURN_IF_FAILED(object->InitByHandle(hWnd, result));
    if (*result) return S_OK;
    return create(result);
}

// The classes a client may create, for the class factories and for registration alike.
struct CreatableClass {
    const CLSID* clsid;
    const wchar_t* name;  // the class name; the ProgID is "Wrang." + name
    const wchar_t* threadingModel;
    const wchar_t* description;
    HRESULT (*create)(IDispatch** out) noexcept;
};
// The rows are in frame/CreatableClasses.inc.
constexpr int kCreatableClassCount = 0
#define WRANG_CREATABLE_CLASS(name, make, threading, description) +1
#include "frame/CreatableClasses.inc"
#undef WRANG_CREATABLE_CLASS
    ;
extern const CreatableClass kCreatableClasses[kCreatableClassCount];

}  // namespace wrang
