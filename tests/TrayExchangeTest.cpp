// The exchanges with the toolbar's process, call by call, through a substitute window system that
// plays a toolbar in another process: what the real system cannot produce (a process that cannot be
// opened, a failed allocation, a read that fails half-way, an address at the top of the range).
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "frame/Classes.h"
#include "frame/Errors.h"
#include "platform/WindowSystem.h"
#include "tray/clsToolbarButton.h"
#include "tray/modSharedMem.h"
#include "support/Parameters.h"
#include "support/Wranglers.h"

namespace wrang::test {
namespace {

constexpr LONG kToolbar = 0x4321;
constexpr DWORD kProcessId = 777;
const HANDLE kProcess = reinterpret_cast<HANDLE>(0x1F0);
constexpr ForeignAddress kBuffer = 0x00A30000;
constexpr ForeignAddress kTextCopy = 0x00B40000;  // where a toolbar copies a text on request

long long Number(HANDLE handle) { return reinterpret_cast<LONG_PTR>(handle); }

std::string Line(const char* name, long long a = 0, long long b = 0, long long c = 0, long long d = 0) {
    std::ostringstream line;
    line << name << "(" << a << "," << b << "," << c << "," << d << ")";
    return line.str();
}

// A toolbar in another process whose memory holds one button record and its text.
struct SimulatedToolbar : platform::Win32WindowSystem {
    std::vector<std::string> calls;
    bool openFails = false, allocFails = false, recordReadFails = false;
    ForeignAddress failingTextRead = 0;  // a read that covers this address fails, 0 for none
    bool endless = false;                // every text address holds 'z'
    LONG count = 3, hiddenAnswer = 0;
    int pointerSize = 4;  // of the toolbar's process: which record layout it writes
    ToolbarButtonRecord32 record = {};
    ToolbarButtonRecord64 record64 = {};
    std::map<ForeignAddress, WCHAR> text;  // code units by address
    bool recordWritten = false;

    void Record(const char* name, long long a = 0, long long b = 0, long long c = 0, long long d = 0) {
        calls.push_back(Line(name, a, b, c, d));
    }
    void PutText(ForeignAddress address, const std::wstring& units) {
        record.iString = static_cast<ULONG>(address);
        record64.iString = address;
        for (WCHAR unit : units) text[address] = unit, address += 2;
        text[address] = 0;
    }
    // The text at the record's address, as TB_GETBUTTONTEXTW would copy it.
    std::wstring RecordText() const {
        std::wstring units;
        for (ForeignAddress a = pointerSize == 8 ? record64.iString : record.iString; text.count(a) && text.at(a);
             a += 2)
            units.push_back(text.at(a));
        return units;
    }
    // Memory is readable page by page, as in a real process: a page is there when it holds a unit
    // of some text; the rest of such a page reads as '#'.
    static constexpr ForeignAddress kPage = 4096;
    bool Mapped(ForeignAddress address) const {
        if (endless) return true;
        const ForeignAddress page = address & ~(kPage - 1);
        const auto unit = text.lower_bound(page);
        return unit != text.end() && unit->first < page + kPage;
    }
    // The reads of text (address, size): every read but the record's.
    std::vector<std::pair<ForeignAddress, SIZE_T>> textReads;
    size_t Count(const std::string& prefix) const {
        size_t n = 0;
        for (const auto& c : calls) n += c.compare(0, prefix.size(), prefix) == 0;
        return n;
    }

