#include <algorithm>
#include <cstring>

#include "frame/Errors.h"
#include "platform/AnsiText.h"
#include "platform/GuardedPages.h"
#include "platform/WindowSystem.h"
#include "window/clsWrangler.h"

namespace wrang {
namespace {

using platform::AddressOf;
using platform::AnswerOf;
using platform::GuardedPages;
using platform::LParamOf;
using platform::WParamOf;

// Every address these members hand a window points into memory lent for the call alone (never the
// stack, never the heap): the variable or text it names, then room to spare, then a page of no
// access (GuardedPages, whose room rule says how much). What the request itself names as the size
// of what the receiver may write:
//  - EM_GETLINE's line, counted in the first 16-bit word of what the address holds: two bytes a
//    character, for a receiver that writes UTF-16;
//  - a count in wParam (WM_GETTEXT's characters, LB_GETSELITEMS' and SB_GETPARTS' 32-bit numbers):
//    kBytesPerCount bytes a count, for up to kMostCounted counts, so that a wParam that is no count
//    at all (a handle, -1) cannot make the component commit without bound.
// A receiver that writes further faults at the guard page instead of overwriting the client.
constexpr SIZE_T kBytesPerCount = 4;
constexpr SIZE_T kMostCounted = 1 << 20;

// The room for `size` bytes held at `held`.
SIZE_T RoomFor(LONG wParam, const void* held, SIZE_T size) noexcept {
    USHORT firstWord = 0;
    if (size >= sizeof firstWord) std::memcpy(&firstWord, held, sizeof firstWord);
    const SIZE_T counts = std::min<SIZE_T>(static_cast<ULONG>(wParam), kMostCounted);
    return GuardedPages::RoomFor(size, std::max(SIZE_T{firstWord} * 2, counts * kBytesPerCount));
}

// Lent memory that starts with `value`, for a receiver that gets its address.
template <typename T>
HRESULT LendHolding(T value, LONG wParam, GuardedPages* holder) noexcept {
    RETURN_IF_FAILED(holder->Commit(RoomFor(wParam, &value, sizeof(T))));
    *holder->as<T>() = value;
    return S_OK;
}

LONG Send(LONG hWnd, LONG wMsg, LONG wParam, LPARAM lParam) noexcept {
    return AnswerOf(platform::Current().SendMessageA(hWnd, static_cast<UINT>(wMsg), WParamOf(wParam), lParam));
}

// Sends the text in the system's code page: the window gets the text's address, or the address of
// a variable holding it. With `returned`, the buffer comes back over the text's own converted
// length (not the room), past any NUL the receiver wrote: a string of ten spaces that received
// "abc" reads "abc", a NUL and six spaces. A null string is a null address, and comes back as none.
HRESULT SendAnsiText(LONG hWnd, LONG wMsg, LONG wParam, BSTR value, VARIANT_BOOL forceByVal, LONG* answer,
                     UniqueBstr* returned) noexcept {
    AnsiText text;
    RETURN_IF_FAILED(ToAnsi(value, &text));
    GuardedPages buffer, holder;
    char* address = nullptr;
    if (!text.isNull()) {
        RETURN_IF_FAILED(buffer.Commit(RoomFor(wParam, text.data(), static_cast<SIZE_T>(text.length()) + 1)));
        address = buffer.as<char>();
        std::memcpy(address, text.data(), static_cast<size_t>(text.length()));
    }
    LPARAM lParam = AddressOf(address);
    if (!forceByVal) {
        RETURN_IF_FAILED(LendHolding(address, wParam, &holder));
        lParam = AddressOf(holder.as());
    }
    *answer = Send(hWnd, wMsg, wParam, lParam);
    if (returned && address) RETURN_IF_FAILED(FromAnsi(address, text.length(), returned->put()));
    return S_OK;
}

}  // namespace

// For an object the flag changes nothing: the window always gets the address of a variable
// holding the reference, the one form in which a receiver can also hand a reference back.

HRESULT clsWrangler::SendMsg(LONG wMsg, LONG wParam, IDispatch* lParam, VARIANT_BOOL forceByVal, LONG* result) {
    if (!result) return E_POINTER;
    *result = 0;
    // A counted reference of our own, in the variable whose address the window gets.
    ComPtr<IDispatch> held(lParam);
    GuardedPages holder;
    RETURN_IF_FAILED(LendHolding(held.get(), wParam, &holder));
    held.detach();
    IDispatch** variable = holder.as<IDispatch*>();
    *result = Send(m_hWnd, wMsg, wParam, AddressOf(variable));
    // A receiver that swapped the reference released ours and left its own there: what the
    // variable holds now is what this member releases.
    held = ComPtr<IDispatch>::Attach(*variable);
    return S_OK;
}

HRESULT clsWrangler::SendMsgByRef(LONG wMsg, LONG wParam, IDispatch** lParam, VARIANT_BOOL forceByVal, LONG* result) {
    if (!result || !lParam) return E_POINTER;
    *result = 0;
    // The caller's reference itself, not counted again: a receiver that swaps it releases the
    // caller's and leaves its own, which goes back into the caller's variable.
    GuardedPages holder;
    RETURN_IF_FAILED(LendHolding(*lParam, wParam, &holder));
    *result = Send(m_hWnd, wMsg, wParam, AddressOf(holder.as()));
    *lParam = *holder.as<IDispatch*>();
    return S_OK;
}

HRESULT clsWrangler::SendMsgLong(LONG wMsg, LONG wParam, LONG lParam, VARIANT_BOOL forceByVal, LONG* result) {
    if (!result) return E_POINTER;
    *result = 0;
    if (forceByVal) {
        *result = Send(m_hWnd, wMsg, wParam, LParamOf(lParam));
        return S_OK;
    }
    // Whatever the receiver writes lands in this copy; the caller's value never changes.
    GuardedPages copy;
    RETURN_IF_FAILED(LendHolding(lParam, wParam, &copy));
    *result = Send(m_hWnd, wMsg, wParam, AddressOf(copy.as()));
    return S_OK;
}

HRESULT clsWrangler::SendMsgLongByRef(LONG wMsg, LONG wParam, LONG* lParam, VARIANT_BOOL forceByVal, LONG* result) {
    if (!result || !lParam) return E_POINTER;
    *result = 0;
    if (forceByVal) {
        *result = Send(m_hWnd, wMsg, wParam, LParamOf(*lParam));
        return S_OK;
    }
    // The window gets a variable that starts with the caller's value, and what it left there
    // becomes the caller's value: the caller's own variable is never within its reach.
    GuardedPages holder;
    RETURN_IF_FAILED(LendHolding(*lParam, wParam, &holder));
    *result = Send(m_hWnd, wMsg, wParam, AddressOf(holder.as()));
    *lParam = *holder.as<LONG>();
    return S_OK;
}

HRESULT clsWrangler::SendMsgString(LONG wMsg, LONG wParam, BSTR lParam, VARIANT_BOOL forceByVal, LONG* result) {
    if (!result) return E_POINTER;
    *result = 0;
    // The receiver may write into the buffer, but the caller's string never sees it.
    return SendAnsiText(m_hWnd, wMsg, wParam, lParam, forceByVal, result, nullptr);
}

HRESULT clsWrangler::SendMsgStringByRef(LONG wMsg, LONG wParam, BSTR* lParam, VARIANT_BOOL forceByVal, LONG* result) {
    if (!result || !lParam) return E_POINTER;
    *result = 0;
    LONG answer = 0;
    UniqueBstr returned;
    RETURN_IF_FAILED(SendAnsiText(m_hWnd, wMsg, wParam, *lParam, forceByVal, &answer, &returned));
    if (returned) {
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
