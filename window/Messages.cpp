#include <cstring>
#include <utility>

#include "frame/Errors.h"
#include "platform/AnsiText.h"
#include "platform/WindowSystem.h"
#include "window/clsWrangler.h"

namespace wrang {
namespace {

// The addresses handed to the window point into this process and are valid only while the
// window procedure runs: every variable behind them lives on the sending member's stack.
using platform::AddressOf;
using platform::AnswerOf;
using platform::LParamOf;
using platform::WParamOf;

// The most room a text buffer is given beyond its text, so that an arbitrary wParam cannot make
// the component allocate without bound.
constexpr LONG kMostRoom = 1 << 20;

// The text in the system's code page, in a buffer the receiver may write into. A buffer holding
// only the text would let a message that takes its buffer size from wParam (WM_GETTEXT with a
// short string and a larger count) write past its end into this process's heap; the buffer gets
// that much zero-filled room. `length` is the text's own length, all that ever comes back.
HRESULT ToAnsiBuffer(BSTR value, LONG wParam, AnsiText* buffer, int* length) noexcept {
    AnsiText text;
    RETURN_IF_FAILED(ToAnsi(value, &text));
    *length = text.length();
    if (text.isNull() || wParam <= text.length() + 1 || wParam > kMostRoom) {
        *buffer = std::move(text);
        return S_OK;
    }
    RETURN_IF_FAILED(AnsiText::Zeroed(wParam, buffer));
    std::memcpy(buffer->data(), text.data(), static_cast<size_t>(text.length()));
    return S_OK;
}

// The window gets the ANSI text itself, or the address of a variable that holds its address.
LONG SendAnsiText(LONG hWnd, LONG wMsg, LONG wParam, const AnsiText& text, VARIANT_BOOL forceByVal) {
    char* buffer = text.data();
    const LPARAM lParam = forceByVal ? AddressOf(buffer) : AddressOf(&buffer);
    return AnswerOf(platform::Current().SendMessageA(hWnd, static_cast<UINT>(wMsg), WParamOf(wParam), lParam));
}

}  // namespace

// For an object the flag changes nothing: the window always gets the address of the variable
// holding the reference, the one form in which a receiver can also hand a reference back.

HRESULT clsWrangler::SendMsg(LONG wMsg, LONG wParam, IDispatch* lParam, VARIANT_BOOL forceByVal, LONG* result) {
    if (!result) return E_POINTER;
    *result = 0;
    // A counted reference of our own, in a variable whose address the window gets.
    ComPtr<IDispatch> held(lParam);
    IDispatch* variable = held.detach();
    *result = AnswerOf(
        platform::Current().SendMessageA(m_hWnd, static_cast<UINT>(wMsg), WParamOf(wParam), AddressOf(&variable)));
    // A receiver that swapped the reference released ours and left its own there: what the
    // variable holds now is what this member releases.
    held = ComPtr<IDispatch>::Attach(variable);
    return S_OK;
}

HRESULT clsWrangler::SendMsgByRef(LONG wMsg, LONG wParam, IDispatch** lParam, VARIANT_BOOL forceByVal, LONG* result) {
    if (!result || !lParam) return E_POINTER;
    *result = AnswerOf(
        platform::Current().SendMessageA(m_hWnd, static_cast<UINT>(wMsg), WParamOf(wParam), AddressOf(lParam)));
    return S_OK;
}

HRESULT clsWrangler::SendMsgLong(LONG wMsg, LONG wParam, LONG lParam, VARIANT_BOOL forceByVal, LONG* result) {
    if (!result) return E_POINTER;
    // Whatever the receiver writes lands in this copy; the caller's value never changes.
    LONG copy = lParam;
    *result = AnswerOf(platform::Current().SendMessageA(m_hWnd, static_cast<UINT>(wMsg), WParamOf(wParam),
                                                        forceByVal ? LParamOf(lParam) : AddressOf(&copy)));
    return S_OK;
}

HRESULT clsWrangler::SendMsgLongByRef(LONG wMsg, LONG wParam, LONG* lParam, VARIANT_BOOL forceByVal, LONG* result) {
    if (!result || !lParam) return E_POINTER;
    *result = AnswerOf(platform::Current().SendMessageA(m_hWnd, static_cast<UINT>(wMsg), WParamOf(wParam),
                                                        forceByVal ? LParamOf(*lParam) : AddressOf(lParam)));
    return S_OK;
}

HRESULT clsWrangler::SendMsgString(LONG wMsg, LONG wParam, BSTR lParam, VARIANT_BOOL forceByVal, LONG* result) {
    if (!result) return E_POINTER;
    *result = 0;
    // The receiver may write into the buffer, but only a private copy of the text ever sees it.
    AnsiText text;
    int length = 0;
    RETURN_IF_FAILED(ToAnsiBuffer(lParam, wParam, &text, &length));
    *result = SendAnsiText(m_hWnd, wMsg, wParam, text, forceByVal);
    return S_OK;
}

HRESULT clsWrangler::SendMsgStringByRef(LONG wMsg, LONG wParam, BSTR* lParam, VARIANT_BOOL forceByVal, LONG* result) {
    if (!result || !lParam) return E_POINTER;
    *result = 0;
    AnsiText text;
    int length = 0;
    RETURN_IF_FAILED(ToAnsiBuffer(*lParam, wParam, &text, &length));
    const LONG answer = SendAnsiText(m_hWnd, wMsg, wParam, text, forceByVal);
    if (!text.isNull()) {
        // The whole text comes back, past any NUL the receiver wrote: a string of ten spaces
        // that received "abc" reads "abc", a NUL and six spaces.
        UniqueBstr returned;
        RETURN_IF_FAILED(FromAnsi(text.data(), length, returned.put()));
        SysFreeString(*lParam);
        *lParam = returned.release();
    }
    *result = answer;
    return S_OK;
}

HRESULT clsWrangler::PostMsg(LONG wMsg, LONG wParam, LONG lParam) {
    // Queued and not waited for; whether it arrived is not reported.
    platform::Current().PostMessageA(m_hWnd, static_cast<UINT>(wMsg), WParamOf(wParam), LParamOf(lParam));
    return S_OK;
}

}  // namespace wrang
