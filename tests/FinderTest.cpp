// The finder: patterns of each mode with and without case, its filters (process, control
// identifier, depth, visibility), the facts it tells of a window, bad regular expressions, and the
// watcher's wait for a match. The windows searched are made twice over, by two finder targets
// (wrang_target --finder, support/FinderWindows.h) and by a window thread of this process.
//
// The watcher's hooks: Windows reports a window renamed (EVENT_OBJECT_NAMECHANGE), Wine (8.0)
// reports only windows created, so under Wine a wait for a renamed window ends through the safety
// poll; the results are the same, only later within the time-out.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "finder/Pattern.h"
#include "frame/Classes.h"
#include "frame/Errors.h"
#include "platform/WindowSystem.h"
#include "support/Automation.h"
#include "support/DuringTheWait.h"
#include "support/FinderWindows.h"
#include "support/WatchTarget.h"
#include "support/WindowThread.h"
#include "support/Wranglers.h"

namespace wrang::test {
namespace {

namespace ft = finder_target;

// Assigns a property by name as a script does, expected to succeed.
void Assign(IDispatch* object, const wchar_t* property, const Arg& value, WORD flags = DISPATCH_PROPERTYPUT) {
    CallResult result;
    Put(object, property, value, &result, flags);
    EXPECT_EQ(S_OK, result.hr) << std::hex << result.scode;
}

// A Long a member hands out for a window, through the table of operations.
template <typename Member>
LONG LongFor(_clsFinder* finder, Member member, _clsWrangler* window) {
    LONG value = -1;
    EXPECT_EQ(S_OK, (finder->*member)(window, &value));
    return value;
}

std::wstring CaptionOf(HWND window) {
    wchar_t text[256] = {};
    InternalGetWindowText(window, text, 256);
    return text;
}

std::vector<LONG> HandlesIn(const VARIANT& result) {
    std::vector<LONG> handles;
    if (V_VT(&result) != (VT_ARRAY | VT_VARIANT)) return handles;
    LONG upper = -1;
    SafeArrayGetUBound(V_ARRAY(&result), 1, &upper);
    for (LONG i = 0; i <= upper; ++i) {
        UniqueVariant element;
        SafeArrayGetElement(V_ARRAY(&result), &i, element.get());
        handles.push_back(HandleIn(*element.get()));
    }
    return handles;
}

// Where the windows of support/FinderWindows.h live, and each of them by its caption.
struct Place {
    const char* name;
    DWORD processId = 0;
    std::map<std::wstring, HWND> windows;
    HWND operator[](const std::wstring& caption) const {
        const auto found = windows.find(caption);
        return found == windows.end() ? nullptr : found->second;
    }
};

// Every top-level window, front to back, into a vector.
BOOL CALLBACK Collect(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}
std::vector<HWND> TopLevelWindows() {
    std::vector<HWND> windows;
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

// Finds the windows of one place as any client would: the top-level ones by process and caption,
// the children by their parent, class and caption.
Place Locate(const char* name, DWORD processId) {
    Place place{name, processId, {}};
    for (const HWND window : TopLevelWindows()) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId) place.windows[CaptionOf(window)] = window;
    }
    std::vector<HWND> tree;
    for (const ft::Node& node : ft::kTree) {
        const HWND parent = node.parent < 0 ? place[ft::kTopCaption] : tree[static_cast<size_t>(node.parent)];
        tree.push_back(FindWindowExW(parent, nullptr, node.className, node.caption));
        place.windows[node.caption] = tree.back();
    }
    return place;
}

const std::vector<std::wstring> kTopLevel = {ft::kTopCaption,   ft::ItemCaption(1), ft::ItemCaption(2),
                                             ft::ItemCaption(3), ft::kRenamedCaption, ft::kWideCaption,
                                             ft::kPopupCaption, ft::kToolCaption,  ft::kDialogCaption};

// Two finder targets and the same windows on a thread of this process, for every test of a suite.
class FinderPlaces : public testing::Test {
protected:
    static void SetUpTestSuite() {
        for (auto* target : {&s_first, &s_second}) {
            *target = std::make_unique<TargetProcess>(L"wrang_target.exe", L"--finder", ft::kTopClassA, true,
                                                      2 * kEventDeadline);
        }
        s_thread = std::make_unique<WindowThread>();
        s_thread->Run([] { ft::Make(ft::kTestItems); });
        s_places = {Locate("the first target", s_first->ProcessId()), Locate("the second target", s_second->ProcessId()),
                    Locate("this process", GetCurrentProcessId())};
    }
    static void TearDownTestSuite() {
        s_first.reset();
        s_second.reset();
        s_thread.reset();
    }
    void SetUp() override {
        ASSERT_TRUE(s_first->Window() && s_second->Window()) << "a finder target did not start";
        for (const Place& place : s_places) {
            for (const std::wstring& caption : kTopLevel) ASSERT_TRUE(place[caption]) << place.name;
            for (const ft::Node& node : ft::kTree) ASSERT_TRUE(place[node.caption]) << place.name << ", " << testing::PrintToString(std::wstring(node.caption));
        }
    }

