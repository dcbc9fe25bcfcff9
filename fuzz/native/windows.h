// Native (Linux) stand-in for the few Windows declarations that platform/KeyStrings.cpp and
// platform/AnsiText.cpp use. Used ONLY by the coverage-guided fuzz build (fuzz/CMakeLists.txt);
// the component itself always builds against the real headers. The build passes -fshort-wchar so
// that wchar_t is a UTF-16 code unit, as on Windows.
#pragma once

#include <cstdint>

typedef int32_t HRESULT;
typedef uint16_t WORD;
typedef int16_t SHORT;
typedef uint32_t UINT;
typedef uint32_t DWORD;
typedef wchar_t* BSTR;
typedef int BOOL;

static_assert(sizeof(wchar_t) == 2, "the fuzz build needs -fshort-wchar");

#define S_OK ((HRESULT)0)
#define E_INVALIDARG ((HRESULT)0x80070057L)
#define E_OUTOFMEMORY ((HRESULT)0x8007000EL)
#define FAILED(hr) (((HRESULT)(hr)) < 0)
#define SUCCEEDED(hr) (((HRESULT)(hr)) >= 0)
#define HRESULT_FROM_WIN32(x) \
    ((HRESULT)(x) <= 0 ? ((HRESULT)(x)) : ((HRESULT)(((x)&0x0000FFFF) | (7 << 16) | 0x80000000)))
#define CP_ACP 0

#define VK_BACK 0x08
#define VK_TAB 0x09
#define VK_RETURN 0x0D
#define VK_SHIFT 0x10
#define VK_CONTROL 0x11
#define VK_MENU 0x12
#define VK_PAUSE 0x13
#define VK_CAPITAL 0x14
#define VK_ESCAPE 0x1B
#define VK_PRIOR 0x21
#define VK_NEXT 0x22
#define VK_END 0x23
#define VK_HOME 0x24
#define VK_LEFT 0x25
#define VK_UP 0x26
#define VK_RIGHT 0x27
#define VK_DOWN 0x28
#define VK_SNAPSHOT 0x2C
#define VK_INSERT 0x2D
#define VK_DELETE 0x2E
#define VK_HELP 0x2F
#define VK_MULTIPLY 0x6A
#define VK_ADD 0x6B
#define VK_SUBTRACT 0x6D
#define VK_DIVIDE 0x6F
#define VK_F1 0x70
#define VK_F2 0x71
#define VK_F3 0x72
#define VK_F4 0x73
#define VK_F5 0x74
#define VK_F6 0x75
#define VK_F7 0x76
#define VK_F8 0x77
#define VK_F9 0x78
#define VK_F10 0x79
#define VK_F11 0x7A
#define VK_F12 0x7B
#define VK_F13 0x7C
#define VK_F14 0x7D
#define VK_F15 0x7E
#define VK_F16 0x7F
#define VK_NUMLOCK 0x90
#define VK_SCROLL 0x91

DWORD GetLastError();

// The stand-in ANSI code page is ISO 8859-1: byte b is U+00bb, and a code unit above U+00FF has
// no byte and becomes '?', as the real conversion does with its default character.
int WideCharToMultiByte(UINT codePage, DWORD flags, const wchar_t* text, int units, char* bytes, int size,
                        const char* defaultChar, BOOL* usedDefault);
int MultiByteToWideChar(UINT codePage, DWORD flags, const char* bytes, int length, wchar_t* text, int units);
