// What every table of the benchmark shares: output (standard output and the Markdown copy), timing
// (loops measured together, medians), the dispatch views of one object, the member rows and their
// table, and the bench's own windows. Each family's tables live in a file of their own beside
// Bench.cpp, which runs them in turn.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <oleauto.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdarg>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <type_traits>
#include <vector>

#include "frame/Classes.h"
#include "frame/TypeLibrary.h"
#include "platform/Resource.h"
#include "platform/WindowSystem.h"
#include "support/DuringTheWait.h"
#include "support/StandInShell.h"
#include "support/WatchTarget.h"
#include "support/TargetProcess.h"
#include "target/ListsContents.h"

namespace wrang::bench {

using wrang::ComPtr;
using wrang::UniqueBstr;
using wrang::UniqueVariant;

inline bool g_quick = false;
inline std::string g_markdown;
inline const double kNone = std::nan("");

// --- Output ---------------------------------------------------------------------------------------

inline void Progress(const char* what) {
    std::fprintf(stderr, "\r.. %-70s", what);
    std::fflush(stderr);
}

inline void Out(const std::string& line) {
    std::printf("%s\n", line.c_str());
    g_markdown += line;
    g_markdown += '\n';
}

inline std::string Format(const char* format, ...) {
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

inline std::string Ns(double value) { return std::isnan(value) ? "–" : Format("%.0f", value); }
inline std::string Ratio(double a, double b) { return std::isnan(a) || std::isnan(b) || b <= 0 ? "–" : Format("%.2f", a / b); }

// --- Timing ---------------------------------------------------------------------------------------

inline double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1e9 / static_cast<double>(frequency.QuadPart);
}

inline int Repetitions() { return g_quick ? 3 : 11; }

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// A way of calling a member, as a loop of `calls` calls (so that no call pays for an indirection).
using Loop = std::function<void(int calls)>;
template <typename F>
inline Loop Looped(F call) {
    return [call](int calls) mutable {
        for (int i = 0; i < calls; ++i) call();
    };
}

// Nanoseconds per call of each loop, measured together: every repetition runs each loop in turn for
// about 10 ms, so that a change of the machine's load (other builds on the same cores) weighs on
// every column alike; then the median of the repetitions is taken per loop. `between`, when given,
// runs after each run of a loop, untimed (to take out of the queue what the loop posted).
inline std::vector<double> MeasureTogether(const std::vector<Loop>& loops,
                                           const std::function<void()>& between = nullptr) {
    const double perRepetition = g_quick ? 2e6 : 10e6;
    std::vector<int> calls;
    for (const Loop& loop : loops) {
        double start = Now();
        loop(3);
        const double warm = (Now() - start) / 3;
        if (between) between();
        calls.push_back(static_cast<int>(std::clamp(perRepetition / std::max(warm, 1.0), 1.0, 1000000.0)));
    }
    std::vector<std::vector<double>> samples(loops.size());
    for (int r = 0; r < Repetitions(); ++r) {
        for (size_t k = 0; k < loops.size(); ++k) {
            const double start = Now();
            loops[k](calls[k]);
            samples[k].push_back((Now() - start) / calls[k]);
            if (between) between();
        }
    }
    std::vector<double> medians;
    for (const auto& s : samples) medians.push_back(Median(s));
    return medians;
}

// --- Dispatch views of one object -----------------------------------------------------------------

// The interface view of `iid` in this program's type library, which CreateStdDispatch needs.
inline ComPtr<ITypeInfo> InterfaceInfo(REFIID iid) {
    ComPtr<ITypeLib> library;
    ComPtr<ITypeInfo> info, view;
    if (SUCCEEDED(wrang::LoadOwnTypeLibrary(library.put())) && SUCCEEDED(library->GetTypeInfoOfGuid(iid, info.put()))) {
        if (FAILED(wrang::InterfaceViewOf(info.get(), view.put()))) view.reset();
    }
    return view;
}

// The system's own dispatch over `object`'s interface `iid`; null when it could not be made.
inline ComPtr<IDispatch> StandardDispatch(IUnknown* object, REFIID iid) {
    ComPtr<IDispatch> dispatch;
    ComPtr<ITypeInfo> info = InterfaceInfo(iid);
    if (!info) return dispatch;
    void* typed = nullptr;
    if (FAILED(object->QueryInterface(iid, &typed))) return dispatch;
    ComPtr<IUnknown> made;
    const HRESULT hr = CreateStdDispatch(nullptr, typed, info.get(), made.put());
    static_cast<IUnknown*>(typed)->Release();
    if (SUCCEEDED(hr)) made.as(dispatch);
    return dispatch;
}

// One late-bound call: the member's name, its flags and its arguments in the caller's order.
struct LateCall {
    const wchar_t* name;
    std::vector<LONG> longs;  // arguments, all Long
    BSTR text = nullptr;      // or one String argument, the caller's to free
    WORD flags = DISPATCH_METHOD | DISPATCH_PROPERTYGET;