    void Set(const wchar_t* property, const Arg& value, WORD flags = DISPATCH_PROPERTYPUT) {
        Assign(finder.get(), property, value, flags);
    }
    void Reset() { EXPECT_EQ("Empty", Answered(finder.get(), L"Reset", {})); }
    std::vector<LONG> FindAll() {
        CallResult result;
        Call(finder.get(), L"FindAll", {}, &result);
        EXPECT_EQ(S_OK, result.hr);
        return HandlesIn(*result.value.get());
    }

    static inline std::unique_ptr<TargetProcess> s_first, s_second;
    static inline std::unique_ptr<WindowThread> s_thread;
    static inline std::vector<Place> s_places;
    ComPtr<_clsFinder> finder = Created(CreateFinder);
};
using FinderMatching = FinderPlaces;
using FinderFilters = FinderPlaces;
using FinderFacts = FinderPlaces;

// Each mode with and without case, on class names and captions, in another process and in this
// one: the captions of every window found among the place's own.
TEST_F(FinderMatching, EachModeWithAndWithoutCase) {
    const std::wstring items[] = {ft::ItemCaption(1), ft::ItemCaption(2), ft::ItemCaption(3)};
    const std::vector<std::wstring> suffixed = {items[0],         items[1],        items[2],         ft::kRenamedCaption,
                                                ft::kWideCaption, ft::kPopupCaption, ft::kToolCaption, ft::kDialogCaption};
    struct Case {
        const char* label;
        MatchModes mode;
        bool ignoreCase;
        const wchar_t* className;  // nullptr: any
        const wchar_t* caption;    // nullptr: any
        std::vector<std::wstring> expected;
    };
    const Case cases[] = {
        {"exact", MATCH_EXACT, false, nullptr, L"Finder target", {ft::kTopCaption}},
        {"exact, another case", MATCH_EXACT, false, nullptr, L"finder TARGET", {}},
        {"exact ignoring case", MATCH_EXACT, true, nullptr, L"finder TARGET", {ft::kTopCaption}},
        {"exact takes * literally", MATCH_EXACT, true, nullptr, L"* - Finder target", {}},
        {"exact, the renamed caption", MATCH_EXACT, false, nullptr, ft::kRenamedCaption, {ft::kRenamedCaption}},
        {"exact, the caption before the rename", MATCH_EXACT, true, nullptr, L"Untitled - Finder target", {}},
        {"exact ignoring case, outside the code page", MATCH_EXACT, true, nullptr,
         L"\u03c9\u039c\u0388\u0393\u0391 \u2713 - FINDER TARGET", {ft::kWideCaption}},
        {"wildcard ignoring case", MATCH_WILDCARD, true, nullptr, L"* - finder TARGET", suffixed},
        {"wildcard, another case", MATCH_WILDCARD, false, nullptr, L"* - finder TARGET", {}},
        {"wildcard ?", MATCH_WILDCARD, false, nullptr, L"Item 000? - Finder target", {items[0], items[1], items[2]}},
        {"wildcard ? and *", MATCH_WILDCARD, false, nullptr, L"Item ???2*", {items[1]}},
        {"wildcard ? is one character", MATCH_WILDCARD, false, nullptr, L"Item ?2*", {}},
        {"wildcard outside the code page, ignoring case", MATCH_WILDCARD, true, nullptr, L"\u03c9\u03bc\u03ad\u03b3\u03b1 *",
         {ft::kWideCaption}},
        {"wildcard outside the code page, case counts", MATCH_WILDCARD, false, nullptr, L"\u03c9\u03bc\u03ad\u03b3\u03b1 *",
         {}},
        {"wildcard ? for a Greek letter", MATCH_WILDCARD, false, nullptr, L"?\u03bc\u03ad\u03b3\u03b1 \u2713*",
         {ft::kWideCaption}},
        {"regex, any part", MATCH_REGEX, false, nullptr, L"report\\.txt|Pop-up", {ft::kRenamedCaption, ft::kPopupCaption}},
        {"regex ignoring case", MATCH_REGEX, true, nullptr, L"^item \\d+ - FINDER", {items[0], items[1], items[2]}},
        {"regex, case counts", MATCH_REGEX, false, nullptr, L"^item \\d+", {}},
        {"regex outside the code page, ignoring case", MATCH_REGEX, true, nullptr, L"^\u03c9\u03bc\u03ad\u03b3\u03b1 [\u2713x]",
         {ft::kWideCaption}},
        {"regex, a range ignoring case", MATCH_REGEX, true, nullptr, L"^[a-f][a-z]+ - ", {ft::kDialogCaption}},
        {"regex, anchored at the end", MATCH_REGEX, false, nullptr, L"target$", kTopLevel},
        {"class, wildcard", MATCH_WILDCARD, true, L"wrangfinder*", nullptr,
         {ft::kTopCaption, items[0], items[1], items[2], ft::kRenamedCaption, ft::kWideCaption, ft::kPopupCaption,
          ft::kToolCaption}},
        {"class, exact: the dialogs' class", MATCH_EXACT, false, L"#32770", nullptr, {ft::kDialogCaption}},
        {"class, regex", MATCH_REGEX, true, L"^WRANGFINDER(popup|document)$", nullptr,
         {ft::kRenamedCaption, ft::kWideCaption, ft::kPopupCaption, ft::kToolCaption}},
        {"class and caption", MATCH_EXACT, false, L"WrangFinderPopup", L"Tool - Finder target", {ft::kToolCaption}},
    };
    for (const Place& place : s_places) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << c.label << ", " << place.name);
            Reset();
            Set(L"ProcessId", Arg::Long(static_cast<LONG>(place.processId)));
            Set(L"MatchMode", Arg::Long(c.mode));
            Set(L"IgnoreCase", Arg::Bool(c.ignoreCase));
            if (c.className) Set(L"ClassName", Arg::String(c.className));
            if (c.caption) Set(L"WindowText", Arg::String(c.caption));
            std::vector<std::wstring> found;
            for (const LONG h : FindAll()) found.push_back(CaptionOf(reinterpret_cast<HWND>(static_cast<LONG_PTR>(h))));
            std::vector<std::wstring> expected = c.expected;
            std::sort(found.begin(), found.end());
            std::sort(expected.begin(), expected.end());
            EXPECT_EQ(expected, found);
        }
    }
}

