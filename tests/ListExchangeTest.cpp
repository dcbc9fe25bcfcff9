// The readers' exchanges with a control's process, through a substitute window system that plays
// the control and its memory: what the real system cannot produce on this host (a process of the
// other bitness with its own record layout, item handles above 4 GiB, a text of 100,000 units,
// failures half-way), and a real target that ends between two reads.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "frame/Classes.h"
#include "frame/Errors.h"
#include "platform/WindowSystem.h"
#include "support/Automation.h"
#include "support/LentMemory.h"
#include "support/Lists.h"

namespace wrang::test {
namespace {

using platform::ForeignAddress;

constexpr LONG kControl = 0x4567;
constexpr DWORD kProcessId = 4242;
const HANDLE kProcess = reinterpret_cast<HANDLE>(0x2F0);

// Where a record keeps its fields, as the control's process lays it out: written out here from the
// platform's documentation, independently of the component's own record types.
struct Offsets {
    size_t size, index, subItem, handle, text, capacity, state;  // ~0 for a field the record has not
};
constexpr size_t kNone = ~size_t{0};
Offsets OffsetsOf(const wchar_t* className, int pointerSize) {
    const bool wide = pointerSize == 8;
    if (!wcscmp(className, WC_LISTVIEWW))
        return wide ? Offsets{88, 4, 8, kNone, 24, 32, 12} : Offsets{60, 4, 8, kNone, 20, 24, 12};
    if (!wcscmp(className, WC_TABCONTROLW))
        return wide ? Offsets{40, kNone, kNone, kNone, 16, 24, kNone} : Offsets{28, kNone, kNone, kNone, 12, 16, kNone};
    if (!wcscmp(className, WC_HEADERW))
        return wide ? Offsets{72, kNone, kNone, kNone, 8, 24, kNone} : Offsets{48, kNone, kNone, kNone, 8, 16, kNone};
    if (!wcscmp(className, WC_TREEVIEWW))
        return wide ? Offsets{56, kNone, kNone, 8, 24, 32, 16} : Offsets{40, kNone, kNone, 4, 16, 20, 8};
    return {0, kNone, kNone, kNone, kNone, kNone, kNone};  // a status bar: the buffer alone
}

// One control of another process, with its memory: the regions the component makes there, and the
// control's own memory. Every write must land in a region.
struct SimulatedControl : platform::Win32WindowSystem {
    SimulatedControl(const wchar_t* className, int pointerSize, Texts texts)
        : className(className), pointerSize(pointerSize), texts(std::move(texts)) {}
    const wchar_t* className;
    int pointerSize;
    Texts texts;                           // by index; a tree's are its roots'
    ForeignAddress rootItem = 0x00B10000;  // a tree's first root's handle
    ForeignAddress elsewhere = 0;          // where the control points a record instead, 0 for never
    bool openFails = false, allocFails = false, writeFails = false, readFails = false;
    size_t growth = 0;                // units a list box's text grows by between its length and its copy
    std::vector<size_t> lentRooms;    // what a list box was lent, each time: 0 for memory not lent alone
    UINT timesOut = 0;        // a message whose send with a limit gets no answer in time
    UINT itemState = 0x1000;  // the state of item 0 (a tree's first root), unchecked

    using Memory = std::map<ForeignAddress, std::vector<BYTE>>;
    Memory regions, own;  // the live regions; the control's own memory
    size_t allocations = 0, releases = 0, opens = 0, closes = 0, mostAlive = 0, strayWrites = 0;

    static BYTE* In(Memory& memory, ForeignAddress address, SIZE_T size) {
        for (auto& [base, bytes] : memory) {
            if (address >= base && address + size <= base + bytes.size()) return bytes.data() + (address - base);
        }
        return nullptr;
    }
    ULONG64 Field(ForeignAddress record, size_t offset, size_t size) {
        ULONG64 value = 0;
        if (BYTE* at = In(regions, record + offset, size)) std::memcpy(&value, at, size);
        return value;
    }
    // Copies a text into the control's process memory at `to`, as much as `capacity` units hold.
    LRESULT CopyText(const std::wstring& text, ForeignAddress to, size_t capacity) {
        const size_t units = std::min(text.size(), capacity ? capacity - 1 : 0);
        BYTE* at = In(regions, to, (units + 1) * sizeof(WCHAR));
        if (!at) return 0;
        std::memcpy(at, text.data(), units * sizeof(WCHAR));
        std::memset(at + units * sizeof(WCHAR), 0, sizeof(WCHAR));
        return static_cast<LRESULT>(units);
    }

