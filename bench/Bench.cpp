// wrang_bench.exe: what the hot members cost against the system calls they make, and whether the
// cost per item stays flat as what is walked grows.
//   wrang_bench [--markdown FILE] [--quick]
// Every table goes to standard output; with --markdown it is also written as Markdown. --quick
// runs fewer repetitions and smaller sizes (a smoke run of the program itself).
//
// Columns of the member tables, all in nanoseconds per call, medians of the repetitions:
//   raw       the window-manager and kernel calls the member makes, called directly (the limit)
//   vtable    the member through the interface's table of operations
//   Invoke    IDispatch::Invoke by DISPID (an early-bound or cached client)
//   names     GetIDsOfNames of the member's name followed by Invoke (a late-bound script)
//   std       Invoke of the system's own type-library dispatch (CreateStdDispatch) over the same
//             interface, the peer baseline
//   GIDN      GetIDsOfNames alone
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
#include <tuple>
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

#include "BenchKit.h"

namespace {

using namespace wrang::bench;

// --- The fake shell -------------------------------------------------------------------------------

// The tests' stand-in shell, from the tests' folder beside this program's.
struct FakeShell : wrang::test::StandInShell {
    explicit FakeShell(const std::wstring& arguments)
        : StandInShell(arguments, wrang::test::TestDirectory() + L"\\..\\tests\\wrang_fakeshell.exe",
                       std::chrono::seconds(15)) {}
};

// Counts what crosses into the toolbar's process, around the real calls.
struct CountingSystem : wrang::platform::Win32WindowSystem {
    long reads = 0, opens = 0, allocations = 0;
    BOOL ReadProcessMemory(HANDLE process, wrang::platform::ForeignAddress address, void* buffer, SIZE_T size,
                           SIZE_T* bytesRead) override {
        ++reads;
        return Win32WindowSystem::ReadProcessMemory(process, address, buffer, size, bytesRead);
    }
    HANDLE OpenProcess(DWORD access, BOOL inherit, DWORD processId) override {
        ++opens;
        return Win32WindowSystem::OpenProcess(access, inherit, processId);
    }
    wrang::platform::ForeignAddress VirtualAllocEx(HANDLE process, wrang::platform::ForeignAddress address, SIZE_T size,
                                                   DWORD type, DWORD protect) override {
        ++allocations;
        return Win32WindowSystem::VirtualAllocEx(process, address, size, type, protect);
    }
};

// --- The member tables ----------------------------------------------------------------------------

void WranglerTable() {
    HWND window = MakeWindow("WrangBenchWindow", "A caption of some thirty chars");
    ComPtr<_clsWrangler> w = Bound(window);
    ComPtr<IDispatch> standard = StandardDispatch(w.get(), IID__clsWrangler);
    IDispatch* d = w.get();
    std::vector<Row> rows;
    rows.push_back(MeasureMember(
        "IsWindow get", d, standard.get(), {L"IsWindow"}, [&] { IsWindow(window); },
        [&] {
            VARIANT_BOOL b;
            w->get_IsWindow(&b);
        }));
    rows.push_back(MeasureMember(
        "Enabled get", d, standard.get(), {L"Enabled"}, [&] { IsWindowEnabled(window); },
        [&] {
            VARIANT_BOOL b;
            w->get_Enabled(&b);
        }));
    rows.push_back(MeasureMember(
        "Left get", d, standard.get(), {L"Left"},
        [&] {
            RECT r;
            GetWindowRect(window, &r);
        },
        [&] {
            LONG v;
            w->get_Left(&v);
        }));
    rows.push_back(MeasureMember("hWnd get", d, standard.get(), {L"hWnd"}, nullptr, [&] {
        LONG v;
        w->get_hWnd(&v);
    }));
    rows.push_back(MeasureMember(
        "SendMsgLong(WM_NULL, 0, 0)", d, standard.get(), LateCall(L"SendMsgLong", {WM_NULL, 0, 0}),
        [&] { SendMessageA(window, WM_NULL, 0, 0); },
        [&] {
            LONG v;
            w->SendMsgLong(WM_NULL, 0, 0, VARIANT_FALSE, &v);
        }));
    rows.push_back(MeasureMember(
        "Text get", d, standard.get(), {L"Text"},
        [&] {
            wchar_t buffer[64];
            GetWindowTextW(window, buffer, GetWindowTextLengthW(window) + 1);
        },
        [&] {
            BSTR t = nullptr;
            w->get_Text(&t);
            SysFreeString(t);
        }));
    const auto className = [&] {
        BSTR t = nullptr;
        w->get_ClassName(&t);
        SysFreeString(t);
    };
    rows.push_back(MeasureMember(
        "ClassName get", d, standard.get(), {L"ClassName"},
        [&] {
            wchar_t buffer[255];
            GetClassNameW(window, buffer, 255);
        },
        className));
    // The same member against its call plus the string every caller is handed and frees: what no
    // implementation of the member can go below.
    rows.push_back(MeasureMember(
        "ClassName get, raw with its string", d, standard.get(), {L"ClassName"},
        [&] {
            wchar_t buffer[255];
            SysFreeString(SysAllocStringLen(buffer, static_cast<UINT>(GetClassNameW(window, buffer, 255))));
        },
        className));
    PrintTable("clsWrangler (a window of this thread)", rows);
    w.reset();
    DestroyWindow(window);
}

void MenuItemTable() {
    HWND window = MakeWindow("WrangBenchMenuWindow", "menus");
    HMENU bar = CreateMenu();
    HMENU popup = CreatePopupMenu();
    AppendMenuA(popup, MF_STRING, 101, "&Open a file");
    AppendMenuA(popup, MF_STRING | MF_CHECKED, 102, "&Checked entry");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), "&File");
    SetMenu(window, bar);
    ComPtr<_clsJuggler> created, juggler;
    if (FAILED(wrang::CreateJuggler(created.put()))) return;
    created->InitByHandle(L(window), juggler.put());
    ComPtr<_clsMenuItem> file, entry;
    juggler->GetChildMenu(0, file.put());
    file->GetChildMenu(1, entry.put());
    ComPtr<IDispatch> standard = StandardDispatch(entry.get(), IID__clsMenuItem);
    std::vector<Row> rows;
    rows.push_back(MeasureMember(
        "Text get", entry.get(), standard.get(), {L"Text"},
        [&] {
            wchar_t buffer[250];
            GetMenuStringW(popup, 102, buffer, 250, MF_BYCOMMAND);
        },
        [&] {
            BSTR t = nullptr;
            entry->get_Text(&t);
            SysFreeString(t);
        }));
    rows.push_back(MeasureMember(
        "Checked get", entry.get(), standard.get(), {L"Checked"}, [&] { GetMenuState(popup, 102, MF_BYCOMMAND); },
        [&] {
            VARIANT_BOOL b;
            entry->get_Checked(&b);
        }));
    PrintTable("clsMenuItem (an entry of a menu of this thread)", rows);
    entry.reset();
    file.reset();
    juggler.reset();
    created.reset();
    DestroyWindow(window);
}

