// The readers' exchanges with a control's process, through a substitute window system that plays
// the control and its memory: what the real system cannot produce on this host (a process of the
// other bitness with its own record layout, item handles above 4 GiB, a text of 100,000 units,
// failures half-way), and a real target that ends between two reads.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "frame/Classes.h"
#include "frame/Errors.h"
#include "platform/WindowSystem.h"
#include "support/Lists.h"

namespace wrang::test {
namespace {

using platform::ForeignAddress;

constexpr LONG kControl = 0x4567;
constexpr DWORD kProcessId = 4242;
const HANDLE kProcess = reinterpret_cast<HANDLE>(0x2F0);
constexpr ForeignAddress kFirstRegion = 0x00A30000;

// Where a record keeps its fields, as the control's process lays it out: written out here from the
// platform's documentation, independently of the component's own record types.
struct Offsets {
    size_t size, index, subItem, handle, text, capacity;  // ~0 for a field the record has not
};
constexpr size_t kNone = ~size_t{0};
Offsets OffsetsOf(const wchar_t* className, int pointerSize) {
    const bool wide = pointerSize == 8;
    if (!wcscmp(className, WC_LISTVIEWW))
        return wide ? Offsets{88, 4, 8, kNone, 24, 32} : Offsets{60, 4, 8, kNone, 20, 24};
    if (!wcscmp(className, WC_TABCONTROLW))
        return wide ? Offsets{40, kNone, kNone, kNone, 16, 24} : Offsets{28, kNone, kNone, kNone, 12, 16};
    if (!wcscmp(className, WC_HEADERW))
        return wide ? Offsets{72, kNone, kNone, kNone, 8, 24} : Offsets{48, kNone, kNone, kNone, 8, 16};
    if (!wcscmp(className, WC_TREEVIEWW))
        return wide ? Offsets{56, kNone, kNone, 8, 24, 32} : Offsets{40, kNone, kNone, 4, 16, 20};
    return {0, kNone, kNone, kNone, kNone, kNone};  // a status bar: the buffer alone
}

// One control of another process, with its memory: the regions the component makes there, and the
// control's own texts. Every write must land in a region; at most one region lives at a time.
struct SimulatedControl : platform::Win32WindowSystem {
    const wchar_t* className = WC_LISTVIEWW;
    int pointerSize = 4;
    std::vector<std::wstring> texts;       // by index; a tree's are its roots'
    ForeignAddress rootItem = 0x00B10000;  // a tree's first root's handle
    ForeignAddress elsewhere = 0;          // where the control points a record instead, 0 for never
    bool openFails = false, allocFails = false, writeFails = false, readFails = false;

    std::map<ForeignAddress, std::vector<BYTE>> regions;  // live regions
    std::map<ForeignAddress, BYTE> own;                   // the control's own memory
    size_t allocations = 0, releases = 0, opens = 0, closes = 0, mostAlive = 0, strayWrites = 0;