    BOOL IsWindow(LONG hWnd) override { return hWnd == kControl || Win32WindowSystem::IsWindow(hWnd); }
    int GetClassNameW(LONG hWnd, wchar_t* buffer, int size) override {
        if (hWnd != kControl) return Win32WindowSystem::GetClassNameW(hWnd, buffer, size);
        lstrcpynW(buffer, className, size);
        return lstrlenW(buffer);
    }
    BOOL IsWindowUnicode(LONG hWnd) override { return hWnd == kControl || Win32WindowSystem::IsWindowUnicode(hWnd); }
    DWORD GetWindowThreadProcessId(LONG hWnd, DWORD* processId) override {
        *processId = hWnd == kControl ? kProcessId : 0;
        return hWnd == kControl ? 77 : 0;
    }
    int ProcessPointerSize(DWORD processId) override { return processId == kProcessId ? pointerSize : 4; }
    LONG GetWindowStyle(LONG hWnd) override { return hWnd == kControl ? TVS_CHECKBOXES : 0; }
    LRESULT SendMessageTimeoutW(LONG hWnd, UINT message, WPARAM wParam, LPARAM lParam, UINT flags, UINT limit,
                                DWORD_PTR* answer) override {
        if (hWnd != kControl)
            return Win32WindowSystem::SendMessageTimeoutW(hWnd, message, wParam, lParam, flags, limit, answer);
        if (message == timesOut) return 0;
        *answer = static_cast<DWORD_PTR>(SendMessageW(hWnd, message, wParam, lParam));
        return 1;
    }
    HANDLE OpenProcess(DWORD access, BOOL, DWORD processId) override {
        if (openFails || processId != kProcessId) return nullptr;
        EXPECT_EQ(static_cast<DWORD>(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE), access);
        ++opens;
        return kProcess;
    }
    BOOL CloseHandle(HANDLE handle) override {
        if (handle != kProcess) return Win32WindowSystem::CloseHandle(handle);
        ++closes;
        return TRUE;
    }
    ForeignAddress VirtualAllocEx(HANDLE, ForeignAddress, SIZE_T size, DWORD, DWORD) override {
        if (allocFails) return 0;
        const ForeignAddress base = 0x00A30000 + 0x01000000 * allocations++;
        regions[base].assign(size, 0);
        mostAlive = std::max(mostAlive, regions.size());
        return base;
    }
    BOOL VirtualFreeEx(HANDLE, ForeignAddress address, SIZE_T size, DWORD type) override {
        EXPECT_EQ(0u, size);
        EXPECT_EQ(static_cast<DWORD>(MEM_RELEASE), type);
        releases += regions.erase(address);
        return TRUE;
    }
    BOOL WriteProcessMemory(HANDLE, ForeignAddress address, const void* bytes, SIZE_T size, SIZE_T* written) override {
        BYTE* at = In(regions, address, size);
        strayWrites += !at;
        if (writeFails || !at) return FALSE;
        std::memcpy(at, bytes, size);
        if (written) *written = size;
        return TRUE;
    }
    BOOL ReadProcessMemory(HANDLE, ForeignAddress address, void* buffer, SIZE_T size, SIZE_T* read) override {
        const BYTE* at = In(regions, address, size);
        if (!at) at = In(own, address, size);
        if (readFails || !at) return FALSE;
        std::memcpy(buffer, at, size);
        if (read) *read = size;
        return TRUE;
    }
    LRESULT SendMessageW(LONG hWnd, UINT message, WPARAM wParam, LPARAM lParam) override {
        if (hWnd != kControl) return Win32WindowSystem::SendMessageW(hWnd, message, wParam, lParam);
        const Offsets o = OffsetsOf(className, pointerSize);
        const ForeignAddress record = static_cast<ForeignAddress>(static_cast<ULONG_PTR>(lParam));
        const size_t pointer = static_cast<size_t>(pointerSize);
        switch (message) {
        case LVM_GETITEMCOUNT:
        case TCM_GETITEMCOUNT:
        case HDM_GETITEMCOUNT:
        case SB_GETPARTS:
        case TVM_GETCOUNT: return static_cast<LRESULT>(texts.size());
        case LVM_GETEXTENDEDLISTVIEWSTYLE: return LVS_EX_CHECKBOXES;
        case LVM_GETITEMSTATE:
        case TVM_GETITEMSTATE: return static_cast<LRESULT>(itemState & static_cast<UINT>(lParam));
        case LVM_SETITEMSTATE:
        case TVM_SETITEMW: {
            // The state bits asked for, where the control's process has them; a tree's item by its whole handle.
            const UINT mask = static_cast<UINT>(Field(record, o.state + 4, 4));
            if (o.handle != kNone && Field(record, o.handle, pointer) != rootItem) return FALSE;
            if (o.handle != kNone) EXPECT_EQ(static_cast<ULONG64>(TVIF_HANDLE | TVIF_STATE), Field(record, 0, 4));
            itemState = (itemState & ~mask) | (static_cast<UINT>(Field(record, o.state, 4)) & mask);
            return TRUE;
        }
        case SB_GETTEXTLENGTHW: return static_cast<LRESULT>(LOWORD(texts.at(wParam).size()));
        case SB_GETTEXTW: return CopyText(texts.at(wParam), record, texts.at(wParam).size() + 1);
        // A list box writes into memory of this process: the text as it is when asked, which may
        // have grown by `growth` units since its length was announced; as far as the room lent
        // lets it, the guard page behind stopping it. Every address it is lent is noted.
        case LB_GETCOUNT: return static_cast<LRESULT>(texts.size());
        case LB_GETTEXTLEN: return static_cast<LRESULT>(texts.at(wParam).size() - growth);
        case LB_GETSELCOUNT: return 1;
        case LB_GETSELITEMS:
        case LB_GETTEXT: {
            auto* lent = reinterpret_cast<wchar_t*>(lParam);
            lentRooms.push_back(LentAlone(lParam) ? CommittedFrom(lent) : 0);
            if (message == LB_GETSELITEMS) {
                *reinterpret_cast<INT*>(lParam) = 0;  // one index: the first item
                return 1;
            }
            const std::wstring& text = texts.at(wParam);
            const size_t units = std::min(text.size(), lentRooms.back() / sizeof(WCHAR) - 1);
            std::copy(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(units), lent);
            lent[units] = 0;
            return static_cast<LRESULT>(units);
        }
        case TVM_GETNEXTITEM:
            // The answer carries the handle as this build's LRESULT does: cut to 32 bits in the x86 build.
            return wParam == TVGN_ROOT ? static_cast<LRESULT>(rootItem) : 0;
        case LVM_GETITEMTEXTW:
        case TCM_GETITEMW:
        case HDM_GETITEMW:
        case TVM_GETITEMW: {
            const UINT wantedMask = message == LVM_GETITEMTEXTW ? LVIF_TEXT
                                    : message == TCM_GETITEMW   ? TCIF_TEXT
                                    : message == HDM_GETITEMW   ? HDI_TEXT
                                                                : TVIF_TEXT | TVIF_HANDLE;
            EXPECT_EQ(wantedMask, Field(record, 0, 4)) << "mask";
            size_t index = wParam;
            if (o.index != kNone) EXPECT_EQ(wParam, Field(record, o.index, 4)) << "iItem";
            if (o.subItem != kNone) EXPECT_EQ(0u, Field(record, o.subItem, 4)) << "iSubItem";
            if (o.handle != kNone) {
                // The whole handle, in the record's own width.
                if (Field(record, o.handle, pointer) != rootItem) return FALSE;
                index = 0;
            }
            if (index >= texts.size()) return 0;
            LRESULT copied = static_cast<LRESULT>(texts[index].size());
            if (elsewhere) {
                const auto* bytes = reinterpret_cast<const BYTE*>(texts[index].c_str());
                own[elsewhere].assign(bytes, bytes + (texts[index].size() + 1) * sizeof(WCHAR));
                if (BYTE* at = In(regions, record + o.text, pointer)) std::memcpy(at, &elsewhere, pointer);
            } else {
                copied = CopyText(texts[index], Field(record, o.text, pointer),
                                  static_cast<size_t>(Field(record, o.capacity, 4)));
            }
            return message == LVM_GETITEMTEXTW ? copied : TRUE;
        }
        }
        return 0;
    }
};

const wchar_t* const kClassesByFamily[] = {WC_LISTVIEWW, WC_TABCONTROLW, WC_HEADERW, STATUSCLASSNAMEW, WC_TREEVIEWW};

// The control's texts as a script reads them: GetColumn() of a list, GetChildren() of a tree (its
// roots), with the call's result.
struct ScriptRead {
    explicit ScriptRead(const wchar_t* className) {
        const bool tree = !wcscmp(className, WC_TREEVIEWW);
        ComPtr<IDispatch> reader =
            tree ? ComPtr<IDispatch>(TreeReaderOf(kControl).get()) : ComPtr<IDispatch>(ListReaderOf(kControl).get());
        EXPECT_TRUE(reader) << "not bound";
        if (reader) Call(reader.get(), tree ? L"GetChildren" : L"GetColumn", {}, &call);
        if (call.hr == S_OK) texts = StringsOf(call.value.get());
    }
    std::wstring First() const { return texts.empty() ? L"" : texts[0]; }
    CallResult call;
    Texts texts;
};

// Every family's record in the layout of a 32-bit and of a 64-bit process, whatever this build's
// bitness: the control finds its fields where its own process has them, and the text comes back
// whole, also one of 100,000 units that needs more room than a first region has (and the next item
// after it), and one the control points the record to instead of filling the buffer offered (a
// status bar takes no record).
TEST(ListExchange, RecordsFollowTheControlsBitnessAndTextsOfAnyLengthComeWhole) {
    for (const wchar_t* className : kClassesByFamily) {
        const bool status = !wcscmp(className, STATUSCLASSNAMEW);
        // 100,000 units: a status bar announces only the low 16 bits of that length (34,464).
        const std::wstring longText = lists_target::LongText(100000, L'X');
        for (int pointerSize : {4, 8}) {
            for (const auto& [text, elsewhere] : {std::pair<std::wstring, ForeignAddress>{L"Hello \u2713 world", 0},
                                                  {longText, 0},
                                                  {L"text of the application's own \u2713", 0x00C20010}}) {
                if (status && elsewhere) continue;
                SCOPED_TRACE(testing::Message()
                             << testing::PrintToString(className) << ", pointers of " << pointerSize
                             << " bytes, a text of " << text.size() << (elsewhere ? " elsewhere" : ""));
                SimulatedControl control(className, pointerSize, {text, L"second"});
                control.elsewhere = elsewhere;
                platform::ScopedWindowSystem scoped(control);
                const bool tree = !wcscmp(className, WC_TREEVIEWW);  // reads its first root only
                EXPECT_EQ((tree ? Texts{text} : Texts{text, L"second"}), ScriptRead(className).texts);
                EXPECT_EQ(1u, control.opens);
                EXPECT_EQ(control.opens, control.closes);
                EXPECT_EQ(control.allocations, control.releases);
                EXPECT_EQ(1u, control.mostAlive) << "one region at a time";
                EXPECT_EQ(0u, control.strayWrites);
                EXPECT_TRUE(control.regions.empty());
            }
        }
    }
}

// A list box copies its text into memory of this process, told no size: the length it announced
// first may be short of the text by then. The text is lent pages of their own with room to spare
// (twice the announced length, 8 KiB at least) and a page of no access behind, never the stack or
// the heap: a text that grew within the room comes whole, one that outgrew it stops at the guard
// page and is read up to there. The selection is lent alike.
TEST(ListExchange, AListBoxTextThatGrowsStaysInTheRoomLentForIt) {
    const struct {
        const char* name;
        size_t length, growth;
        size_t read;  // units read
    } cases[] = {{"grown within the least room", 10, 9, 19},
                 {"long, grown by half", 100000, 50000, 150000},
                 {"grown beyond its room", 10, 9000, kLeastRoom / sizeof(WCHAR) - 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::wstring text = lists_target::LongText(c.length + c.growth, L'G');
        SimulatedControl control(L"ListBox", 4, {text});
        control.growth = c.growth;
        platform::ScopedWindowSystem scoped(control);
        const ScriptRead read(L"ListBox");
        EXPECT_EQ(text.substr(0, c.read), read.First());
        ComPtr<_clsListReader> reader = ListReaderOf(kControl);
        EXPECT_EQ(0, Read(reader.get(), &_clsListReader::get_SelectedIndex, -2L));
        ASSERT_EQ(2u, control.lentRooms.size());
        for (size_t room : control.lentRooms) EXPECT_GE(room, kLeastRoom) << "lent alone, with a guard behind";
        EXPECT_GE(control.lentRooms[0], 2 * (c.length + 1) * sizeof(WCHAR)) << "twice the announced length";
    }
}

// Whatever fails half-way, the text is empty, no error is raised, and what was acquired is released.
TEST(ListExchange, EveryFailureReleasesWhatWasAcquired) {
    const struct {
        const char* name;
        bool SimulatedControl::*failure;
        size_t opens, allocations;
    } cases[] = {{"the process cannot be opened", &SimulatedControl::openFails, 0, 0},
                 {"no region", &SimulatedControl::allocFails, 1, 0},
                 {"the request cannot be written", &SimulatedControl::writeFails, 1, 1},
                 {"the answer cannot be read", &SimulatedControl::readFails, 1, 1}};
    for (const wchar_t* className : kClassesByFamily) {
        for (const auto& c : cases) {
            // A status bar's first read writes nothing: its region comes zero-filled, terminator and all.
            if (c.failure == &SimulatedControl::writeFails && !wcscmp(className, STATUSCLASSNAMEW)) continue;
            SCOPED_TRACE(testing::Message() << testing::PrintToString(className) << ": " << c.name);
            SimulatedControl control(className, 4, {L"never read"});
            control.*c.failure = true;
            platform::ScopedWindowSystem scoped(control);
            const ScriptRead read(className);
            EXPECT_EQ(S_OK, read.call.hr);
            EXPECT_EQ(L"", read.First());
            EXPECT_EQ(c.opens, control.opens);
            EXPECT_EQ(control.opens, control.closes);
            EXPECT_EQ(c.allocations, control.allocations);
            EXPECT_EQ(control.allocations, control.releases);
        }
    }
}

// A 64-bit tree's item handles: the x64 build follows them wherever they lie; the x86 build gets
// them cut to 32 bits and hands them back widened with a sign, so beyond 2 GiB it ends the call
// with error 17 that names the way out, never reading another item's text.
TEST(ListExchange, A64BitTreesHandlesBeyondTheBuildsReachEndTheCall) {
    const struct {
        const char* name;
        ForeignAddress handle;
        bool reachable;  // by this build
    } cases[] = {{"below 2 GiB", 0x00B10000, true},
                 {"between 2 and 4 GiB", 0x90000000, sizeof(void*) == 8},
                 {"above 4 GiB", 0x000007F812340000ull, sizeof(void*) == 8}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SimulatedControl control(WC_TREEVIEWW, 8, {L"Root"});
        control.rootItem = c.handle;
        control.own[c.handle] = {1};  // the item lives where its handle says, as in a real tree
        platform::ScopedWindowSystem scoped(control);
        const ScriptRead read(WC_TREEVIEWW);
        EXPECT_EQ(c.reachable ? L"Root" : L"", read.First());
        EXPECT_EQ(c.reachable ? S_OK : kVbCannotPerform, read.call.scode);
        if (!c.reachable) EXPECT_NE(std::wstring::npos, read.call.description.find(L"x64")) << read.call.description;
        EXPECT_TRUE(control.regions.empty());
        EXPECT_EQ(control.opens, control.closes);
    }
}

// Check boxes set through a record of a 32-bit and of a 64-bit process's layout, whatever this
// build's bitness; a send that gets no answer in time leaves its region in the control's process
// (where the message, still queued, is taken up late), the process handle closed.
TEST(ListExchange, ActionRecordsFollowTheControlsBitnessAndOutliveASendThatRanOutOfTime) {
    for (const wchar_t* className : {WC_LISTVIEWW, WC_TREEVIEWW}) {
        const bool tree = !wcscmp(className, WC_TREEVIEWW);
        for (int pointerSize : {4, 8}) {
            for (bool late : {false, true}) {
                SCOPED_TRACE(testing::Message() << testing::PrintToString(className) << ", pointers of " << pointerSize
                                                << (late ? ", no answer in time" : ""));
                SimulatedControl control(className, pointerSize, {L"Root"});
                control.timesOut = late ? (tree ? TVM_SETITEMW : LVM_SETITEMSTATE) : 0;
                platform::ScopedWindowSystem scoped(control);
                ComPtr<IDispatch> reader = tree ? ComPtr<IDispatch>(TreeReaderOf(kControl).get())
                                                : ComPtr<IDispatch>(ListReaderOf(kControl).get());
                CallResult checked;
                Call(reader.get(), L"Check", {tree ? Arg::String(L"Root") : Arg::Long(0), Arg::Bool(true)}, &checked);
                EXPECT_EQ(late ? VARIANT_FALSE : VARIANT_TRUE, V_BOOL(checked.value.get()));
                EXPECT_EQ(late ? 0x1000u : 0x2000u, control.itemState);
                EXPECT_EQ(control.opens, control.closes);
                EXPECT_EQ(late ? 1u : 0u, control.regions.size());
                EXPECT_EQ(0u, control.strayWrites);
            }
        }
    }
}

// --- A target that ends during a read ----------------------------------------------------------

// Ends the target's process just before one of the component's calls of a kind (a read of its
// memory, or a message), the calls before it going through untouched. The end comes between two
// calls: under Wine, a process ended while it makes an allocation or a release on another
// process's behalf leaves that caller waiting for ever, which Windows never does.
struct TargetEndedBefore : platform::Win32WindowSystem {
    TargetEndedBefore(HANDLE target, int readsBefore, int messagesBefore)
        : target(target), readsLeft(readsBefore), messagesLeft(messagesBefore) {}
    void EndNowIf(int& left) {
        if (left-- != 0) return;
        EXPECT_TRUE(TerminateProcess(target, 0));
        // Windows ends a process asynchronously: the next call must meet it gone.
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(target, 10000));
    }
    BOOL ReadProcessMemory(HANDLE process, ForeignAddress address, void* buffer, SIZE_T size, SIZE_T* read) override {
        EndNowIf(readsLeft);
        return Win32WindowSystem::ReadProcessMemory(process, address, buffer, size, read);
    }
    LRESULT SendMessageW(LONG hWnd, UINT message, WPARAM wParam, LPARAM lParam) override {
        EndNowIf(messagesLeft);
        return Win32WindowSystem::SendMessageW(hWnd, message, wParam, lParam);
    }
    HANDLE target;
    int readsLeft, messagesLeft;
};

TEST(ListHostile, ATargetThatEndsDuringAReadGivesWhatWasRead) {
    namespace target = lists_target;
    const std::vector<Texts> rows = target::ReportRows();
    const struct {
        const char* name;
        int id;
        int readsBefore, messagesBefore;  // -1: not ended by that kind of call
        Texts read;
    } cases[] = {
        // One read per row: the third row's read meets the target gone.
        {"report view", target::kReport, 2, -1, {rows[0][0], rows[1][0]}},
        // The count, then the length and the text of each item.
        {"list box", target::kSingleList, -1, 5, {L"Alpha", L"Beta"}},
        // The roots' texts until "Fruits" is found, then its children's.
        {"tree", target::kTree, 3, -1, {L"Apple", L"Banana"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<TargetProcess> process = StartListsTarget();
        ASSERT_TRUE(process->Window());
        const LONG control = AsLong(GetDlgItem(process->Window(), c.id));
        ComPtr<_clsListReader> list = c.id == target::kTree ? nullptr : ListReaderOf(control);
        ComPtr<_clsTreeReader> tree = c.id == target::kTree ? TreeReaderOf(control) : nullptr;
        ASSERT_TRUE(list || tree);
        Texts texts;
        {
            TargetEndedBefore ending(process->Process(), c.readsBefore, c.messagesBefore);
            platform::ScopedWindowSystem scoped(ending);
            texts = list ? ColumnOf(list.get(), 0) : ChildrenOf(tree.get(), L"Fruits");
            EXPECT_LT(c.readsBefore >= 0 ? ending.readsLeft : ending.messagesLeft, 0) << "the target was not ended";
        }
        EXPECT_EQ(c.read, texts);
        // Afterwards every member answers, with nothing.
        if (list) {
            EXPECT_EQ(0, Read(list.get(), &_clsListReader::get_Count, -1L));
            EXPECT_EQ(L"", TextAt(list.get(), 0));
            EXPECT_EQ(Texts{}, ColumnOf(list.get(), 0));
        } else {
            EXPECT_EQ(0, Read(tree.get(), &_clsTreeReader::get_Count, -1L));
            EXPECT_EQ(Texts{}, ChildrenOf(tree.get(), L""));
            EXPECT_EQ(L"", ReadText(tree.get(), &_clsTreeReader::get_SelectedPath));
        }
    }
}

}  // namespace
}  // namespace wrang::test