// The calls one read of a button record and its text needs at the least: what the member makes.
struct RawExchange {
    HWND toolbar;
    bool is64Bit;
    void operator()(bool withText, bool withHidden) const {
        DWORD id = 0;
        GetWindowThreadProcessId(toolbar, &id);
        HANDLE process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, id);
        const SIZE_T recordSize = is64Bit ? 32 : 20;
        void* remote = ::VirtualAllocEx(process, nullptr, recordSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        SendMessageA(toolbar, TB_BUTTONSTRUCTSIZE, recordSize, 0);
        SendMessageA(toolbar, TB_GETBUTTON, 0, reinterpret_cast<LPARAM>(remote));
        BYTE record[32] = {};
        SIZE_T done = 0;
        ::ReadProcessMemory(process, remote, record, recordSize, &done);
        if (withText) {
            ULONG64 text = 0;
            std::memcpy(&text, record + (is64Bit ? 24 : 16), is64Bit ? 8 : 4);
            WCHAR units[128];
            ::ReadProcessMemory(process, reinterpret_cast<void*>(static_cast<ULONG_PTR>(text)), units, sizeof units,
                                &done);
        }
        if (withHidden) {
            LONG command = 0;
            std::memcpy(&command, record + 4, sizeof command);
            SendMessageA(toolbar, TB_ISBUTTONHIDDEN, command, 0);
        }
        ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
        ::CloseHandle(process);
    }
};

void ToolbarButtonTable() {
    FakeShell shell(L"--buttons 3 --text-length 60");
    if (!shell.Toolbar()) {
        Out("\n### clsToolbarButton\n\n(the fake shell did not start: no table)");
        return;
    }
    ComPtr<_clsToolbarButton> button;
    if (FAILED(wrang::CreateToolbarButton(button.put()))) return;
    button->Init(L(shell.Toolbar()), 0);
    ComPtr<IDispatch> standard = StandardDispatch(button.get(), IID__clsToolbarButton);
    BOOL wow64 = FALSE;
    IsWow64Process(shell.Process(), &wow64);
    const RawExchange raw{shell.Toolbar(), sizeof(void*) == 8 && !wow64};
    std::vector<Row> rows;
    rows.push_back(MeasureMember(
        "Text get (60 characters)", button.get(), standard.get(), {L"Text"}, [&] { raw(true, false); },
        [&] {
            BSTR t = nullptr;
            button->get_Text(&t);
            SysFreeString(t);
        }));
    rows.push_back(MeasureMember(
        "Visible get", button.get(), standard.get(), {L"Visible"}, [&] { raw(false, true); },
        [&] {
            VARIANT_BOOL b;
            button->get_Visible(&b);
        }));
    rows.push_back(MeasureMember(
        "Count get", button.get(), standard.get(), {L"Count"},
        [&] { SendMessageA(shell.Toolbar(), TB_BUTTONCOUNT, 0, 0); },
        [&] {
            LONG v;
            button->get_Count(&v);
        }));
    PrintTable("clsToolbarButton (a toolbar of another process, wrang_fakeshell.exe)", rows);
}

