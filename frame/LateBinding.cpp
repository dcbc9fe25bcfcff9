#include "frame/LateBinding.h"

#include <dispex.h>

#include "frame/Errors.h"
#include "platform/Resource.h"

namespace wrang {
namespace {

constexpr UINT kMaxArguments = 8;

HRESULT FindMember(IDispatch* object, const wchar_t* name, DISPID* id) noexcept {
    ComPtr<IDispatchEx> dispatchEx;
    if (SUCCEEDED(object->QueryInterface(__uuidof(IDispatchEx), reinterpret_cast<void**>(dispatchEx.put())))) {
        UniqueBstr bstrName(SysAllocString(name));
        RETURN_IF_NULL_ALLOC(bstrName);
        if (SUCCEEDED(dispatchEx->GetDispID(bstrName.get(), fdexNameCaseInsensitive, id))) return S_OK;
    }
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    return object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, id);
}

// Hands the callee's exception on as this member's own failure, description included.
HRESULT FailFromException(EXCEPINFO& info) noexcept {
    if (info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
    const UniqueBstr source(info.bstrSource), description(info.bstrDescription), helpFile(info.bstrHelpFile);
    HRESULT status = info.scode;
    if (SUCCEEDED(status))
        status = info.wCode ? MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, info.wCode) : DISP_E_EXCEPTION;
    if (description) status = RaiseError(status, description.get());
    return status;
}

}  // namespace

HRESULT InvokeByName(IDispatch* object, const wchar_t* name, WORD flags, VARIANT* args, UINT argCount,
                     VARIANT* result) noexcept {
    if (!object) return RaiseObjectRequired();
    if (argCount > kMaxArguments) return E_INVALIDARG;
    DISPID id = DISPID_UNKNOWN;
    RETURN_IF_FAILED(FindMember(object, name, &id));

    // IDispatch takes its arguments last first.
    VARIANT reversed[kMaxArguments];
    for (UINT i = 0; i < argCount; ++i) reversed[i] = args[argCount - 1 - i];
    DISPPARAMS params = {reversed, nullptr, argCount, 0};
    EXCEPINFO exception = {};
    UINT argError = 0;
    const HRESULT hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, &exception, &argError);
    if (hr == DISP_E_EXCEPTION) return FailFromException(exception);
    return hr;
}

HRESULT InvokeByNameForLong(IDispatch* object, const wchar_t* name, VARIANT* args, UINT argCount,
                            LONG* result) noexcept {
    *result = 0;
    UniqueVariant answer;
    RETURN_IF_FAILED(InvokeByName(object, name, DISPATCH_METHOD | DISPATCH_PROPERTYGET, args, argCount, answer.get()));
    UniqueVariant converted;
    RETURN_IF_FAILED(VariantChangeType(converted.get(), answer.get(), 0, VT_I4));
    *result = V_I4(converted.get());
    return S_OK;
}

}  // namespace wrang
