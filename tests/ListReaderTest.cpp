// The list and tree readers against real controls of another process (wrang_target --lists; where
// WRANG_TARGET names the other build's target, one of the other bitness), family by family.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "frame/Classes.h"
#include "frame/Errors.h"
#include "platform/WindowSystem.h"
#include "support/Automation.h"
#include "support/Lists.h"
#include "support/ProcessResources.h"

namespace wrang::test {
namespace {

namespace target = lists_target;

// One lists target for every test of a suite that only reads it.
class ListsTargetSuite : public testing::Test {
protected:
    static void SetUpTestSuite() { s_target = StartListsTarget(); }
    static void TearDownTestSuite() { s_target.reset(); }
    void SetUp() override { ASSERT_TRUE(s_target && s_target->Window()) << "the lists target did not start"; }
    static LONG Control(int id) { return AsLong(GetDlgItem(s_target->Window(), id)); }
    static inline std::unique_ptr<TargetProcess> s_target;
};

class ListReader : public ListsTargetSuite {};

// The x86 build reading the tree of a 64-bit target (the mixed runs) follows item handles through
// 32-bit message answers: where the target's items lie beyond a 32-bit program's reach (on Windows
// they do, its 64-bit heaps lie above 4 GiB; under Wine's WoW64 they mostly lie low) every read ends
// with error 17, whose text names the way out, and never gives a wrong text. There the tests of the
// texts have nothing to read, and say so.
class TreeReader : public ListsTargetSuite {
protected:
    void SetUp() override {
        ListsTargetSuite::SetUp();
        BOOL targetIs32Bit = TRUE, thisIsWow64 = FALSE;
        if (sizeof(void*) == 8 || !IsWow64Process(GetCurrentProcess(), &thisIsWow64) || !thisIsWow64 ||
            !IsWow64Process(s_target->Process(), &targetIs32Bit) || targetIs32Bit) {
            return;
        }
        ComPtr<_clsTreeReader> reader = TreeReaderOf(Control(target::kTree));
        ASSERT_TRUE(reader);
        CallResult roots;
        Call(reader.get(), L"GetChildren", {Arg::String(L"")}, &roots);
        if (roots.scode != kVbCannotPerform) return;
        EXPECT_NE(std::wstring::npos, roots.description.find(L"x64")) << "the error names the x64 build";
        GTEST_SKIP() << "the 64-bit target's tree items lie beyond this 32-bit program's reach (error 17)";
    }
};

LONG Found(_clsListReader* reader, const std::wstring& text, LONG column, LONG start) {
    UniqueBstr wanted(SysAllocStringLen(text.data(), static_cast<UINT>(text.size())));
    LONG found = -2;
    EXPECT_EQ(S_OK, reader->FindText(wanted.get(), column, start, &found)) << "from " << start;
    return found;
}

bool Selected(_clsListReader* reader, LONG index) {
    VARIANT_BOOL selected = 7;
    EXPECT_EQ(S_OK, reader->IsSelected(index, &selected)) << "item " << index;
    EXPECT_TRUE(selected == VARIANT_TRUE || selected == VARIANT_FALSE) << selected;
    return selected == VARIANT_TRUE;
}

// A control's texts by column, then by item, and its selected items in order.
struct Family {
    std::string name;
    int id;
    ListKinds kind;
    std::vector<Texts> columns;
    std::vector<int> selected;
};

std::vector<Texts> ByColumn(const std::vector<Texts>& rows, size_t columns) {
    std::vector<Texts> byColumn(columns);
    for (const Texts& row : rows)
        for (size_t c = 0; c < columns; ++c) byColumn[c].push_back(row[c]);
    return byColumn;
}

std::vector<Family> Families() {
    std::vector<Family> families;
    // Not the list of a class that tells no kind: see BindsWhereTheKindIsKnown.
    for (const target::ListContents& list : target::UnicodeLists()) {
        const ListKinds kind = list.id == target::kCombo ? LIST_COMBOBOX : LIST_LISTBOX;
        if (list.id != target::kCustomList) families.push_back({list.name, list.id, kind, {list.items}, list.selected});
    }
    // An ANSI list's texts, held in the code page, read as the code page's characters.
    for (const target::AnsiListContents& list : target::AnsiLists()) {
        Texts items;
        for (const std::string& bytes : list.items) {
            const int size = static_cast<int>(bytes.size());
            items.emplace_back(bytes.size(), L'\0');
            items.back().resize(
                static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, items.back().data(), size)));
        }
        const ListKinds kind = list.id == target::kAnsiCombo ? LIST_COMBOBOX : LIST_LISTBOX;
        families.push_back({list.name, list.id, kind, {items}, list.selected});
    }
    const std::vector<Texts> report = ByColumn(target::ReportRows(), 3),
                             handedOut = ByColumn(target::CallbackRows(), 2);
    families.insert(families.end(),
                    {{"report view", target::kReport, LIST_LISTVIEW, report, target::ReportSelected()},
                     {"list view in another view", target::kIcons, LIST_LISTVIEW, {target::IconItems()}, {}},
                     {"list view of texts handed out on request", target::kCallback, LIST_LISTVIEW, handedOut, {}},
                     {"tabs", target::kTabs, LIST_TAB, {target::TabTexts()}, {target::kSelectedTab}},
                     {"header", target::kHeader, LIST_HEADER, {target::HeaderTexts()}, {}},
                     {"status bar", target::kStatus, LIST_STATUSBAR, {target::StatusTexts()}, {}}});
    return families;
}

