#include "frame/ClassFactory.h"

#include <new>

#include "frame/Classes.h"
#include "frame/Errors.h"
#include "frame/ServerLifetime.h"
#include "platform/Resource.h"

namespace wrang {
namespace {

class ClassFactory final : public IClassFactory, public CountedObject<ClassFactory> {
public:
    explicit ClassFactory(const CreatableClass& cls) noexcept : m_class(cls) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (!object) return E_POINTER;
        if (riid != IID_IUnknown && riid != IID_IClassFactory) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return AddReference(); }
    ULONG STDMETHODCALLTYPE Release() override { return ReleaseReference(); }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        ComPtr<IDispatch> created;
        RETURN_IF_FAILED(m_class.create(created.put()));
        return created->QueryInterface(riid, object);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        wrang::LockServer(lock != FALSE);
        return S_OK;
    }

private:
    const CreatableClass& m_class;
};

}  // namespace

HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** factory) noexcept {
    if (!factory) return E_POINTER;
    *factory = nullptr;
    for (const CreatableClass& cls : kCreatableClasses) {
        if (*cls.clsid != clsid) continue;
        ComPtr<IClassFactory> created = ComPtr<IClassFactory>::Attach(new (std::nothrow) ClassFactory(cls));
        if (!created) return E_OUTOFMEMORY;
        return created->QueryInterface(iid, factory);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

}  // namespace wrang