// --- The watcher ----------------------------------------------------------------------------------

// The counter's value when the watch target asked for its window, kept in the window's extra bytes.
LONGLONG MadeAt(HWND window) {
    return static_cast<LONGLONG>(static_cast<ULONG>(GetWindowLongW(window, 0))) |
           static_cast<LONGLONG>(GetWindowLongW(window, 4)) << 32;
}

double CpuNs(HANDLE thread) {
    FILETIME created, exited, kernel, user;
    if (!GetThreadTimes(thread, &created, &exited, &kernel, &user)) return kNone;
    const auto ticks = [](const FILETIME& t) { return static_cast<double>(ULARGE_INTEGER{{t.dwLowDateTime, t.dwHighDateTime}}.QuadPart); };
    return (ticks(kernel) + ticks(user)) * 100;
}

VARIANT Text(const wchar_t* text) {
    VARIANT v;
    V_VT(&v) = VT_BSTR;
    V_BSTR(&v) = SysAllocString(text);
    return v;
}

// The watcher's three figures: how soon a wait wakes for a window that another process makes, what
// an idle wait costs the waiting thread, and a send with a time-out against the raw send.
void WatcherFigures() {
    namespace watch = wrang::test::watch;
    const std::wstring program = wrang::test::TestDirectory() + L"\\..\\tests\\wrang_target.exe";
    wrang::test::WatchTarget target(L"", program.c_str());
    ComPtr<_clsWatcher> watcher;
    if (!target.Control() || FAILED(wrang::CreateWatcher(watcher.put()))) {
        Out("\n### clsWatcher\n\n(the watch target did not start: no figures)");
        return;
    }
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);

    // Wake-up: the window is asked for while the wait already waits (the command goes out from a
    // message the wait serves), and the time runs from the target's counter before it makes the
    // window to the wait's return. Once waiting with WaitForWindow, once with WaitForMatch and a
    // finder that matches the class and caption exactly.
    const int waits = g_quick ? 20 : 120;
    const auto wakeUps = [&](const char* label, const std::function<void(int, _clsWrangler**)>& wait) {
        std::vector<double> wakeups;
        for (int i = 1; i <= waits; ++i) {
            Progress(Format("wake-up of %s, %d of %d", label, i, waits).c_str());
            ComPtr<_clsWrangler> found;
            LARGE_INTEGER returned = {};
            {
                wrang::test::DuringTheWait create([&] { target.Post(watch::kCreate, static_cast<WPARAM>(i)); });
                wait(i, found.put());
                QueryPerformanceCounter(&returned);
            }
            if (const HWND window = reinterpret_cast<HWND>(static_cast<LONG_PTR>(HandleOf(found.get())))) {
                wakeups.push_back(static_cast<double>(returned.QuadPart - MadeAt(window)) * 1e3 / frequency.QuadPart);
            }
            target.Send(watch::kDestroy);
        }
        std::sort(wakeups.begin(), wakeups.end());
        return wakeups;
    };
    const auto percentile = [](const std::vector<double>& sorted, double p) {
        return sorted.empty() ? kNone : sorted[static_cast<size_t>(std::ceil(p * sorted.size())) - 1];
    };
    UniqueVariant className;
    *className.get() = Text(watch::kWatchedClass);
    const auto captionOf = [](int i) { return std::wstring(watch::kWatchedCaption) + L" " + std::to_wstring(i); };
    const std::vector<double> windowWakeups = wakeUps("WaitForWindow", [&](int i, _clsWrangler** found) {
        UniqueVariant caption;
        *caption.get() = Text(captionOf(i).c_str());
        watcher->WaitForWindow(*className.get(), *caption.get(), 10000, found);
    });
    ComPtr<_clsFinder> finder;
    if (FAILED(wrang::CreateFinder(finder.put()))) return;
    finder->put_MatchMode(MATCH_EXACT);
    finder->put_ClassName(*className.get());
    const std::vector<double> matchWakeups = wakeUps("WaitForMatch", [&](int i, _clsWrangler** found) {
        UniqueVariant caption;
        *caption.get() = Text(captionOf(i).c_str());
        finder->put_WindowText(*caption.get());
        watcher->WaitForMatch(finder.get(), 10000, found);
    });

    // The cost of waiting: a wait for a window that never comes, with nothing else to do.
    const DWORD idleMs = g_quick ? 1000 : 5000;
    Progress(Format("an idle wait of %lu ms", idleMs).c_str());
    UniqueVariant nothing;
    *nothing.get() = Text(L"WrangBenchNoSuchWindowClass");
    VARIANT missing;
    V_VT(&missing) = VT_ERROR;
    V_ERROR(&missing) = DISP_E_PARAMNOTFOUND;
    const double cpuBefore = CpuNs(GetCurrentThread()), wallStart = Now();
    ComPtr<_clsWrangler> none;
    watcher->WaitForWindow(*nothing.get(), missing, static_cast<LONG>(idleMs), none.put());
    const double wall = Now() - wallStart, cpu = CpuNs(GetCurrentThread()) - cpuBefore;

    Out("");
    Out("### clsWatcher: waits");
    Out("");
    Out("| figure | value |");
    Out("|---|---:|");
    for (const auto& [member, wakeups] : {std::make_pair("WaitForWindow", &windowWakeups),
                                          std::make_pair("WaitForMatch", &matchWakeups)}) {
        Out(Format("| wake-up, a window made by another process to the return of %s: median | %.2f ms |", member,
                   percentile(*wakeups, 0.5)));
        Out(Format("| the same, 95th percentile | %.2f ms |", percentile(*wakeups, 0.95)));
        Out(Format("| waits measured (of %d) | %zu |", waits, wakeups->size()));
    }
    // The system counts a thread's time in clock ticks (10 to 16 ms).
    Out(Format("| CPU time of the waiting thread over an idle wait of %lu ms (counted in clock ticks) | %.3f %% (%.1f ms) |",
               idleMs, 100.0 * cpu / wall, cpu / 1e6));

    // A send with a time-out to a window that answers, against the raw send, in the same run.
    HWND own = MakeWindow("WrangBenchWatchWindow", "answers");
    std::vector<Row> rows;
    for (const auto& [label, window] : {std::make_pair("to a window of this thread", own),
                                        std::make_pair("to a window of another process", target.Control())}) {
        Progress(Format("SendMsgTimeout %s", label).c_str());
        ComPtr<_clsWrangler> bound = Bound(window);
        const DISPID id = LateCall(L"SendMsgTimeout").IdIn(watcher.get());
        const auto invoke = [&] {
            VARIANT args[5];  // last first
            for (int a = 0; a < 4; ++a) {
                V_VT(&args[a]) = VT_I4;
                V_I4(&args[a]) = a == 0 ? 1000 : 0;  // Timeout, lParam, wParam, wMsg (WM_NULL)
            }
            V_VT(&args[4]) = VT_DISPATCH;
            V_DISPATCH(&args[4]) = bound.get();
            DISPPARAMS params = {args, nullptr, 5, 0};
            VARIANT result;
            VariantInit(&result);
            watcher->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &result, nullptr, nullptr);
            VariantClear(&result);
        };
        const std::vector<double> medians = MeasureTogether(
            {Looped([&] {
                 DWORD_PTR answer = 0;
                 SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &answer);
             }),
             Looped([&] {
                 VARIANT answer;
                 watcher->SendMsgTimeout(bound.get(), WM_NULL, 0, 0, 1000, &answer);
                 VariantClear(&answer);
             }),
             Looped(invoke)});
        Row row;
        row.member = Format("SendMsgTimeout(WM_NULL) %s", label);
        row.raw = medians[0];
        row.vtable = medians[1];
        row.invoke = medians[2];
        rows.push_back(row);
    }
    PrintTable("clsWatcher.SendMsgTimeout against the raw SendMessageTimeoutW", rows);
    DestroyWindow(own);
}

