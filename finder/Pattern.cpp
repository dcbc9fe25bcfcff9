// The state limit bounds what a regular expression may grow to once its repetitions are counted out
// ("(?:a?){5000}"), and with it the work of comparing one text. It must be set before the runtime's
// regular expressions are first included; the traits type below keeps these instantiations apart
// from any other use of the runtime's regular expressions in the same program.
#define _GLIBCXX_REGEX_STATE_LIMIT 10000

#include "finder/Pattern.h"

#include <climits>
#include <locale>
#include <new>
#include <regex>
#include <string>

#include "frame/Errors.h"
#include "platform/WindowSystem.h"

namespace wrang::finder {
namespace {

constexpr bool IsSurrogate(unsigned unit) noexcept { return unit >= 0xD800 && unit <= 0xDFFF; }
constexpr bool IsHighSurrogate(wchar_t unit) noexcept { return unit >= 0xD800 && unit <= 0xDBFF; }
constexpr bool IsLowSurrogate(wchar_t unit) noexcept { return unit >= 0xDC00 && unit <= 0xDFFF; }

// The window system's upper and lower case of every UTF-16 unit, asked once for all of them: a
// comparison without regard to case then costs a table look-up per character, not a call. A
// surrogate stays itself (alone it is no character).
struct CaseTables {
    wchar_t upper[0x10000];
    wchar_t lower[0x10000];
};

const CaseTables& SystemCase() noexcept {
    static const CaseTables* const tables = [] {
        static CaseTables built;
        static wchar_t units[0x10000];
        for (unsigned u = 0; u < 0x10000; ++u) units[u] = static_cast<wchar_t>(IsSurrogate(u) ? L' ' : u);
        for (const bool upper : {true, false}) {
            wchar_t* mapped = upper ? built.upper : built.lower;
            // A system that cannot map them leaves every unit as it is: case then counts.
            if (!platform::Current().MapCase(units, 0x10000, mapped, upper)) {
                for (unsigned u = 0; u < 0x10000; ++u) mapped[u] = static_cast<wchar_t>(u);
            }
            for (unsigned u = 0xD800; u <= 0xDFFF; ++u) mapped[u] = static_cast<wchar_t>(u);
        }
        return &built;
    }();
    return *tables;
}

// The regular expressions compare without regard to case through the character facet of their
// locale (a literal, and the ends of a range): this one answers with the window system's mapping.
class SystemCaseFacet : public std::ctype<wchar_t> {
protected:
    wchar_t do_toupper(wchar_t c) const override { return SystemCase().upper[static_cast<unsigned short>(c)]; }
    const wchar_t* do_toupper(wchar_t* low, const wchar_t* high) const override {
        for (; low < high; ++low) *low = do_toupper(*low);
        return high;
    }
    wchar_t do_tolower(wchar_t c) const override { return SystemCase().lower[static_cast<unsigned short>(c)]; }
    const wchar_t* do_tolower(wchar_t* low, const wchar_t* high) const override {
        for (; low < high; ++low) *low = do_tolower(*low);
        return high;
    }
};

const std::locale& SystemCaseLocale() {
    // The locale counts the facet's references and deletes it with its last copy.
    static const std::locale locale(std::locale::classic(), new SystemCaseFacet);
    return locale;
}

struct CaptionTraits : std::regex_traits<wchar_t> {};
using Expression = std::basic_regex<wchar_t, CaptionTraits>;

// Groups capture nothing (nothing reads them); the comparison goes through the automaton in
// lock-step (polynomial in the text's length, and no recursion per character, where backtracking
// could take exponential time or the thread's whole stack), which has no back-references.
std::regex_constants::syntax_option_type FlagsFor(bool ignoreCase) noexcept {
    auto flags = std::regex_constants::ECMAScript | std::regex_constants::nosubs;
#if defined(__GLIBCXX__)
    flags |= std::regex_constants::__polynomial;
#endif
    if (ignoreCase) flags |= std::regex_constants::icase;
    return flags;
}

Expression Compiled(const std::wstring& source, bool ignoreCase) {
    Expression expression;
    if (ignoreCase) expression.imbue(SystemCaseLocale());
    expression.assign(source, FlagsFor(ignoreCase));
    return expression;
}

// The reason a regular expression is refused, in the runtime's own words (which are ASCII), but
// for the two refusals that are this matcher's rather than the syntax's.
HRESULT RaiseBadRegex(const std::regex_error& error) noexcept {
    namespace rc = std::regex_constants;
    try {
        std::wstring description = L"Invalid procedure call or argument: not a regular expression: ";
        if (error.code() == rc::error_backref || error.code() == rc::error_complexity) {
            description += L"back-references are not supported";
        } else if (error.code() == rc::error_space) {
            description += L"too large once its repetitions are counted out";
        } else {
            for (const char* own = error.what(); own && *own; ++own) {
                description += static_cast<wchar_t>(static_cast<unsigned char>(*own));
            }
        }
        return RaiseError(kVbInvalidCall, description.c_str());
    } catch (const std::bad_alloc&) {
        return RaiseInvalidCall();
    }
}

// How many units the character at `t` takes: two for a surrogate pair, which is one character.
size_t CharacterAt(const wchar_t* text, size_t length, size_t t) noexcept {
    return t + 1 < length && IsHighSurrogate(text[t]) && IsLowSurrogate(text[t + 1]) ? 2 : 1;
}

}  // namespace

struct Pattern::Regex {
    Expression expression;
};

bool WildcardMatches(const wchar_t* pattern, size_t patternLength, const wchar_t* text, size_t textLength,
                     const wchar_t* upper) noexcept {
    // Greedy with one point to come back to, the last '*': what follows it is found at the leftmost
    // place it fits, and an earlier '*' never needs to take back what it took. At most pattern times
    // text steps, without recursion.
    constexpr size_t kNone = static_cast<size_t>(-1);
    size_t p = 0, t = 0, afterStar = kNone, resumeAt = 0;
    while (t < textLength) {
        if (p < patternLength && pattern[p] == L'*') {
            afterStar = ++p;
            resumeAt = t;
            continue;
        }
        if (p < patternLength) {
            if (pattern[p] == L'?') {
                t += CharacterAt(text, textLength, t);
                ++p;
                continue;
            }
            const wchar_t unit = upper ? upper[static_cast<unsigned short>(text[t])] : text[t];
            if (pattern[p] == unit) {
                ++p;
                ++t;
                continue;
            }
        }
        if (afterStar == kNone) return false;
        // The last '*' takes one character more, and what follows it is tried from there.
        p = afterStar;
        resumeAt += CharacterAt(text, textLength, resumeAt);
        t = resumeAt;
    }
    while (p < patternLength && pattern[p] == L'*') ++p;
    return p == patternLength;
}

HRESULT Pattern::Compile(MatchModes mode, bool ignoreCase, const wchar_t* text, size_t length, Pattern* out) noexcept {
    if (mode != MATCH_EXACT && mode != MATCH_WILDCARD && mode != MATCH_REGEX) return RaiseInvalidCall();
    if (mode == MATCH_REGEX && length > kLongestRegex) {
        return RaiseError(kVbInvalidCall,
                          L"Invalid procedure call or argument: a regular expression of more than 256 characters");
    }
    try {
        Pattern made;
        made.m_mode = mode;
        made.m_ignoreCase = ignoreCase;
        made.m_text.assign(text ? text : L"", length);
        if (mode == MATCH_WILDCARD && ignoreCase) {
            const wchar_t* upper = SystemCase().upper;
            for (wchar_t& unit : made.m_text) unit = upper[static_cast<unsigned short>(unit)];
        }
        if (mode == MATCH_REGEX) {
            // Alone first: a pattern that is not a whole expression ("a)(b") must not become one
            // inside the frame below. Then in a frame that lets it match any part of a text in one
            // pass over the text, where a search would start again at every character.
            Compiled(made.m_text, ignoreCase);
            auto regex = std::make_shared<Regex>();
            regex->expression = Compiled(L"[\\s\\S]*(?:" + made.m_text + L")[\\s\\S]*", ignoreCase);
            made.m_regex = std::move(regex);
            made.m_text.clear();
        }
        *out = std::move(made);
        return S_OK;
    } catch (const std::regex_error& error) {
        return RaiseBadRegex(error);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (const std::exception&) {
        return E_UNEXPECTED;
    }
}

HRESULT Pattern::Matches(const wchar_t* text, size_t length, bool* matches) const noexcept {
    *matches = false;
    switch (m_mode) {
    case MATCH_EXACT:
        if (m_ignoreCase) {
            // As the readers compare a list's texts: the window system's comparison without regard
            // to case in the user's locale.
            *matches = length <= INT_MAX && m_text.size() <= INT_MAX &&
                       platform::Current().SameTextIgnoringCase(m_text.c_str(), static_cast<int>(m_text.size()),
                                                                text, static_cast<int>(length));
        } else {
            *matches = length == m_text.size() && m_text.compare(0, length, text, length) == 0;
        }
        return S_OK;
    case MATCH_WILDCARD:
        *matches = WildcardMatches(m_text.c_str(), m_text.size(), text, length,
                                   m_ignoreCase ? SystemCase().upper : nullptr);
        return S_OK;
    case MATCH_REGEX:
        try {
            *matches = std::regex_match(text, text + length, m_regex->expression);
            return S_OK;
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        } catch (const std::exception&) {
            return E_UNEXPECTED;
        }
    }
    return S_OK;
}

}  // namespace wrang::finder
