#include "platform/AnsiText.h"

#include <new>

#include "platform/Result.h"
#include "platform/Unique.h"

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
        bytes = WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
        if (bytes <= 0) return HRESULT_FROM_WIN32(GetLastError());
    }
    RETURN_IF_FAILED(AnsiText::Zeroed(bytes, out));
    if (bytes > 0 && WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), out->m_bytes.get(), bytes, nullptr,
                                         nullptr) != bytes) {
        return HRESULT_FROM_WIN32(GetLastError());
    }
    return S_OK;
}

HRESULT FromAnsi(const char* bytes, int length, BSTR* out) noexcept {
    *out = nullptr;
    if (!bytes || length <= 0) {
        BSTR empty = SysAllocStringLen(nullptr, 0);
        if (!empty) return E_OUTOFMEMORY;
        empty[0] = L'\0';
        *out = empty;
        return S_OK;
    }
    // No byte of any ANSI code page gives more than one UTF-16 code unit, so a string as long as
    // the bytes holds the text: one conversion instead of a measuring pass and a converting pass.
    // Only double-byte text comes out shorter, and is then copied into a string of its length.
    UniqueBstr converted(SysAllocStringLen(nullptr, static_cast<UINT>(length)));
    RETURN_IF_NULL_ALLOC(converted);
    const int units = MultiByteToWideChar(CP_ACP, 0, bytes, length, converted.get(), length);
    if (units <= 0) return HRESULT_FROM_WIN32(GetLastError());
    if (units < length) {
        converted.reset(SysAllocStringLen(converted.get(), static_cast<UINT>(units)));
        RETURN_IF_NULL_ALLOC(converted);
    }
    converted.get()[units] = L'\0';
    *out = converted.release();
    return S_OK;
}

bool AnsiCharacterCode(wchar_t character, SHORT* code) noexcept {
    // Room for the longest character of any ANSI code page (four bytes where it is UTF-8).
    char bytes[8];
    const int length = WideCharToMultiByte(CP_ACP, 0, &character, 1, bytes, sizeof bytes, nullptr, nullptr);
    wchar_t back = 0;
    if (length <= 0 || MultiByteToWideChar(CP_ACP, 0, bytes, length, &back, 1) != 1 || back != character) {
        return false;
    }
    const auto* b = reinterpret_cast<const unsigned char*>(bytes);
    *code = static_cast<SHORT>(length >= 2 ? (b[0] << 8) | b[1] : b[0]);
    return true;
}

}  // namespace wrang
