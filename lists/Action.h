// One action of a reader on a control of another application, as a user's click makes it: the
// control's own messages, then the notification its parent expects, each sent within what is left
// of one limit, so that an application that does not answer never holds the script.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include "lists/ItemTexts.h"
#include "platform/Deadline.h"

// Ends an action's member unless a step before the action answered S_OK: S_FALSE (the control is
// gone or did not answer in time) with the member's result as it stands, a failure with itself.
#define RETURN_UNLESS_BEGUN(step)                                     \
    do {                                                              \
        const HRESULT begun_ = (step);                                \
        if (begun_ != S_OK) return SUCCEEDED(begun_) ? S_OK : begun_; \
    } while (0)

namespace wrang::lists {

// How long one action waits for the control and its application in all: the time after which the
// window system calls a thread that takes no messages hung.
constexpr DWORD kActionLimitMs = 5000;

// A check box is a state image of the item: 1 unchecked, 2 checked.
constexpr UINT kUncheckedImage = 1, kCheckedImage = 2;

class Action {
public:
    // The limit starts now.
    explicit Action(LONG hWnd) noexcept;
    Action(const Action&) = delete;
    Action& operator=(const Action&) = delete;

    // Sends to the control: false when it did not answer within what is left of the limit, its
    // thread is reported hung, or it is gone.
    [[nodiscard]] bool Send(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* answer = nullptr) noexcept;
    // WM_COMMAND with the control's ID and `code` to its parent, as the window system sends a list
    // box's or a combo box's notification after a click; true when there is no parent to tell.
    [[nodiscard]] bool NotifyParent(WORD code) noexcept;

    // Writes `record` into the region of the call and sends `message` with its address; with
    // `readBack` reads the record back afterwards. False without a region or an answer in time:
    // a message that ran out of time may still reach the control, so the region stays in its
    // process (ForeignRegion::Leave) and the call uses it no more.
    [[nodiscard]] bool Exchange(RemoteItemTexts& call, UINT message, WPARAM wParam, void* record, size_t size,
                                LRESULT* answer, bool readBack = false) noexcept;
    // The same with a record of the control's own layout, `Record32` or `Record64` as its process
    // lays them out, which `fill` fills from zero.
    template <typename Record32, typename Record64, typename Fill>
    [[nodiscard]] bool ExchangeRecord(RemoteItemTexts& call, UINT message, WPARAM wParam, Fill&& fill,
                                      LRESULT* answer) noexcept {
        if (call.Process().is64Bit) {
            Record64 record = {};
            fill(record);
            return Exchange(call, message, wParam, &record, sizeof record, answer);
        }
        Record32 record = {};
        fill(record);
        return Exchange(call, message, wParam, &record, sizeof record, answer);
    }

private:
    bool SendTo(LONG hWnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* answer) noexcept;

    LONG m_hWnd;
    platform::Deadline m_deadline;
};

}  // namespace wrang::lists
