// One pattern of a finder (a class name's or a caption's), compiled once when it is set and then
// compared with the text of window after window: the one matcher of FindFirst, FindAll, Count and
// the watcher's WaitForMatch.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "Wrang_h.h"

namespace wrang::finder {

// The longest regular expression a finder takes. The runtime's regular expressions are compiled
// by recursion over the pattern's terms, and a thread's stack (a script host's may be a few hundred
// KiB) must hold that recursion for any pattern it accepts.
constexpr size_t kLongestRegex = 256;

class Pattern {
public:
    // Compiles `text` (`length` units) for `mode`, in `*out`. Error 5, with the reason in the
    // description, for a regular expression that is not one (or one this matcher refuses: longer
    // than kLongestRegex, with back-references, or too large once its repetitions are counted out).
    [[nodiscard]] static HRESULT Compile(MatchModes mode, bool ignoreCase, const wchar_t* text, size_t length,
                                         Pattern* out) noexcept;

    // Whether `text` matches: the whole text for MATCH_EXACT and MATCH_WILDCARD, any part of it for
    // MATCH_REGEX (^ and $ anchor at the ends). Fails only when there is no memory to compare.
    [[nodiscard]] HRESULT Matches(const wchar_t* text, size_t length, bool* matches) const noexcept;

private:
    struct Regex;

    MatchModes m_mode = MATCH_EXACT;
    bool m_ignoreCase = false;
    std::wstring m_text;  // for MATCH_WILDCARD ignoring case, in upper case already
    std::shared_ptr<const Regex> m_regex;
};

// Whether `text` matches the wildcard `pattern` as a whole: '*' any run of characters, '?' any one
// character (a surrogate pair is one), every other unit itself. With `upper`, each unit of the text
// is compared as that table maps it (the pattern is mapped already).
bool WildcardMatches(const wchar_t* pattern, size_t patternLength, const wchar_t* text, size_t textLength,
                     const wchar_t* upper) noexcept;

}  // namespace wrang::finder