    LateCall(const wchar_t* member, std::vector<LONG> arguments = {}) : name(member), longs(std::move(arguments)) {}
    LateCall(const wchar_t* member, BSTR argument) : name(member), text(argument) {}

    DISPID IdIn(IDispatch* d) const {
        DISPID id = DISPID_UNKNOWN;
        LPOLESTR n = const_cast<LPOLESTR>(name);
        d->GetIDsOfNames(IID_NULL, &n, 1, LOCALE_USER_DEFAULT, &id);
        return id;
    }
    HRESULT Invoke(IDispatch* d, DISPID id) const {
        VARIANT args[8];
        const size_t n = longs.size();
        for (size_t i = 0; i < n; ++i) {
            V_VT(&args[n - 1 - i]) = VT_I4;
            V_I4(&args[n - 1 - i]) = longs[i];
        }
        if (text) {
            V_VT(&args[0]) = VT_BSTR;
            V_BSTR(&args[0]) = text;
        }
        DISPPARAMS params = {args, nullptr, static_cast<UINT>(text ? 1 : n), 0};
        VARIANT result;
        VariantInit(&result);
        const HRESULT hr = d->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, &result, nullptr, nullptr);
        VariantClear(&result);
        return hr;
    }
};

struct Row {
    std::string member;
    double raw = kNone, vtable = kNone, invoke = kNone, named = kNone, standard = kNone, ids = kNone;
};

// Measures the dispatch columns of one member on `object` (ours) and `standard` (the system's).
template <typename Raw, typename Vtable>
inline Row MeasureMember(const char* label, IDispatch* object, IDispatch* standard, const LateCall& call, Raw&& raw,
                  Vtable&& vtable) {
    Progress(label);
    Row row;
    row.member = label;
    std::vector<Loop> loops;
    std::vector<double*> into;
    if constexpr (!std::is_same_v<std::decay_t<Raw>, std::nullptr_t>) {
        loops.push_back(Looped(raw));
        into.push_back(&row.raw);
    }
    loops.push_back(Looped(vtable));
    into.push_back(&row.vtable);
    const DISPID id = call.IdIn(object);
    if (SUCCEEDED(call.Invoke(object, id))) {
        loops.push_back(Looped([&call, object, id] { call.Invoke(object, id); }));
        into.push_back(&row.invoke);
        loops.push_back(Looped([&call, object] { call.Invoke(object, call.IdIn(object)); }));
        into.push_back(&row.named);
        loops.push_back(Looped([&call, object] { call.IdIn(object); }));
        into.push_back(&row.ids);
    }
    if (standard) {
        const DISPID sid = call.IdIn(standard);
        if (SUCCEEDED(call.Invoke(standard, sid))) {
            loops.push_back(Looped([&call, standard, sid] { call.Invoke(standard, sid); }));
            into.push_back(&row.standard);
        }
    }
    const std::vector<double> medians = MeasureTogether(loops);
    for (size_t k = 0; k < medians.size(); ++k) *into[k] = medians[k];
    return row;
}

