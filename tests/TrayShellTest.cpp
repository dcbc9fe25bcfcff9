// The notification-area toolbar and its buttons against a stand-in shell in another process
// (tests/fakeshell), with a real toolbar whose records and texts live in that process.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "frame/Classes.h"
#include "platform/WindowSystem.h"
#include "support/Automation.h"
#include "support/ProcessResources.h"
#include "support/StandInShell.h"
#include "support/WindowThread.h"
#include "support/Wranglers.h"

namespace wrang::test {
namespace {

constexpr UINT kQueryCommand = WM_APP + 1;  // answered by the fake shell: command at an index
constexpr UINT kQueryHidden = WM_APP + 2;   // answered by the fake shell: 1 hidden, 0 shown
// Fake shells of all test processes and scripts take turns on this mutex.
constexpr wchar_t kShellTurn[] = L"WrangFakeShellTurn";

// The stand-in shell with what these tests ask its process: counts, order and visibility.
class FakeShell : public StandInShell {
public:
    using StandInShell::StandInShell;
    LONG Count() const { return static_cast<LONG>(SendMessageW(Toolbar(), TB_BUTTONCOUNT, 0, 0)); }
    // The toolbar's order as command identifiers (the shell numbers its buttons 100, 101, ...).
    std::vector<LONG> Order() const {
        std::vector<LONG> order;
        for (LONG i = 0; i < Count(); ++i)
            order.push_back(static_cast<LONG>(SendMessageW(Shell(), kQueryCommand, i, 0)));
        return order;
    }
    LONG Hidden(LONG index) const { return static_cast<LONG>(SendMessageW(Shell(), kQueryHidden, index, 0)); }
};

// Holds the fake shells' turn, so that no shell of another test can be found meanwhile.
class ShellTurn {
public:
    ShellTurn() : m_mutex(CreateMutexW(nullptr, FALSE, kShellTurn)) {
        const DWORD waited = WaitForSingleObject(m_mutex, 100000);
        m_held = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
    }
    ~ShellTurn() {
        if (m_held) ReleaseMutex(m_mutex);
        CloseHandle(m_mutex);
    }
    bool Held() const { return m_held; }

private:
    HANDLE m_mutex;
    bool m_held = false;
};

ComPtr<_clsToolbarButton> ByIndex(_clsSysToolbar* toolbar, LONG index) {
    return HandedOut<_clsToolbarButton>(toolbar, &_clsSysToolbar::GetButtonByIndex, index);
}

std::wstring TextOf(_clsToolbarButton* button) { return ReadText(button, &_clsToolbarButton::get_Text); }

bool VisibleOf(_clsToolbarButton* button) {
    VARIANT_BOOL visible = 1;
    EXPECT_EQ(S_OK, button->get_Visible(&visible));
    EXPECT_TRUE(visible == VARIANT_TRUE || visible == VARIANT_FALSE) << visible;
    return visible == VARIANT_TRUE;
}

LONG CountOf(_clsSysToolbar* toolbar) { return Read(toolbar, &_clsSysToolbar::get_Count, -1L); }
LONG HandleOf(_clsSysToolbar* toolbar) { return Read(toolbar, &_clsSysToolbar::get_hWnd, -1L); }

ComPtr<_clsToolbarButton> Next(_clsToolbarButton* button) {
    return HandedOut<_clsToolbarButton>(button, &_clsToolbarButton::GetNextButton);
}
ComPtr<_clsToolbarButton> Previous(_clsToolbarButton* button) {
    return HandedOut<_clsToolbarButton>(button, &_clsToolbarButton::GetPreviousButton);
}

// The text of `length` code units the fake shell makes for --long: the alphabet over and over.
std::wstring Alphabet(size_t length) {
    std::wstring text;
    for (size_t k = 0; k < length; ++k) text.push_back(static_cast<wchar_t>(L'a' + k % 26));
    return text;
}

// Init that finds no toolbar: Nothing, and the toolbar has no window and no buttons.
void ExpectInitFindsNoToolbar(_clsSysToolbar* toolbar) {
    ComPtr<_clsSysToolbar> returned;
    ASSERT_EQ(S_OK, toolbar->Init(returned.put()));
    EXPECT_FALSE(returned);
    EXPECT_EQ(0, HandleOf(toolbar));
    EXPECT_EQ(0, CountOf(toolbar));
}

// A bound toolbar on a running fake shell.
struct BoundShell {
    explicit BoundShell(const std::wstring& arguments) : shell(arguments), toolbar(Created(CreateSysToolbar)) {
        ComPtr<_clsSysToolbar> returned;
        EXPECT_EQ(S_OK, toolbar->Init(returned.put()));
        EXPECT_EQ(toolbar.get(), returned.get());
    }
    FakeShell shell;
    ComPtr<_clsSysToolbar> toolbar;
};

TEST(TrayToolbar, InitFollowsTheWindowPathToTheShellsToolbar) {
    BoundShell bound(L"--button One --button Two --button Three");
    ASSERT_TRUE(bound.shell.Toolbar());
    EXPECT_EQ(bound.shell.ToolbarHandle(), HandleOf(bound.toolbar.get()));
    VARIANT_BOOL isWindow = VARIANT_FALSE;
    ASSERT_EQ(S_OK, bound.toolbar->get_IsWindow(&isWindow));
    EXPECT_EQ(VARIANT_TRUE, isWindow);
    EXPECT_EQ(3, CountOf(bound.toolbar.get()));
    LONG buttonCount = 0;
    ASSERT_EQ(S_OK, ByIndex(bound.toolbar.get(), 1)->get_Count(&buttonCount));
    EXPECT_EQ(3, buttonCount);

    // Indices are not compared with the count: any index gives a button, which reads as empty.
    for (LONG index : {-5L, 3L, 1000L}) {
        ComPtr<_clsToolbarButton> button = ByIndex(bound.toolbar.get(), index);
        ASSERT_TRUE(button) << index;
        EXPECT_EQ(L"", TextOf(button.get())) << index;
    }
}

TEST(TrayToolbar, WithoutAShellInitGivesNothing) {
    ShellTurn turn;  // no fake shell can start meanwhile
    ASSERT_TRUE(turn.Held());
    ASSERT_EQ(nullptr, FindWindowA("Shell_TrayWnd", nullptr)) << "the platform has a shell of its own";
    ComPtr<_clsSysToolbar> toolbar = Created(CreateSysToolbar);
    ASSERT_NO_FATAL_FAILURE(ExpectInitFindsNoToolbar(toolbar.get()));
    VARIANT_BOOL isWindow = VARIANT_TRUE;
    ASSERT_EQ(S_OK, toolbar->get_IsWindow(&isWindow));
    EXPECT_EQ(VARIANT_FALSE, isWindow);
    // Buttons of the unbound toolbar still exist and read as empty.
    ComPtr<_clsToolbarButton> button = ByIndex(toolbar.get(), 0);
    ASSERT_TRUE(button);
    EXPECT_EQ(L"", TextOf(button.get()));
    EXPECT_FALSE(Next(button.get()));
}

TEST(TrayToolbar, AShellWithoutPagerIsNotFound) {
    FakeShell shell(L"--no-pager --button One");
    ASSERT_TRUE(shell.Toolbar());
    ExpectInitFindsNoToolbar(Created(CreateSysToolbar).get());
}

TEST(TrayButton, TextIsReadWholeFromTheShellsProcess) {
    const std::wstring nonAscii = L"Gr\u00fc\u00dfe \u65e5\u672c \U0001F600 \u00e9";
    BoundShell bound(L"--button \"\" --button \"" + nonAscii + L"\" --button Plain --long 5000");
    ASSERT_EQ(4, bound.shell.Count());
    EXPECT_EQ(L"", TextOf(ByIndex(bound.toolbar.get(), 0).get()));
    EXPECT_EQ(nonAscii, TextOf(ByIndex(bound.toolbar.get(), 1).get()));
    EXPECT_EQ(L"Plain", TextOf(ByIndex(bound.toolbar.get(), 2).get()));
    EXPECT_EQ(Alphabet(5000), TextOf(ByIndex(bound.toolbar.get(), 3).get()));
}

TEST(TrayButton, ByCommandBindsToTheCommandsIndexAndAnAbsentOneToMinusOne) {
    BoundShell bound(L"--button Volume --button Network --button Clock");
    ComPtr<_clsToolbarButton> network;
    ASSERT_EQ(S_OK, bound.toolbar->GetButtonByCommand(101, network.put()));
    EXPECT_EQ(L"Network", TextOf(network.get()));

    // The button remembers the index, not the command: after a move it reads the new occupant.
    ASSERT_EQ(S_OK, network->MoveRight());
    EXPECT_EQ((std::vector<LONG>{100, 102, 101}), bound.shell.Order());
    EXPECT_EQ(L"Clock", TextOf(network.get()));

    ComPtr<_clsToolbarButton> absent;
    ASSERT_EQ(S_OK, bound.toolbar->GetButtonByCommand(999, absent.put()));
    ASSERT_TRUE(absent);
    EXPECT_EQ(L"", TextOf(absent.get()));
    // From index -1: the next is the first button, there is no previous, and nothing moves.
    ComPtr<_clsToolbarButton> first = Next(absent.get());
    ASSERT_TRUE(first);
    EXPECT_EQ(L"Volume", TextOf(first.get()));
    EXPECT_FALSE(Previous(absent.get()));
    ASSERT_EQ(S_OK, absent->MoveLeft());
    ASSERT_EQ(S_OK, absent->MoveRight());
    EXPECT_EQ((std::vector<LONG>{100, 102, 101}), bound.shell.Order());
}

TEST(TrayButton, VisibleRoundTripsInTheShellsToolbar) {
    BoundShell bound(L"--button A --button B --button C");
    ComPtr<_clsToolbarButton> b = ByIndex(bound.toolbar.get(), 1);
    EXPECT_TRUE(VisibleOf(b.get()));
    ASSERT_EQ(S_OK, b->put_Visible(VARIANT_FALSE));
    EXPECT_EQ(1, bound.shell.Hidden(1));
    EXPECT_EQ(0, bound.shell.Hidden(0));
    EXPECT_EQ(0, bound.shell.Hidden(2));
    EXPECT_FALSE(VisibleOf(b.get()));
    EXPECT_TRUE(VisibleOf(ByIndex(bound.toolbar.get(), 2).get()));
    // Hiding twice keeps it hidden; showing brings it back.
    ASSERT_EQ(S_OK, b->put_Visible(VARIANT_FALSE));
    EXPECT_EQ(1, bound.shell.Hidden(1));
    ASSERT_EQ(S_OK, b->put_Visible(VARIANT_TRUE));
    EXPECT_EQ(0, bound.shell.Hidden(1));
    EXPECT_TRUE(VisibleOf(b.get()));

    // A hidden button is still counted and keeps its text.
    ASSERT_EQ(S_OK, ByIndex(bound.toolbar.get(), 2)->put_Visible(VARIANT_FALSE));
    EXPECT_EQ(1, bound.shell.Hidden(2));
    EXPECT_EQ(3, CountOf(bound.toolbar.get()));
    EXPECT_EQ(L"C", TextOf(ByIndex(bound.toolbar.get(), 2).get()));
}

TEST(TrayButton, MovesChangeTheShellsOrderAndLeaveTheIndex) {
    BoundShell bound(L"--button A --button B --button C --button D");
    const std::vector<LONG> original = {100, 101, 102, 103};
    ComPtr<_clsToolbarButton> first = ByIndex(bound.toolbar.get(), 0);
    ComPtr<_clsToolbarButton> last = ByIndex(bound.toolbar.get(), 3);
    // At the ends there is nowhere to go.
    ASSERT_EQ(S_OK, first->MoveLeft());
    ASSERT_EQ(S_OK, last->MoveRight());
    EXPECT_EQ(original, bound.shell.Order());

    // Two MoveLeft on one object: the second moves the former left neighbour back.
    ComPtr<_clsToolbarButton> c = ByIndex(bound.toolbar.get(), 2);
    ASSERT_EQ(S_OK, c->MoveLeft());
    EXPECT_EQ((std::vector<LONG>{100, 102, 101, 103}), bound.shell.Order());
    EXPECT_EQ(L"B", TextOf(c.get()));
    ASSERT_EQ(S_OK, c->MoveLeft());
    EXPECT_EQ(original, bound.shell.Order());

    // Following the button with GetPreviousButton moves it all the way to the front.
    ComPtr<_clsToolbarButton> moving = ByIndex(bound.toolbar.get(), 3);
    for (int step = 0; step < 3; ++step) {
        ASSERT_EQ(S_OK, moving->MoveLeft());
        moving = Previous(moving.get());
        ASSERT_TRUE(moving) << step;
        EXPECT_EQ(L"D", TextOf(moving.get())) << step;
    }
    EXPECT_EQ((std::vector<LONG>{103, 100, 101, 102}), bound.shell.Order());
    // And with GetNextButton back to the end.
    for (int step = 0; step < 3; ++step) {
        ASSERT_EQ(S_OK, moving->MoveRight());
        moving = Next(moving.get());
        ASSERT_TRUE(moving) << step;
    }
    EXPECT_EQ(original, bound.shell.Order());
    EXPECT_EQ(L"D", TextOf(moving.get()));
}

TEST(TrayButton, NeighboursStopAtBothEnds) {
    BoundShell bound(L"--button A --button B --button C");
    std::wstring walked;
    for (ComPtr<_clsToolbarButton> b = ByIndex(bound.toolbar.get(), 0); b; b = Next(b.get())) walked += TextOf(b.get());
    EXPECT_EQ(L"ABC", walked);
    walked.clear();
    for (ComPtr<_clsToolbarButton> b = ByIndex(bound.toolbar.get(), 2); b; b = Previous(b.get()))
        walked += TextOf(b.get());
    EXPECT_EQ(L"CBA", walked);

    // Beyond the last button, the previous one is the index before, without asking the toolbar.
    ComPtr<_clsToolbarButton> beyond = Previous(ByIndex(bound.toolbar.get(), 3).get());
    ASSERT_TRUE(beyond);
    EXPECT_EQ(L"C", TextOf(beyond.get()));
    EXPECT_TRUE(Previous(ByIndex(bound.toolbar.get(), 50).get()));
    EXPECT_FALSE(Next(ByIndex(bound.toolbar.get(), 50).get()));
    EXPECT_FALSE(Previous(ByIndex(bound.toolbar.get(), -3).get()));
}

TEST(TrayToolbar, InitAgainFindsARestartedShell) {
    auto first = std::make_unique<BoundShell>(L"--button Old");
    ComPtr<_clsSysToolbar> toolbar = first->toolbar;
    ComPtr<_clsToolbarButton> oldButton = ByIndex(toolbar.get(), 0);
    EXPECT_EQ(L"Old", TextOf(oldButton.get()));
    const LONG oldHandle = HandleOf(toolbar.get());
    first->shell.Stop();

    // Between shells every member still answers, with nothing to read.
    EXPECT_EQ(0, CountOf(toolbar.get()));
    EXPECT_EQ(L"", TextOf(oldButton.get()));
    ASSERT_EQ(S_OK, oldButton->put_Visible(VARIANT_FALSE));

    FakeShell second(L"--button New1 --button New2");
    ASSERT_TRUE(second.Toolbar());
    ComPtr<_clsSysToolbar> returned;
    ASSERT_EQ(S_OK, toolbar->Init(returned.put()));
    EXPECT_EQ(toolbar.get(), returned.get());
    EXPECT_EQ(second.ToolbarHandle(), HandleOf(toolbar.get()));
    EXPECT_EQ(2, CountOf(toolbar.get()));
    EXPECT_EQ(L"New2", TextOf(ByIndex(toolbar.get(), 1).get()));
    // A button handed out before keeps the old toolbar, unless window handles were reused.
    if (oldHandle != second.ToolbarHandle()) EXPECT_EQ(L"", TextOf(oldButton.get()));
}

TEST(TrayButton, AThousandExchangesLeaveNothingBehind) {
    BoundShell bound(L"--button Volume --button Network");
    HANDLE query = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, bound.shell.ProcessId());
    ASSERT_TRUE(query);
    ComPtr<_clsToolbarButton> button = ByIndex(bound.toolbar.get(), 1);
    // One exchange first, so that whatever the shell sets up once is in place.
    EXPECT_EQ(L"Network", TextOf(button.get()));
    const long long regionsBefore = PrivateMemoryOf(query).regions;
    const DWORD handlesBefore = HandleCount(GetCurrentProcess());
    const HANDLE slotBefore = NextHandleSlot();
    ASSERT_GT(regionsBefore, 0);

