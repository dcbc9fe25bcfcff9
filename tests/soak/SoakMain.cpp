// wrang_soak.exe: the component used over and over, as a long-running client would, with the
// resources of both processes measured before and after.
//   wrang_soak [--cycles N] [--parts a,b]   (or WRANG_SOAK_CYCLES; default 1000; the test command runs 500, scripts/reliability.sh 100000)
// Parts, each measured on its own after a warm-up:
//   create   N create/bind/release cycles of each creatable class
//   handout  N cycles of each handed-out class (toolbar button, menu entry, menu cursor)
//   send     N sends with each SendMsg* form to a window of another thread
//   tray     N/10 tray exchanges (text, visibility, count) with the fake shell
//   menu     N/10 walks of a menu with a cursor, every entry's text read
// Measured: this process's private bytes (committed private memory), handle count (or, where the
// system reports none, the next free handle slot), USER objects (or its windows) and GDI objects;
// the shell's committed private regions and its handle count (Wine reports none: 0 then). Tolerances (growth from the warm-up to the end of
// a part): private bytes kPrivateBytesSlack, every count kCountSlack. At the end, every reference
// released, DllCanUnloadNow must answer S_OK.
// One line per part: "SOAK <part> cycles=N calls=C leaks=L <measurements>", then
// "SOAK total calls=C leaks=L".
#include <windows.h>
#include <oaidl.h>
#include <oleauto.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "support/CallByName.h"
#include "support/Parameters.h"
#include "support/ProcessResources.h"
#include "support/StandInShell.h"

namespace {

using wrang::test::HandleCount, wrang::test::PrivateMemoryOf, wrang::test::TakeObject;
using wrang::test::LongValue, wrang::test::ObjectValue, wrang::test::TextValue, wrang::test::VariableRef;

constexpr long long kPrivateBytesSlack = 1 << 20;  // heap pages a long run may keep for reuse
constexpr long long kCountSlack = 2;

HMODULE g_dll = nullptr;
unsigned long long g_calls = 0;
std::map<std::wstring, DISPID> g_ids;

IDispatch* Create(const wchar_t* progClass) {
    // The class identifiers, as the type library declares them.
    static const std::map<std::wstring, CLSID> kClasses = {
        {L"clsWrangler", {0xFFF37DAE, 0x1BAC, 0x41FB, {0xAF, 0xE9, 0x57, 0x64, 0xA7, 0x3E, 0x09, 0xAC}}},
        {L"clsSysToolbar", {0x62E7027A, 0x6069, 0x4A93, {0xA1, 0xCB, 0xB3, 0x55, 0x6C, 0x12, 0x40, 0xC0}}},
        {L"clsJuggler", {0xF9031829, 0x9C6F, 0x42C3, {0xAE, 0x0F, 0xFB, 0xED, 0x70, 0x3D, 0xDE, 0xF2}}},
        {L"clsListReader", {0x7B263A39, 0x0206, 0x4C54, {0x85, 0xAD, 0x2E, 0x59, 0x98, 0xAA, 0xB0, 0xC4}}},
        {L"clsTreeReader", {0x3A7EC052, 0x9E0A, 0x4316, {0xA1, 0x9C, 0x56, 0x8D, 0x9D, 0x1D, 0x82, 0x58}}},
        {L"clsWatcher", {0x56142149, 0xF135, 0x44A0, {0x90, 0xE3, 0x34, 0xB7, 0x41, 0x38, 0x5E, 0x3B}}},
        {L"clsFinder", {0xE76FBF3B, 0x07D0, 0x4C34, {0xA4, 0x9A, 0x7B, 0xB8, 0x80, 0xA7, 0xEB, 0xD1}}},
        {L"clsInput", {0x7A46F1A2, 0xA832, 0x49DA, {0x85, 0x11, 0x91, 0x25, 0x86, 0x66, 0x1F, 0x01}}},
    };
    IDispatch* object = wrang::test::CreateFromDll(g_dll, kClasses.at(progClass));
    ++g_calls;
    return object;
}

// Calls a member by name; `args` in the order a script writes them. The result goes to `result`
// (cleared first) when given.
HRESULT Call(IDispatch* object, const wchar_t* name, std::vector<VARIANT> args, VARIANT* result = nullptr) {
    VARIANT local;
    VariantInit(&local);
    VARIANT* out = result ? result : &local;
    VariantClear(out);
    const HRESULT hr = wrang::test::DispatchCallByName(object, name, DISPATCH_METHOD | DISPATCH_PROPERTYGET,
                                                       args.data(), args.size(), false, out, nullptr);
    VariantClear(&local);
    ++g_calls;
    return hr;
}

// The object a call hands out, now the caller's; nullptr when the call fails or hands out none.
IDispatch* HandedOut(IDispatch* object, const wchar_t* name, std::vector<VARIANT> args) {
    VARIANT result;
    VariantInit(&result);
    IDispatch* out = SUCCEEDED(Call(object, name, std::move(args), &result)) ? TakeObject(&result) : nullptr;
    VariantClear(&result);
    return out;
}

// ---- what is measured ----
struct Measure {
    long long privateBytes = 0, handles = 0, user = 0, gdi = 0, shellRegions = 0, shellHandles = 0;
};

BOOL CALLBACK CountOwnWindow(HWND hWnd, LPARAM lParam) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hWnd, &pid);
    if (pid == GetCurrentProcessId()) {
        ++*reinterpret_cast<long long*>(lParam);
        EnumChildWindows(hWnd, CountOwnWindow, lParam);
    }
    return TRUE;
}