// The least exchanges that read list view texts of another process: what the reader's members make.
struct RawListView {
    HWND listView;
    // Asks for item `index` through the region and reads the text it answers.
    void Exchange(const RawRegion& region, int index) const {
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.pszText = reinterpret_cast<LPWSTR>(region.remote + sizeof item);
        item.cchTextMax = static_cast<int>((RawRegion::kSize - sizeof item) / sizeof(WCHAR));
        SIZE_T done = 0;
        ::WriteProcessMemory(region.process, region.remote, &item, sizeof item, &done);
        const LRESULT length = SendMessageW(listView, LVM_GETITEMTEXTW, index, reinterpret_cast<LPARAM>(region.remote));
        WCHAR text[512];
        ::ReadProcessMemory(region.process, region.remote + sizeof item, text,
                            std::min<SIZE_T>(static_cast<SIZE_T>(length), 511) * sizeof(WCHAR), &done);
    }
    // One item: open, one region, the request, the message, the read, release.
    void Text(int index) const { Exchange(RawRegion(listView), index); }
    // A column: open once, one region, per item the request, one message and the read, release once.
    void Column(int count) const {
        const RawRegion region(listView);
        for (int i = 0; i < count; ++i) Exchange(region, i);
    }
};

// The least exchange that reads a short status-bar part: open, a region of the size of a first
// region, the length, the text, the read, release (what a reader's region for the text it announced
// costs; the member's region holds the longest text instead).
void RawStatusText(HWND status, int part) {
    const RawRegion region(status);
    const LRESULT length = LOWORD(SendMessageW(status, SB_GETTEXTLENGTHW, part, 0));
    SendMessageW(status, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(region.remote));
    WCHAR text[512];
    SIZE_T done = 0;
    ::ReadProcessMemory(region.process, region.remote, text, std::min<SIZE_T>(length + 1, 512) * sizeof(WCHAR), &done);
}

