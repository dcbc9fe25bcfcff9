// wrang_dispatchfuzz.exe: random but reproducible calls through IDispatch::Invoke to every member
// of every class of the type library (read at run time, so a new member is covered without an
// edit here).
//   wrang_dispatchfuzz [--calls N] [--seed S[,S...]]      (or WRANG_FUZZ_CALLS / WRANG_FUZZ_SEED)
// The calls are split evenly between the seeds (seed 1 when none is given). Each seed's part
// starts afresh (new windows, a new fake shell, new objects), so "--seed S --calls N" with the
// part's own count, as printed, repeats that part alone.
// It loads Wrang.dll itself (in-process, no registration needed), starts the fake shell for the
// tray classes and makes its own disposable windows and menus on this thread, so that whatever
// the calls do (close, reparent, hide, type, click) lands on windows made to take it.
//
// Checked after every call, the call and the seed printed on the first broken rule:
//  - no crash, no hang (a watchdog ends the run when one step takes longer than kHangSeconds: a
//    call, or anything the harness does between calls);
//  - a failure is an HRESULT a client can act on: a DISP_E_* status, E_OUTOFMEMORY/E_INVALIDARG/
//    E_POINTER from the dispatcher, or DISP_E_EXCEPTION with the EXCEPINFO filled (a status and a
//    source); without an EXCEPINFO, the member's own failure status;
//  - a failed call leaves every by-reference variable exactly as it was (bit for bit);
//  - at the end, with every reference released, DllCanUnloadNow answers S_OK.
// The last line is "DISPATCHFUZZ calls=N crashes=0 hangs=0 faults=F leaks=L seed=S[,S...]".
#include <windows.h>
#include <commctrl.h>
#include <oaidl.h>
#include <oleauto.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "frame/TypeLibrary.h"
#include "platform/WindowSystem.h"
#include "support/CallByName.h"
#include "support/Parameters.h"
#include "support/StandInShell.h"

namespace {

using wrang::test::AsLong, wrang::test::Holding, wrang::test::LongValue;

constexpr int kHangSeconds = 30;
constexpr size_t kMostObjects = 48;
constexpr UINT kBigString = 1u << 20;  // 1 MiB of UTF-16 units

using Rng = std::mt19937_64;

// ---- what is known about the library, read from its type library ----
struct Member {
    std::wstring name;
    DISPID id;
    INVOKEKIND kind;
    std::vector<std::wstring> params;  // names of the parameters, the result excluded
};
struct ClassInfo {
    std::wstring name;
    CLSID clsid;
    IID iid;  // the default interface
    bool creatable;
    std::vector<Member> members;
};
std::vector<ClassInfo> g_classes;

// ---- what the run is doing, for the watchdog and the crash report ----
char g_current[512] = "none yet";  // the call in progress, or the last one made
std::atomic<const char*> g_step{"starting"};
std::atomic<ULONGLONG> g_stepStarted{0};             // 0 while nothing is watched
uint64_t g_seed = 1;                                 // the seed of the part in progress
std::unique_ptr<wrang::test::StandInShell> g_shell;  // ended with the run however it ends

void Describe(const char* format, ...) {
    va_list args;
    va_start(args, format);
    vsnprintf(g_current, sizeof g_current, format, args);
    va_end(args);
}

// Begins a step of the run. The watchdog watches every step, not only the calls: between two
// calls the harness pumps messages, makes windows again, restarts the shell and makes and
// releases objects, and each of these may wait on a window or another process too.
void Step(const char* what) {
    g_step = what;
    g_stepStarted = GetTickCount64();
}

LONG WINAPI OnCrash(EXCEPTION_POINTERS* info) {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       static_cast<LPCSTR>(info->ExceptionRecord->ExceptionAddress), &module);
    char moduleName[MAX_PATH] = "?";
    if (module) GetModuleFileNameA(module, moduleName, MAX_PATH);
    std::printf("CRASH 0x%08lx at %s+0x%llx while %s; last call: %s (seed %llu)\n",
                static_cast<unsigned long>(info->ExceptionRecord->ExceptionCode), moduleName,
                static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(info->ExceptionRecord->ExceptionAddress) -
                                                reinterpret_cast<ULONG_PTR>(module)),
                g_step.load(), g_current, static_cast<unsigned long long>(g_seed));
    std::printf("DISPATCHFUZZ calls=? crashes=1 hangs=0 faults=0 leaks=0 seed=%llu\n",
                static_cast<unsigned long long>(g_seed));
    std::fflush(stdout);
    if (g_shell) TerminateProcess(g_shell->Process(), 0);
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_EXECUTE_HANDLER;
}

DWORD WINAPI Watchdog(void*) {
    for (;;) {
        Sleep(500);
        const ULONGLONG started = g_stepStarted.load();
        if (started && GetTickCount64() - started > kHangSeconds * 1000ull) {
            std::printf("HANG over %d s while %s; last call: %s (seed %llu)\n", kHangSeconds, g_step.load(), g_current,
                        static_cast<unsigned long long>(g_seed));
            std::printf("DISPATCHFUZZ calls=? crashes=0 hangs=1 faults=0 leaks=0 seed=%llu\n",
                        static_cast<unsigned long long>(g_seed));
            std::fflush(stdout);
            if (g_shell) TerminateProcess(g_shell->Process(), 0);
            TerminateProcess(GetCurrentProcess(), 4);
        }
    }
}

std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out.push_back(c < 128 ? static_cast<char>(c) : '?');
    return out;
}

// ---- the type library ----
bool ReadLibrary(const std::wstring& dll) {
    wrang::ComPtr<ITypeLib> library;
    wrang::LibraryDescription description;
    if (FAILED(LoadTypeLibEx(dll.c_str(), REGKIND_NONE, library.put())) ||
        FAILED(wrang::DescribeLibrary(library.get(), &description))) {
        return false;
    }
    for (const wrang::ClassDescription& described : description.classes) {
        ClassInfo cls{described.name, described.clsid, described.defaultInterface.iid, described.creatable, {}};
        for (const wrang::MemberDescription& m : described.defaultInterface.members) {
            Member member{m.Name(), m.id, m.invokeKind, {}};
            for (size_t p = 0; p < m.parameters.size(); ++p) {
                const bool named = p + 1 < m.names.size() && !m.names[p + 1].empty();
                member.params.push_back(named ? m.names[p + 1] : L"value");
            }
            cls.members.push_back(member);
        }
        g_classes.push_back(cls);
    }
    return !g_classes.empty();
}