// Every member on every kind of list: what it holds (texts over 1,000 characters, outside the code
// page and in an ANSI list's code page among them), what is selected, and error 9 just outside
// every range, with nothing handed out.
TEST_F(ListReader, ReadsEveryFamilyWholeAndChecksItsRanges) {
    for (const Family& family : Families()) {
        SCOPED_TRACE(family.name);
        const LONG handle = Control(family.id);
        ComPtr<_clsListReader> bound = ListReaderOf(handle);
        ASSERT_TRUE(bound) << "InitByHandle did not tell the kind";
        _clsListReader* reader = bound.get();
        const LONG count = static_cast<LONG>(family.columns[0].size());
        const LONG columns = static_cast<LONG>(family.columns.size());
        EXPECT_EQ(handle, Read(reader, &_clsListReader::get_hWnd, 0L));
        EXPECT_EQ(family.kind, Read(reader, &_clsListReader::get_Kind, LIST_AUTO));
        EXPECT_EQ(count, Read(reader, &_clsListReader::get_Count, -1L));
        EXPECT_EQ(columns, Read(reader, &_clsListReader::get_ColumnCount, -1L));
        for (LONG c = 0; c < columns; ++c) {
            for (LONG i = 0; i < count; ++i) EXPECT_EQ(family.columns[c][i], TextAt(reader, i, c));
            EXPECT_EQ(family.columns[c], ColumnOf(reader, c));
        }

        const std::vector<int>& selected = family.selected;
        EXPECT_EQ(selected.empty() ? -1 : selected[0], Read(reader, &_clsListReader::get_SelectedIndex, -2L));
        for (LONG i = 0; i < count; ++i)
            EXPECT_EQ(std::count(selected.begin(), selected.end(), i) > 0, Selected(reader, i));

        // The last item is found from its own index, in another case; nothing from the count on.
        if (count > 0) {
            std::wstring last = family.columns[0].back();
            CharUpperBuffW(last.data(), static_cast<DWORD>(last.size()));
            EXPECT_EQ(count - 1, Found(reader, last, 0, count - 1));
            EXPECT_EQ(-1, Found(reader, last, 0, count));
        }
        EXPECT_EQ(-1, Found(reader, L"no such item", 0, 0));
        // An empty text is found where the list holds one, not where a text read before it was left.
        const auto empty = std::find(family.columns[0].begin(), family.columns[0].end(), L"");
        EXPECT_EQ(empty == family.columns[0].end() ? -1 : empty - family.columns[0].begin(), Found(reader, L"", 0, 0));

        const HRESULT outside = kVbSubscriptOutOfRange;
        using Pairs = std::initializer_list<std::pair<LONG, LONG>>;
        for (auto [index, column] : Pairs{{count, 0}, {-1, 0}, {0, columns}, {0, -1}})
            TextAt(reader, index, column, outside);
        UniqueVariant none;
        EXPECT_EQ(outside, reader->GetColumn(columns, none.get()));
        EXPECT_EQ(VT_EMPTY, V_VT(none.get()));
        VARIANT_BOOL flag = VARIANT_TRUE;
        for (LONG index : {count, -1L}) EXPECT_EQ(outside, reader->IsSelected(index, &flag)) << index;
        EXPECT_EQ(VARIANT_FALSE, flag);
        LONG found = 7;
        for (auto [column, start] : Pairs{{0, count + 1}, {0, -1}, {columns, 0}})
            EXPECT_EQ(outside, reader->FindText(nullptr, column, start, &found)) << column << ", from " << start;
        EXPECT_EQ(-1, found);
    }
    // Whatever it was asked (a status-bar text of 70,000 characters among them), the target runs on.
    DWORD_PTR answer = 0;
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(s_target->Process(), 0)) << "the target ended";
    EXPECT_NE(0, SendMessageTimeoutW(s_target->Window(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 30000, &answer))
        << "the target does not answer";
}