// The least exchange that reads a list box's item: its length, then its text into a buffer.
void RawListBoxText(HWND list, int index) {
    WCHAR text[512];
    if (SendMessageW(list, LB_GETTEXTLEN, index, 0) < 512) SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text));
}

// The least exchange that reads the texts under a tree's first root, as GetChildren of its path
// makes it: open once, one region, the root's text and then each child's (the request, the message,
// the read), the steps from item to item, release once.
void RawChildrenOfFirstRoot(HWND tree) {
    const RawRegion region(tree);
    const auto next = [tree](UINT relation, HTREEITEM item) {
        return reinterpret_cast<HTREEITEM>(
            SendMessageW(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
    };
    const auto text = [&](HTREEITEM item) { RawTreeText(region, tree, item); };
    const HTREEITEM root = next(TVGN_ROOT, nullptr);
    text(root);
    for (HTREEITEM child = next(TVGN_CHILD, root); child; child = next(TVGN_NEXT, child)) text(child);
}

// GetChildren of the first root of the lists target's tree (Fruits, four children).
void TreeReaderTable(HWND target) {
    const HWND tree = target ? GetDlgItem(target, wrang::lists_target::kTree) : nullptr;
    ComPtr<_clsTreeReader> created, reader;
    if (tree && SUCCEEDED(wrang::CreateTreeReader(created.put()))) created->InitByHandle(L(tree), reader.put());
    if (!reader) {
        Out("\n### clsTreeReader\n\n(the lists target has no tree: no table)");
        return;
    }
    const UniqueBstr path(SysAllocString(wrang::lists_target::TreeNodes()[0].path.c_str()));
    ComPtr<IDispatch> standard = StandardDispatch(reader.get(), IID__clsTreeReader);
    const std::vector<Row> rows = {MeasureMember(
        "GetChildren(\"Fruits\"), 4 children", reader.get(), standard.get(), LateCall(L"GetChildren", path.get()),
        [&] { RawChildrenOfFirstRoot(tree); },
        [&] {
            UniqueVariant children;
            reader->GetChildren(path.get(), children.get());
        })};
    PrintTable("clsTreeReader (the tree of wrang_target.exe --lists in another process)", rows);
}

void ListReaderTable() {
    constexpr int kRows = 1000;
    Progress("starting the lists target");
    const std::wstring program = wrang::test::TestDirectory() + L"\\..\\tests\\wrang_target.exe";
    wrang::test::TargetProcess target(program.c_str(), L"--lists --rows " + std::to_wstring(kRows),
                                      wrang::lists_target::kWindowClass, true, std::chrono::seconds(30));
    const HWND listView = target.Window() ? GetDlgItem(target.Window(), wrang::lists_target::kReport) : nullptr;
    ComPtr<_clsListReader> created, reader;
    if (listView && SUCCEEDED(wrang::CreateListReader(created.put())))
        created->InitByHandle(L(listView), LIST_AUTO, reader.put());
    if (!reader) {
        Out("\n### clsListReader\n\n(the lists target did not start: no table)");
        return;
    }
    LONG count = 0;
    reader->get_Count(&count);
    ComPtr<IDispatch> standard = StandardDispatch(reader.get(), IID__clsListReader);
    const RawListView raw{listView};
    const auto text = [&](LONG index) {
        BSTR t = nullptr;
        reader->GetText(index, 0, &t);
        SysFreeString(t);
    };
    const auto column = [&] {
        VARIANT v;
        VariantInit(&v);
        reader->GetColumn(0, &v);
        VariantClear(&v);
    };
    std::vector<Row> rows;
    rows.push_back(MeasureMember(
        "GetText(500, 0), one item", reader.get(), standard.get(), LateCall(L"GetText", {500, 0}),
        [&] { raw.Text(500); }, [&] { text(500); }));
    rows.push_back(MeasureMember(
        Format("GetColumn(0), %d items", kRows).c_str(), reader.get(), standard.get(), LateCall(L"GetColumn", {0}),
        [&] { raw.Column(kRows); }, column));
    // A short status-bar part, whose region holds the longest text a part may have, and a list
    // box's item, copied into lent pages.
    for (const auto& [label, id, raw] :
         {std::tuple<const char*, int, void (*)(HWND, int)>{"status bar GetText(0, 0), a short part",
                                                             wrang::lists_target::kStatus, &RawStatusText},
          {"list box GetText(0, 0)", wrang::lists_target::kSingleList, &RawListBoxText}}) {
        const HWND control = GetDlgItem(target.Window(), id);
        ComPtr<_clsListReader> other, bound;
        if (SUCCEEDED(wrang::CreateListReader(other.put()))) other->InitByHandle(L(control), LIST_AUTO, bound.put());
        if (!bound) continue;
        ComPtr<IDispatch> otherStandard = StandardDispatch(bound.get(), IID__clsListReader);
        const auto read = [&bound] {
            BSTR t = nullptr;
            bound->GetText(0, 0, &t);
            SysFreeString(t);
        };
        rows.push_back(MeasureMember(label, bound.get(), otherStandard.get(), LateCall(L"GetText", {0, 0}),
                                     [control, raw = raw] { raw(control, 0); }, read));
    }
    PrintTable(
        Format("clsListReader (a report view of %ld rows in another process, wrang_target.exe --lists)", count).c_str(),
        rows);
    // The column in one call against its items read one call each.
    Progress("GetColumn against GetText item by item");
    const std::vector<double> medians = MeasureTogether({Looped(column), Looped([&] {
                                                             for (LONG i = 0; i < kRows; ++i) text(i);
                                                         })});
    Out("");
    Out(Format("GetColumn(0) of %d items: %s ns; %d GetText calls: %s ns; GetColumn against them: %s.", kRows,
               Ns(medians[0]).c_str(), kRows, Ns(medians[1]).c_str(), Ratio(medians[0], medians[1]).c_str()));
    TreeReaderTable(target.Window());
}

// --- Scaling --------------------------------------------------------------------------------------

struct ScaleRow {
    int size;
    long items;
    double perItem;
    std::string note;
    double raw = kNone;  // the bare platform calls per item at the same size
};

void PrintScale(const char* title, const char* unit, const std::vector<ScaleRow>& rows) {
    Out("");
    Out(Format("### %s", title));
    Out("");
    Out(
        Format("| size | %s | ns per item | against the smallest size | raw calls, ns per item | raw against "
               "the smallest size | note |",
               unit));
    Out("|---:|---:|---:|---:|---:|---:|---|");
    for (const ScaleRow& r : rows) {
        Out(Format("| %d | %ld | %s | %s | %s | %s | %s |", r.size, r.items, Ns(r.perItem).c_str(),
                   Ratio(r.perItem, rows.front().perItem).c_str(), Ns(r.raw).c_str(),
                   Ratio(r.raw, rows.front().raw).c_str(), r.note.c_str()));
    }
}

std::vector<int> Sizes(int largest) {
    if (g_quick) return {largest / 8, largest / 4};
    return {largest / 8, largest / 4, largest / 2, largest};
}

void TreeScaling() {
    std::vector<ScaleRow> forward, backward;
    for (int size : Sizes(2000)) {
        Progress(Format("window tree of %d children", size).c_str());
        HWND parent = MakeWindow("WrangBenchParent", "parent");
        for (int i = 0; i < size; ++i) MakeWindow("WrangBenchChild", "child", parent);
        ComPtr<_clsWrangler> top = Bound(parent);

        std::vector<double> samples;
        long steps = 0;
        for (int r = 0; r < 3; ++r) {
            steps = 0;
            const double start = Now();
            ComPtr<_clsWrangler> at;
            top->GetFirstChild(at.put());
            while (HandleOf(at.get()) != 0) {
                ++steps;
                ComPtr<_clsWrangler> next;
                at->GetNextSibling(next.put());
                at = next;
            }
            samples.push_back((Now() - start) / std::max(steps, 1L));
        }
        // The limit: the window manager's own forward step, FindWindowExA after the current child.
        std::vector<double> rawSamples;
        for (int r = 0; r < 3; ++r) {
            long rawSteps = 0;
            const double start = Now();
            for (HWND c = FindWindowExA(parent, nullptr, nullptr, nullptr); c;
                 c = FindWindowExA(parent, c, nullptr, nullptr)) {
                GetParent(c);
                ++rawSteps;
            }
            rawSamples.push_back((Now() - start) / std::max(rawSteps, 1L));
        }
        forward.push_back({size, steps, Median(samples), steps == size ? "" : "WRONG COUNT", Median(rawSamples)});

        // Backwards, with a time budget: a walk that costs a forward search per step would take
        // minutes at the largest size. The steps counted are the ones the budget allowed.
        const double budget = g_quick ? 1e9 : 4e9;
        steps = 0;
        const double start = Now();
        ComPtr<_clsWrangler> at;
        top->GetLastChild(at.put());
        bool cut = false;
        while (HandleOf(at.get()) != 0) {
            ++steps;
            if (Now() - start > budget) {
                cut = true;
                break;
            }
            ComPtr<_clsWrangler> previous;
            at->GetPreviousSibling(previous.put());
            at = previous;
        }
        const double perStep = (Now() - start) / std::max(steps, 1L);
        // The limit: the window manager's own backward step.
        long rawSteps = 0;
        const double rawStart = Now();
        for (HWND c = GetWindow(FindWindowExA(parent, nullptr, nullptr, nullptr), GW_HWNDLAST); c;
             c = GetWindow(c, GW_HWNDPREV)) {
            GetParent(c);
            ++rawSteps;
        }
        const double rawPerStep = (Now() - rawStart) / std::max(rawSteps, 1L);
        backward.push_back({size, steps, perStep,
                            cut ? Format("stopped after %.0f s, the last %ld children", budget / 1e9, steps)
                                : (steps == size ? "" : "WRONG COUNT"),
                            rawPerStep});
        top.reset();
        DestroyWindow(parent);
    }
    PrintScale("Window tree walked forwards: GetFirstChild, then GetNextSibling to the end (median of 3)", "steps",
               forward);
    PrintScale("Window tree walked backwards: GetLastChild, then GetPreviousSibling to the start", "steps", backward);
}

void MenuScaling() {
    std::vector<ScaleRow> rows;
    for (int size : Sizes(1000)) {
        Progress(Format("menu of %d entries", size).c_str());
        HWND window = MakeWindow("WrangBenchMenuWindow", "menus");
        HMENU popup = CreatePopupMenu();
        for (int i = 0; i < size; ++i) {
            AppendMenuA(popup, MF_STRING, 1000 + i, Format("Entry number %d", i).c_str());
        }
        ComPtr<_clsJuggler> created, juggler;
        if (FAILED(wrang::CreateJuggler(created.put()))) break;
        created->Init(L(reinterpret_cast<HWND>(popup)), L(window), VARIANT_FALSE, juggler.put());
        std::vector<double> samples;
        long items = 0;
        for (int r = 0; r < 3; ++r) {
            items = 0;
            const double start = Now();
            ComPtr<_clsMenuEnum> cursor;
            juggler->BeginChildEnum(cursor.put());
            VARIANT_BOOL more = VARIANT_FALSE;
            while (cursor && SUCCEEDED(cursor->NextItem(&more)) && more) {
                ComPtr<_clsMenuItem> item;
                cursor->GetItem(item.put());
                BSTR text = nullptr;
                if (item) item->get_Text(&text);
                SysFreeString(text);
                ++items;
            }
            samples.push_back((Now() - start) / std::max(items, 1L));
        }
        // The limit: the caption of every entry by command, as the member asks for it.
        std::vector<double> rawSamples;
        for (int r = 0; r < 3; ++r) {
            const double start = Now();
            for (int i = 0; i < size; ++i) {
                wchar_t caption[250];
                GetMenuItemID(popup, i);
                GetMenuStringW(popup, 1000 + i, caption, 250, MF_BYCOMMAND);
            }
            rawSamples.push_back((Now() - start) / size);
        }
        rows.push_back({size, items, Median(samples), items == size ? "" : "WRONG COUNT", Median(rawSamples)});
        juggler.reset();
        created.reset();
        DestroyMenu(popup);
        DestroyWindow(window);
    }
    PrintScale("Menu enumerated with the cursor: NextItem, GetItem, Text of every entry (median of 3)", "entries",
               rows);
}

void TrayScaling() {
    std::vector<ScaleRow> rows;
    for (int size : Sizes(500)) {
        Progress(Format("toolbar of %d buttons", size).c_str());
        FakeShell shell(L"--buttons " + std::to_wstring(size) + L" --text-length 60");
        if (!shell.Toolbar()) {
            rows.push_back({size, 0, kNone, "the fake shell did not start"});
            continue;
        }
        ComPtr<_clsSysToolbar> created, toolbar;
        if (SUCCEEDED(wrang::CreateSysToolbar(created.put()))) created->Init(toolbar.put());
        if (!toolbar) {
            rows.push_back({size, 0, kNone, "clsSysToolbar found no toolbar"});
            continue;
        }
        CountingSystem counting;
        long items = 0, wrongTexts = 0;
        double elapsed = 0;
        {
            wrang::platform::ScopedWindowSystem counted(counting);
            const double start = Now();
            for (int i = 0; i < size; ++i) {
                ComPtr<_clsToolbarButton> button;
                toolbar->GetButtonByIndex(i, button.put());
                BSTR text = nullptr;
                if (button) button->get_Text(&text);
                if (SysStringLen(text) != 60) ++wrongTexts;
                SysFreeString(text);
                ++items;
            }
            elapsed = Now() - start;
        }
        // The limit: one record and one text read per button, the calls made directly.
        BOOL wow64 = FALSE;
        IsWow64Process(shell.Process(), &wow64);
        const RawExchange raw{shell.Toolbar(), sizeof(void*) == 8 && !wow64};
        const double rawStart = Now();
        for (int i = 0; i < size; ++i) raw(true, false);
        const double rawPerButton = (Now() - rawStart) / size;
        rows.push_back({size, items, elapsed / std::max(items, 1L),
                        Format("%.2f reads, %.2f process opens, %.2f buffers per button%s",
                               static_cast<double>(counting.reads) / size, static_cast<double>(counting.opens) / size,
                               static_cast<double>(counting.allocations) / size,
                               wrongTexts ? Format("; %ld texts not 60 long", wrongTexts).c_str() : ""),
                        rawPerButton});
    }
    PrintScale("Every button text of a toolbar in another process (60-character texts)", "buttons", rows);
}

// --- Resources over many calls --------------------------------------------------------------------

// What the process holds. Wine reports neither private bytes nor a handle count through the usual
// calls, so both are found directly: the committed private regions of the address space, and the
// handle values that name an open handle.
struct Resources {
    unsigned long long privateBytes = 0;
    DWORD handles = 0, user = 0, gdi = 0;
    static Resources Now() {
        Resources r;
        MEMORY_BASIC_INFORMATION region;
        for (const char* at = nullptr; VirtualQuery(at, &region, sizeof region) == sizeof region;
             at = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
            if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) r.privateBytes += region.RegionSize;
        }
        if (!GetProcessHandleCount(GetCurrentProcess(), &r.handles) || r.handles == 0) {
            r.handles = 0;
            DWORD flags = 0;
            for (ULONG_PTR value = 4; value < 0x10000; value += 4) {
                if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++r.handles;
            }
        }
        r.user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
        r.gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
        return r;
    }
};

std::string Count(unsigned long long value, bool reported) { return reported ? Format("%llu", value) : "–"; }

template <typename F>
void ResourceRun(const char* label, int calls, F&& call, std::vector<std::string>* lines) {
    Progress(label);
    for (int i = 0; i < std::min(calls / 10, 1000); ++i) call();  // lazily made state is not a leak
    const Resources before = Resources::Now();
    for (int i = 0; i < calls; ++i) call();
    const Resources after = Resources::Now();
    // A system that keeps no USER or GDI count answers 0 for a process that has windows.
    const bool user = before.user || after.user, gdi = before.gdi || after.gdi;
    lines->push_back(Format("| %s | %d | %llu | %llu | %lu | %lu | %s | %s | %s | %s |", label, calls,
                            before.privateBytes, after.privateBytes, before.handles, after.handles,
                            Count(before.user, user).c_str(), Count(after.user, user).c_str(),
                            Count(before.gdi, gdi).c_str(), Count(after.gdi, gdi).c_str()));
}

void ResourceRuns() {
    std::vector<std::string> lines;
    const int calls = g_quick ? 10000 : 100000;
    HWND window = MakeWindow("WrangBenchWindow", "A caption of some thirty chars");
    ComPtr<_clsWrangler> w = Bound(window);
    const LateCall text{L"Text"};
    const DISPID textId = text.IdIn(w.get());
    ResourceRun(
        "clsWrangler.Text get, Invoke by DISPID", calls, [&] { text.Invoke(w.get(), textId); }, &lines);
    ResourceRun(
        "clsWrangler.GetNextSibling, vtable (a new object each call)", calls,
        [&] {
            ComPtr<_clsWrangler> next;
            w->GetNextSibling(next.put());
        },
        &lines);
    {
        FakeShell shell(L"--buttons 3 --text-length 60");
        if (shell.Toolbar()) {
            ComPtr<_clsToolbarButton> button;
            if (SUCCEEDED(wrang::CreateToolbarButton(button.put()))) button->Init(L(shell.Toolbar()), 1);
            ResourceRun(
                "clsToolbarButton.Text get, vtable", calls / 100,
                [&] {
                    BSTR t = nullptr;
                    if (button) button->get_Text(&t);
                    SysFreeString(t);
                },
                &lines);
        }
    }
    w.reset();
    DestroyWindow(window);
    Out("");
    Out("### Resources of this process before and after many calls");
    Out("");
    Out("Private bytes: the committed private memory of the process; handles: open handle values; "
        "USER/GDI: GetGuiResources, \"–\" where the system does not count them (Wine).");
    Out("");
    Out("| calls of | count | private bytes before | after | handles before | after | USER before | after | "
        "GDI before | after |");
    Out("|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|");
    for (const std::string& line : lines) Out(line);
}

}  // namespace