Measure Take(HANDLE shell) {
    // Committed private memory walked region by region: what Wine reports as the process's private
    // bytes and handle counts is zero, the address space it reports in full.
    Measure m;
    m.privateBytes = PrivateMemoryOf(GetCurrentProcess()).committedBytes;
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof memory;
    // Where the system reports them, the larger of the two counts.
    if (GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory) &&
        static_cast<long long>(memory.PrivateUsage) > m.privateBytes) {
        m.privateBytes = static_cast<long long>(memory.PrivateUsage);
    }
    // Or else the next handle's slot: a handle left open takes the lowest free one, so it moves up.
    const DWORD handles = HandleCount(GetCurrentProcess());
    m.handles =
        handles ? handles : static_cast<long long>(reinterpret_cast<ULONG_PTR>(wrang::test::NextHandleSlot()) / 4);
    // USER objects: as reported, or else this process's windows (the USER objects it can make).
    m.user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    if (!m.user) EnumWindows(CountOwnWindow, reinterpret_cast<LPARAM>(&m.user));
    m.gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (shell) {
        m.shellRegions = PrivateMemoryOf(shell).committedRegions;
        m.shellHandles = HandleCount(shell);
    }
    return m;
}

// ---- the targets: a window with a menu on another thread, and the fake shell ----
HWND g_window = nullptr;
HANDLE g_windowReady = nullptr;

DWORD WINAPI WindowThread(void*) {
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    AppendMenuA(file, MF_STRING, 101, "&Open");
    AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(file, MF_STRING | MF_CHECKED, 102, "Checked");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
    AppendMenuA(bar, MF_STRING, 201, "Help");
    g_window = CreateWindowExA(0, "STATIC", "Wrang soak", WS_OVERLAPPEDWINDOW, 10, 10, 300, 200, nullptr, bar, nullptr,
                               nullptr);
    SetEvent(g_windowReady);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    DestroyWindow(g_window);
    return 0;
}

std::unique_ptr<wrang::test::StandInShell> g_shell;

bool StartShell() {
    g_shell.reset();
    g_shell = std::make_unique<wrang::test::StandInShell>(L"--button Volume --button Network --lifetime 86400");
    return g_shell->Shell() != nullptr;
}

// ---- the parts ----
struct Part {
    const char* name;
    unsigned long long cycles;
    std::function<void()> cycle;
};

