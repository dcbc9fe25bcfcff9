// What a user's keyboard and mouse give an application, delivered to one of its windows by
// messages: exact text, a click at a point, the choice of a menu entry by its captions. None of them
// needs the window to be focused or in front, and none moves the real cursor.
#pragma once

#include "frame/AutomationObject.h"

namespace wrang {

class clsInput final : public AutomationObject<clsInput, _clsInput> {
public:
    HRESULT STDMETHODCALLTYPE TypeText(_clsWrangler* Window, BSTR Text, VARIANT_BOOL* result) override;
    HRESULT STDMETHODCALLTYPE Click(_clsWrangler* Window, LONG X, LONG Y, MouseButtons Button, LONG Count,
                                    VARIANT_BOOL* result) override;
    HRESULT STDMETHODCALLTYPE ClickMenu(_clsWrangler* Window, BSTR Path, VARIANT_BOOL* result) override;
};

}  // namespace wrang