// ---- the disposable targets: windows and menus of this thread, and the fake shell ----
const char kTargetClass[] = "WrangFuzzTarget";
std::vector<HWND> g_windows;  // top-level A (with a menu bar), top-level B, children of A: an edit, a
                              // button, a label, a list box and a tree view
std::set<HWND> g_known;       // every window the fuzzer made, to tell them from others
std::vector<HMENU> g_menus;
HWND g_shellToolbar = nullptr;

// Whether a message would take this thread into one of the window manager's modal loops, which
// wait for mouse or keyboard input that a headless desktop never gives: a system command
// (SC_KEYMENU opens the menu bar, SC_MOVE and SC_SIZE track the mouse), a context-menu request
// (a pop-up menu), and the keys of which DefWindowProc makes a system command: every system key
// (Alt+letter becomes SC_KEYMENU with the letter, Alt+F4 SC_CLOSE, Alt alone SC_KEYMENU) and F10
// and Alt as plain keys (their key-up becomes SC_KEYMENU). DefWindowProc sends that command to the
// window itself, to its parent or to its top-level window, and after a reparenting call the
// parent may be the fake shell's, whose procedure would act on it while this thread waits.
bool EntersModalLoop(UINT message, WPARAM wParam) {
    switch (message) {
    case WM_SYSCOMMAND:
    case WM_CONTEXTMENU:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_SYSCHAR:
    case WM_SYSDEADCHAR: return true;
    case WM_KEYDOWN:
    case WM_KEYUP: return wParam == VK_F10 || wParam == VK_MENU || wParam == VK_LMENU || wParam == VK_RMENU;
    default: return false;
    }
}

// Every window the fuzzer makes takes those messages and does nothing, whoever dispatches them
// (the pump below drops them already; the wait for the fake shell's start dispatches too) and
// whoever sends them (a menu click sends WM_SYSCOMMAND): its own class here, the system classes'
// children (edit, button, list box, tree view) through QuietControlProc around their class's procedure.
LRESULT CALLBACK TargetProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (EntersModalLoop(message, wParam)) return 0;
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

LRESULT CALLBACK QuietControlProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (EntersModalLoop(message, wParam)) return 0;
    const auto classProc = reinterpret_cast<WNDPROC>(GetClassLongPtrA(hWnd, GCLP_WNDPROC));
    return CallWindowProcA(classProc, hWnd, message, wParam, lParam);
}
// The same for a Unicode control, which stays one (the readers ask which kind a control is).
LRESULT CALLBACK QuietControlProcW(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (EntersModalLoop(message, wParam)) return 0;
    const auto classProc = reinterpret_cast<WNDPROC>(GetClassLongPtrW(hWnd, GCLP_WNDPROC));
    return CallWindowProcW(classProc, hWnd, message, wParam, lParam);
}

void MakeWindows() {
    Step("making the windows");
    for (HWND h : g_windows) {
        if (IsWindow(h)) DestroyWindow(h);
    }
    g_windows.clear();
    g_menus.clear();
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    HMENU deeper = CreatePopupMenu();
    AppendMenuA(deeper, MF_STRING, 301, "Deeper");
    AppendMenuA(file, MF_STRING, 101, "&Open");
    AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(file, MF_STRING | MF_CHECKED, 102, "Checked");
    AppendMenuA(file, MF_POPUP, reinterpret_cast<UINT_PTR>(deeper), "More");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
    AppendMenuA(bar, MF_STRING | MF_GRAYED, 201, "Gray");
    HWND a = CreateWindowExA(0, kTargetClass, "Wrang fuzz A", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300, 200,
                             nullptr, bar, nullptr, nullptr);
    HWND b = CreateWindowExA(0, kTargetClass, "Wrang fuzz B", WS_OVERLAPPEDWINDOW, 40, 40, 200, 100, nullptr, nullptr,
                             nullptr, nullptr);
    HWND edit = CreateWindowExA(0, "EDIT", "text", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 5, 5, 200, 20, a, nullptr,
                                nullptr, nullptr);
    HWND button =
        CreateWindowExA(0, "BUTTON", "OK", WS_CHILD | WS_VISIBLE, 5, 30, 60, 20, a, nullptr, nullptr, nullptr);
    HWND label =
        CreateWindowExA(0, kTargetClass, "label", WS_CHILD | WS_VISIBLE, 5, 60, 60, 20, a, nullptr, nullptr, nullptr);
    // What the list and tree readers read.
    HWND list = CreateWindowExA(0, "LISTBOX", "", WS_CHILD | WS_VISIBLE | LBS_HASSTRINGS, 80, 5, 100, 60, a, nullptr,
                                nullptr, nullptr);
    for (const char* item : {"one", "two", "three"})
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    HWND tree =
        CreateWindowExW(0, WC_TREEVIEWW, L"", WS_CHILD | WS_VISIBLE, 80, 70, 100, 60, a, nullptr, nullptr, nullptr);
    TVINSERTSTRUCTW insert = {};
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<wchar_t*>(L"Root");
    insert.hParent =
        reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    insert.item.pszText = const_cast<wchar_t*>(L"Leaf");
    SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert));
    for (HWND control : {edit, button, list}) {
        SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(QuietControlProc));
    }
    SetWindowLongPtrW(tree, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(QuietControlProcW));
    g_windows = {a, b, edit, button, label, list, tree};
    for (HWND h : g_windows) g_known.insert(h);
    g_menus = {bar, file, deeper, GetSystemMenu(a, FALSE)};
}

