#include "frame/Errors.h"
#include "platform/AnsiText.h"
#include "platform/WindowSystem.h"
#include "window/clsWrangler.h"

namespace wrang {
namespace {

// The addresses handed to the window point into this process and are valid only while the
// window procedure runs: every variable behind them lives on the sending member's stack.
template <typename T>
LONG AddressOf(T* variable) noexcept {
    return static_cast<LONG>(reinterpret_cast<LONG_PTR>(variable));
}

// The window gets the ANSI text itself, or the address of a variable that holds its address.
LONG SendAnsiText(LONG hWnd, LONG wMsg, LONG wParam, const AnsiText& text, VARIANT_BOOL forceByVal) {
    char* buffer = text.data();
    const LONG lParam = forceByVal ? AddressOf(buffer) : AddressOf(&buffer);
    return platform::Current().SendMessageA(hWnd, static_cast<UINT>(wMsg), wParam, lParam);
}

}  // namespace

// For an object the flag changes nothing: the window always gets the address of the variable
// holding the reference, the one form in which a receiver can also hand a reference back.

HRESULT clsWrangler::SendMsg(LONG wMsg, LONG wParam, IDispatch* lParam, VARIANT_BOOL forceByVal,
                             LONG* result) {
    if (!result) return E_POINTER;
    *result = 0;
    IDispatch* variable = ComPtr<IDispatch>(lParam).detach();  // a reference of our own
    *result = platform::Current().SendMessageA(m_hWnd, static_cast<UINT>(wMsg), wParam,
                                               AddressOf(&variable));
    // A receiver that swapped the reference released ours and left its own: release what is
    // there now.
    ComPtr<IDispatch>::Attach(variable);
    return S_OK;
}

HRESULT clsWrangler::SendMsgByRef(LONG wMsg, LONG wParam, IDispatch** lParam,
                                  VARIANT_BOOL forceByVal, LONG* result) {
    if (!result || !lParam) return E_POINTER;
    *result = platform::Current().SendMessageA(m_hWnd, static_cast<UINT>(wMsg), wParam,
                                               AddressOf(lParam));
    return S_OK;
}

HRESULT clsWrangler::SendMsgLong(LONG wMsg, LONG wParam, LONG lParam, VARIANT_BOOL forceByVal,
                                 LONG* result) {
    if (!result) return E_POINTER;
    // Whatever the receiver writes lands in this copy; the caller's value never changes.
    LONG copy = lParam;
    *result = platform::Current().SendMessageA(m_hWnd, static_cast<UINT>(wMsg), wParam,
                                               forceByVal ? lParam : AddressOf(&copy));
    return S_OK;
}

HRESULT clsWrangler::SendMsgLongByRef(LONG wMsg, LONG wParam, LONG* lParam,
                                      VARIANT_BOOL forceByVal, LONG* result) {
    if (!result || !lParam) return E_POINTER;
    *result = platform::Current().SendMessageA(m_hWnd, static_cast<UINT>(wMsg), wParam,
                                               forceByVal ? *lParam : AddressOf(lParam));
    return S_OK;
}

HRESULT clsWrangler::SendMsgString(LONG wMsg, LONG wParam, BSTR lParam, VARIANT_BOOL forceByVal,
                                   LONG* result) {
    if (!result) return E_POINTER;
    *result = 0;
    // The receiver may write into the buffer, but only a private copy of the text ever sees it.
    AnsiText text;
    RETURN_IF_FAILED(ToAnsi(lParam, &text));
    *result = SendAnsiText(m_hWnd, wMsg, wParam, text, forceByVal);
    return S_OK;
}

HRESULT clsWrangler::SendMsgStringByRef(LONG wMsg, LONG wParam, BSTR* lParam,
                                        VARIANT_BOOL forceByVal, LONG* result) {
    if (!result || !lParam) return E_POINTER;
    *result = 0;
    AnsiText text;
    RETURN_IF_FAILED(ToAnsi(*lParam, &text));
    const LONG answer = SendAnsiText(m_hWnd, wMsg, wParam, text, forceByVal);
    if (!text.isNull()) {
        // The whole buffer comes back, past any NUL the receiver wrote: a string of ten spaces
        // that received "abc" reads "abc", a NUL and six spaces.
        UniqueBstr returned;
        RETURN_IF_FAILED(FromAnsi(text.data(), text.length(), returned.put()));
        SysFreeString(*lParam);
        *lParam = returned.release();
    }
    *result = answer;
    return S_OK;
}

HRESULT clsWrangler::PostMsg(LONG wMsg, LONG wParam, LONG lParam) {
    // Queued and not waited for; whether it arrived is not reported.
    platform::Current().PostMessageA(m_hWnd, static_cast<UINT>(wMsg), wParam, lParam);
    return S_OK;
}

}  // namespace wrang
