// IUnknown, IDispatch and ISupportErrorInfo for every class of the component, written once. A class
// derives from AutomationObject<itself, its interface> and implements only its own members.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <new>

#include "Wrang_h.h"
#include "frame/Dispatcher.h"
#include "frame/ServerLifetime.h"
#include "platform/Resource.h"

namespace wrang {

template <class Derived, class Interface>
class AutomationObject : public Interface, public ISupportErrorInfo, public CountedObject<Derived> {
public:
    // The object factory: a new object with one reference, handed out through its interface.
    [[nodiscard]] static HRESULT Create(Interface** out) noexcept {
        if (!out) return E_POINTER;
        *out = nullptr;
        Derived* object = new (std::nothrow) Derived();
        if (!object) return E_OUTOFMEMORY;
        *out = static_cast<Interface*>(object);
        return S_OK;
    }
    [[nodiscard]] static HRESULT Create(ComPtr<Interface>& out) noexcept { return Create(out.put()); }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (!object) return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == __uuidof(Interface)) {
            *object = static_cast<Interface*>(this);
        } else if (riid == IID_ISupportErrorInfo) {
            *object = static_cast<ISupportErrorInfo*>(this);
        } else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return this->AddReference(); }
    ULONG STDMETHODCALLTYPE Release() override { return this->ReleaseReference(); }

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
        return Dispatch().GetTypeInfo(index, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;  // reserved by IDispatch
        return Dispatch().GetIDsOfNames(names, count, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* exception, UINT* argError) override {
        if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
        return Dispatch().Invoke(static_cast<Interface*>(this), id, flags, params, result, exception, argError);
    }

    // ISupportErrorInfo
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) override {
        return riid == __uuidof(Interface) ? S_OK : S_FALSE;
    }

protected:
    AutomationObject() noexcept = default;
    virtual ~AutomationObject() = default;

    // This object as its automation interface, for calls a member makes on its own interface.
    Interface* self() noexcept { return static_cast<Interface*>(this); }
    // One more reference to this object, for the binding members that return the object itself.
    HRESULT ReturnSelf(Interface** out) noexcept {
        *out = self();
        AddRef();
        return S_OK;
    }

private:
    static Dispatcher& Dispatch() noexcept {
        static Dispatcher dispatcher(__uuidof(Interface));
        return dispatcher;
    }
};

}  // namespace wrang
