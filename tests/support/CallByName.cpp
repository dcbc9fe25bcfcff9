#include "support/CallByName.h"

#include <vector>

namespace wrang::test {

IDispatch* CreateFromDll(HMODULE dll, REFCLSID clsid) {
    auto get = ExportOf<HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**)>(dll, "DllGetClassObject");
    IClassFactory* factory = nullptr;
    if (!get || FAILED(get(clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory)))) return nullptr;
    IDispatch* object = nullptr;
    factory->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(&object));
    factory->Release();
    return object;
}

DISPID IdOfName(IDispatch* object, const wchar_t* name) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID id = DISPID_UNKNOWN;
    if (FAILED(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) return DISPID_UNKNOWN;
    return id;
}

HRESULT DispatchCall(IDispatch* object, DISPID id, WORD flags, const VARIANT* args, size_t count, bool assigned,
                     VARIANT* result, EXCEPINFO* exception) {
    std::vector<VARIANT> reversed(args, args + count);  // shallow: the caller keeps ownership
    for (size_t i = 0; i < count; ++i) reversed[i] = args[count - 1 - i];
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS params = {reversed.data(), assigned ? &putId : nullptr, static_cast<UINT>(count), assigned ? 1u : 0u};
    UINT argError = 0;
    return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, exception, &argError);
}

HRESULT DispatchCallByName(IDispatch* object, const wchar_t* name, WORD flags, const VARIANT* args, size_t count,
                           bool assigned, VARIANT* result, EXCEPINFO* exception) {
    const DISPID id = IdOfName(object, name);
    if (id == DISPID_UNKNOWN) return DISP_E_UNKNOWNNAME;
    return DispatchCall(object, id, flags, args, count, assigned, result, exception);
}

}  // namespace wrang::test