    for (int i = 0; i < 250; ++i) {
        ASSERT_EQ(L"Network", TextOf(button.get())) << i;
        ASSERT_TRUE(VisibleOf(button.get())) << i;
        ASSERT_EQ(S_OK, button->put_Visible(VARIANT_TRUE)) << i;
        ASSERT_EQ(L"", TextOf(ByIndex(bound.toolbar.get(), 7).get())) << i;
    }

    EXPECT_EQ(regionsBefore, PrivateMemoryOf(query).regions);
    EXPECT_EQ(handlesBefore, HandleCount(GetCurrentProcess()));
    EXPECT_EQ(slotBefore, NextHandleSlot());
    CloseHandle(query);
}

// --- A shell that misbehaves ---------------------------------------------------------------------

// Walks from button 0 with GetNextButton, reading each text; at most `most` steps.
std::vector<std::wstring> Walk(_clsSysToolbar* toolbar, size_t most) {
    std::vector<std::wstring> texts;
    ComPtr<_clsToolbarButton> button = ByIndex(toolbar, 0);
    while (button && texts.size() < most) {
        texts.push_back(TextOf(button.get()));
        button = Next(button.get());
    }
    return texts;
}

// Records that lie: every member still answers, with an empty or cut-short text, and a walk ends.
TEST(TrayHostile, LyingRecordsGiveEmptyOrCutShortTextsAndWalksEnd) {
    struct Case {
        const wchar_t* lie;
        std::wstring text;  // of button 0
        LONG count;         // as the toolbar object reports it first
    };
    const Case cases[] = {
        {L"unmapped-text", L"", 3},
        // The text runs to the end of its page; what was read before the unreadable page is kept.
        {L"unterminated", L"xxxxxxxx", 3},
        {L"refuse-size", L"", 3},
        {L"count-changes", L"One", 3},
        {L"negative-count", L"One", -5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "--lie " << std::string(c.lie, c.lie + wcslen(c.lie)));
        BoundShell bound(std::wstring(L"--button One --button Two --button Three --lie ") + c.lie);
        ASSERT_TRUE(bound.shell.Toolbar());
        EXPECT_EQ(c.count, CountOf(bound.toolbar.get()));
        ComPtr<_clsToolbarButton> button = ByIndex(bound.toolbar.get(), 0);
        EXPECT_EQ(c.text, TextOf(button.get()));
        VisibleOf(button.get());
        EXPECT_EQ(S_OK, button->put_Visible(VARIANT_TRUE));
        EXPECT_EQ(S_OK, button->MoveRight());
        EXPECT_EQ(S_OK, button->MoveLeft());
        // However the count answers, a walk ends, within the largest count the shell gave.
        const std::vector<std::wstring> texts = Walk(bound.toolbar.get(), 10);
        EXPECT_LE(texts.size(), 3u);
        // A count that says none: no button past the first, none before it.
        if (c.count < 0) {
            EXPECT_FALSE(Next(button.get()));
            EXPECT_FALSE(Previous(button.get()));
        }
    }
}

// The shell's process ends, without answering, on its third record request: the walk ends with
// the texts read before, and every member goes on answering with nothing.
TEST(TrayHostile, AShellThatExitsDuringAButtonWalkEndsTheWalk) {
    BoundShell bound(L"--button One --button Two --button Three --button Four --exit-after 3");
    ASSERT_TRUE(bound.shell.Toolbar());
    const std::vector<std::wstring> texts = Walk(bound.toolbar.get(), 10);
    ASSERT_GE(texts.size(), 2u);
    EXPECT_EQ(L"One", texts[0]);
    EXPECT_EQ(L"Two", texts[1]);
    for (size_t i = 2; i < texts.size(); ++i) EXPECT_EQ(L"", texts[i]) << i;
    EXPECT_EQ(0, CountOf(bound.toolbar.get()));
    ComPtr<_clsToolbarButton> button = ByIndex(bound.toolbar.get(), 1);
    EXPECT_EQ(L"", TextOf(button.get()));
    EXPECT_FALSE(Next(button.get()));
}

// Ends the shell's process just before one of the component's reads of its memory, the reads
// before it going through untouched. The end comes between two reads and not at a moment of
// another thread's choosing: under Wine a process that is ended while it carries out an allocation
// or a release on another process's behalf (Wine runs them as calls inside the target) leaves that
// caller waiting for ever, which Windows, doing both in its kernel, never does.
struct ShellEndedBeforeARead : platform::Win32WindowSystem {
    ShellEndedBeforeARead(HANDLE shell, int readsBefore) : shell(shell), readsLeft(readsBefore) {}
    BOOL ReadProcessMemory(HANDLE process, platform::ForeignAddress address, void* buffer, SIZE_T size,
                           SIZE_T* read) override {
        if (readsLeft-- == 0) {
            EXPECT_TRUE(TerminateProcess(shell, 0));
            // Windows ends a process asynchronously: the read must meet it gone.
            EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(shell, 10000));
        }
        return Win32WindowSystem::ReadProcessMemory(process, address, buffer, size, read);
    }
    HANDLE shell;
    int readsLeft;
};

