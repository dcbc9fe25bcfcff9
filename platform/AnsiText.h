// Text towards the window system: automation strings (UTF-16) converted to the system's ANSI code
// page, and back. A null string reference stays a null pointer; an empty string stays an empty,
// NUL-terminated string.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <memory>

namespace wrang {

class AnsiText {
public:
    AnsiText() noexcept = default;

    // The bytes, NUL-terminated; nullptr when made from a null string reference.
    char* data() const noexcept { return m_bytes.get(); }
    // Number of converted bytes, not counting the terminating NUL.
    int length() const noexcept { return m_length; }
    bool isNull() const noexcept { return !m_bytes; }

    // A buffer of `length` zero bytes plus the terminator, for the window system to write into.
    [[nodiscard]] static HRESULT Zeroed(int length, AnsiText* out) noexcept;

private:
    friend HRESULT ToAnsi(const wchar_t*, UINT, AnsiText*) noexcept;
    std::unique_ptr<char[]> m_bytes;
    int m_length = 0;
};

// Converts `length` UTF-16 code units (embedded NULs included); text nullptr gives a null AnsiText.
[[nodiscard]] HRESULT ToAnsi(const wchar_t* text, UINT length, AnsiText* out) noexcept;
[[nodiscard]] inline HRESULT ToAnsi(BSTR text, AnsiText* out) noexcept { return ToAnsi(text, SysStringLen(text), out); }

// Converts exactly `length` bytes into a new automation string; it does not stop at a NUL byte.
[[nodiscard]] HRESULT FromAnsi(const char* bytes, int length, BSTR* out) noexcept;

// The code of `character` in the ANSI code page as a 16-bit number, a double-byte character being
// its lead byte followed by its trail byte (which reads as negative). False when the code page
// cannot hold the character: it would come back from the code page as another one (a best fit
// such as "O" for a Greek capital omega, or the default "?"), as a lone UTF-16 surrogate always does.
[[nodiscard]] bool AnsiCharacterCode(wchar_t character, SHORT* code) noexcept;

}  // namespace wrang