bool WindowsIntact() {
    for (HWND h : g_windows) {
        if (!IsWindow(h)) return false;
    }
    return GetParent(g_windows[2]) == g_windows[0] && GetParent(g_windows[4]) == g_windows[0] &&
           GetParent(g_windows[0]) == nullptr;
}

void StartShell() {
    Step("starting the fake shell");
    if (g_shell && g_shell->Running()) return;
    g_shell.reset();
    g_shell = std::make_unique<wrang::test::StandInShell>(L"--button One --button Two --button Three",
                                                          wrang::test::StandInShellProgram(), std::chrono::seconds(10));
    g_shellToolbar = g_shell->Toolbar();
}

// Whether a window handle is one the calls may act on: the fuzzer's own, the fake shell's, or no
// window at all (a vanished or made-up handle, or a broadcast value, which every member but the
// message members takes for no window; those are kept from it, see Broadcasts).
bool Harmless(HWND h) {
    if (!h || wrang::platform::IsBroadcast(AsLong(h)) || !IsWindow(h)) return true;
    if (g_known.count(h)) return true;
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    return g_shell && pid == g_shell->ProcessId();
}

// Whether `member` would send to every top-level window of the session: a message member of an
// object bound to a broadcast value. The safe messages are safe for the fuzzer's own windows only:
// WM_ENABLE and WM_CANCELMODE tell every window that its state changed, and a WM_USER or WM_APP
// number means something else to each class (WM_USER + 1 sets a dialog's default button).
bool Broadcasts(const std::wstring& member, HWND h) {
    return (member.compare(0, 7, L"SendMsg") == 0 || member == L"PostMsg") && wrang::platform::IsBroadcast(AsLong(h));
}

// Whether a window is one of the fuzzer's own with TargetProc, which takes any command.
bool TakesAnyCommand(HWND h) {
    char name[64] = {};
    return g_known.count(h) && IsWindow(h) && GetClassNameA(h, name, sizeof name) && lstrcmpA(name, kTargetClass) == 0;
}