// The filters, alone and together: which windows, and in which order (the top-level windows in
// the window system's Z order, owned ones included; descendants in document order). FindFirst
// and Count agree with FindAll.
TEST_F(FinderFilters, ProcessControlIdDepthAndVisibility) {
    enum Which { First, Second, Own, Any };
    enum Below { TopLevel, Top, PanelA, Level5, DeepOk, Desktop, Gone };
    struct Case {
        const char* label;
        Which process;
        Below parent;
        LONG controlId;
        bool visibleOnly;
        const wchar_t* className;  // wildcard ignoring case, the default mode; nullptr: any
        const wchar_t* caption;
        std::vector<std::wstring> expected;  // the captions, in each place the process names
    };
    const std::vector<std::wstring> wholeTree = [] {
        std::vector<std::wstring> all;
        for (const ft::Node& node : ft::kTree) all.push_back(node.caption);
        return all;
    }();
    std::vector<std::wstring> visibleTree = wholeTree;
    visibleTree.erase(std::find(visibleTree.begin(), visibleTree.end(), L"Hidden OK"));
    const Case cases[] = {
        {"the first target's process", First, TopLevel, 0, false, nullptr, ft::kTopCaption, {ft::kTopCaption}},
        {"the second target's process", Second, TopLevel, 0, false, nullptr, ft::kTopCaption, {ft::kTopCaption}},
        {"any process", Any, TopLevel, 0, false, nullptr, ft::kTopCaption, {ft::kTopCaption}},
        {"every top-level window, owned ones included", First, TopLevel, 0, false, nullptr, L"*Finder target", kTopLevel},
        {"the visible top-level windows", First, TopLevel, 0, true, nullptr, nullptr,
         {ft::kTopCaption, ft::kPopupCaption}},
        {"a top-level window has no control identifier", First, TopLevel, 100, false, nullptr, nullptr, {}},
        {"every depth", First, Top, 0, false, nullptr, nullptr, wholeTree},
        {"every depth, visible", First, Top, 0, true, nullptr, nullptr, visibleTree},
        {"a control identifier deep down", First, Top, 150, false, nullptr, nullptr, {L"Deep OK"}},
        {"IDOK", Own, Top, IDOK, false, nullptr, nullptr, {L"OK"}},
        {"buttons in document order", First, Top, 0, false, L"button", nullptr,
         {L"Deep OK", L"Hidden OK", L"OK", L"Cancel"}},
        {"captions in document order", Second, Top, 0, false, nullptr, L"*ok", {L"Deep OK", L"Hidden OK", L"OK"}},
        {"below a panel", First, PanelA, 0, false, nullptr, nullptr,
         {L"Level 2", L"Level 3", L"Level 4", L"Level 5", L"Deep OK", L"Hidden OK", L"Note"}},
        {"below the deepest panel", Own, Level5, 0, false, nullptr, nullptr, {L"Deep OK"}},
        {"below a window without children", First, DeepOk, 0, false, nullptr, nullptr, {}},
        {"below a window that is gone", First, Gone, 0, false, nullptr, nullptr, {}},
        {"an unbound parent: the desktop, every window at every depth", First, Desktop, 0, false, nullptr, L"Level ?",
         {L"Level 2", L"Level 3", L"Level 4", L"Level 5"}},
        {"the desktop, a control identifier", Own, Desktop, 150, false, nullptr, nullptr, {L"Deep OK"}},
        {"none: an empty array", First, Top, 0, false, L"NoSuchClass", nullptr, {}},
    };
    WindowThread other;
    const HWND gone = other.Create("WrangFinderGone", "gone");
    other.Destroy(gone);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        std::vector<const Place*> places;
        for (int p = 0; p < 3; ++p) {
            if (c.process == Any || c.process == p) places.push_back(&s_places[static_cast<size_t>(p)]);
        }
        const Place& place = *places.front();
        Reset();
        if (c.process != Any) Set(L"ProcessId", Arg::Long(static_cast<LONG>(place.processId)));
        Set(L"ControlId", Arg::Long(c.controlId));
        Set(L"VisibleOnly", Arg::Bool(c.visibleOnly));
        if (c.className) Set(L"ClassName", Arg::String(c.className));
        if (c.caption) Set(L"WindowText", Arg::String(c.caption));
        const HWND parents[] = {nullptr, place[ft::kTopCaption], place[L"Panel A"], place[L"Level 5"],
                                place[L"Deep OK"], nullptr, gone};
        if (c.parent != TopLevel) Set(L"Parent", Arg::Object(Bound(AsLong(parents[c.parent])).get()), DISPATCH_PROPERTYPUTREF);

        std::vector<LONG> expected;
        for (const Place* p : places) {
            for (const std::wstring& caption : c.expected) expected.push_back(AsLong((*p)[caption]));
        }
        if (c.parent == TopLevel) {
            // In the order the window system lists the top-level windows now.
            const std::vector<HWND> zOrder = TopLevelWindows();
            const auto rank = [&](LONG h) {
                return std::find(zOrder.begin(), zOrder.end(), reinterpret_cast<HWND>(static_cast<LONG_PTR>(h))) -
                       zOrder.begin();
            };
            std::sort(expected.begin(), expected.end(), [&](LONG a, LONG b) { return rank(a) < rank(b); });
        }
        EXPECT_EQ(expected, FindAll());
        EXPECT_EQ("window " + std::to_string(expected.empty() ? 0 : expected.front()), Answered(finder.get(), L"FindFirst", {}));
        EXPECT_EQ(std::to_string(expected.size()), Answered(finder.get(), L"Count", {}));
    }
}