    BYTE* At(ForeignAddress address, SIZE_T size) {
        for (auto& [base, bytes] : regions) {
            if (address >= base && address + size <= base + bytes.size()) return bytes.data() + (address - base);
        }
        return nullptr;
    }
    ULONG64 Field(ForeignAddress record, size_t offset, size_t size) {
        ULONG64 value = 0;
        if (BYTE* at = At(record + offset, size)) std::memcpy(&value, at, size);
        return value;
    }
    void SetField(ForeignAddress record, size_t offset, size_t size, ULONG64 value) {
        if (BYTE* at = At(record + offset, size)) std::memcpy(at, &value, size);
    }
    // Copies a text into the control's process memory at `to`, as much as `capacity` units hold.
    LRESULT CopyText(const std::wstring& text, ForeignAddress to, size_t capacity) {
        const size_t units = std::min(text.size(), capacity ? capacity - 1 : 0);
        BYTE* at = At(to, (units + 1) * sizeof(WCHAR));
        if (!at) return 0;
        std::memcpy(at, text.data(), units * sizeof(WCHAR));
        std::memset(at + units * sizeof(WCHAR), 0, sizeof(WCHAR));
        return static_cast<LRESULT>(units);
    }
    void PutElsewhere(const std::wstring& text) {
        for (size_t i = 0; i <= text.size(); ++i) {
            const WCHAR unit = i < text.size() ? text[i] : 0;
            own[elsewhere + 2 * i] = static_cast<BYTE>(unit & 0xFF);
            own[elsewhere + 2 * i + 1] = static_cast<BYTE>(unit >> 8);
        }
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
        const ForeignAddress base = kFirstRegion + 0x01000000 * allocations++;
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
        BYTE* at = At(address, size);
        if (!at) ++strayWrites;
        if (writeFails || !at) return FALSE;
        std::memcpy(at, bytes, size);
        if (written) *written = size;
        return TRUE;
    }
    BOOL ReadProcessMemory(HANDLE, ForeignAddress address, void* buffer, SIZE_T size, SIZE_T* read) override {
        if (readFails) return FALSE;
        if (const BYTE* at = At(address, size)) {
            std::memcpy(buffer, at, size);
        } else {
            for (SIZE_T i = 0; i < size; ++i) {
                const auto found = own.find(address + i);
                if (found == own.end()) return FALSE;
                static_cast<BYTE*>(buffer)[i] = found->second;
            }
        }
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
        case SB_GETTEXTLENGTHW: return static_cast<LRESULT>(texts.at(wParam).size());
        case SB_GETTEXTW: return CopyText(texts.at(wParam), record, texts.at(wParam).size() + 1);
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
            const size_t capacity = static_cast<size_t>(Field(record, o.capacity, 4));
            if (elsewhere) {
                SetField(record, o.text, pointer, elsewhere);
                PutElsewhere(texts[index]);
                return message == LVM_GETITEMTEXTW ? static_cast<LRESULT>(texts[index].size()) : TRUE;
            }
            const LRESULT copied = CopyText(texts[index], Field(record, o.text, pointer), capacity);
            return message == LVM_GETITEMTEXTW ? copied : TRUE;
        }
        }
        return 0;
    }
};

const wchar_t* const kClassesByFamily[] = {WC_LISTVIEWW, WC_TABCONTROLW, WC_HEADERW, STATUSCLASSNAMEW, WC_TREEVIEWW};

// The first item's text as the family's reader reads it.
std::wstring FirstText(const wchar_t* className, HRESULT expected = S_OK, std::wstring* description = nullptr) {
    if (!wcscmp(className, WC_TREEVIEWW)) {
        ComPtr<_clsTreeReader> tree = TreeReaderOf(kControl);
        if (!tree) return L"<not bound>";
        UniqueVariant children;
        EXPECT_EQ(expected, tree->GetChildren(nullptr, children.get()));
        if (description) {
            ComPtr<IErrorInfo> info;
            UniqueBstr text;
            if (GetErrorInfo(0, info.put()) == S_OK && info) info->GetDescription(text.put());
            *description = text ? text.get() : L"";
        }
        const std::vector<std::wstring> texts =
            expected == S_OK ? StringsOf(children.get()) : std::vector<std::wstring>{};
        return texts.empty() ? L"" : texts[0];
    }
    ComPtr<_clsListReader> list = ListReaderOf(kControl);
    return list ? TextAt(list.get(), 0, 0, expected) : L"<not bound>";
}

