#include "finder/clsFinder.h"

#include <new>
#include <vector>

#include "frame/ArgumentConversion.h"
#include "frame/Classes.h"
#include "frame/Errors.h"
#include "frame/MemberArguments.h"
#include "platform/WindowSystem.h"

namespace wrang {
namespace {

// A pattern's text as a script reads it back: the string set, or Empty.
HRESULT HandOutText(const std::optional<std::wstring>& text, VARIANT* result) noexcept {
    if (!result) return E_POINTER;
    V_VT(result) = VT_EMPTY;
    if (!text) return S_OK;
    BSTR copy = nullptr;
    RETURN_IF_FAILED(platform::NewString(text->c_str(), static_cast<UINT>(text->size()), &copy));
    V_VT(result) = VT_BSTR;
    V_BSTR(result) = copy;
    return S_OK;
}

// `text` compiled for the mode and case rule, or no pattern for no text.
HRESULT PatternOf(MatchModes mode, bool ignoreCase, const std::optional<std::wstring>& text,
                  std::optional<finder::Pattern>* pattern) noexcept {
    if (!text) {
        pattern->reset();
        return S_OK;
    }
    finder::Pattern compiled;
    RETURN_IF_FAILED(finder::Pattern::Compile(mode, ignoreCase, text->c_str(), text->size(), &compiled));
    *pattern = std::move(compiled);
    return S_OK;
}

// The program file of a process as the system names it: tried in a room of MAX_PATH characters,
// then in one of the longest path there is.
HRESULT ProgramPathOf(DWORD processId, BSTR* result) noexcept {
    platform::WindowSystem& ws = platform::Current();
    const platform::UniqueProcess process(
        processId ? ws.OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId) : nullptr);
    if (process) {
        for (const DWORD room : {static_cast<DWORD>(MAX_PATH), static_cast<DWORD>(32768)}) {
            try {
                std::wstring path(room, L'\0');
                DWORD length = room;
                if (ws.QueryFullProcessImageNameW(process.get(), 0, &path[0], &length) && length < room) {
                    return platform::NewString(path.c_str(), length, result);
                }
            } catch (const std::bad_alloc&) {
                return E_OUTOFMEMORY;
            }
        }
    }
    // A process that is gone, or that this one may not ask.
    return platform::NewString(L"", 0, result);
}

}  // namespace

HRESULT CreateFinder(_clsFinder** out) noexcept { return clsFinder::Create(out); }