// What the finder tells of a window: its process and the program file, its control identifier
// and its owner; nothing for a window that is gone, unbound or bound to a broadcast value.
TEST_F(FinderFacts, ProcessPathControlIdAndOwnerOfEachKindOfWindow) {
    wchar_t ownPath[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, ownPath, MAX_PATH);
    const std::wstring targetPath = TestDirectory() + L"\\wrang_target.exe";
    WindowThread other;
    const HWND gone = other.Create("WrangFinderGone", "gone");
    other.Destroy(gone);
    const Place& first = s_places[0];
    const Place& own = s_places[2];
    struct Case {
        const char* label;
        LONG window;
        DWORD processId;
        std::wstring path;
        LONG controlId;
        LONG owner;
    };
    const LONG top = AsLong(first[ft::kTopCaption]);
    const Case cases[] = {
        {"a top-level window", top, first.processId, targetPath, 0, 0},
        {"an owned pop-up", AsLong(first[ft::kPopupCaption]), first.processId, targetPath, 0, top},
        {"an owned tool window", AsLong(first[ft::kToolCaption]), first.processId, targetPath, 0, top},
        {"an owned dialog", AsLong(first[ft::kDialogCaption]), first.processId, targetPath, 0, top},
        {"a child", AsLong(first[L"OK"]), first.processId, targetPath, IDOK, 0},
        {"a child five levels down", AsLong(first[L"Deep OK"]), first.processId, targetPath, 150, 0},
        {"a window of this process", AsLong(own[ft::kPopupCaption]), own.processId, ownPath,
         0, AsLong(own[ft::kTopCaption])},
        {"a window that is gone", AsLong(gone), 0, L"", 0, 0},
        {"unbound", 0, 0, L"", 0, 0},
        {"HWND_BROADCAST", 0xFFFF, 0, L"", 0, 0},
        {"-1", -1, 0, L"", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const ComPtr<_clsWrangler> window = Bound(c.window);
        EXPECT_EQ(static_cast<LONG>(c.processId), LongFor(finder.get(), &_clsFinder::ProcessIdOf, window.get()));
        UniqueBstr path;
        ASSERT_EQ(S_OK, finder->ProcessPathOf(window.get(), path.put()));
        EXPECT_EQ(CSTR_EQUAL, CompareStringOrdinal(path.get(), -1, c.path.c_str(), -1, TRUE)) << path.get();
        EXPECT_EQ(c.controlId, LongFor(finder.get(), &_clsFinder::ControlIdOf, window.get()));
        EXPECT_EQ(c.owner, HandleFrom(finder.get(), &_clsFinder::OwnerOf, window.get()));
    }
    // A process this one may not ask: no path, and no error.
    struct Unaskable : platform::Win32WindowSystem {
        HANDLE OpenProcess(DWORD, BOOL, DWORD) override { return nullptr; }
    } unaskable;
    const platform::ScopedWindowSystem refusing(unaskable);
    EXPECT_EQ("\"\"", Answered(finder.get(), L"ProcessPathOf", {Arg::Object(Bound(top).get())}));
}

class FinderArguments : public testing::Test {
protected:
    ComPtr<_clsFinder> finder = Created(CreateFinder);
};

// Every property's default, what it reads back after an assignment, Reset, and the errors of the
// arguments: 91 for Nothing, 13 for a value of the wrong type, 5 for a value out of range.
TEST_F(FinderArguments, DefaultsRoundTripsResetAndErrors) {
    const ComPtr<_clsWrangler> window = Bound(AsLong(GetDesktopWindow()));
    const ComPtr<_clsJuggler> otherClass = Created(CreateJuggler);
    const Arg w = Arg::Object(window.get()), nothing = Arg::Object(nullptr);
    const std::string desktop = "window " + std::to_string(AsLong(GetDesktopWindow()));
    struct Property {
        const wchar_t* name;
        std::string unset;
        Arg value;
        std::string set;
        WORD flags;
    };
    const Property properties[] = {
        {L"ClassName", "Empty", Arg::String(L"Notepad"), "\"Notepad\"", DISPATCH_PROPERTYPUT},
        {L"WindowText", "Empty", Arg::String(L"Untitled - Notepad"), "\"Untitled - Notepad\"", DISPATCH_PROPERTYPUT},
        {L"MatchMode", "1", Arg::Long(MATCH_REGEX), "2", DISPATCH_PROPERTYPUT},
        {L"IgnoreCase", "True", Arg::Bool(false), "False", DISPATCH_PROPERTYPUT},
        {L"ProcessId", "0", Arg::Long(4242), "4242", DISPATCH_PROPERTYPUT},
        {L"ControlId", "0", Arg::Long(-7), "-7", DISPATCH_PROPERTYPUT},
        {L"Parent", "window -1", w, desktop, DISPATCH_PROPERTYPUTREF},
        {L"VisibleOnly", "False", Arg::Bool(true), "True", DISPATCH_PROPERTYPUT},
    };
    for (int round = 0; round < 2; ++round) {  // the second after Reset
        for (const Property& p : properties) {
            SCOPED_TRACE(testing::Message() << "round " << round << ", " << p.name);
            EXPECT_EQ(p.unset, Answered(finder.get(), p.name, {}));
            CallResult put;
            Put(finder.get(), p.name, p.value, &put, p.flags);
            EXPECT_EQ(S_OK, put.hr);
            EXPECT_EQ(p.set, Answered(finder.get(), p.name, {}));
        }
        EXPECT_EQ("Empty", Answered(finder.get(), L"Reset", {}));
    }
    VARIANT empty;
    VariantInit(&empty);
    struct Assignment {
        const wchar_t* name;
        Arg value;
        std::string expected;  // read back afterwards
    };
    const Assignment assignments[] = {
        {L"WindowText", Arg::String(L"x"), "\"x\""},   {L"WindowText", Arg::Null(), "Empty"},
        {L"WindowText", Arg::String(L""), "\"\""},      {L"WindowText", Arg::String(nullptr), "Empty"},
        {L"ClassName", Arg::Variable(&empty), "Empty"}, {L"Parent", nothing, "window -1"},
    };
    for (const Assignment& a : assignments) {
        CallResult put;
        Put(finder.get(), a.name, a.value, &put, a.name == std::wstring(L"Parent") ? DISPATCH_PROPERTYPUTREF : DISPATCH_PROPERTYPUT);
        EXPECT_EQ(S_OK, put.hr) << a.expected;
        EXPECT_EQ(a.expected, Answered(finder.get(), a.name, {}));
    }

    const std::string typeMismatch = "error " + HexOf(static_cast<ULONG>(DISP_E_TYPEMISMATCH));
    const std::string vb13 = "error " + HexOf(static_cast<ULONG>(kVbTypeMismatch));
    const std::string vb5 = "error " + HexOf(static_cast<ULONG>(kVbInvalidCall));
    const std::string vb91 = "error " + HexOf(static_cast<ULONG>(kVbObjectRequired));
    const Arg other = Arg::Object(otherClass.get());
    struct Refused {
        const wchar_t* member;
        std::initializer_list<Arg> args;
        WORD flags;
        std::string expected;
    };
    const WORD call = DISPATCH_METHOD | DISPATCH_PROPERTYGET;
    const Refused refused[] = {
        {L"ProcessIdOf", {nothing}, call, vb91},
        {L"ProcessPathOf", {Arg::Null()}, call, vb91},
        {L"ControlIdOf", {nothing}, call, vb91},
        {L"OwnerOf", {nothing}, call, vb91},
        {L"OwnerOf", {other}, call, typeMismatch},
        {L"ProcessIdOf", {Arg::Long(5)}, call, typeMismatch},
        {L"ClassName", {Arg::Long(5)}, DISPATCH_PROPERTYPUT, vb13},
        {L"WindowText", {Arg::Bool(true)}, DISPATCH_PROPERTYPUT, vb13},
        {L"Parent", {other}, DISPATCH_PROPERTYPUTREF, typeMismatch},
        {L"MatchMode", {Arg::Long(3)}, DISPATCH_PROPERTYPUT, vb5},
    };
    CallResult noPattern;
    Put(finder.get(), L"MatchMode", Arg::Long(-1), &noPattern);
    EXPECT_EQ(kVbInvalidCall, noPattern.scode) << "a mode out of range, while no pattern is set";
    Assign(finder.get(), L"WindowText", Arg::String(L"kept"));
    for (const Refused& r : refused) {
        SCOPED_TRACE(testing::Message() << r.member);
        CallResult result;
        if (r.flags == call) {
            Call(finder.get(), r.member, r.args, &result);
        } else {
            Put(finder.get(), r.member, *r.args.begin(), &result, r.flags);
        }
        EXPECT_EQ(r.expected, result.hr == S_OK ? "no error" : "error " + HexOf(static_cast<ULONG>(result.scode)));
    }
    EXPECT_EQ("\"kept\"", Answered(finder.get(), L"WindowText", {})) << "a refused assignment changes nothing";
    EXPECT_EQ("1", Answered(finder.get(), L"MatchMode", {}));

    const ComPtr<_clsWatcher> watcher = Created(CreateWatcher);
    const Arg f = Arg::Object(finder.get());
    EXPECT_EQ(vb91, Answered(watcher.get(), L"WaitForMatch", {nothing}));
    EXPECT_EQ(typeMismatch, Answered(watcher.get(), L"WaitForMatch", {w}));
    EXPECT_EQ(vb5, Answered(watcher.get(), L"WaitForMatch", {f, Arg::Long(-1)}));
}

// A regular expression that is not one is refused by the assignment that would make it the
// pattern, with the reason in the error's description; the finder keeps what it had.
TEST_F(FinderArguments, ABadRegularExpressionIsErrorFiveWhereItIsSet) {
    struct Case {
        const char* label;
        const wchar_t* pattern;
        const wchar_t* reason;  // part of the description
    };
    const std::wstring tooLong(finder::kLongestRegex + 1, L'a');
    const Case cases[] = {
        {"an open group", L"(a", L"not a regular expression"},
        {"a range backwards", L"[z-a]", L"not a regular expression"},
        {"nothing to repeat", L"+a", L"not a regular expression"},
        {"a back-reference", L"(a)\\1", L"back-references are not supported"},
        {"too many states", L"(?:a?){6000}", L"too large once its repetitions are counted out"},
        {"too long", tooLong.c_str(), L"more than 256 characters"},
        {"two groups that would pair inside a frame", L"a)(b", L"not a regular expression"},
    };
    Assign(finder.get(), L"WindowText", Arg::String(L"Finder*"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        // Set as the pattern of a finder in regular-expression mode.
        Assign(finder.get(), L"MatchMode", Arg::Long(MATCH_REGEX));
        CallResult result;
        Put(finder.get(), L"ClassName", Arg::String(c.pattern), &result);
        EXPECT_EQ(kVbInvalidCall, result.scode);
        EXPECT_NE(std::wstring::npos, result.description.find(c.reason)) << std::string(result.description.begin(), result.description.end());
        EXPECT_EQ("Empty", Answered(finder.get(), L"ClassName", {}));
        // Set as a wildcard pattern, then made a regular expression by the mode.
        Assign(finder.get(), L"MatchMode", Arg::Long(MATCH_WILDCARD));
        Put(finder.get(), L"ClassName", Arg::String(c.pattern), &result);
        EXPECT_EQ(S_OK, result.hr);
        Put(finder.get(), L"MatchMode", Arg::Long(MATCH_REGEX), &result);
        EXPECT_EQ(kVbInvalidCall, result.scode);
        EXPECT_EQ("1", Answered(finder.get(), L"MatchMode", {}));
        Assign(finder.get(), L"ClassName", Arg::Null());
    }
    EXPECT_EQ("\"Finder*\"", Answered(finder.get(), L"WindowText", {}));
    Assign(finder.get(), L"MatchMode", Arg::Long(MATCH_REGEX));
    EXPECT_EQ("2", Answered(finder.get(), L"MatchMode", {})) << "Finder* is a regular expression too";
}

// The one matcher, pattern by pattern, against texts.
TEST(FinderPattern, WildcardsRegularExpressionsAndExactTextsWithAndWithoutCase) {
    struct Case {
        MatchModes mode;
        bool ignoreCase;
        const wchar_t* pattern;
        const wchar_t* text;
        bool expected;
    };
    const Case cases[] = {
        {MATCH_WILDCARD, false, L"", L"", true},
        {MATCH_WILDCARD, false, L"", L"a", false},
        {MATCH_WILDCARD, false, L"*", L"", true},
        {MATCH_WILDCARD, false, L"**", L"anything", true},
        {MATCH_WILDCARD, false, L"a*b*c", L"aXbYbZc", true},
        {MATCH_WILDCARD, false, L"a*b*c", L"aXbYbZ", false},
        {MATCH_WILDCARD, false, L"*a", L"banana", true},
        {MATCH_WILDCARD, false, L"*ana", L"banana", true},
        {MATCH_WILDCARD, false, L"*an*an*", L"banan", true},
        {MATCH_WILDCARD, false, L"*an*an*an*", L"banan", false},
        {MATCH_WILDCARD, false, L"a*b", L"acbd", false},
        {MATCH_WILDCARD, false, L"?", L"", false},
        {MATCH_WILDCARD, false, L"?", L"\U0001F600", true},  // one character, two units
        {MATCH_WILDCARD, false, L"??", L"\U0001F600", false},
        {MATCH_WILDCARD, false, L"*?x", L"\U0001F600x", true},
        {MATCH_WILDCARD, false, L"[a]", L"[a]", true},  // no classes: the rest is literal
        {MATCH_WILDCARD, true, L"*NOTEPAD", L"report - notepad", true},
        {MATCH_WILDCARD, true, L"\u00c9T\u00c9", L"\u00e9t\u00e9", true},
        {MATCH_WILDCARD, false, L"\u00c9T\u00c9", L"\u00e9t\u00e9", false},
        {MATCH_EXACT, false, L"a?", L"ab", false},
        {MATCH_EXACT, false, L"a?", L"a?", true},
        {MATCH_EXACT, true, L"\u00c9T\u00c9", L"\u00e9t\u00e9", true},
        {MATCH_EXACT, false, L"", L"", true},
        {MATCH_REGEX, false, L"", L"anything", true},
        {MATCH_REGEX, false, L"^$", L"", true},
        {MATCH_REGEX, false, L"pad$", L"notepad", true},
        {MATCH_REGEX, false, L"^pad", L"notepad", false},
        {MATCH_REGEX, false, L"a.b", L"a\nb", false},
        {MATCH_REGEX, false, L"a[\\s\\S]b", L"a\nb", true},
        {MATCH_REGEX, false, L"line two", L"line one\nline two", true},
        {MATCH_REGEX, true, L"\\bNOTE", L"the note", true},
        {MATCH_REGEX, false, L"(?=no)n", L"xno", true},
        {MATCH_REGEX, true, L"[\u00c0-\u00df]t\u00e9", L"\u00e9T\u00c9", true},
        {MATCH_REGEX, false, L"^(a|b)*c$", L"ababababababababababababababababababababx", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << (c.ignoreCase ? ", ignoring case, " : ", ") << "pattern "
                                        << testing::PrintToString(std::wstring(c.pattern)) << ", text "
                                        << testing::PrintToString(std::wstring(c.text)));
        finder::Pattern pattern;
        ASSERT_EQ(S_OK, finder::Pattern::Compile(c.mode, c.ignoreCase, c.pattern, wcslen(c.pattern), &pattern));
        bool matches = !c.expected;
        ASSERT_EQ(S_OK, pattern.Matches(c.text, wcslen(c.text), &matches));
        EXPECT_EQ(c.expected, matches);
    }
}

// WaitForMatch ends when the finder finds a window: one that appears, one renamed to match, one
// that a change of the finder's criteria during the wait makes match; in another process and in
// this one. It gives an unbound object at the time-out.
TEST(FinderWaits, WaitForMatchWakesForNewAndRenamedWindowsHereAndInAnotherProcess) {
    namespace cmd = watch;
    const ComPtr<_clsWatcher> watcher = Created(CreateWatcher);
    const ComPtr<_clsFinder> finder = Created(CreateFinder);
    struct Case {
        const char* label;
        std::vector<UINT> before;  // commands of the control window
        UINT during;               // a command sent while the wait goes on, or 0
        MatchModes mode;
        const wchar_t* caption;
        const wchar_t* changedTo;  // the finder's caption pattern changed while the wait goes on
        LONG timeout;
        bool found;
    };
    const Case cases[] = {
        {"a window that appears", {}, cmd::kCreate, MATCH_WILDCARD, L"watched", nullptr, 20000, true},
        {"a window renamed to match", {cmd::kCreate}, cmd::kRename, MATCH_WILDCARD, L"Ren*", nullptr, 20000, true},
        {"renamed, a regular expression", {cmd::kCreate}, cmd::kRename, MATCH_REGEX, L"^renamed$", nullptr, 20000, true},
        {"the criteria changed", {cmd::kCreate}, 0, MATCH_EXACT, L"Nothing such", L"Watched", 20000, true},
        {"never there", {}, 0, MATCH_WILDCARD, L"*", nullptr, 300, false},
        {"there, time-out 0", {cmd::kCreate}, 0, MATCH_EXACT, L"watched", nullptr, 0, true},
        {"not there, time-out 0", {}, 0, MATCH_WILDCARD, L"*", nullptr, 0, false},
    };
    WindowThread thread;
    HWND here = nullptr;
    thread.Run([&] { here = cmd::CreateControl(); });
    WatchTarget there;
    struct Where {
        const char* name;
        HWND control;
        DWORD processId;
    };
    const Where places[] = {{"this process", here, GetCurrentProcessId()}, {"another process", there.Control(), 0}};
    for (const Where& w : places) {
        DWORD processId = w.processId;
        if (!processId) GetWindowThreadProcessId(w.control, &processId);
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << c.label << ", " << w.name);
            SendCommand(w.control, cmd::kDestroy);
            for (UINT command : c.before) SendCommand(w.control, command);
            EXPECT_EQ("Empty", Answered(finder.get(), L"Reset", {}));
            Assign(finder.get(), L"ProcessId", Arg::Long(static_cast<LONG>(processId)));
            Assign(finder.get(), L"ClassName", Arg::String(cmd::kWatchedClass));
            Assign(finder.get(), L"MatchMode", Arg::Long(c.mode));
            Assign(finder.get(), L"WindowText", Arg::String(c.caption));
            std::string answer;
            long long took = 0;
            {
                DuringTheWait during([&] {
                    if (c.during) PostMessageW(w.control, c.during, 0, 0);
                    if (c.changedTo) Assign(finder.get(), L"WindowText", Arg::String(c.changedTo));
                });
                answer = Answered(watcher.get(), L"WaitForMatch", {Arg::Object(finder.get()), Arg::Long(c.timeout)}, &took);
                if (c.during || c.changedTo) EXPECT_TRUE(during.Ran()) << "the wait served this thread's messages";
            }
            const HWND watched = FindWindowW(cmd::kWatchedClass, nullptr);
            DWORD owner = 0;
            GetWindowThreadProcessId(watched, &owner);
            if (c.found) {
                ASSERT_EQ(processId, owner);
                EXPECT_EQ("window " + std::to_string(AsLong(watched)), answer);
            } else {
                EXPECT_EQ("window 0", answer);
                EXPECT_GE(took, c.timeout);
            }
        }
        SendCommand(w.control, cmd::kDestroy);
    }
}

}  // namespace
}  // namespace wrang::test