// Every family's record in the layout of a 32-bit and of a 64-bit process, whatever this build's
// bitness: the control finds its fields where its own process has them, and the text comes back
// whole, also one of 100,000 units that needs more room than a first region has.
TEST(ListExchange, RecordsFollowTheControlsBitnessAndTextsOfAnyLengthComeWhole) {
    for (const wchar_t* className : kClassesByFamily) {
        // A status bar's answers carry a length in 16 bits: its texts are shorter than 65,536 units.
        const std::wstring longText =
            lists_target::LongText(wcscmp(className, STATUSCLASSNAMEW) ? 100000 : 60000, L'X');
        for (int pointerSize : {4, 8}) {
            for (const std::wstring& text : {std::wstring(L"Hello \u2713 world"), longText}) {
                SCOPED_TRACE(testing::Message() << testing::PrintToString(className) << ", pointers of " << pointerSize
                                                << " bytes, a text of " << text.size());
                SimulatedControl control;
                control.className = className;
                control.pointerSize = pointerSize;
                control.texts = {text, L"second"};
                platform::ScopedWindowSystem scoped(control);
                EXPECT_EQ(text, FirstText(className));
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

// A control may point the record at a text of its own instead of filling the buffer offered.
TEST(ListExchange, ATextTheControlPointsToIsReadWhereItLies) {
    for (const wchar_t* className : {WC_LISTVIEWW, WC_TABCONTROLW, WC_TREEVIEWW}) {
        for (int pointerSize : {4, 8}) {
            SCOPED_TRACE(testing::Message() << testing::PrintToString(className) << ", " << pointerSize);
            SimulatedControl control;
            control.className = className;
            control.pointerSize = pointerSize;
            control.texts = {L"text of the application's own \u2713"};
            control.elsewhere = 0x00C20010;
            platform::ScopedWindowSystem scoped(control);
            EXPECT_EQ(control.texts[0], FirstText(className));
            EXPECT_TRUE(control.regions.empty());
        }
    }
}

// Whatever fails half-way, the text is empty, no error is raised, and what was acquired is released.
TEST(ListExchange, EveryFailureReleasesWhatWasAcquired) {
    struct Case {
        const char* name;
        bool SimulatedControl::*failure;
        size_t opens, allocations;
    } cases[] = {{"the process cannot be opened", &SimulatedControl::openFails, 0, 0},
                 {"no region", &SimulatedControl::allocFails, 1, 0},
                 {"the request cannot be written", &SimulatedControl::writeFails, 1, 1},
                 {"the answer cannot be read", &SimulatedControl::readFails, 1, 1}};
    for (const wchar_t* className : kClassesByFamily) {
        for (const Case& c : cases) {
            // A status bar takes no request record, only the buffer.
            if (c.failure == &SimulatedControl::writeFails && !wcscmp(className, STATUSCLASSNAMEW)) continue;
            SCOPED_TRACE(testing::Message() << testing::PrintToString(className) << ": " << c.name);
            SimulatedControl control;
            control.className = className;
            control.texts = {L"never read"};
            control.*c.failure = true;
            platform::ScopedWindowSystem scoped(control);
            EXPECT_EQ(L"", FirstText(className));
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
    struct Case {
        const char* name;
        ForeignAddress handle;
        bool reachable;  // by this build
    } cases[] = {{"below 2 GiB", 0x00B10000, true},
                 {"between 2 and 4 GiB", 0x90000000, sizeof(void*) == 8},
                 {"above 4 GiB", 0x000007F812340000ull, sizeof(void*) == 8}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimulatedControl control;
        control.className = WC_TREEVIEWW;
        control.pointerSize = 8;
        control.rootItem = c.handle;
        control.texts = {L"Root"};
        // The item lives where its handle says, as in a real tree.
        control.own[c.handle] = 1;
        platform::ScopedWindowSystem scoped(control);
        std::wstring description;
        EXPECT_EQ(c.reachable ? L"Root" : L"",
                  FirstText(WC_TREEVIEWW, c.reachable ? S_OK : kVbCannotPerform, &description));
        if (!c.reachable)
            EXPECT_NE(std::wstring::npos, description.find(L"x64")) << testing::PrintToString(description);
        EXPECT_TRUE(control.regions.empty());
        EXPECT_EQ(control.opens, control.closes);
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
    const std::vector<std::vector<std::wstring>> rows = target::ReportRows();
    struct Case {
        const char* name;
        int id;
        int readsBefore, messagesBefore;  // -1: not ended by that kind of call
        std::vector<std::wstring> read;
    } cases[] = {
        // One read per row: the third row's read meets the target gone.
        {"report view", target::kReport, 2, -1, {rows[0][0], rows[1][0]}},
        // The count, then the length and the text of each item.
        {"list box", target::kSingleList, -1, 5, {L"Alpha", L"Beta"}},
        // The roots' texts until "Fruits" is found, then its children's.
        {"tree", target::kTree, 3, -1, {L"Apple", L"Banana"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<TargetProcess> process = StartListsTarget();
        ASSERT_TRUE(process->Window());
        const LONG control = AsLong(GetDlgItem(process->Window(), c.id));
        ComPtr<_clsListReader> list = c.id == target::kTree ? nullptr : ListReaderOf(control);
        ComPtr<_clsTreeReader> tree = c.id == target::kTree ? TreeReaderOf(control) : nullptr;
        ASSERT_TRUE(list || tree);
        std::vector<std::wstring> texts;
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
            EXPECT_EQ(std::vector<std::wstring>{}, ColumnOf(list.get(), 0));
        } else {
            EXPECT_EQ(0, Read(tree.get(), &_clsTreeReader::get_Count, -1L));
            EXPECT_EQ(std::vector<std::wstring>{}, ChildrenOf(tree.get(), L""));
            EXPECT_EQ(L"", ReadText(tree.get(), &_clsTreeReader::get_SelectedPath));
        }
    }
}

}  // namespace
}  // namespace wrang::test
