// The wrapper of one window of another application.
#pragma once

#include "frame/AutomationObject.h"

namespace wrang {

class clsWrangler final : public AutomationObject<clsWrangler, _clsWrangler> {
public:
    HRESULT STDMETHODCALLTYPE InitByHandle(LONG hWnd, _clsWrangler** result) override;
    HRESULT STDMETHODCALLTYPE InitByWindow(BSTR ClassName, BSTR WindowText, _clsWrangler** result) override;
    HRESULT STDMETHODCALLTYPE get_hWnd(LONG* result) override;
    HRESULT STDMETHODCALLTYPE get_hWndParent(LONG* result) override;
    HRESULT STDMETHODCALLTYPE put_hWndParent(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_Parent(_clsWrangler** result) override;
    HRESULT STDMETHODCALLTYPE putref_Parent(_clsWrangler* value) override;
    HRESULT STDMETHODCALLTYPE get_ClassName(BSTR* result) override;
    HRESULT STDMETHODCALLTYPE get_AlwaysOnTop(VARIANT_BOOL* result) override;
    HRESULT STDMETHODCALLTYPE put_AlwaysOnTop(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_Enabled(VARIANT_BOOL* result) override;
    HRESULT STDMETHODCALLTYPE put_Enabled(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_Visible(VARIANT_BOOL* result) override;
    HRESULT STDMETHODCALLTYPE put_Visible(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_Text(BSTR* result) override;
    HRESULT STDMETHODCALLTYPE put_Text(BSTR value) override;
    HRESULT STDMETHODCALLTYPE get_Left(LONG* result) override;
    HRESULT STDMETHODCALLTYPE put_Left(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_Top(LONG* result) override;
    HRESULT STDMETHODCALLTYPE put_Top(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_Width(LONG* result) override;
    HRESULT STDMETHODCALLTYPE put_Width(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_Height(LONG* result) override;
    HRESULT STDMETHODCALLTYPE put_Height(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_WindowState(LONG* result) override;
    HRESULT STDMETHODCALLTYPE put_WindowState(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_HasChildren(VARIANT_BOOL* result) override;
    HRESULT STDMETHODCALLTYPE SendMsg(LONG wMsg, LONG wParam, IDispatch* lParam, VARIANT_BOOL forceByVal,
                                      LONG* result) override;
    HRESULT STDMETHODCALLTYPE SendMsgByRef(LONG wMsg, LONG wParam, IDispatch** lParam, VARIANT_BOOL forceByVal,
                                           LONG* result) override;
    HRESULT STDMETHODCALLTYPE SendMsgLong(LONG wMsg, LONG wParam, LONG lParam, VARIANT_BOOL forceByVal,
                                          LONG* result) override;
    HRESULT STDMETHODCALLTYPE SendMsgLongByRef(LONG wMsg, LONG wParam, LONG* lParam, VARIANT_BOOL forceByVal,
                                               LONG* result) override;
    HRESULT STDMETHODCALLTYPE SendMsgString(LONG wMsg, LONG wParam, BSTR lParam, VARIANT_BOOL forceByVal,
                                            LONG* result) override;
    HRESULT STDMETHODCALLTYPE SendMsgStringByRef(LONG wMsg, LONG wParam, BSTR* lParam, VARIANT_BOOL forceByVal,
                                                 LONG* result) override;
    HRESULT STDMETHODCALLTYPE PostMsg(LONG wMsg, LONG wParam, LONG lParam) override;
    HRESULT STDMETHODCALLTYPE GetNextSibling(_clsWrangler** result) override;
    HRESULT STDMETHODCALLTYPE GetPreviousSibling(_clsWrangler** result) override;
    HRESULT STDMETHODCALLTYPE GetSibling(BSTR ClassName, BSTR WindowText, _clsWrangler** result) override;
    HRESULT STDMETHODCALLTYPE GetTopLevelParent(_clsWrangler** result) override;
    HRESULT STDMETHODCALLTYPE GetFirstChild(_clsWrangler** result) override;
    HRESULT STDMETHODCALLTYPE GetLastChild(_clsWrangler** result) override;
    HRESULT STDMETHODCALLTYPE GetChild(BSTR ClassName, BSTR WindowText, _clsWrangler** result) override;
    HRESULT STDMETHODCALLTYPE GetMenu(_clsJuggler** result) override;
    HRESULT STDMETHODCALLTYPE GetWindowHandle(LONG* result) override;
    HRESULT STDMETHODCALLTYPE get_IsWindow(VARIANT_BOOL* result) override;
    HRESULT STDMETHODCALLTYPE CloseWindow() override;
    HRESULT STDMETHODCALLTYPE Flash() override;
    HRESULT STDMETHODCALLTYPE Refresh() override;
    HRESULT STDMETHODCALLTYPE Focus() override;
    HRESULT STDMETHODCALLTYPE Update() override;
    HRESULT STDMETHODCALLTYPE ClickButton(ClickButtonMethods ClickMethod) override;
    HRESULT STDMETHODCALLTYPE SendText(BSTR strText, LONG sendInterval, VARIANT_BOOL* result) override;
    HRESULT STDMETHODCALLTYPE VBSendKeys(BSTR strInput, VARIANT_BOOL wait) override;

private:
    // Types one key into a window: key-down, a pause, the character where there is one, key-up.
    HRESULT PostKey(LONG keyCode, LONG hWnd, SHORT pause) noexcept;
    static LONG CharToKeyCode(SHORT characterCode) noexcept;

    LONG m_hWnd = 0;
    VARIANT_BOOL m_bAlwaysOnTop = VARIANT_FALSE;
};

}  // namespace wrang