// Serves this thread's windows between calls. What would enter a modal loop is dropped before
// TranslateMessage could make a WM_SYSCHAR of it.
void Pump() {
    Step("pumping messages");
    MSG msg;
    for (int i = 0; i < 2000 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (EntersModalLoop(msg.message, msg.wParam)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// ---- the objects under test ----
struct Object {
    IDispatch* dispatch;
    size_t cls;
};
std::vector<Object> g_objects;

int ClassOf(IDispatch* object) {
    ITypeInfo* info = nullptr;
    if (FAILED(object->GetTypeInfo(0, LOCALE_USER_DEFAULT, &info)) || !info) return -1;
    int found = -1;
    {
        wrang::UniqueTypeAttr attr(info);
        if (SUCCEEDED(info->GetTypeAttr(attr.put()))) {
            for (size_t c = 0; c < g_classes.size(); ++c) {
                if (IsEqualGUID(g_classes[c].iid, attr->guid)) found = static_cast<int>(c);
            }
        }
    }
    info->Release();
    return found;
}

// Calls by name with Long arguments and no checks: set-up only.
HRESULT Plain(IDispatch* object, const wchar_t* name, std::vector<LONG> args, VARIANT* result,
              WORD flags = DISPATCH_METHOD | DISPATCH_PROPERTYGET) {
    std::vector<VARIANT> values(args.size());
    for (size_t i = 0; i < args.size(); ++i) values[i] = LongValue(args[i]);
    VariantInit(result);
    const bool assigned = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
    return wrang::test::DispatchCallByName(object, name, flags, values.data(), values.size(), assigned, result,
                                           nullptr);
}

// The window an object acts on, as it says itself; nullptr when it has none.
HWND BoundWindow(IDispatch* object) {
    VARIANT result;
    HWND h = nullptr;
    for (const wchar_t* name : {L"GetWindowHandle", L"hWnd"}) {
        if (SUCCEEDED(Plain(object, name, {}, &result))) {
            if (V_VT(&result) == VT_I4) h = reinterpret_cast<HWND>(static_cast<INT_PTR>(V_I4(&result)));
            VariantClear(&result);
            return h;
        }
    }
    return nullptr;
}

// Whether a member acts on the window of its Window argument rather than on a window its object is
// bound to (clsInput's: it types, clicks and chooses menu entries there).
bool ActsOnItsArgument(const Member& member) {
    return !member.params.empty() && member.params[0] == L"Window" &&
           (member.name == L"TypeText" || member.name.compare(0, 5, L"Click") == 0);
}

BOOL CALLBACK FindAnotherWindow(HWND child, LPARAM found) {
    if (g_known.count(child)) return TRUE;
    *reinterpret_cast<bool*>(found) = true;
    return FALSE;
}

// Whether a window not made here lies below `h` (a reparenting call may have put one there), where
// a click at a point could reach it.
bool HoldsAnotherWindow(HWND h) {
    bool found = false;
    EnumChildWindows(h, &FindAnotherWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

// Whether some argument is an object bound to a window the fuzzer did not make, or to one that holds
// such a window: any argument, since named arguments may put any value in the Window parameter's place.
bool NamesAnotherWindow(const std::vector<VARIANT>& args) {
    for (const VARIANT& arg : args) {
        const VARIANT* value = V_VT(&arg) == (VT_VARIANT | VT_BYREF) ? V_VARIANTREF(&arg) : &arg;
        IUnknown* object = V_VT(value) == VT_DISPATCH || V_VT(value) == VT_UNKNOWN ? V_UNKNOWN(value)
                           : V_VT(value) == (VT_DISPATCH | VT_BYREF) || V_VT(value) == (VT_UNKNOWN | VT_BYREF)
                               ? *V_UNKNOWNREF(value)
                               : nullptr;
        wrang::ComPtr<IDispatch> dispatch;
        if (!object || FAILED(object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(dispatch.put())))) {
            continue;
        }
        const HWND h = BoundWindow(dispatch.get());
        if (!h || wrang::platform::IsBroadcast(AsLong(h)) || !IsWindow(h)) continue;
        if (!g_known.count(h) || HoldsAnotherWindow(h)) return true;
    }
    return false;
}

// Keeps an object that acts on a harmless window; releases any other.
void Keep(IDispatch* object) {
    const int cls = ClassOf(object);
    if (cls < 0 || g_objects.size() >= kMostObjects || !Harmless(BoundWindow(object))) {
        object->Release();
        return;
    }
    g_objects.push_back({object, static_cast<size_t>(cls)});
}

// The object a set-up call hands out, now the caller's; nullptr for none.
IDispatch* HandedOut(IDispatch* object, const wchar_t* name, std::vector<LONG> args) {
    VARIANT result;
    IDispatch* out =
        SUCCEEDED(Plain(object, name, std::move(args), &result)) ? wrang::test::TakeObject(&result) : nullptr;
    VariantClear(&result);
    return out;
}

// Every class at least once: the creatable ones made, the others handed out by them.
void Seed(HMODULE dll) {
    Step("making objects");
    const LONG windowA = AsLong(g_windows[0]);
    for (const ClassInfo& cls : g_classes) {
        if (!cls.creatable) continue;
        IDispatch* object = wrang::test::CreateFromDll(dll, cls.clsid);
        if (!object) continue;
        VARIANT result;
        if (cls.name == L"clsWrangler") Plain(object, L"InitByHandle", {windowA}, &result), VariantClear(&result);
        if (cls.name == L"clsListReader") {
            Plain(object, L"InitByHandle", {AsLong(g_windows[5])}, &result), VariantClear(&result);
        }
        if (cls.name == L"clsTreeReader") {
            Plain(object, L"InitByHandle", {AsLong(g_windows[6])}, &result), VariantClear(&result);
        }
        if (cls.name == L"clsJuggler") {
            Plain(object, L"InitByHandle", {windowA}, &result), VariantClear(&result);
            if (IDispatch* item = HandedOut(object, L"GetChildMenu", {0})) {
                if (IDispatch* cursor = HandedOut(item, L"BeginChildEnum", {})) Keep(cursor);
                Keep(item);
            }
        }
        if (cls.name == L"clsSysToolbar") {
            Plain(object, L"Init", {}, &result), VariantClear(&result);
            if (IDispatch* button = HandedOut(object, L"GetButtonByIndex", {0})) Keep(button);
        }
        Keep(object);
    }
}

// ---- random arguments ----
struct Storage {
    // By-reference targets live here; bit-for-bit copies are compared after a failed call.
    VARIANT variant;
    unsigned char raw[sizeof(VARIANT)];
};

LONG RandomHandleish(Rng& rng) {
    switch (rng() % 7) {
    case 0: return AsLong(g_windows[rng() % g_windows.size()]);
    case 1: return AsLong(g_menus[rng() % g_menus.size()]);
    case 2: return AsLong(g_shellToolbar);
    case 3: return 0;
    case 4: return rng() % 2 ? 0xFFFF : -1;  // HWND_BROADCAST and HWND_TOPMOST: see Harmless
    default: {
        const LONG value = static_cast<LONG>(rng());
        // A made-up number that names a window of another process would act on it: not that one.
        return Harmless(reinterpret_cast<HWND>(static_cast<INT_PTR>(value))) ? value : 0;
    }
    }
}

LONG RandomLong(Rng& rng, const std::wstring& param) {
    if (param == L"wMsg") {
        // Messages whose parameters carry no address: anything else with a made-up lParam would
        // make this process's own window procedures read or write at that address.
        static const LONG kSafe[] = {WM_NULL,    WM_GETTEXTLENGTH, WM_USER + 1, WM_USER + 77,
                                     WM_APP + 9, WM_CANCELMODE,    WM_ENABLE,   0xC123};
        return kSafe[rng() % (sizeof kSafe / sizeof kSafe[0])];
    }
    if (param == L"sendInterval") return static_cast<LONG>(rng() % 2);
    // The watcher's time-outs and pauses: short, so that the run stays short; negative ones too.
    if (param == L"Timeout" || param == L"Milliseconds") return static_cast<LONG>(rng() % 4) - 1;
    static const LONG kEdges[] = {
        0, 1, -1, 2, 3, 6, 10, 100, 255, 256, 65535, 65536, 0x7FFFFFFF, static_cast<LONG>(0x80000000), -2, 10000};
    switch (rng() % 3) {
    case 0: return kEdges[rng() % (sizeof kEdges / sizeof kEdges[0])];
    case 1: return RandomHandleish(rng);
    default: {
        const LONG value = static_cast<LONG>(rng() % 2 ? rng() % 20 : rng());
        return Harmless(reinterpret_cast<HWND>(static_cast<INT_PTR>(value))) ? value : 0;
    }
    }
}

BSTR RandomString(Rng& rng, const std::wstring& member, const std::wstring& param) {
    // Typed texts stay short: each character of TypeText is a message its window handles at once.
    const bool typing = member == L"SendText" || member == L"VBSendKeys" || member == L"TypeText";
    switch (rng() % (typing ? 6 : 9)) {
    case 0: return nullptr;
    case 1: return SysAllocString(L"");
    case 2: {
        static const wchar_t* kWords[] = {
            L"Button",       L"Edit",          L"Wrang fuzz A",    L"SC_CLOSE", L"SC_MOVE",
            L"{ENTER}",      L"+(ab)",         L"abc{TAB 3}",      L"{",        L"~",
            L"\u00e9\u4e2d", L"Shell_TrayWnd", L"WrangFuzzTarget", L"label"};
        return SysAllocString(kWords[rng() % (sizeof kWords / sizeof kWords[0])]);
    }
    case 3: {
        if (param == L"wMsg") return SysAllocString(L"x");  // no number that names a message
        wchar_t number[24];
        swprintf(number, 24, L"%ld", static_cast<long>(RandomLong(rng, param)));
        return SysAllocString(number);
    }
    case 4:
    case 5: {
        const UINT length = static_cast<UINT>(rng() % 40);
        BSTR text = SysAllocStringLen(nullptr, length);
        for (UINT i = 0; i < length; ++i) {
            const unsigned kind = rng() % 4;
            text[i] = kind == 0   ? static_cast<wchar_t>(rng() % 0x10000)
                      : kind == 1 ? static_cast<wchar_t>(L"+^%~(){} "[rng() % 9])
                                  : static_cast<wchar_t>(L'a' + rng() % 26);
            if (param == L"wMsg" && text[i] >= L'0' && text[i] <= L'9') text[i] = L'z';
        }
        return text;
    }
    default: {
        // Long texts, as a window's text can be: a thousand or a hundred thousand characters now and
        // then, 1 MiB occasionally (once in a few hundred string arguments).
        const unsigned pick = rng() % 64;
        const UINT length = pick == 0 ? kBigString : pick < 9 ? (pick % 2 ? 1000 : 100000) : 0;
        if (length == 0) return SysAllocString(L"big?");
        BSTR text = SysAllocStringLen(nullptr, length);
        for (UINT i = 0; i < length; ++i) text[i] = static_cast<wchar_t>(L'A' + i % 26);
        return text;
    }
    }
}

SAFEARRAY* RandomArray(Rng& rng, VARTYPE element) {
    SAFEARRAY* array = SafeArrayCreateVector(element, 0, static_cast<ULONG>(rng() % 4));
    if (!array) return nullptr;
    for (LONG i = 0; i < static_cast<LONG>(array->rgsabound[0].cElements); ++i) {
        if (element == VT_I4) {
            LONG v = static_cast<LONG>(rng() % 100);
            SafeArrayPutElement(array, &i, &v);
        } else if (element == VT_BSTR) {
            BSTR v = SysAllocString(L"element");
            SafeArrayPutElement(array, &i, v);
            SysFreeString(v);
        } else {
            VARIANT v = LongValue(7);
            SafeArrayPutElement(array, &i, &v);
        }
    }
    return array;
}

// A value of any type a client can send, owned by `out`.
void RandomValue(Rng& rng, const std::wstring& member, const std::wstring& param, VARIANT* out) {
    VariantInit(out);
    const LONG number = RandomLong(rng, param);
    switch (rng() % 24) {
    case 0: V_VT(out) = VT_EMPTY; break;
    case 1: V_VT(out) = VT_NULL; break;
    case 2: *out = Holding(VT_I2, static_cast<SHORT>(number)); break;
    case 3:
    case 4:
    case 5: *out = LongValue(number); break;
    case 6: *out = Holding(VT_R4, static_cast<float>(number % 100000)); break;
    case 7: *out = Holding(VT_R8, rng() % 8 ? number : 1e300); break;
    case 8:
        V_VT(out) = VT_CY;
        V_CY(out).int64 = static_cast<LONGLONG>(number) * 10000;
        break;
    case 9: *out = Holding(VT_DATE, static_cast<DATE>(number % 1000)); break;
    case 10:
    case 11:
    case 12: *out = wrang::test::TextValue(RandomString(rng, member, param)); break;
    case 13: {
        V_VT(out) = VT_DISPATCH;
        V_DISPATCH(out) = nullptr;  // Nothing
        if (!g_objects.empty() && rng() % 4) {
            V_DISPATCH(out) = g_objects[rng() % g_objects.size()].dispatch;
            V_DISPATCH(out)->AddRef();
        }
        break;
    }
    case 14: *out = Holding(VT_ERROR, rng() % 2 ? DISP_E_PARAMNOTFOUND : E_FAIL); break;
    case 15: *out = wrang::test::BoolValue(rng() % 2 ? VARIANT_TRUE : VARIANT_FALSE); break;
    case 16: {
        V_VT(out) = VT_UNKNOWN;
        V_UNKNOWN(out) = nullptr;
        if (!g_objects.empty()) {
            V_UNKNOWN(out) = g_objects[rng() % g_objects.size()].dispatch;
            V_UNKNOWN(out)->AddRef();
        }
        break;
    }
    case 17:
        V_VT(out) = VT_DECIMAL;
        VarDecFromI4(number, &V_DECIMAL(out));
        V_VT(out) = VT_DECIMAL;
        break;
    case 18: *out = Holding(VT_I1, static_cast<CHAR>(number)); break;
    case 19: *out = Holding(VT_UI1, static_cast<BYTE>(number)); break;
    case 20: *out = Holding(VT_UI2, static_cast<USHORT>(number)); break;
    case 21: *out = Holding(rng() % 2 ? VT_UI4 : VT_UINT, static_cast<ULONG>(number)); break;
    case 22:
        V_VT(out) = rng() % 2 ? VT_I8 : VT_UI8;
        V_I8(out) = rng() % 2 ? number : static_cast<LONGLONG>(rng());
        break;
    default: {
        static const VARTYPE kElements[] = {VT_I4, VT_BSTR, VT_VARIANT};
        const VARTYPE element = kElements[rng() % 3];
        V_VT(out) = VT_ARRAY | element;
        V_ARRAY(out) = RandomArray(rng, element);
        if (!V_ARRAY(out)) V_VT(out) = VT_EMPTY;
        break;
    }
    }
    // A number made from another type may still name a message, or a long wait (an unsigned 16-bit
    // -1 is 65535): keep wMsg to the safe set and the watcher's time-outs short.
    if ((param == L"wMsg" || param == L"Timeout" || param == L"Milliseconds") && (V_VT(out) == VT_I8 || V_VT(out) == VT_UI8 || V_VT(out) == VT_UI4 || V_VT(out) == VT_UINT ||
                             V_VT(out) == VT_DECIMAL || V_VT(out) == VT_CY || V_VT(out) == VT_R8 ||
                             V_VT(out) == VT_I2 || V_VT(out) == VT_UI2 || V_VT(out) == VT_I1 || V_VT(out) == VT_UI1 ||
                             V_VT(out) == VT_R4 || V_VT(out) == VT_DATE)) {
        VariantClear(out);
        *out = LongValue(number);
    }
}

// One argument: by value, or VT_BYREF to the same type or to a VARIANT holding it.
void RandomArgument(Rng& rng, const std::wstring& member, const std::wstring& param, VARIANT* arg, Storage* storage) {
    VARIANT value;
    RandomValue(rng, member, param, &value);
    const unsigned how = rng() % 4;
    const VARTYPE vt = V_VT(&value);
    if (how == 0) {
        // By reference to a variable holding a VARIANT (how script engines pass variables).
        storage->variant = value;
        V_VT(arg) = VT_BYREF | VT_VARIANT;
        V_VARIANTREF(arg) = &storage->variant;
        std::memcpy(storage->raw, &storage->variant, sizeof(VARIANT));
        return;
    }
    if (how == 1 && vt != VT_EMPTY && vt != VT_NULL && vt != VT_DECIMAL) {
        // By reference to the value's own type: the payload moves into the storage VARIANT.
        storage->variant = value;
        V_VT(arg) = VT_BYREF | vt;
        V_BYREF(arg) = &V_I4(&storage->variant);  // every payload starts at the same place
        if (vt & VT_ARRAY) V_ARRAYREF(arg) = &V_ARRAY(&storage->variant);
        std::memcpy(storage->raw, &storage->variant, sizeof(VARIANT));
        return;
    }
    *arg = value;
    V_VT(&storage->variant) = VT_EMPTY;
}

bool AcceptableFailure(HRESULT hr, const EXCEPINFO* exception, bool hadException, std::string* why) {
    if (SUCCEEDED(hr)) return true;
    if (hr == DISP_E_EXCEPTION) {
        if (!hadException) {
            *why = "DISP_E_EXCEPTION without an EXCEPINFO to fill";
            return false;
        }
        if (exception->scode == S_OK && exception->wCode == 0) {
            *why = "EXCEPINFO without a status";
            return false;
        }
        // The description may be empty: a status without a system message text has none.
        if (!exception->bstrSource) {
            *why = "EXCEPINFO without a source";
            return false;
        }
        return true;
    }
    if (HRESULT_FACILITY(hr) == FACILITY_DISPATCH) return true;
    if (hr == E_OUTOFMEMORY || hr == E_INVALIDARG || hr == E_POINTER) return true;
    if (!hadException) return true;  // the member's own status, as there is nowhere else to say it
    *why = "a failure that is neither a DISP_E_* status nor an exception";
    return false;
}

// ---- the run ----
struct Tally {
    unsigned long long made = 0, faults = 0, skipped = 0;
    std::map<HRESULT, unsigned long long> outcomes;
    std::vector<unsigned long long> perClass;
};

void ReleaseObjects() {
    Step("releasing objects");
    for (Object& o : g_objects) o.dispatch->Release();
    g_objects.clear();
}

// A seed's part starts as the run does: new windows, a new fake shell, every class made anew.
void BeginPart(HMODULE dll) {
    ReleaseObjects();
    Pump();
    MakeWindows();
    Step("ending the fake shell");
    g_shell.reset();
    StartShell();
    if (!g_shellToolbar) std::printf("note: no fake shell toolbar found; the tray classes run unbound\n");
    Seed(dll);
}

// Every 64 calls: the windows whole, the shell running, and every class in play (a creatable one
// made again when none is left, half of the objects released when there are too many).
void KeepUp(HMODULE dll, Rng& rng, unsigned long long n) {
    if (!WindowsIntact()) MakeWindows();
    if (n % 4096 == 0) StartShell();
    Step("choosing the objects");
    std::vector<bool> present(g_classes.size());
    for (const Object& o : g_objects) present[o.cls] = true;
    if (std::find(present.begin(), present.end(), false) == present.end() && g_objects.size() < kMostObjects) return;
    if (g_objects.size() >= kMostObjects) {
        Step("releasing objects");
        for (size_t k = 0; k < kMostObjects / 2; ++k) {
            const size_t victim = rng() % g_objects.size();
            g_objects[victim].dispatch->Release();
            g_objects.erase(g_objects.begin() + static_cast<std::ptrdiff_t>(victim));
        }
    }
    Seed(dll);
}

// One call of a random member with random arguments, checked. False when no object is left.
bool CallOnce(HMODULE dll, Rng& rng, unsigned long long n, const std::wstring& only, bool verbose, Tally* tally) {
    static const WORD kFlags[] = {DISPATCH_METHOD,
                                  DISPATCH_PROPERTYGET,
                                  DISPATCH_METHOD | DISPATCH_PROPERTYGET,
                                  DISPATCH_PROPERTYPUT,
                                  DISPATCH_PROPERTYPUTREF,
                                  DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF,
                                  0,
                                  0xFFFF,
                                  DISPATCH_METHOD | DISPATCH_PROPERTYPUT};
    if (g_objects.empty()) Seed(dll);
    if (g_objects.empty()) return false;
    Step("choosing a call");
    size_t target = rng() % g_objects.size();
    // A tray call crosses into the shell's process and costs a hundred times a local one:
    // three in four of them go to another object, so the run stays short.
    if (g_classes[g_objects[target].cls].name.find(L"Toolbar") != std::wstring::npos && rng() % 4 != 0) {
        target = rng() % g_objects.size();
    }
    if (!only.empty()) {
        // Calls only on one class (a leak's search): the others still serve as arguments.
        size_t k = 0;
        while (k < g_objects.size() && g_classes[g_objects[(target + k) % g_objects.size()].cls].name != only) ++k;
        if (k == g_objects.size()) return true;
        target = (target + k) % g_objects.size();
    }
    IDispatch* object = g_objects[target].dispatch;
    object->AddRef();  // the call may release the pool's entry through another object
    const ClassInfo& cls = g_classes[g_objects[target].cls];
    const Member& member = cls.members[rng() % cls.members.size()];
    ++tally->perClass[g_objects[target].cls];

    const HWND bound = BoundWindow(object);
    if ((member.name.compare(0, 5, L"Click") == 0 && !ActsOnItsArgument(member) && !TakesAnyCommand(bound) &&
         !wrang::platform::IsBroadcast(AsLong(bound))) ||
        Broadcasts(member.name, bound)) {
        // A menu click sends the owning window a command; only the fuzzer's own windows are
        // made to take any command (the shell's would start a modal loop and never answer). A
        // broadcast value names no window to click. (The input members are checked once their
        // arguments are drawn.)
        ++tally->skipped;
        object->Release();
        return true;
    }
    DISPID id = rng() % 64 ? member.id : static_cast<DISPID>(rng());
    WORD flags = rng() % 8 ? (member.kind == INVOKE_PROPERTYPUT      ? DISPATCH_PROPERTYPUT
                              : member.kind == INVOKE_PROPERTYPUTREF ? DISPATCH_PROPERTYPUTREF
                              : member.kind == INVOKE_PROPERTYGET    ? DISPATCH_PROPERTYGET
                                                                     : DISPATCH_METHOD | DISPATCH_PROPERTYGET)
                           : kFlags[rng() % (sizeof kFlags / sizeof kFlags[0])];
    // Argument count: usually right, sometimes too few or too many.
    size_t count = member.params.size();
    const unsigned countChoice = rng() % 8;
    if (countChoice == 0 && count > 0)
        count -= 1 + rng() % count;
    else if (countChoice == 1)
        count += 1 + rng() % 3;
    // A watcher call that leaves its time-out out waits the default five seconds: not made, so
    // that the run stays short.
    const auto timeout = std::find(member.params.begin(), member.params.end(), L"Timeout");
    if (timeout != member.params.end() && count <= static_cast<size_t>(timeout - member.params.begin())) {
        ++tally->skipped;
        object->Release();
        return true;
    }
    std::vector<VARIANT> args(count);
    std::vector<Storage> storage(count);
    for (size_t a = 0; a < count; ++a) {
        // rgvarg is in reverse order: the last argument first.
        const size_t position = count - 1 - a;
        const std::wstring param = position < member.params.size() ? member.params[position] : L"extra";
        RandomArgument(rng, member.name, param, &args[a], &storage[a]);
    }
    // Named arguments: the last few by index (known, unknown, repeated, DISPID_PROPERTYPUT).
    std::vector<DISPID> named;
    const bool isPut = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
    if (isPut && count > 0 && rng() % 8) named.push_back(DISPID_PROPERTYPUT);
    if (rng() % 6 == 0) {
        const size_t extra = rng() % (count + 1);
        while (named.size() < extra) {
            const unsigned kind = rng() % 4;
            named.push_back(kind == 0                     ? static_cast<DISPID>(rng() % 40) - 20
                            : kind == 1 && !named.empty() ? named.back()
                                                          : static_cast<DISPID>(rng() % (member.params.size() + 1)));
        }
    }
    DISPPARAMS params = {args.data(), named.empty() ? nullptr : named.data(), static_cast<UINT>(count),
                         static_cast<UINT>(named.size())};
    DISPPARAMS* paramsPointer = &params;
    const unsigned broken = rng() % 64;
    if (broken == 0)
        paramsPointer = nullptr;
    else if (broken == 1 && count > 0)
        params.rgvarg = nullptr;
    else if (broken == 2) {
        params.rgdispidNamedArgs = nullptr;
        params.cNamedArgs = 1 + rng() % 2;
    } else if (broken == 3)
        params.cNamedArgs = params.cArgs + 1;

    VARIANT result = LongValue(12345);  // something there already: a result must replace it cleanly
    VARIANT* resultPointer = rng() % 8 ? &result : nullptr;
    EXCEPINFO exception = {};
    const bool hadException = rng() % 8 != 0;
    UINT argError = 0xFFFFFFFF;
    UINT* argErrorPointer = rng() % 4 ? &argError : nullptr;

    // It types into the active window: only when that is one of the fuzzer's own. Asked after
    // every choice of the call is drawn, so that which window the desktop put in front changes no
    // later call of the seed.
    bool typingElsewhere = false;
    if (member.name == L"VBSendKeys") {
        SetForegroundWindow(g_windows[0]);
        SetFocus(g_windows[2]);
        typingElsewhere = GetForegroundWindow() != g_windows[0];
    }
    // Typing, clicking or choosing a menu entry in a window not made here (the shell's would start a
    // modal loop on a command, another process's window would act on its input): not made.
    if (ActsOnItsArgument(member) && NamesAnotherWindow(args)) typingElsewhere = true;

    Describe("call %llu: %s.%s id 0x%lx flags 0x%x cArgs %u cNamedArgs %u%s%s%s%s", n, Narrow(cls.name).c_str(),
             Narrow(member.name).c_str(), static_cast<unsigned long>(id), flags, params.cArgs, params.cNamedArgs,
             paramsPointer ? "" : " (no DISPPARAMS)", params.rgvarg || !count ? "" : " (rgvarg null)",
             params.rgdispidNamedArgs || !params.cNamedArgs ? "" : " (rgdispidNamedArgs null)",
             resultPointer ? "" : " (no result)");
    if (typingElsewhere) {
        ++tally->skipped;
    } else {
        if (verbose) std::fprintf(stderr, "%llu %s\n", GetTickCount64(), g_current);
        Step("calling");
        const HRESULT hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, paramsPointer, resultPointer,
                                          hadException ? &exception : nullptr, argErrorPointer);
        Step("checking the call");
        ++tally->made;
        ++tally->outcomes[hr];

        std::string why;
        if (!AcceptableFailure(hr, &exception, hadException, &why)) {
            ++tally->faults;
            std::printf("FAULT %s: hr 0x%08lx scode 0x%08lx, %s (seed %llu)\n", g_current,
                        static_cast<unsigned long>(hr), static_cast<unsigned long>(exception.scode), why.c_str(),
                        static_cast<unsigned long long>(g_seed));
        }
        if (FAILED(hr)) {
            for (size_t a = 0; a < count; ++a) {
                if (!(V_VT(&args[a]) & VT_BYREF)) continue;
                if (std::memcmp(storage[a].raw, &storage[a].variant, sizeof(VARIANT)) != 0) {
                    ++tally->faults;
                    std::printf("FAULT %s: hr 0x%08lx changed by-reference argument %zu (seed %llu)\n", g_current,
                                static_cast<unsigned long>(hr), count - 1 - a, static_cast<unsigned long long>(g_seed));
                }
            }
        }
        if (hadException) wrang::test::FreeException(&exception);
        // Objects handed out are kept (when they act on harmless windows) for later calls.
        if (SUCCEEDED(hr) && V_VT(&result) == VT_DISPATCH && V_DISPATCH(&result)) {
            V_DISPATCH(&result)->AddRef();
            Keep(V_DISPATCH(&result));
        }
    }
    VariantClear(&result);
    for (size_t a = 0; a < count; ++a) {
        if (V_VT(&args[a]) & VT_BYREF)
            VariantClear(&storage[a].variant);
        else
            VariantClear(&args[a]);
    }
    // A member that binds (Init...) may have moved the object to another window: only
    // harmless ones stay. (Objects handed out were checked when kept.)
    if (!typingElsewhere && member.name.compare(0, 4, L"Init") == 0 && !Harmless(BoundWindow(object))) {
        for (size_t k = 0; k < g_objects.size(); ++k) {
            if (g_objects[k].dispatch == object) {
                g_objects[k].dispatch->Release();
                g_objects.erase(g_objects.begin() + static_cast<std::ptrdiff_t>(k));
                break;
            }
        }
    }
    object->Release();
    return true;
}

// The seeds of a list such as "1,2,3".
std::vector<uint64_t> SeedsOf(const std::wstring& list) {
    std::vector<uint64_t> seeds;
    for (size_t at = 0; at < list.size();) {
        size_t end = list.find(L',', at);
        if (end == std::wstring::npos) end = list.size();
        if (end > at) seeds.push_back(std::wcstoull(list.substr(at, end - at).c_str(), nullptr, 10));
        at = end + 1;
    }
    return seeds;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    unsigned long long calls = 200000;
    const bool verbose = std::getenv("WRANG_FUZZ_VERBOSE") != nullptr;
    std::wstring only;  // WRANG_FUZZ_CLASS: call members of this class only
    if (const char* e = std::getenv("WRANG_FUZZ_CLASS")) only.assign(e, e + std::strlen(e));
    std::wstring seedList = L"1";
    if (const char* e = std::getenv("WRANG_FUZZ_CALLS")) calls = std::strtoull(e, nullptr, 10);
    if (const char* e = std::getenv("WRANG_FUZZ_SEED")) seedList.assign(e, e + std::strlen(e));
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::wstring(argv[i]) == L"--calls")
            calls = std::wcstoull(argv[++i], nullptr, 10);
        else if (std::wstring(argv[i]) == L"--seed")
            seedList = argv[++i];
    }
    std::vector<uint64_t> seeds = SeedsOf(seedList);
    if (seeds.empty()) seeds.push_back(1);
    std::string seedText;
    for (uint64_t seed : seeds) seedText += (seedText.empty() ? "" : ",") + std::to_string(seed);
    std::printf("seeds %s, %llu calls split between them\n", seedText.c_str(), calls);
    std::fflush(stdout);
    SetUnhandledExceptionFilter(OnCrash);
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    Step("loading the component");
    CloseHandle(CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr));
    CoInitialize(nullptr);

    const std::wstring dllPath = wrang::test::DllPath();
    HMODULE dll = LoadLibraryW(dllPath.c_str());
    if (!dll || !ReadLibrary(dllPath)) {
        std::printf("FAILED: cannot load %s or its type library\n", Narrow(dllPath).c_str());
        return 2;
    }
    auto canUnload = wrang::test::ExportOf<HRESULT(STDAPICALLTYPE*)()>(dll, "DllCanUnloadNow");

    WNDCLASSA cls = {};
    cls.lpfnWndProc = TargetProc;
    cls.lpszClassName = kTargetClass;
    RegisterClassA(&cls);
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&controls);

    Tally tally;
    tally.perClass.resize(g_classes.size());
    for (size_t part = 0; part < seeds.size(); ++part) {
        g_seed = seeds[part];
        const unsigned long long partCalls = calls / seeds.size() + (part < calls % seeds.size() ? 1 : 0);
        std::printf("seed %llu: %llu calls (alone: --seed %llu --calls %llu)\n",
                    static_cast<unsigned long long>(g_seed), partCalls, static_cast<unsigned long long>(g_seed),
                    partCalls);
        std::fflush(stdout);
        BeginPart(dll);
        Rng rng(g_seed);
        for (unsigned long long n = 0; n < partCalls; ++n) {
            if (n % 64 == 0) KeepUp(dll, rng, n);
            if (!CallOnce(dll, rng, n, only, verbose, &tally)) break;
            Pump();
        }
    }

    ReleaseObjects();
    Pump();
    Step("unloading the component");
    CoFreeUnusedLibraries();
    const HRESULT unload = canUnload ? canUnload() : E_FAIL;
    const unsigned long long leaks = unload == S_OK ? 0 : 1;
    if (leaks)
        std::printf("LEAK: DllCanUnloadNow answers 0x%08lx with every reference released\n",
                    static_cast<unsigned long>(unload));
    Step("ending the run");
    for (HWND h : g_windows) {
        if (IsWindow(h)) DestroyWindow(h);
    }
    g_shell.reset();
    CoUninitialize();
    g_stepStarted = 0;

    std::printf("per class:");
    for (size_t c = 0; c < g_classes.size(); ++c)
        std::printf(" %s=%llu", Narrow(g_classes[c].name).c_str(), tally.perClass[c]);
    std::printf("\noutcomes:");
    for (const auto& [hr, times] : tally.outcomes) std::printf(" 0x%08lx=%llu", static_cast<unsigned long>(hr), times);
    std::printf(
        "\nskipped (typing without being the active window, clicks on a window not made here, messages to "
        "every window, waits for a default time-out): %llu\n",
        tally.skipped);
    // The last line, once nothing of the run is left to end: a hang after it cannot pass unseen.
    std::printf("DISPATCHFUZZ calls=%llu crashes=0 hangs=0 faults=%llu leaks=%llu seed=%s\n", tally.made, tally.faults,
                leaks, seedText.c_str());
    return tally.faults || leaks ? 1 : 0;
}
