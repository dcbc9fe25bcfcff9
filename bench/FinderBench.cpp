// The finder's table: FindAll over the top-level windows while a helper process shows 1,000 of its
// own, against the least raw exchange that finds the same windows: EnumWindows, GetClassNameW and
// (for a window whose class matched) GetWindowTextW, with the same comparison written directly.
#include <regex>

#include "BenchKit.h"
#include "support/FinderWindows.h"

namespace wrang::bench {
namespace {

namespace ft = wrang::test::finder_target;

// One row: the finder's criteria, and the raw comparison of a class name and of a caption.
struct FinderCase {
    const char* label;
    MatchModes mode;
    bool ignoreCase;
    const wchar_t* className;
    const wchar_t* caption;
    std::function<bool(const wchar_t* text, int length)> sameClass, sameCaption;
};

bool Equal(const wchar_t* text, int length, const wchar_t* wanted) {
    return length == static_cast<int>(wcslen(wanted)) && wmemcmp(text, wanted, static_cast<size_t>(length)) == 0;
}
bool EqualIgnoringCase(const wchar_t* text, int length, const wchar_t* wanted) {
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, text, length, wanted, -1) == CSTR_EQUAL;
}
// "Item * - Finder target": the prefix and the suffix, with the text in upper case for a
// comparison without regard to case.
bool ItemCaption(const wchar_t* text, int length, bool ignoreCase) {
    static const std::wstring prefix = L"Item ", suffix = ft::kSuffix;
    static const std::wstring upperPrefix = L"ITEM ", upperSuffix = L" - FINDER TARGET";
    wchar_t upper[512];
    if (ignoreCase) {
        if (length > 512) return false;
        LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_UPPERCASE, text, length, upper, length);
        text = upper;
    }
    const std::wstring& p = ignoreCase ? upperPrefix : prefix;
    const std::wstring& s = ignoreCase ? upperSuffix : suffix;
    const size_t n = static_cast<size_t>(length);
    return n >= p.size() + s.size() && wmemcmp(text, p.c_str(), p.size()) == 0 &&
           wmemcmp(text + n - s.size(), s.c_str(), s.size()) == 0;
}

// The raw exchange: every top-level window, its class name, and its caption where the class
// matched, into a list of the windows that match.
struct RawSearch {
    const FinderCase* row;
    std::vector<HWND> found;
};
BOOL CALLBACK RawCompare(HWND window, LPARAM state) {
    auto* search = reinterpret_cast<RawSearch*>(state);
    wchar_t className[257], caption[512];
    const int classLength = GetClassNameW(window, className, 257);
    if (!search->row->sameClass(className, classLength)) return TRUE;
    const int captionLength = GetWindowTextW(window, caption, 512);
    if (search->row->sameCaption(caption, captionLength)) search->found.push_back(window);
    return TRUE;
}

VARIANT TextVariant(const wchar_t* text) {
    VARIANT v;
    V_VT(&v) = VT_BSTR;
    V_BSTR(&v) = SysAllocString(text);
    return v;
}

}  // namespace

void FinderTable() {
    const int items = g_quick ? 200 : 1000;
    const std::wstring program = wrang::test::TestDirectory() + L"\\..\\tests\\wrang_target.exe";
    Progress("starting the finder target");
    wrang::test::TargetProcess target(program.c_str(), L"--finder --items " + std::to_wstring(items), ft::kTopClassA,
                                      true, std::chrono::seconds(60));
    ComPtr<_clsFinder> finder;
    if (!target.Window() || FAILED(wrang::CreateFinder(finder.put()))) {
        Out("\n### clsFinder\n\n(the finder target did not start: no figures)");
        return;
    }
    const std::wregex regex(L"^Item \\d+ - Finder target$");
    const std::wregex regexIgnoringCase(L"^item \\d+ - finder TARGET$", std::regex_constants::icase);
    const FinderCase rows[] = {
        {"exact, one window", MATCH_EXACT, false, ft::kItemClass, L"Item 0100 - Finder target",
         [](const wchar_t* t, int n) { return Equal(t, n, ft::kItemClass); },
         [](const wchar_t* t, int n) { return Equal(t, n, L"Item 0100 - Finder target"); }},
        {"exact ignoring case, one window", MATCH_EXACT, true, L"wrangfinderitem", L"item 0100 - finder TARGET",
         [](const wchar_t* t, int n) { return EqualIgnoringCase(t, n, L"wrangfinderitem"); },
         [](const wchar_t* t, int n) { return EqualIgnoringCase(t, n, L"item 0100 - finder TARGET"); }},
        {"wildcard, every item", MATCH_WILDCARD, false, ft::kItemClass, L"Item * - Finder target",
         [](const wchar_t* t, int n) { return Equal(t, n, ft::kItemClass); },
         [](const wchar_t* t, int n) { return ItemCaption(t, n, false); }},
        {"wildcard ignoring case, every item", MATCH_WILDCARD, true, L"WRANGFINDERITEM", L"item * - finder TARGET",
         [](const wchar_t* t, int n) { return EqualIgnoringCase(t, n, L"WRANGFINDERITEM"); },
         [](const wchar_t* t, int n) { return ItemCaption(t, n, true); }},
        {"regular expression, every item", MATCH_REGEX, false, L"^WrangFinderItem$", L"^Item \\d+ - Finder target$",
         [](const wchar_t* t, int n) { return Equal(t, n, ft::kItemClass); },
         [&regex](const wchar_t* t, int n) { return std::regex_search(t, t + n, regex); }},
        {"regular expression ignoring case, every item", MATCH_REGEX, true, L"^wrangfinderitem$",
         L"^item \\d+ - finder TARGET$", [](const wchar_t* t, int n) { return EqualIgnoringCase(t, n, ft::kItemClass); },
         [&regexIgnoringCase](const wchar_t* t, int n) { return std::regex_search(t, t + n, regexIgnoringCase); }},
    };
    const ComPtr<IDispatch> standard = StandardDispatch(finder.get(), IID__clsFinder);
    std::vector<Row> table;
    std::vector<std::string> counts;
    for (const FinderCase& row : rows) {
        finder->Reset();
        finder->put_MatchMode(row.mode);
        finder->put_IgnoreCase(row.ignoreCase ? VARIANT_TRUE : VARIANT_FALSE);
        UniqueVariant className, caption;
        *className.get() = TextVariant(row.className);
        *caption.get() = TextVariant(row.caption);
        finder->put_ClassName(*className.get());
        finder->put_WindowText(*caption.get());
        RawSearch raw{&row, {}};
        EnumWindows(RawCompare, reinterpret_cast<LPARAM>(&raw));
        LONG found = 0;
        finder->Count(&found);
        counts.push_back(Format("%s: %ld found, %zu by the raw exchange", row.label, found, raw.found.size()));
        table.push_back(MeasureMember(
            row.label, finder.get(), standard.get(), LateCall(L"FindAll"),
            [&] {
                RawSearch search{&row, {}};
                EnumWindows(RawCompare, reinterpret_cast<LPARAM>(&search));
            },
            [&] {
                UniqueVariant all;
                finder->FindAll(all.get());
            }));
    }
    PrintTable(Format("clsFinder.FindAll over the top-level windows, %d of them a helper process's", items).c_str(),
               table);
    Out("");
    for (const std::string& line : counts) Out("- " + line);
}

}  // namespace wrang::bench
