// Waits for windows and their states with a limit, asks whether a window answers, sends with a
// time-out, and brings a window to the front: what a script that runs unattended needs besides
// the window wrapper.
#pragma once

#include "frame/AutomationObject.h"

namespace wrang {

class clsWatcher final : public AutomationObject<clsWatcher, _clsWatcher> {
public:
    HRESULT STDMETHODCALLTYPE WaitForWindow(VARIANT ClassName, VARIANT WindowText, LONG Timeout,
                                            _clsWrangler** result) override;
    HRESULT STDMETHODCALLTYPE WaitForChild(_clsWrangler* Parent, VARIANT ClassName, VARIANT WindowText, LONG Timeout,
                                           _clsWrangler** result) override;
    HRESULT STDMETHODCALLTYPE WaitForState(_clsWrangler* Window, WaitStates States, LONG Timeout,
                                           VARIANT_BOOL* result) override;
    HRESULT STDMETHODCALLTYPE WaitForClose(_clsWrangler* Window, LONG Timeout, VARIANT_BOOL* result) override;
    HRESULT STDMETHODCALLTYPE WaitForIdle(_clsWrangler* Window, LONG Timeout, VARIANT_BOOL* result) override;
    HRESULT STDMETHODCALLTYPE IsResponding(_clsWrangler* Window, LONG Timeout, VARIANT_BOOL* result) override;
    HRESULT STDMETHODCALLTYPE SendMsgTimeout(_clsWrangler* Window, LONG wMsg, LONG wParam, LONG lParam, LONG Timeout,
                                             VARIANT* result) override;
    HRESULT STDMETHODCALLTYPE Activate(_clsWrangler* Window, VARIANT_BOOL* result) override;
    HRESULT STDMETHODCALLTYPE Pause(LONG Milliseconds) override;
    HRESULT STDMETHODCALLTYPE WaitForMatch(_clsFinder* Finder, LONG Timeout, _clsWrangler** result) override;
};

}  // namespace wrang
