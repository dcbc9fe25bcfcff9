#include "platform/AnsiText.h"

#include <new>

namespace wrang {

HRESULT AnsiText::Zeroed(int length, AnsiText* out) noexcept {
    if (length < 0) return E_INVALIDARG;
    out->m_bytes.reset(new (std::nothrow) char[static_cast<size_t>(length) + 1]());
    if (!out->m_bytes) return E_OUTOFMEMORY;
    out->m_length = length;
    return S_OK;
}

HRESULT ToAnsi(const wchar_t* text, UINT length, AnsiText* out) noexcept {
    out->m_bytes.reset();
    out->m_length = 0;
    if (!text) return S_OK;
    int bytes = 0;
    if (length > 0) {
        bytes = WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), nullptr, 0, nullptr,
                                    nullptr);
        if (bytes <= 0) return HRESULT_FROM_WIN32(GetLastError());
    }
    if (HRESULT hr = AnsiText::Zeroed(bytes, out); FAILED(hr)) return hr;
    if (bytes > 0 &&
        WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), out->m_bytes.get(), bytes,
                            nullptr, nullptr) != bytes) {
        return HRESULT_FROM_WIN32(GetLastError());
    }
    return S_OK;
}

HRESULT FromAnsi(const char* bytes, int length, BSTR* out) noexcept {
    *out = nullptr;
    int units = 0;
    if (bytes && length > 0) {
        units = MultiByteToWideChar(CP_ACP, 0, bytes, length, nullptr, 0);
        if (units <= 0) return HRESULT_FROM_WIN32(GetLastError());
    }
    BSTR result = SysAllocStringLen(nullptr, static_cast<UINT>(units));
    if (!result) return E_OUTOFMEMORY;
    if (units > 0) MultiByteToWideChar(CP_ACP, 0, bytes, length, result, units);
    result[units] = L'\0';
    *out = result;
    return S_OK;
}

}  // namespace wrang