inline void PrintTable(const char* title, const std::vector<Row>& rows) {
    Out("");
    Out(Format("### %s", title));
    Out("");
    Out("| member | raw | vtable | Invoke | names+Invoke | std Invoke | GetIDsOfNames | vtable/raw | "
        "Invoke/raw | names/raw | Invoke/std | GIDN/Invoke |");
    Out("|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|");
    for (const Row& r : rows) {
        Out(Format("| %s | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s |", r.member.c_str(), Ns(r.raw).c_str(),
                   Ns(r.vtable).c_str(), Ns(r.invoke).c_str(), Ns(r.named).c_str(), Ns(r.standard).c_str(),
                   Ns(r.ids).c_str(), Ratio(r.vtable, r.raw).c_str(), Ratio(r.invoke, r.raw).c_str(),
                   Ratio(r.named, r.raw).c_str(), Ratio(r.invoke, r.standard).c_str(), Ratio(r.ids, r.invoke).c_str()));
    }
}

// --- Windows of the bench itself ------------------------------------------------------------------

inline LONG L(HWND h) { return static_cast<LONG>(reinterpret_cast<LONG_PTR>(h)); }

inline HWND MakeWindow(const char* className, const char* caption, HWND parent = nullptr) {
    WNDCLASSA cls = {};
    cls.lpfnWndProc = DefWindowProcA;
    cls.hInstance = GetModuleHandleA(nullptr);
    cls.lpszClassName = className;
    RegisterClassA(&cls);  // a second registration of the same class fails harmlessly
    return CreateWindowExA(0, className, caption, parent ? WS_CHILD : WS_OVERLAPPEDWINDOW, 10, 10, 300, 200, parent,
                           nullptr, cls.hInstance, nullptr);
}

// The handle a wrapper is bound to; a walk ends at an unbound wrapper (handle 0), never at Nothing.
inline LONG HandleOf(_clsWrangler* w) {
    LONG h = 0;
    if (w) w->get_hWnd(&h);
    return h;
}

inline ComPtr<_clsWrangler> Bound(HWND hWnd) {
    ComPtr<_clsWrangler> created, bound;
    if (SUCCEEDED(wrang::CreateWrangler(created.put()))) created->InitByHandle(L(hWnd), bound.put());
    return bound;
}

// One region in the process of `window`, and the process opened for it, for as long as the object
// lives: what each call of a reader opens and releases once.
struct RawRegion {
    static constexpr SIZE_T kSize = 0x10000;
    explicit RawRegion(HWND window) {
        DWORD id = 0;
        GetWindowThreadProcessId(window, &id);
        process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, id);
        remote =
            static_cast<BYTE*>(::VirtualAllocEx(process, nullptr, kSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    }
    ~RawRegion() {
        ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
        ::CloseHandle(process);
    }
    RawRegion(const RawRegion&) = delete;
    RawRegion& operator=(const RawRegion&) = delete;
    HANDLE process;
    BYTE* remote;
};

// The text of a tree's item, the request through the region: what a tree reader exchanges per item.
inline void RawTreeText(const RawRegion& region, HWND tree, HTREEITEM item) {
    TVITEMW request = {};
    request.mask = TVIF_TEXT | TVIF_HANDLE;
    request.hItem = item;
    request.pszText = reinterpret_cast<LPWSTR>(region.remote + sizeof request);
    request.cchTextMax = 256;
    WCHAR answer[256];
    SIZE_T done = 0;
    ::WriteProcessMemory(region.process, region.remote, &request, sizeof request, &done);
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(region.remote));
    ::ReadProcessMemory(region.process, region.remote + sizeof request, answer, sizeof answer, &done);
}

// --- The tables of each family, in their own files -------------------------------------------------
// (declared here, run by main in Bench.cpp)

// bench/FinderBench.cpp: clsFinder.FindAll over 1,000 top-level windows of another process.
void FinderTable();
// bench/InputBench.cpp: clsInput's TypeText, Click and ClickMenu against the raw calls they make.
void InputTable();
// bench/ListActionsBench.cpp: the readers' actions against their raw exchanges.
void ListActionTables();

}  // namespace wrang::bench
