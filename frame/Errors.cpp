#include "frame/Errors.h"

#include <oleauto.h>

#include "platform/Resource.h"

namespace wrang {

HRESULT RaiseError(HRESULT status, const wchar_t* description) noexcept {
    ComPtr<ICreateErrorInfo> create;
    if (SUCCEEDED(CreateErrorInfo(create.put()))) {
        create->SetGUID(GUID_NULL);
        create->SetSource(const_cast<LPOLESTR>(L"Wrang"));
        create->SetDescription(const_cast<LPOLESTR>(description));
        ComPtr<IErrorInfo> info;
        if (SUCCEEDED(create.as(info))) SetErrorInfo(0, info.get());
    }
    return status;
}

HRESULT RaiseOverflow() noexcept { return RaiseError(kVbOverflow, L"Overflow"); }

HRESULT RaiseInvalidCall() noexcept { return RaiseError(kVbInvalidCall, L"Invalid procedure call or argument"); }

HRESULT RaiseSubscriptOutOfRange() noexcept { return RaiseError(kVbSubscriptOutOfRange, L"Subscript out of range"); }

HRESULT RaiseTypeMismatch() noexcept { return RaiseError(kVbTypeMismatch, L"Type mismatch"); }

HRESULT RaiseCannotPerform() noexcept { return RaiseError(kVbCannotPerform, L"Can't perform requested operation"); }

HRESULT RaiseObjectRequired() noexcept {
    return RaiseError(kVbObjectRequired, L"Object variable or With block variable not set");
}

void ClearError() noexcept { SetErrorInfo(0, nullptr); }

}  // namespace wrang