// A list box its owner draws without strings holds numbers: every read of its texts is error 5,
// which says so, while its count and selection answer as for any list.
TEST_F(ListReader, AListThatKeepsNoTextsRefusesToReadThem) {
    ComPtr<_clsListReader> reader = ListReaderOf(Control(target::kNoTextsList));
    ASSERT_TRUE(reader);
    EXPECT_EQ(static_cast<LONG>(target::NoTextsItems().size()), Read(reader.get(), &_clsListReader::get_Count, -1L));
    EXPECT_EQ(target::kNoTextsSelected, Read(reader.get(), &_clsListReader::get_SelectedIndex, -2L));
    const struct {
        const wchar_t* member;
        std::initializer_list<Arg> args;
    } reads[] = {{L"GetText", {Arg::Long(0)}}, {L"GetColumn", {}}, {L"FindText", {Arg::String(L"11")}}};
    for (const auto& read : reads) {
        CallResult result;
        Call(reader.get(), read.member, read.args, &result);
        EXPECT_EQ(kVbInvalidCall, result.scode) << testing::PrintToString(read.member);
        EXPECT_NE(std::wstring::npos, result.description.find(L"keeps no texts")) << result.description;
        EXPECT_EQ(VT_EMPTY, V_VT(result.value.get()));
    }
}

TEST_F(ListReader, FindTextComparesWithoutRegardToCaseFromTheStartIndex) {
    ComPtr<_clsListReader> reader = ListReaderOf(Control(target::kReport));
    ASSERT_TRUE(reader);
    // Rows 0 and 3 differ only in case.
    EXPECT_EQ(0, Found(reader.get(), L"Readme.Txt", 0, 0));
    EXPECT_EQ(3, Found(reader.get(), L"Readme.Txt", 0, 1));
    EXPECT_EQ(1, Found(reader.get(), target::kOutside, 0, 0));
    EXPECT_EQ(2, Found(reader.get(), L"long", 2, 0));
    EXPECT_EQ(1, Found(reader.get(), L"", 1, 0));  // an empty cell
    EXPECT_EQ(-1, Found(reader.get(), L"readme", 0, 0));
}