// The shell's process is ended while a long text is being read: the text read before comes back,
// never more than the shell's text, and afterwards none.
TEST(TrayHostile, AShellEndedDuringATextReadGivesWhatWasRead) {
    struct Case {
        int readsBefore;  // the button's record is the first read, then the text page by page
        bool someText;
    };
    const std::wstring whole = Alphabet(30000);
    for (const Case& c : {Case{0, false}, Case{1, false}, Case{3, true}}) {
        SCOPED_TRACE(testing::Message() << "ended after " << c.readsBefore << " reads");
        BoundShell bound(L"--long 30000");
        ASSERT_TRUE(bound.shell.Toolbar());
        ComPtr<_clsToolbarButton> button = ByIndex(bound.toolbar.get(), 0);
        ASSERT_EQ(whole, TextOf(button.get()));
        std::wstring text;
        {
            ShellEndedBeforeARead ending(bound.shell.Process(), c.readsBefore);
            platform::ScopedWindowSystem scoped(ending);
            text = TextOf(button.get());
            EXPECT_LT(ending.readsLeft, 0) << "the shell was not ended";
        }
        EXPECT_EQ(c.someText, !text.empty());
        EXPECT_LT(text.size(), whole.size());
        EXPECT_EQ(whole.substr(0, text.size()), text);
        EXPECT_EQ(L"", TextOf(button.get())) << "after the end";
    }
}

}  // namespace
}  // namespace wrang::test
