// Coverage-guided fuzzing of the text conversions (platform/AnsiText.cpp), built natively against
// the stand-in code page of fuzz/native (ISO 8859-1). The first byte chooses the case; the rest is
// the text. Checked beyond "no crash":
//  - UTF-16 to ANSI: one byte per unit, NUL-terminated; back to UTF-16 it is the same text wherever
//    the code page holds the unit, '?' elsewhere;
//  - ANSI to UTF-16 for any byte count (embedded NULs included) and back gives the same bytes;
//  - a space-filled buffer converts to as many spaces; a zeroed buffer is zeros plus a terminator;
//  - a null text stays null, an empty text stays an empty, terminated string.
#include "platform/AnsiText.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

[[noreturn]] void Fault(const char* what) {
    std::fprintf(stderr, "text conversion property broken: %s\n", what);
    std::abort();
}

void Check(bool holds, const char* what) {
    if (!holds) Fault(what);
}

struct OwnedString {
    BSTR text = nullptr;
    ~OwnedString() { SysFreeString(text); }
};

void WideRoundTrip(const uint8_t* data, size_t size) {
    std::vector<wchar_t> text(size / 2 + 1);  // never empty, so data() is a real text
    text.pop_back();
    for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<wchar_t>(data[2 * i] | (data[2 * i + 1] << 8));
    wrang::AnsiText ansi;
    Check(wrang::ToAnsi(text.data(), static_cast<UINT>(text.size()), &ansi) == S_OK, "ToAnsi failed");
    Check(!ansi.isNull(), "a text became null");
    Check(ansi.length() == static_cast<int>(text.size()), "ToAnsi length");
    Check(ansi.data()[ansi.length()] == '\0', "ToAnsi terminator");
    OwnedString back;
    Check(wrang::FromAnsi(ansi.data(), ansi.length(), &back.text) == S_OK, "FromAnsi failed");
    Check(SysStringLen(back.text) == text.size(), "round-trip length");
    Check(back.text[text.size()] == L'\0', "FromAnsi terminator");
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t expected = text[i] <= 0xFF ? text[i] : L'?';
        Check(back.text[i] == expected, "round trip changed a unit the code page holds");
    }
}

void AnsiRoundTrip(const uint8_t* data, size_t size) {
    OwnedString wide;
    Check(wrang::FromAnsi(reinterpret_cast<const char*>(data), static_cast<int>(size), &wide.text) == S_OK,
          "FromAnsi failed");
    Check(wide.text != nullptr, "FromAnsi gave null");
    Check(SysStringLen(wide.text) == size, "FromAnsi length");
    Check(wide.text[size] == L'\0', "FromAnsi terminator");
    wrang::AnsiText ansi;
    Check(wrang::ToAnsi(wide.text, &ansi) == S_OK, "ToAnsi of a BSTR failed");
    Check(ansi.length() == static_cast<int>(size), "ANSI round-trip length");
    Check(size == 0 || std::memcmp(ansi.data(), data, size) == 0, "ANSI round trip changed bytes");
}

void Buffers(const uint8_t* data, size_t size) {
    // The length comes from the input; kept small enough to stay fast.
    const int length = size >= 2 ? (data[0] | (data[1] << 8)) % 4097 : static_cast<int>(size);
    // One unit more than used, so an empty buffer is still a real (non-null) text.
    std::vector<wchar_t> spaces(static_cast<size_t>(length) + 1, L' ');
    wrang::AnsiText filled;
    Check(wrang::ToAnsi(spaces.data(), static_cast<UINT>(length), &filled) == S_OK, "spaces");
    Check(filled.length() == length && filled.data()[length] == '\0', "space buffer size");
    for (int i = 0; i < length; ++i) Check(filled.data()[i] == ' ', "space buffer content");

    wrang::AnsiText zeroed;
    Check(wrang::AnsiText::Zeroed(length, &zeroed) == S_OK, "Zeroed");
    Check(zeroed.length() == length, "Zeroed length");
    for (int i = 0; i <= length; ++i) Check(zeroed.data()[i] == '\0', "Zeroed content");
    wrang::AnsiText refused;
    Check(wrang::AnsiText::Zeroed(-1 - length, &refused) == E_INVALIDARG, "negative Zeroed length");

    wrang::AnsiText null;
    Check(wrang::ToAnsi(nullptr, static_cast<UINT>(length), &null) == S_OK && null.isNull(), "null text");
    wrang::AnsiText empty;
    const wchar_t nothing[] = L"";
    Check(
        wrang::ToAnsi(nothing, 0, &empty) == S_OK && !empty.isNull() && empty.length() == 0 && empty.data()[0] == '\0',
        "empty text");
    OwnedString fromNull;
    Check(wrang::FromAnsi(nullptr, length, &fromNull.text) == S_OK && fromNull.text && SysStringLen(fromNull.text) == 0,
          "FromAnsi of no bytes");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint8_t mode = data[0] % 3;
    if (mode == 0)
        WideRoundTrip(data + 1, size - 1);
    else if (mode == 1)
        AnsiRoundTrip(data + 1, size - 1);
    else
        Buffers(data + 1, size - 1);
    return 0;
}