// LIST_AUTO tells the kind from the class name, also where it contains a control's class name; an
// explicit kind serves a class that tells none; no window, a kind that is none, or a class that
// tells none gives Nothing and an unbound reader.
TEST_F(ListReader, BindsWhereTheKindIsKnown) {
    const LONG custom = Control(target::kCustomList), single = Control(target::kSingleList);
    EXPECT_FALSE(ListReaderOf(custom));
    ComPtr<_clsListReader> explicitKind = ListReaderOf(custom, LIST_LISTBOX);
    ASSERT_TRUE(explicitKind);
    EXPECT_EQ(Texts{L"custom one"}, ColumnOf(explicitKind.get(), 0));
    EXPECT_EQ(-1, Read(explicitKind.get(), &_clsListReader::get_SelectedIndex, -2L));

    ComPtr<_clsListReader> reader = Created(CreateListReader);
    const struct {
        const char* name;
        LONG hWnd;
        ListKinds kind;
    } nothing[] = {{"the target's own window", AsLong(s_target->Window()), LIST_AUTO},
                   {"a tree view", Control(target::kTree), LIST_AUTO},
                   {"handle 0", 0, LIST_LISTBOX},
                   {"the broadcast handle", 0xFFFF, LIST_LISTBOX},
                   {"handle -1", -1, LIST_LISTBOX},
                   {"a kind that is none", single, static_cast<ListKinds>(7)},
                   {"a negative kind", single, static_cast<ListKinds>(-1)}};
    for (const auto& c : nothing) {
        SCOPED_TRACE(c.name);
        const auto bind = [&](LONG hWnd, ListKinds kind) {
            return HandedOut<_clsListReader>(reader.get(), &_clsListReader::InitByHandle, hWnd, kind);
        };
        EXPECT_EQ(reader.get(), bind(single, LIST_AUTO).get());
        EXPECT_FALSE(bind(c.hWnd, c.kind));
        EXPECT_EQ(0, Read(reader.get(), &_clsListReader::get_hWnd, -1L));
        EXPECT_EQ(LIST_AUTO, Read(reader.get(), &_clsListReader::get_Kind, LIST_LISTVIEW));
        EXPECT_EQ(0, Read(reader.get(), &_clsListReader::get_Count, -1L));
        EXPECT_EQ(0, Read(reader.get(), &_clsListReader::get_ColumnCount, -1L));
        EXPECT_EQ(-1, Read(reader.get(), &_clsListReader::get_SelectedIndex, -2L));
        TextAt(reader.get(), 0, 0, kVbSubscriptOutOfRange);
    }
    for (LONG hWnd : {single, 0L, 0xFFFFL, -1L}) EXPECT_FALSE(TreeReaderOf(hWnd)) << hWnd;
}

// A script's calls: by name, with optional arguments left out, named or passed as variables, and
// the arrays as the Variant result both ways.
TEST_F(ListReader, ScriptsCallByNameAndGetTheirArrays) {
    ComPtr<IDispatch> reader(Created(CreateListReader).get());
    CallResult bound, column;
    Call(reader.get(), L"InitByHandle", {Arg::Long(Control(target::kReport))}, &bound);  // Kind left out
    ASSERT_EQ(VT_DISPATCH, V_VT(bound.value.get()));
    const std::vector<Texts> columns = ByColumn(target::ReportRows(), 3);
    Call(reader.get(), L"GetColumn", {}, &column);
    EXPECT_EQ(columns[0], StringsOf(column.value.get()));
    VARIANT variable = LongValue(2);
    Call(reader.get(), L"GetColumn", {Arg::Variable(&variable)}, &column);
    EXPECT_EQ(columns[2], StringsOf(column.value.get()));
    EXPECT_EQ(VT_I4, V_VT(&variable));

    // FindText(Text: a String variable by reference, StartIndex:=1 named, Column left out).
    UniqueBstr text(SysAllocString(L"README.txt"));
    BSTR textVariable = text.get();
    VARIANT args[2] = {LongValue(1), Holding(VT_BYREF | VT_BSTR, &textVariable)};  // last first
    DISPID named[] = {2};
    DISPPARAMS params = {args, named, 2, 1};
    UniqueVariant found;
    ASSERT_EQ(S_OK, reader->Invoke(IdOf(reader.get(), L"FindText"), IID_NULL, 0, DISPATCH_METHOD, &params, found.get(),
                                   nullptr, nullptr));
    EXPECT_EQ(VT_I4, V_VT(found.get()));
    EXPECT_EQ(3, V_I4(found.get()));

    // Out of range: error 9 with its text, and no array.
    Call(reader.get(), L"GetColumn", {Arg::Long(3)}, &column);
    EXPECT_EQ(DISP_E_EXCEPTION, column.hr);
    EXPECT_EQ(kVbSubscriptOutOfRange, column.scode);
    EXPECT_EQ(L"Subscript out of range", column.description);
    EXPECT_EQ(VT_EMPTY, V_VT(column.value.get()));

    ComPtr<IDispatch> tree(Created(CreateTreeReader).get());
    Call(tree.get(), L"InitByHandle", {Arg::Long(Control(target::kTree))}, &bound);
    ASSERT_EQ(VT_DISPATCH, V_VT(bound.value.get()));
    Call(tree.get(), L"GetChildren", {}, &column);  // Path left out: the roots
    EXPECT_EQ(L"Fruits", StringsOf(column.value.get()).at(0));
    Call(tree.get(), L"GetChildren", {Arg::String(L"Fruits\\Nowhere")}, &column);
    EXPECT_EQ(kVbInvalidCall, column.scode);
}

