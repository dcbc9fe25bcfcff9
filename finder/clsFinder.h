// A query for windows: class name and caption patterns (exact, wildcards or a regular expression,
// with or without case), the process, a child's control identifier, the window whose descendants
// are searched and visibility. The criteria are set once and the finder is asked again and again.
#pragma once

#include <optional>
#include <string>

#include "finder/Search.h"
#include "frame/AutomationObject.h"

namespace wrang {

class clsFinder final : public AutomationObject<clsFinder, _clsFinder> {
public:
    HRESULT STDMETHODCALLTYPE get_ClassName(VARIANT* result) override;
    HRESULT STDMETHODCALLTYPE put_ClassName(VARIANT value) override;
    HRESULT STDMETHODCALLTYPE get_WindowText(VARIANT* result) override;
    HRESULT STDMETHODCALLTYPE put_WindowText(VARIANT value) override;
    HRESULT STDMETHODCALLTYPE get_MatchMode(MatchModes* result) override;
    HRESULT STDMETHODCALLTYPE put_MatchMode(MatchModes value) override;
    HRESULT STDMETHODCALLTYPE get_IgnoreCase(VARIANT_BOOL* result) override;
    HRESULT STDMETHODCALLTYPE put_IgnoreCase(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_ProcessId(LONG* result) override;
    HRESULT STDMETHODCALLTYPE put_ProcessId(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_ControlId(LONG* result) override;
    HRESULT STDMETHODCALLTYPE put_ControlId(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_Parent(_clsWrangler** result) override;
    HRESULT STDMETHODCALLTYPE putref_Parent(_clsWrangler* value) override;
    HRESULT STDMETHODCALLTYPE get_VisibleOnly(VARIANT_BOOL* result) override;
    HRESULT STDMETHODCALLTYPE put_VisibleOnly(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE FindFirst(_clsWrangler** result) override;
    HRESULT STDMETHODCALLTYPE FindAll(VARIANT* result) override;
    HRESULT STDMETHODCALLTYPE Count(LONG* result) override;
    HRESULT STDMETHODCALLTYPE ProcessIdOf(_clsWrangler* Window, LONG* result) override;
    HRESULT STDMETHODCALLTYPE ProcessPathOf(_clsWrangler* Window, BSTR* result) override;
    HRESULT STDMETHODCALLTYPE ControlIdOf(_clsWrangler* Window, LONG* result) override;
    HRESULT STDMETHODCALLTYPE OwnerOf(_clsWrangler* Window, _clsWrangler** result) override;
    HRESULT STDMETHODCALLTYPE Reset() override;

private:
    using Text = std::optional<std::wstring>;  // none: Empty, any name

    // Compiles both patterns for a new mode, case rule or text and keeps them; nothing changes when
    // either cannot be compiled (error 5 for a bad regular expression).
    HRESULT SetPatterns(MatchModes mode, bool ignoreCase, const Text& className, const Text& caption) noexcept;
    // A new pattern text from a Variant assigned to ClassName (`forClass`) or WindowText.
    HRESULT SetText(const VARIANT& value, bool forClass) noexcept;
    // Where the search looks; *nowhere for a Parent bound to a value that names no window.
    HRESULT ScopeOf(finder::Scope* scope, bool* nowhere) noexcept;
    // Calls `found(hWnd)` for each window that matches, in order, until it answers false.
    template <typename Found>
    HRESULT ForEachMatch(Found found) noexcept;

    Text m_className, m_caption;
    MatchModes m_mode = MATCH_WILDCARD;
    bool m_ignoreCase = true;
    finder::Criteria m_criteria;
    ComPtr<_clsWrangler> m_parent;
};

}  // namespace wrang
