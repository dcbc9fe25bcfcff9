// The native stand-ins declared in windows.h and oleauto.h of this folder, for the fuzz build only.
#include "windows.h"
#include "oleauto.h"

#include <cstdlib>
#include <cstring>

namespace {
DWORD g_lastError = 0;
constexpr DWORD kInsufficientBuffer = 122;
constexpr DWORD kInvalidParameter = 87;
}  // namespace

DWORD GetLastError() { return g_lastError; }

int WideCharToMultiByte(UINT, DWORD, const wchar_t* text, int units, char* bytes, int size, const char*, BOOL*) {
    if (!text || units <= 0 || size < 0) {
        g_lastError = kInvalidParameter;
        return 0;
    }
    if (size == 0) return units;
    if (size < units) {
        g_lastError = kInsufficientBuffer;
        return 0;
    }
    for (int i = 0; i < units; ++i) {
        bytes[i] = text[i] <= 0xFF ? static_cast<char>(text[i]) : '?';
    }
    return units;
}

int MultiByteToWideChar(UINT, DWORD, const char* bytes, int length, wchar_t* text, int units) {
    if (!bytes || length <= 0 || units < 0) {
        g_lastError = kInvalidParameter;
        return 0;
    }
    if (units == 0) return length;
    if (units < length) {
        g_lastError = kInsufficientBuffer;
        return 0;
    }
    for (int i = 0; i < length; ++i) text[i] = static_cast<unsigned char>(bytes[i]);
    return length;
}

// Laid out as the real one: a byte count before the text, a NUL after it.
BSTR SysAllocStringLen(const wchar_t* text, UINT units) {
    const size_t bytes = static_cast<size_t>(units) * sizeof(wchar_t);
    auto* block = static_cast<unsigned char*>(std::malloc(sizeof(uint32_t) + bytes + sizeof(wchar_t)));
    if (!block) return nullptr;
    const uint32_t count = static_cast<uint32_t>(bytes);
    std::memcpy(block, &count, sizeof count);
    auto* result = reinterpret_cast<wchar_t*>(block + sizeof(uint32_t));
    if (text) std::memcpy(result, text, bytes);
    result[units] = L'\0';
    return result;
}

UINT SysStringLen(BSTR text) {
    if (!text) return 0;
    uint32_t count;
    std::memcpy(&count, reinterpret_cast<unsigned char*>(text) - sizeof(uint32_t), sizeof count);
    return count / sizeof(wchar_t);
}

void SysFreeString(BSTR text) {
    if (text) std::free(reinterpret_cast<unsigned char*>(text) - sizeof(uint32_t));
}