// --- The tree ----------------------------------------------------------------------------------

// The texts of the children of node `n` of the target's tree (depth first); of the roots for
// n = nodes.size().
Texts ChildrenOfNode(const std::vector<target::TreeNode>& nodes, size_t n) {
    const int depth = n < nodes.size() ? nodes[n].depth + 1 : 0;
    Texts children;
    for (size_t k = n < nodes.size() ? n + 1 : 0; k < nodes.size() && nodes[k].depth >= depth; ++k)
        if (nodes[k].depth == depth) children.push_back(nodes[k].text);
    return children;
}

// Exists or IsExpanded of a path, expected to answer `expected`.
VARIANT_BOOL Flag(_clsTreeReader* reader, decltype(&_clsTreeReader::Exists) member, const wchar_t* path,
                  HRESULT expected = S_OK) {
    UniqueBstr given(path ? SysAllocString(path) : nullptr);
    VARIANT_BOOL flag = 7;
    EXPECT_EQ(expected, (reader->*member)(given.get(), &flag)) << testing::PrintToString(path);
    return flag;
}

// Every item by the path SelectedPath gives it and by other spellings (another case, positions):
// its children, Exists, IsExpanded; and error 5 for a path that names no item.
TEST_F(TreeReader, ReadsEveryItemByItsPathAndTellsMissingPaths) {
    ComPtr<_clsTreeReader> bound = TreeReaderOf(Control(target::kTree));
    ASSERT_TRUE(bound);
    _clsTreeReader* reader = bound.get();
    const std::vector<target::TreeNode> nodes = target::TreeNodes();
    EXPECT_EQ(Control(target::kTree), Read(reader, &_clsTreeReader::get_hWnd, 0L));
    EXPECT_EQ(static_cast<LONG>(nodes.size()), Read(reader, &_clsTreeReader::get_Count, -1L));
    EXPECT_EQ(nodes[target::kSelectedNode].path, ReadText(reader, &_clsTreeReader::get_SelectedPath));
    EXPECT_EQ(ChildrenOfNode(nodes, nodes.size()), ChildrenOf(reader, L""));

    std::vector<std::pair<std::wstring, size_t>> spellings = {
        {L"fruits\\APPLE", 1}, {L"#0\\#3", 6}, {L"#1", 8}};  // #1: a position, not the root whose text it is
    for (size_t n = 0; n < nodes.size(); ++n) spellings.push_back({nodes[n].path, n});
    for (const auto& [path, n] : spellings) {
        SCOPED_TRACE(testing::PrintToString(path));
        EXPECT_EQ(ChildrenOfNode(nodes, n), ChildrenOf(reader, path.c_str()));
        EXPECT_EQ(VARIANT_TRUE, Flag(reader, &_clsTreeReader::Exists, path.c_str()));
        EXPECT_EQ(nodes[n].expanded ? VARIANT_TRUE : VARIANT_FALSE,
                  Flag(reader, &_clsTreeReader::IsExpanded, path.c_str()));
    }
    for (const wchar_t* missing : {L"Nothing", L"Fruits\\Nothing", L"#5", L"#99", L"Fruits\\Apple\\Red\\Deeper",
                                   L"Back\\Slash", L"Fruits\\", L"\\Fruits", L"#-1"}) {
        ChildrenOf(reader, missing, kVbInvalidCall);
        EXPECT_EQ(VARIANT_FALSE, Flag(reader, &_clsTreeReader::Exists, missing));
        Flag(reader, &_clsTreeReader::IsExpanded, missing, kVbInvalidCall);
    }
    // "" is the roots' level: it exists, and it is no item that could be expanded.
    EXPECT_EQ(VARIANT_TRUE, Flag(reader, &_clsTreeReader::Exists, nullptr));
    Flag(reader, &_clsTreeReader::IsExpanded, nullptr, kVbInvalidCall);

    // Each item selected in turn (which expands its parents: so after the checks above), in the
    // order the test walks the target's items itself.
    const HWND tree = GetDlgItem(s_target->Window(), target::kTree);
    const auto next = [tree](UINT relation, LRESULT item) {
        return SendMessageW(tree, TVM_GETNEXTITEM, relation, item);
    };
    std::vector<LRESULT> items;
    const std::function<void(LRESULT)> walk = [&](LRESULT item) {
        for (; item; item = next(TVGN_NEXT, item)) {
            items.push_back(item);
            walk(next(TVGN_CHILD, item));
        }
    };
    walk(next(TVGN_ROOT, 0));
    ASSERT_EQ(nodes.size(), items.size());
    for (size_t n = 0; n < nodes.size(); ++n) {
        SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, items[n]);
        EXPECT_EQ(nodes[n].path, ReadText(reader, &_clsTreeReader::get_SelectedPath)) << n;
    }
    SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, 0);
    EXPECT_EQ(L"", ReadText(reader, &_clsTreeReader::get_SelectedPath));
    SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, items[target::kSelectedNode]);  // as the target started
}