int main(int argc, char** argv) {
    const char* markdownPath = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--markdown") == 0 && i + 1 < argc) {
            markdownPath = argv[++i];
        } else if (std::strcmp(argv[i], "--quick") == 0) {
            g_quick = true;
        } else {
            std::fprintf(stderr, "usage: wrang_bench [--markdown FILE] [--quick]\n");
            return 2;
        }
    }
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);

    Out(Format("## Wrang benchmark, %s build", sizeof(void*) == 8 ? "x64" : "x86"));
    Out("");
    Out(
        Format("Nanoseconds per call, median of %d repetitions of about %d ms each; the columns of a row "
               "take turns within each repetition.",
               Repetitions(), g_quick ? 2 : 10));
    const double started = Now();
    WranglerTable();
    MenuItemTable();
    ToolbarButtonTable();
    WatcherFigures();
    ListReaderTable();
    FinderTable();
    InputTable();
    ListActionTables();
    TreeScaling();
    MenuScaling();
    TrayScaling();
    ResourceRuns();
    Out("");
    Out(Format("Run time: %.1f s.", (Now() - started) / 1e9));
    std::fprintf(stderr, "\r%-75s\r", "");

    if (markdownPath) {
        if (FILE* file = std::fopen(markdownPath, "wb")) {
            std::fwrite(g_markdown.data(), 1, g_markdown.size(), file);
            std::fclose(file);
        }
    }
    CoUninitialize();
    return 0;
}