    DWORD GetWindowThreadProcessId(LONG hWnd, DWORD* processId) override {
        Record("GetWindowThreadProcessId", hWnd);
        *processId = hWnd == kToolbar ? kProcessId : 0;
        return hWnd == kToolbar ? 55 : 0;
    }
    int ProcessPointerSize(DWORD processId) override {
        return processId == kProcessId ? pointerSize : Win32WindowSystem::ProcessPointerSize(processId);
    }
    HANDLE OpenProcess(DWORD access, BOOL inherit, DWORD processId) override {
        Record("OpenProcess", access, inherit, processId);
        return openFails || processId != kProcessId ? nullptr : kProcess;
    }
    ForeignAddress VirtualAllocEx(HANDLE process, ForeignAddress address, SIZE_T size, DWORD type,
                                  DWORD protect) override {
        Record("VirtualAllocEx", Number(process), address, size, type * 0x100 + protect);
        // The first region of a call holds the record, a second one a copied text.
        if (allocFails) return 0;
        return Count("VirtualAllocEx") - Count("VirtualFreeEx") > 1 ? kTextCopy : kBuffer;
    }
    BOOL VirtualFreeEx(HANDLE process, ForeignAddress address, SIZE_T size, DWORD type) override {
        Record("VirtualFreeEx", Number(process), address, size, type);
        return TRUE;
    }
    BOOL CloseHandle(HANDLE handle) override {
        if (handle != kProcess) return Win32WindowSystem::CloseHandle(handle);
        Record("CloseHandle", Number(handle));
        return TRUE;
    }
    LRESULT SendMessageA(LONG hWnd, UINT message, WPARAM wParam, LPARAM lParam) override {
        if (hWnd != kToolbar) return Win32WindowSystem::SendMessageA(hWnd, message, wParam, lParam);
        Record("SendMessageA", message, static_cast<LONG_PTR>(wParam), BitsOf(lParam));
        switch (message) {
        case TB_GETBUTTON: recordWritten = static_cast<ForeignAddress>(lParam) == kBuffer; return recordWritten;
        case TB_GETBUTTONTEXTW: {
            const std::wstring copied = RecordText();
            if (static_cast<ForeignAddress>(lParam) == kTextCopy) {
                for (size_t i = 0; i <= copied.size(); ++i) text[kTextCopy + 2 * i] = copied.c_str()[i];
            }
            return static_cast<LRESULT>(copied.size());
        }
        case TB_BUTTONCOUNT: return count;
        case TB_ISBUTTONHIDDEN: return hiddenAnswer;
        }
        return 0;
    }
    BOOL ReadProcessMemory(HANDLE process, ForeignAddress address, void* buffer, SIZE_T size, SIZE_T* read) override {
        Record("ReadProcessMemory", Number(process), address, size);
        if (process != kProcess || !platform::Reachable(address)) return FALSE;
        const SIZE_T recordSize = pointerSize == 8 ? sizeof record64 : sizeof record;
        if (address == kBuffer && size == recordSize) {
            if (!recordWritten || recordReadFails) return FALSE;
            memcpy(buffer, pointerSize == 8 ? static_cast<const void*>(&record64) : &record, size);
        } else {
            textReads.push_back({address, size});
            for (SIZE_T offset = 0; offset < size; offset += 2) {
                const ForeignAddress at = address + offset;
                if ((failingTextRead && failingTextRead >= address && failingTextRead < address + size) ||
                    !Mapped(at) || !Mapped(at + 1)) {
                    return FALSE;
                }
                const auto found = text.find(at);
                const WCHAR unit = endless ? L'z' : found != text.end() ? found->second : L'#';
                memcpy(static_cast<char*>(buffer) + offset, &unit, 2);
            }
        }
        if (read) *read = size;
        return TRUE;
    }
};

// The calls of one complete exchange for the record of the button at `index`, in the layout of a
// toolbar process whose records are `recordSize` bytes.
std::vector<std::string> Exchange(LONG index, int recordSize = 20) {
    return {Line("GetWindowThreadProcessId", kToolbar),
            Line("SendMessageA", TB_BUTTONSTRUCTSIZE, recordSize, 0),
            Line("OpenProcess", 0x38, FALSE, kProcessId),
            Line("VirtualAllocEx", Number(kProcess), 0, recordSize, 0x3000 * 0x100 + 0x04),
            Line("SendMessageA", TB_GETBUTTON, index, kBuffer),
            Line("ReadProcessMemory", Number(kProcess), kBuffer, recordSize)};
}
std::vector<std::string> Release(ForeignAddress buffer = kBuffer) {
    return {Line("VirtualFreeEx", Number(kProcess), buffer, 0, 0x8000), Line("CloseHandle", Number(kProcess))};
}
std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

ComPtr<_clsToolbarButton> ButtonAt(LONG index) {
    ComPtr<_clsToolbarButton> button = Created(CreateToolbarButton);
    EXPECT_EQ(S_OK, button->Init(kToolbar, index));
    return button;
}

std::wstring TextOf(_clsToolbarButton* button, HRESULT expected = S_OK) {
    return ReadText(button, &_clsToolbarButton::get_Text, L"", expected);
}

TEST(TrayExchange, VisibleReadsTheRecordThenAsksByItsCommand) {
    SimulatedToolbar toolbar;
    toolbar.record.idCommand = 1234;
    platform::ScopedWindowSystem scoped(toolbar);
    ComPtr<_clsToolbarButton> button = ButtonAt(2);

    EXPECT_EQ(VARIANT_TRUE, Read(button.get(), &_clsToolbarButton::get_Visible, VARIANT_BOOL{7}));
    EXPECT_EQ(Exchange(2) + Release() + std::vector<std::string>{Line("SendMessageA", TB_ISBUTTONHIDDEN, 1234, 0)},
              toolbar.calls);
    // Any non-zero answer means hidden.
    toolbar.hiddenAnswer = 4;
    EXPECT_EQ(VARIANT_FALSE, Read(button.get(), &_clsToolbarButton::get_Visible, VARIANT_BOOL{7}));

    // The hide flag: true shows (0), false hides (1); 32767 has no 16-bit flag.
    const std::pair<VARIANT_BOOL, LONG> flags[] = {{VARIANT_TRUE, 0}, {VARIANT_FALSE, 1}};
    for (const auto& [value, flag] : flags) {
        toolbar.calls.clear();
        ASSERT_EQ(S_OK, button->put_Visible(value));
        EXPECT_EQ(Exchange(2) + Release() + std::vector<std::string>{Line("SendMessageA", TB_HIDEBUTTON, 1234, flag)},
                  toolbar.calls)
            << value;
    }
    toolbar.calls.clear();
    EXPECT_EQ(kVbOverflow, button->put_Visible(32767));
    EXPECT_EQ(0u, toolbar.Count("SendMessageA(" + std::to_string(TB_HIDEBUTTON) + ","));
    EXPECT_EQ(Exchange(2) + Release(), toolbar.calls);
}

TEST(TrayExchange, TextIsReadUpToThePageBoundaryThroughTheSameHandle) {
    SimulatedToolbar toolbar;
    toolbar.PutText(0x00500010, L"Hi\u00e9");
    platform::ScopedWindowSystem scoped(toolbar);
    ComPtr<_clsToolbarButton> button = ButtonAt(0);
    EXPECT_EQ(L"Hi\u00e9", TextOf(button.get()));
    EXPECT_EQ(Exchange(0) + std::vector<std::string>{Line("ReadProcessMemory", Number(kProcess), 0x00500010, 0xFF0)} +
                  Release(),
              toolbar.calls);

    // An empty text takes one read too.
    toolbar.calls.clear();
    toolbar.PutText(0x00600000, L"");
    EXPECT_EQ(L"", TextOf(button.get()));
    EXPECT_EQ(Exchange(0) + std::vector<std::string>{Line("ReadProcessMemory", Number(kProcess), 0x00600000, 0x1000)} +
                  Release(),
              toolbar.calls);
}

// Where a text ends against a page boundary, and reads that fail: every read stays within one page,
// and the text is what reading it unit by unit would give.
TEST(TrayExchange, TextReadsStopAtPageBoundariesAndKeepWhatWasRead) {
    using Reads = std::vector<std::pair<ForeignAddress, SIZE_T>>;
    struct Case {
        const char* name;
        ForeignAddress start;
        const wchar_t* text;
        bool unmapAfter;         // the page after the text's first page is not there
        ForeignAddress failing;  // a read covering this address fails
        const wchar_t* expected;
        Reads reads;
    } cases[] = {
        {"terminator before the boundary", 0x00500FF6, L"abc", false, 0, L"abc", {{0x00500FF6, 10}}},
        {"terminator is the page's last unit", 0x00500FF8, L"abc", false, 0, L"abc", {{0x00500FF8, 8}}},
        {"text ends exactly at the boundary",
         0x00500FFA,
         L"abc",
         false,
         0,
         L"abc",
         {{0x00500FFA, 6}, {0x00501000, 0x1000}}},
        {"text crosses the boundary", 0x00500FFC, L"abcd", false, 0, L"abcd", {{0x00500FFC, 4}, {0x00501000, 0x1000}}},
        {"a unit that straddles the boundary is read alone",
         0x00500FFF,
         L"ab",
         false,
         0,
         L"ab",
         {{0x00500FFF, 2}, {0x00501001, 0xFFE}}},
        {"the next page is not there",
         0x00500FFA,
         L"abc",
         true,
         0,
         L"abc",
         {{0x00500FFA, 6}, {0x00501000, 0x1000}, {0x00501000, 2}}},
        {"a read fails part-way through a chunk",
         0x00500000,
         L"abcdef",
         false,
         0x00500004,
         L"ab",
         {{0x00500000, 0x1000}, {0x00500000, 2}, {0x00500002, 2}, {0x00500004, 2}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimulatedToolbar toolbar;
        toolbar.PutText(c.start, c.text);
        if (c.unmapAfter) {
            const ForeignAddress next = (c.start | 0xFFF) + 1;
            toolbar.text.erase(toolbar.text.lower_bound(next), toolbar.text.end());
        }
        toolbar.failingTextRead = c.failing;
        platform::ScopedWindowSystem scoped(toolbar);
        EXPECT_EQ(c.expected, TextOf(ButtonAt(0).get()));
        EXPECT_EQ(c.reads, toolbar.textReads);
        EXPECT_EQ(Release(), std::vector<std::string>(toolbar.calls.end() - 2, toolbar.calls.end()));
    }
}

TEST(TrayExchange, NoProcessOrNoBufferMeansNoRequestAndAnAllZeroRecord) {
    for (bool openFails : {true, false}) {
        SimulatedToolbar toolbar;
        toolbar.openFails = openFails;
        toolbar.allocFails = !openFails;
        toolbar.record.idCommand = 99;
        toolbar.PutText(0x00500000, L"never read");
        platform::ScopedWindowSystem scoped(toolbar);
        ComPtr<_clsToolbarButton> button = ButtonAt(1);
        SCOPED_TRACE(openFails ? "OpenProcess fails" : "VirtualAllocEx fails");

        EXPECT_EQ(L"", TextOf(button.get()));
        ASSERT_EQ(S_OK, button->put_Visible(VARIANT_FALSE));
        VARIANT_BOOL visible = VARIANT_FALSE;
        ASSERT_EQ(S_OK, button->get_Visible(&visible));
        // No foreign address reaches the toolbar and nothing is read; command 0 is addressed.
        EXPECT_EQ(0u, toolbar.Count("SendMessageA(" + std::to_string(TB_GETBUTTON) + ","));
        EXPECT_EQ(0u, toolbar.Count("ReadProcessMemory"));
        EXPECT_EQ(1u, toolbar.Count(Line("SendMessageA", TB_HIDEBUTTON, 0, 1)));
        EXPECT_EQ(1u, toolbar.Count(Line("SendMessageA", TB_ISBUTTONHIDDEN, 0, 0)));
        // Whatever was acquired is released, and nothing else.
        EXPECT_EQ(0u, toolbar.Count("VirtualFreeEx"));
        EXPECT_EQ(openFails ? 0u : 3u, toolbar.Count("CloseHandle"));
        EXPECT_EQ(openFails ? 0u : 3u, toolbar.Count("VirtualAllocEx"));
        EXPECT_EQ(3u, toolbar.Count("OpenProcess"));
    }
}

TEST(TrayExchange, TextEndsAtAFailedReadKeepingWhatWasRead) {
    SimulatedToolbar toolbar;
    toolbar.PutText(0x00500000, L"abcdef");
    toolbar.failingTextRead = 0x00500004;  // the third code unit
    platform::ScopedWindowSystem scoped(toolbar);
    ComPtr<_clsToolbarButton> button = ButtonAt(0);
    EXPECT_EQ(L"ab", TextOf(button.get()));
    // The record, the chunk that failed, two units again and the failed unit; nothing after it.
    EXPECT_EQ(5u, toolbar.Count("ReadProcessMemory"));
    EXPECT_EQ(Release(), std::vector<std::string>(toolbar.calls.end() - 2, toolbar.calls.end()));

    // A record that cannot be read gives no text address at all.
    toolbar.calls.clear();
    toolbar.failingTextRead = 0;
    toolbar.recordReadFails = true;
    EXPECT_EQ(L"", TextOf(button.get()));
    EXPECT_EQ(1u, toolbar.Count(Line("ReadProcessMemory", Number(kProcess), 0, 0x1000)));
}

TEST(TrayExchange, TextStopsAtItsBoundAndAtTheTopOfTheAddressRange) {
    SimulatedToolbar toolbar;
    toolbar.endless = true;
    toolbar.record.iString = 0x00500000;
    platform::ScopedWindowSystem scoped(toolbar);
    ComPtr<_clsToolbarButton> button = ButtonAt(0);
    const std::wstring bounded = TextOf(button.get());
    EXPECT_EQ(clsToolbarButton::kMaxTextLength, bounded.size());
    EXPECT_EQ(std::wstring(clsToolbarButton::kMaxTextLength, L'z'), bounded);
    EXPECT_EQ(Release(), std::vector<std::string>(toolbar.calls.end() - 2, toolbar.calls.end()));

    // A text running into the top of the range overflows the address, and still releases.
    toolbar.calls.clear();
    toolbar.endless = false;
    toolbar.record.iString = 0x7FFFFFFA;
    toolbar.text = {{0x7FFFFFFA, L'x'}, {0x7FFFFFFC, L'y'}, {0x7FFFFFFE, L'z'}};
    EXPECT_EQ(L"", TextOf(button.get(), kVbOverflow));
    EXPECT_EQ(Release(), std::vector<std::string>(toolbar.calls.end() - 2, toolbar.calls.end()));

    // A text whose terminator is the last unit of the range is complete: nothing follows to read.
    toolbar.record.iString = 0x7FFFFFFC;
    toolbar.text = {{0x7FFFFFFC, L'q'}, {0x7FFFFFFE, 0}};
    EXPECT_EQ(L"q", TextOf(button.get()));
    // Nor when the bound ends a text at the last unit of the range.
    toolbar.endless = true;
    toolbar.record.iString = 0x7FFFFFFE - 2 * static_cast<ULONG>(clsToolbarButton::kMaxTextLength - 1);
    EXPECT_EQ(clsToolbarButton::kMaxTextLength, TextOf(button.get()).size());
}

TEST(TrayExchange, MovesAndNeighboursAskOnlyForTheCount) {
    SimulatedToolbar toolbar;
    toolbar.count = 3;
    platform::ScopedWindowSystem scoped(toolbar);

    for (LONG index : {-1L, 0L}) {
        toolbar.calls.clear();
        ASSERT_EQ(S_OK, ButtonAt(index)->MoveLeft());
        EXPECT_TRUE(toolbar.calls.empty()) << index;
    }
    ASSERT_EQ(S_OK, ButtonAt(1)->MoveLeft());
    EXPECT_EQ(std::vector<std::string>{Line("SendMessageA", TB_MOVEBUTTON, 1, 0)}, toolbar.calls);

    for (LONG index : {2L, 3L, 40L}) {
        toolbar.calls.clear();
        ASSERT_EQ(S_OK, ButtonAt(index)->MoveRight());
        EXPECT_EQ(std::vector<std::string>{Line("SendMessageA", TB_BUTTONCOUNT, 0, 0)}, toolbar.calls) << index;
    }
    toolbar.calls.clear();
    ASSERT_EQ(S_OK, ButtonAt(-1)->MoveRight());
    EXPECT_EQ(1u, toolbar.Count(Line("SendMessageA", TB_MOVEBUTTON, -1, 0)));

    // Neighbours are bound to the toolbar and the next or previous index: seen in their requests.
    auto requestedIndex = [&](_clsToolbarButton* button) {
        toolbar.calls.clear();
        VARIANT_BOOL visible;
        EXPECT_EQ(S_OK, button->get_Visible(&visible));
        return toolbar.calls.at(4);
    };
    ComPtr<_clsToolbarButton> next, previous;
    ASSERT_EQ(S_OK, ButtonAt(-1)->GetNextButton(next.put()));
    ASSERT_TRUE(next);
    EXPECT_EQ(Line("SendMessageA", TB_GETBUTTON, 0, kBuffer), requestedIndex(next.get()));
    toolbar.calls.clear();
    ASSERT_EQ(S_OK, ButtonAt(7)->GetPreviousButton(previous.put()));
    ASSERT_TRUE(previous);
    EXPECT_TRUE(toolbar.calls.empty());  // the count is not consulted
    EXPECT_EQ(Line("SendMessageA", TB_GETBUTTON, 6, kBuffer), requestedIndex(previous.get()));

    // An empty toolbar has no next button even from index -1.
    toolbar.count = 0;
    ASSERT_EQ(S_OK, ButtonAt(-1)->GetNextButton(next.put()));
    EXPECT_FALSE(next);
    // A count at the bottom of the range cannot be stepped below.
    toolbar.count = LONG_MIN;
    EXPECT_EQ(kVbOverflow, ButtonAt(0)->MoveRight());
    EXPECT_EQ(kVbOverflow, ButtonAt(0)->GetNextButton(next.put()));
    EXPECT_FALSE(next);
}

// A toolbar in a 64-bit process writes 32-byte records with 8-byte text addresses, whatever this
// build's own bitness. A text above 4 GiB is read where it lies when this process can address it,
// and otherwise copied by the toolbar into a buffer of ours: the same text either way.
TEST(TrayExchange, A64BitToolbarIsReadInItsOwnLayout) {
    struct Case {
        const char* name;
        ForeignAddress text;
    } cases[] = {{"text below 4 GiB", 0x00500000}, {"text above 4 GiB", 0x000007F812340000ull}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimulatedToolbar toolbar;
        toolbar.pointerSize = 8;
        toolbar.record64.idCommand = 4321;
        toolbar.PutText(c.text, L"Wide\u00e9");
        platform::ScopedWindowSystem scoped(toolbar);
        ComPtr<_clsToolbarButton> button = ButtonAt(3);

        EXPECT_EQ(L"Wide\u00e9", TextOf(button.get()));
        const std::vector<std::string> exchange = Exchange(3, 32);
        EXPECT_EQ(exchange, std::vector<std::string>(toolbar.calls.begin(), toolbar.calls.begin() + 6));
        const bool copied = !platform::Reachable(c.text);
        EXPECT_EQ(copied ? 2u : 0u, toolbar.Count("SendMessageA(" + std::to_string(TB_GETBUTTONTEXTW) + ",4321,"));
        // Every buffer is released, the copy's before the record's; the process is opened once.
        EXPECT_EQ(copied ? 2u : 1u, toolbar.Count("VirtualFreeEx"));
        EXPECT_EQ(1u, toolbar.Count("OpenProcess"));
        EXPECT_EQ(1u, toolbar.Count("CloseHandle"));
        EXPECT_EQ(Release(), std::vector<std::string>(toolbar.calls.end() - 2, toolbar.calls.end()));

        toolbar.calls.clear();
        VARIANT_BOOL visible = VARIANT_FALSE;
        ASSERT_EQ(S_OK, button->get_Visible(&visible));
        EXPECT_EQ(exchange + Release() + std::vector<std::string>{Line("SendMessageA", TB_ISBUTTONHIDDEN, 4321, 0)},
                  toolbar.calls);
    }
}

// The window path, step by step, and where a failed search leaves the toolbar handle.
struct SimulatedShell : platform::Win32WindowSystem {
    std::map<std::string, LONG> found;  // class -> handle
    std::vector<LONG> windows;
    std::vector<std::string> calls;
    LONG FindWindowA(const char* className, const char* windowName) override {
        calls.push_back(std::string("FindWindowA ") + className + (windowName ? " named" : " any"));
        return found[className];
    }
    LONG FindWindowExA(LONG parent, LONG after, const char* className, const char* windowName) override {
        calls.push_back("FindWindowExA " + std::to_string(parent) + " " + std::to_string(after) + " " + className +
                        (windowName ? " named" : " any"));
        return found[className];
    }
    BOOL IsWindow(LONG hWnd) override {
        calls.push_back("IsWindow " + std::to_string(hWnd));
        for (LONG w : windows)
            if (w == hWnd) return TRUE;
        return FALSE;
    }
    LRESULT SendMessageA(LONG hWnd, UINT message, WPARAM wParam, LPARAM lParam) override {
        calls.push_back("SendMessageA " + std::to_string(hWnd) + " " + std::to_string(message) + " " +
                        std::to_string(static_cast<LONG_PTR>(wParam)) + " " + std::to_string(BitsOf(lParam)));
        return message == TB_COMMANDTOINDEX ? 5 : message == TB_BUTTONCOUNT ? 9 : 0;
    }
};

TEST(TrayPath, EachStepSearchesTheChildrenOfTheOneBefore) {
    SimulatedShell shell;
    shell.found = {{"Shell_TrayWnd", 10}, {"TrayNotifyWnd", 20}, {"SysPager", 30}, {"ToolbarWindow32", 40}};
    shell.windows = {10, 20, 30, 40};
    platform::ScopedWindowSystem scoped(shell);
    const ComPtr<_clsSysToolbar> toolbar = Created(CreateSysToolbar);
    ComPtr<_clsSysToolbar> returned;
    ASSERT_EQ(S_OK, toolbar->Init(returned.put()));
    EXPECT_EQ(toolbar.get(), returned.get());
    EXPECT_EQ(
        (std::vector<std::string>{
            "FindWindowA Shell_TrayWnd any", "IsWindow 10", "FindWindowExA 10 0 TrayNotifyWnd any", "IsWindow 20",
            "FindWindowExA 20 0 SysPager any", "IsWindow 30", "FindWindowExA 30 0 ToolbarWindow32 any", "IsWindow 40"}),
        shell.calls);

    // A handle found that is no window stops the search and stays as the toolbar handle.
    shell.found["SysPager"] = 31;
    shell.calls.clear();
    ASSERT_EQ(S_OK, toolbar->Init(returned.put()));
    EXPECT_FALSE(returned);
    EXPECT_EQ("IsWindow 31", shell.calls.back());
    EXPECT_EQ(31, Read(toolbar.get(), &_clsSysToolbar::get_hWnd, 0L));
    // The search always starts again at the top.
    shell.found["SysPager"] = 30;
    ASSERT_EQ(S_OK, toolbar->Init(returned.put()));
    EXPECT_TRUE(returned);
    EXPECT_EQ(40, Read(toolbar.get(), &_clsSysToolbar::get_hWnd, 0L));

    // The found toolbar is asked with plain integers; a button by command gets the index answered.
    shell.calls.clear();
    EXPECT_EQ(9, Read(toolbar.get(), &_clsSysToolbar::get_Count, 0L));
    ComPtr<_clsToolbarButton> button;
    ASSERT_EQ(S_OK, toolbar->GetButtonByCommand(101, button.put()));
    ASSERT_EQ(S_OK, button->MoveLeft());
    EXPECT_EQ((std::vector<std::string>{"SendMessageA 40 " + std::to_string(TB_BUTTONCOUNT) + " 0 0",
                                        "SendMessageA 40 " + std::to_string(TB_COMMANDTOINDEX) + " 101 0",
                                        "SendMessageA 40 " + std::to_string(TB_MOVEBUTTON) + " 5 4"}),
              shell.calls);
}

TEST(SharedMem, ARegionIsCommittedZeroFilledAndReleasedWithItsHandle) {
    HANDLE process = INVALID_HANDLE_VALUE;
    const ForeignAddress address = AllocSharedMem(GetCurrentProcessId(), 20, &process);
    ASSERT_NE(nullptr, process);
    ASSERT_NE(0u, address);
    MEMORY_BASIC_INFORMATION info = {};
    const void* region = reinterpret_cast<const void*>(static_cast<ULONG_PTR>(address));
    ASSERT_EQ(sizeof info, VirtualQuery(region, &info, sizeof info));
    EXPECT_EQ(static_cast<DWORD>(MEM_COMMIT), info.State);
    EXPECT_EQ(static_cast<DWORD>(PAGE_READWRITE), info.Protect);
    EXPECT_EQ(static_cast<DWORD>(MEM_PRIVATE), info.Type);
    EXPECT_EQ(std::vector<char>(20, 0),
              std::vector<char>(static_cast<const char*>(region), static_cast<const char*>(region) + 20));
    DWORD flags = 0;
    const HANDLE handle = process;
    EXPECT_TRUE(GetHandleInformation(handle, &flags));
    EXPECT_EQ(0u, flags & HANDLE_FLAG_INHERIT);

    FreeSharedMem(process, address, 20);
    ASSERT_EQ(sizeof info, VirtualQuery(region, &info, sizeof info));
    EXPECT_EQ(static_cast<DWORD>(MEM_FREE), info.State);
    EXPECT_FALSE(GetHandleInformation(handle, &flags));

    // No process: no handle, no region, and releasing nothing is harmless.
    process = INVALID_HANDLE_VALUE;
    EXPECT_EQ(0u, AllocSharedMem(0, 20, &process));
    EXPECT_EQ(nullptr, process);
    FreeSharedMem(nullptr, 0, 20);
}

}  // namespace
}  // namespace wrang::test