HRESULT clsFinder::SetPatterns(MatchModes mode, bool ignoreCase, const Text& className, const Text& caption) noexcept {
    if (mode != MATCH_EXACT && mode != MATCH_WILDCARD && mode != MATCH_REGEX) return RaiseInvalidCall();
    std::optional<finder::Pattern> classPattern, captionPattern;
    RETURN_IF_FAILED(PatternOf(mode, ignoreCase, className, &classPattern));
    RETURN_IF_FAILED(PatternOf(mode, ignoreCase, caption, &captionPattern));
    try {
        m_className = className;
        m_caption = caption;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    m_mode = mode;
    m_ignoreCase = ignoreCase;
    m_criteria.className = std::move(classPattern);
    m_criteria.caption = std::move(captionPattern);
    return S_OK;
}

HRESULT clsFinder::SetText(const VARIANT& value, bool forClass) noexcept {
    BSTR given = nullptr;
    if (FAILED(OptionalTextIn(value, &given))) return RaiseTypeMismatch();
    try {
        Text text;
        if (given) text.emplace(given, SysStringLen(given));
        return SetPatterns(m_mode, m_ignoreCase, forClass ? text : m_className, forClass ? m_caption : text);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT clsFinder::get_ClassName(VARIANT* result) { return HandOutText(m_className, result); }
HRESULT clsFinder::put_ClassName(VARIANT value) { return SetText(value, true); }
HRESULT clsFinder::get_WindowText(VARIANT* result) { return HandOutText(m_caption, result); }
HRESULT clsFinder::put_WindowText(VARIANT value) { return SetText(value, false); }

HRESULT clsFinder::get_MatchMode(MatchModes* result) { return HandOut(result, m_mode); }
HRESULT clsFinder::put_MatchMode(MatchModes value) {
    return SetPatterns(value, m_ignoreCase, m_className, m_caption);
}

HRESULT clsFinder::get_IgnoreCase(VARIANT_BOOL* result) { return HandOut(result, ToBoolean(m_ignoreCase)); }
HRESULT clsFinder::put_IgnoreCase(VARIANT_BOOL value) {
    return SetPatterns(m_mode, value != VARIANT_FALSE, m_className, m_caption);
}

HRESULT clsFinder::get_ProcessId(LONG* result) { return HandOut(result, static_cast<LONG>(m_criteria.processId)); }
HRESULT clsFinder::put_ProcessId(LONG value) {
    m_criteria.processId = static_cast<DWORD>(value);
    return S_OK;
}

HRESULT clsFinder::get_ControlId(LONG* result) { return HandOut(result, m_criteria.controlId); }
HRESULT clsFinder::put_ControlId(LONG value) {
    m_criteria.controlId = value;
    return S_OK;
}

HRESULT clsFinder::get_Parent(_clsWrangler** result) {
    if (!result) return E_POINTER;
    m_parent.copyTo(result);
    return S_OK;
}
HRESULT clsFinder::putref_Parent(_clsWrangler* value) {
    m_parent = ComPtr<_clsWrangler>(value);
    return S_OK;
}

HRESULT clsFinder::get_VisibleOnly(VARIANT_BOOL* result) { return HandOut(result, ToBoolean(m_criteria.visibleOnly)); }
HRESULT clsFinder::put_VisibleOnly(VARIANT_BOOL value) {
    m_criteria.visibleOnly = value != VARIANT_FALSE;
    return S_OK;
}

HRESULT clsFinder::Reset() {
    RETURN_IF_FAILED(SetPatterns(MATCH_WILDCARD, true, std::nullopt, std::nullopt));
    m_criteria.processId = 0;
    m_criteria.controlId = 0;
    m_criteria.visibleOnly = false;
    m_parent.reset();
    return S_OK;
}

HRESULT clsFinder::ScopeOf(finder::Scope* scope, bool* nowhere) noexcept {
    *scope = finder::Scope{};
    *nowhere = false;
    if (!m_parent) return S_OK;
    // The parent's window is asked at every search: the script may bind its object anew. Unbound
    // (0) it stands for the desktop, as for GetChild; a broadcast value names no window.
    const ComPtr<_clsWrangler> parent = m_parent;
    LONG hWnd = 0;
    RETURN_IF_FAILED(parent->get_hWnd(&hWnd));
    *nowhere = platform::IsBroadcast(hWnd);
    scope->descendants = true;
    scope->parent = hWnd;
    return S_OK;
}

template <typename Found>
HRESULT clsFinder::ForEachMatch(Found found) noexcept {
    finder::Scope scope;
    bool nowhere = false;
    RETURN_IF_FAILED(ScopeOf(&scope, &nowhere));
    if (nowhere) return S_OK;
    return finder::Search(m_criteria, scope, found);
}

HRESULT clsFinder::FindFirst(_clsWrangler** result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    LONG first = 0;
    RETURN_IF_FAILED(ForEachMatch([&first](LONG hWnd) {
        first = hWnd;
        return false;
    }));
    return NewBoundToWindow(CreateWrangler, first, result);
}

HRESULT clsFinder::FindAll(VARIANT* result) {
    if (!result) return E_POINTER;
    V_VT(result) = VT_EMPTY;
    std::vector<LONG> found;
    RETURN_IF_FAILED(ForEachMatch([&found](LONG hWnd) {
        found.push_back(hWnd);  // Search turns a failure to find room into E_OUTOFMEMORY
        return true;
    }));
    UniqueSafeArray array(SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(found.size())));
    RETURN_IF_NULL_ALLOC(array.get());
    VARIANT* elements = nullptr;
    RETURN_IF_FAILED(SafeArrayAccessData(array.get(), reinterpret_cast<void**>(&elements)));
    HRESULT made = S_OK;
    for (size_t i = 0; i < found.size() && SUCCEEDED(made); ++i) {
        _clsWrangler* window = nullptr;
        made = NewBoundToWindow(CreateWrangler, found[i], &window);
        V_VT(&elements[i]) = VT_DISPATCH;
        V_DISPATCH(&elements[i]) = window;
    }
    SafeArrayUnaccessData(array.get());
    RETURN_IF_FAILED(made);
    V_VT(result) = VT_ARRAY | VT_VARIANT;
    V_ARRAY(result) = array.release();
    return S_OK;
}

HRESULT clsFinder::Count(LONG* result) {
    if (!result) return E_POINTER;
    *result = 0;
    LONG count = 0;
    RETURN_IF_FAILED(ForEachMatch([&count](LONG) {
        ++count;
        return true;
    }));
    *result = count;
    return S_OK;
}

HRESULT clsFinder::ProcessIdOf(_clsWrangler* Window, LONG* result) {
    if (!result) return E_POINTER;
    *result = 0;
    LONG hWnd = 0;
    RETURN_IF_FAILED(WindowOfArgument(Window, &hWnd));
    DWORD processId = 0;
    if (hWnd != 0) platform::Current().GetWindowThreadProcessId(hWnd, &processId);
    *result = static_cast<LONG>(processId);
    return S_OK;
}

HRESULT clsFinder::ProcessPathOf(_clsWrangler* Window, BSTR* result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    LONG processId = 0;
    RETURN_IF_FAILED(self()->ProcessIdOf(Window, &processId));
    return ProgramPathOf(static_cast<DWORD>(processId), result);
}

HRESULT clsFinder::ControlIdOf(_clsWrangler* Window, LONG* result) {
    if (!result) return E_POINTER;
    *result = 0;
    LONG hWnd = 0;
    RETURN_IF_FAILED(WindowOfArgument(Window, &hWnd));
    if (hWnd != 0) *result = finder::ControlIdOf(hWnd);
    return S_OK;
}

HRESULT clsFinder::OwnerOf(_clsWrangler* Window, _clsWrangler** result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    LONG hWnd = 0;
    RETURN_IF_FAILED(WindowOfArgument(Window, &hWnd));
    const LONG owner = hWnd != 0 ? platform::Current().GetWindow(hWnd, GW_OWNER) : 0;
    return NewBoundToWindow(CreateWrangler, owner, result);
}

}  // namespace wrang