TEST_F(TreeReader, AnEmptyTreeAndAnUnboundReaderHaveNoItems) {
    ComPtr<_clsTreeReader> empty = TreeReaderOf(Control(target::kEmptyTree));
    ASSERT_TRUE(empty);
    ComPtr<_clsTreeReader> unbound = Created(CreateTreeReader);
    for (_clsTreeReader* reader : {empty.get(), unbound.get()}) {
        EXPECT_EQ(0, Read(reader, &_clsTreeReader::get_Count, -1L));
        EXPECT_EQ(L"", ReadText(reader, &_clsTreeReader::get_SelectedPath));
        EXPECT_EQ(Texts{}, ChildrenOf(reader, L""));
        ChildrenOf(reader, L"Fruits", kVbInvalidCall);
    }
}

// --- Nothing left behind -----------------------------------------------------------------------

// Counts the reads of another process's memory, around the real calls.
struct CountingReads : platform::Win32WindowSystem {
    long reads = 0;
    BOOL ReadProcessMemory(HANDLE process, platform::ForeignAddress address, void* buffer, SIZE_T size,
                           SIZE_T* read) override {
        ++reads;
        return Win32WindowSystem::ReadProcessMemory(process, address, buffer, size, read);
    }
};

// 10,000 reads of the target's memory by members of every kind, each member call with its own
// region, leave no region in the target's process and no handle in this one.
TEST_F(ListReader, TenThousandReadsLeaveNothingBehind) {
    HANDLE query = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, s_target->ProcessId());
    ASSERT_TRUE(query);
    std::vector<ComPtr<_clsListReader>> lists;
    for (int id : {target::kReport, target::kTabs, target::kHeader, target::kStatus})
        lists.push_back(ListReaderOf(Control(id)));
    ComPtr<_clsTreeReader> tree = TreeReaderOf(Control(target::kTree));
    ASSERT_TRUE(tree);
    EXPECT_EQ(target::HeaderTexts()[1], TextAt(lists[2].get(), 1));  // whatever is set up once is in place
    const long long regionsBefore = PrivateMemoryOf(query).regions;
    const DWORD handlesBefore = HandleCount(GetCurrentProcess());
    const HANDLE slotBefore = NextHandleSlot();
    ASSERT_GT(regionsBefore, 0);

    CountingReads counting;
    {
        platform::ScopedWindowSystem counted(counting);
        const Texts sizes = ByColumn(target::ReportRows(), 3)[1];
        for (int call = 0; counting.reads < 10000; ++call) {
            for (const auto& list : lists) ASSERT_FALSE(TextAt(list.get(), 0).empty()) << call;
            ASSERT_EQ(sizes, ColumnOf(lists[0].get(), 1)) << call;
            ASSERT_EQ((Texts{L"Red", L"Green"}), ChildrenOf(tree.get(), L"Fruits\\Apple")) << call;
        }
    }
    EXPECT_EQ(regionsBefore, PrivateMemoryOf(query).regions);
    EXPECT_EQ(handlesBefore, HandleCount(GetCurrentProcess()));
    EXPECT_EQ(slotBefore, NextHandleSlot());
    CloseHandle(query);
}

}  // namespace
}  // namespace wrang::test