unsigned long long g_leaks = 0;

void Run(const Part& part) {
    // A warm-up: whatever is made once and kept (caches, the shell's first buffer) is in place.
    const unsigned long long warmUp = part.cycles < 200 ? part.cycles : 200;
    for (unsigned long long i = 0; i < warmUp; ++i) part.cycle();
    const unsigned long long callsBefore = g_calls;
    const Measure before = Take(g_shell->Process());
    for (unsigned long long i = 0; i < part.cycles; ++i) part.cycle();
    const Measure after = Take(g_shell->Process());
    // The shell must have lived through the tray part, or its figures say nothing.
    const bool shellGone = std::strcmp(part.name, "tray") == 0 && !g_shell->Running();
    if (shellGone) {
        std::printf("FAILED: the shell ended during the tray part\n");
        ++g_leaks;
    }
    const long long grown[] = {after.privateBytes - before.privateBytes,
                               after.handles - before.handles,
                               after.user - before.user,
                               after.gdi - before.gdi,
                               after.shellRegions - before.shellRegions,
                               after.shellHandles - before.shellHandles};
    unsigned long long leaks = 0;
    if (grown[0] > kPrivateBytesSlack) ++leaks;
    for (int k = 1; k < 6; ++k) {
        if (grown[k] > kCountSlack) ++leaks;
    }
    g_leaks += leaks;
    std::printf(
        "SOAK %s cycles=%llu calls=%llu leaks=%llu private=%+lldB handles=%+lld user=%+lld gdi=%+lld "
        "shell-regions=%+lld shell-handles=%+lld (before: %lldB %lld %lld %lld %lld %lld)\n",
        part.name, part.cycles, g_calls - callsBefore, leaks, grown[0], grown[1], grown[2], grown[3], grown[4],
        grown[5], before.privateBytes, before.handles, before.user, before.gdi, before.shellRegions,
        before.shellHandles);
    std::fflush(stdout);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    unsigned long long cycles = 1000;
    std::wstring only;
    if (const char* e = std::getenv("WRANG_SOAK_CYCLES")) cycles = std::strtoull(e, nullptr, 10);
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::wstring(argv[i]) == L"--cycles")
            cycles = std::wcstoull(argv[++i], nullptr, 10);
        else if (std::wstring(argv[i]) == L"--parts")
            only = L"," + std::wstring(argv[++i]) + L",";
    }
    CoInitialize(nullptr);
    const std::wstring dllPath = wrang::test::DllPath();
    g_dll = LoadLibraryW(dllPath.c_str());
    if (!g_dll) {
        std::printf("FAILED: cannot load Wrang.dll\n");
        return 2;
    }
    g_windowReady = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    DWORD windowThreadId = 0;
    HANDLE windowThread = CreateThread(nullptr, 0, WindowThread, nullptr, 0, &windowThreadId);
    if (WaitForSingleObject(g_windowReady, 60000) != WAIT_OBJECT_0 || !g_window) {
        std::printf("FAILED: the window thread did not make its window\n");
        return 2;
    }
    if (!StartShell()) {
        std::printf("FAILED: the fake shell did not come up\n");
        return 2;
    }
    const LONG window = wrang::test::AsLong(g_window);
    VARIANT result;
    VariantInit(&result);

    // Long-lived helpers for the sends, the tray and the menu walks.
    IDispatch* wrangler = Create(L"clsWrangler");
    Call(wrangler, L"InitByHandle", {LongValue(window)});
    IDispatch* toolbar = Create(L"clsSysToolbar");
    Call(toolbar, L"Init", {});
    IDispatch* juggler = Create(L"clsJuggler");
    Call(juggler, L"InitByHandle", {LongValue(window)});
    IDispatch* file = HandedOut(juggler, L"GetChildMenu", {LongValue(0)});
    IDispatch* button = HandedOut(toolbar, L"GetButtonByIndex", {LongValue(1)});
    if (!wrangler || !toolbar || !juggler || !file || !button) {
        std::printf("FAILED: set-up (objects %p %p %p %p %p)\n", static_cast<void*>(wrangler),
                    static_cast<void*>(toolbar), static_cast<void*>(juggler), static_cast<void*>(file),
                    static_cast<void*>(button));
        return 2;
    }
    BSTR caption = SysAllocString(L"Wrang soak");
    BSTR menuPath = SysAllocString(L"File\\Checked");

    const unsigned long long tenth = cycles / 10 ? cycles / 10 : 1;
    // A cycle that makes an object of `progClass`, binds it with `init` and lets it go.
    auto created = [](const wchar_t* progClass, const wchar_t* init, std::vector<VARIANT> args) {
        return [=] {
            IDispatch* o = Create(progClass);
            Call(o, init, args);
            o->Release();
        };
    };
    // A cycle of one call by name, and one that lets go of the object the call hands out.
    auto calling = [](IDispatch* object, const wchar_t* name, std::vector<VARIANT> args) {
        return [=] { Call(object, name, args); };
    };
    auto handedOut = [](IDispatch* object, const wchar_t* name, std::vector<VARIANT> args) {
        return [=] {
            if (IDispatch* o = HandedOut(object, name, args)) o->Release();
        };
    };
    const std::vector<Part> parts = {
        {"create-wrangler", cycles, created(L"clsWrangler", L"InitByHandle", {LongValue(window)})},
        {"create-systoolbar", cycles, created(L"clsSysToolbar", L"Init", {})},
        {"create-juggler", cycles, created(L"clsJuggler", L"InitByHandle", {LongValue(window)})},
        // Bound as a list box by the kind given; the window's class tells no kind of list or tree.
        {"create-listreader", cycles, created(L"clsListReader", L"InitByHandle", {LongValue(window), LongValue(1)})},
        {"create-treereader", cycles, created(L"clsTreeReader", L"InitByHandle", {LongValue(window)})},
        // A wait of 1 ms for a window that stays: each one sets its window-event hooks and removes them.
        {"create-watcher", cycles, created(L"clsWatcher", L"WaitForClose", {ObjectValue(wrangler), LongValue(1)})},
        // A regular expression compiled (without regard to case), and every top-level window it matches listed.
        {"create-finder", cycles,
         [&] {
             IDispatch* o = Create(L"clsFinder");
             VARIANT settings[] = {LongValue(2), TextValue(caption)};  // MATCH_REGEX
             for (size_t s = 0; s < 2; ++s) {
                 wrang::test::DispatchCallByName(o, s == 0 ? L"MatchMode" : L"WindowText", DISPATCH_PROPERTYPUT,
                                                 &settings[s], 1, true, nullptr, nullptr);
             }
             Call(o, L"FindAll", {});
             o->Release();
         }},
        // The menu walk with its notifications to the window's thread, and the command posted.
        {"create-input", cycles, created(L"clsInput", L"ClickMenu", {ObjectValue(wrangler), TextValue(menuPath)})},
        {"handout-toolbarbutton", cycles, handedOut(toolbar, L"GetButtonByIndex", {LongValue(0)})},
        {"handout-menuitem", cycles, handedOut(juggler, L"GetChildMenu", {LongValue(0)})},
        {"handout-menuenum", cycles, handedOut(juggler, L"BeginChildEnum", {})},
        {"send-SendMsg", cycles,
         calling(wrangler, L"SendMsg", {LongValue(WM_NULL), LongValue(0), ObjectValue(juggler)})},
        {"send-SendMsgByRef", cycles,
         [&] {
             VARIANT variable = ObjectValue(juggler);
             Call(wrangler, L"SendMsgByRef", {LongValue(WM_NULL), LongValue(0), VariableRef(&variable)});
             if (V_VT(&variable) == VT_DISPATCH && V_DISPATCH(&variable) != juggler) VariantClear(&variable);
         }},
        {"send-SendMsgLong", cycles,
         calling(wrangler, L"SendMsgLong", {LongValue(WM_GETTEXTLENGTH), LongValue(0), LongValue(0)})},
        {"send-SendMsgLongByRef", cycles,
         [&] {
             VARIANT variable = LongValue(5);
             Call(wrangler, L"SendMsgLongByRef", {LongValue(WM_NULL), LongValue(0), VariableRef(&variable)});
             VariantClear(&variable);
         }},
        {"send-SendMsgString", cycles,
         calling(wrangler, L"SendMsgString", {LongValue(WM_SETTEXT), LongValue(0), TextValue(caption)})},
        {"send-SendMsgStringByRef", cycles,
         [&] {
             VARIANT variable = TextValue(SysAllocString(L"                              "));
             Call(wrangler, L"SendMsgStringByRef", {LongValue(WM_GETTEXT), LongValue(30), VariableRef(&variable)});
             VariantClear(&variable);
         }},
        {"tray", tenth,
         [&] {
             // (The shell is started afresh just before this part; see below.)
             Call(button, L"Text", {}, &result);
             VariantClear(&result);
             Call(button, L"Visible", {}, &result);
             Call(toolbar, L"Count", {}, &result);
         }},
        {"menu-walk", tenth,
         [&] {
             IDispatch* cursor = HandedOut(file, L"BeginChildEnum", {});
             if (!cursor) return;
             VARIANT more;
             VariantInit(&more);
             while (SUCCEEDED(Call(cursor, L"NextItem", {}, &more)) && V_VT(&more) == VT_BOOL && V_BOOL(&more)) {
                 IDispatch* item = HandedOut(cursor, L"GetItem", {});
                 if (!item) break;
                 Call(item, L"Text", {}, &result);
                 VariantClear(&result);
                 item->Release();
             }
             Call(file, L"EndChildEnum", {ObjectValue(cursor)});
             cursor->Release();
         }},
    };
    for (const Part& part : parts) {
        // --parts a,b runs only the parts named (all when not given).
        if (!only.empty() && only.find(L"," + std::wstring(part.name, part.name + std::strlen(part.name)) + L",") ==
                                 std::wstring::npos) {
            continue;
        }
        if (std::strcmp(part.name, "tray") == 0) {
            // The fake shell ends itself after a few minutes: a fresh one for the tray part.
            if (!StartShell()) {
                std::printf("FAILED: the fake shell did not come up again\n");
                return 2;
            }
            Call(toolbar, L"Init", {});
            button->Release();
            button = HandedOut(toolbar, L"GetButtonByIndex", {LongValue(1)});
            Call(button, L"Text", {}, &result);
            if (V_VT(&result) != VT_BSTR || std::wcscmp(V_BSTR(&result), L"Network") != 0) {
                std::printf("FAILED: the tray part does not reach the shell's button\n");
                return 2;
            }
            VariantClear(&result);
        }
        Run(part);
    }

    SysFreeString(caption);
    SysFreeString(menuPath);
    for (IDispatch* o : {button, file, juggler, toolbar, wrangler}) o->Release();
    auto canUnload = wrang::test::ExportOf<HRESULT(STDAPICALLTYPE*)()>(g_dll, "DllCanUnloadNow");
    const HRESULT unload = canUnload();
    if (unload != S_OK) {
        ++g_leaks;
        std::printf("LEAK: objects still alive at the end (DllCanUnloadNow 0x%08lx)\n",
                    static_cast<unsigned long>(unload));
    }
    std::printf("SOAK total calls=%llu leaks=%llu tolerance: private bytes +%lld, counts +%lld\n", g_calls, g_leaks,
                kPrivateBytesSlack, kCountSlack);
    PostThreadMessageA(windowThreadId, WM_QUIT, 0, 0);
    WaitForSingleObject(windowThread, 10000);
    g_shell.reset();
    CoUninitialize();
    return g_leaks ? 1 : 0;
}
