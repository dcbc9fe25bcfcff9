// The list and tree readers against real controls of another process (wrang_target --lists; where
// WRANG_TARGET names the other build's target, one of the other bitness), family by family.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
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
    static std::unique_ptr<TargetProcess> s_target;
};
std::unique_ptr<TargetProcess> ListsTargetSuite::s_target;

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

std::wstring Upper(std::wstring text) {
    CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

// A control's texts by column, then by item, and its selected items in order.
struct Family {
    const char* name;
    int id;
    ListKinds kind;
    std::vector<std::vector<std::wstring>> columns;
    std::vector<int> selected;
};

std::vector<std::vector<std::wstring>> ByColumn(const std::vector<std::vector<std::wstring>>& rows, size_t columns) {
    std::vector<std::vector<std::wstring>> byColumn(columns);
    for (const auto& row : rows)
        for (size_t c = 0; c < columns; ++c) byColumn[c].push_back(row[c]);
    return byColumn;
}

std::vector<Family> Families() {
    const std::map<int, const char*> listNames = {{target::kSingleList, "list box"},
                                                  {target::kMultiList, "list box of several selections"},
                                                  {target::kEmptyList, "empty list box"},
                                                  {target::kCombo, "combo box"},
                                                  {target::kFrameworkList, "list box of a framework's class"}};
    std::vector<Family> families;
    for (const target::ListContents& list : target::UnicodeLists()) {
        if (!listNames.count(list.id)) continue;  // a class that tells no kind: see BindsWhereTheKindIsKnown
        families.push_back({listNames.at(list.id),
                            list.id,
                            list.id == target::kCombo ? LIST_COMBOBOX : LIST_LISTBOX,
                            {list.items},
                            list.selected});
    }
    families.push_back(
        {"report view", target::kReport, LIST_LISTVIEW, ByColumn(target::ReportRows(), 3), target::ReportSelected()});
    families.push_back({"list view in another view", target::kIcons, LIST_LISTVIEW, {target::IconItems()}, {}});
    families.push_back({"list view whose texts its application hands out",
                        target::kCallback,
                        LIST_LISTVIEW,
                        ByColumn(target::CallbackRows(), 2),
                        {}});
    families.push_back({"tabs", target::kTabs, LIST_TAB, {target::TabTexts()}, {target::kSelectedTab}});
    families.push_back({"header", target::kHeader, LIST_HEADER, {target::HeaderTexts()}, {}});
    families.push_back({"status bar", target::kStatus, LIST_STATUSBAR, {target::StatusTexts()}, {}});
    return families;
}

// Every member on every kind of list: what it holds (texts over 1,000 characters and outside the
// code page among them), what is selected, and error 9 just outside every range.
TEST_F(ListReader, ReadsEveryFamilyWholeAndChecksItsRanges) {
    for (const Family& family : Families()) {
        SCOPED_TRACE(family.name);
        const LONG handle = Control(family.id);
        ComPtr<_clsListReader> reader = ListReaderOf(handle);
        ASSERT_TRUE(reader) << "InitByHandle did not tell the kind";
        EXPECT_EQ(handle, Read(reader.get(), &_clsListReader::get_hWnd, 0L));
        EXPECT_EQ(family.kind, Read(reader.get(), &_clsListReader::get_Kind, LIST_AUTO));
        const LONG count = static_cast<LONG>(family.columns[0].size());
        const LONG columns = static_cast<LONG>(family.columns.size());
        EXPECT_EQ(count, Read(reader.get(), &_clsListReader::get_Count, -1L));
        EXPECT_EQ(columns, Read(reader.get(), &_clsListReader::get_ColumnCount, -1L));

        for (LONG c = 0; c < columns; ++c) {
            for (LONG i = 0; i < count; ++i) EXPECT_EQ(family.columns[c][i], TextAt(reader.get(), i, c));
            EXPECT_EQ(family.columns[c], ColumnOf(reader.get(), c));
        }

        EXPECT_EQ(family.selected.empty() ? -1 : family.selected[0],
                  Read(reader.get(), &_clsListReader::get_SelectedIndex, -2L));
        for (LONG i = 0; i < count; ++i) {
            EXPECT_EQ(std::count(family.selected.begin(), family.selected.end(), i) > 0, Selected(reader.get(), i));
        }

        // The last item is found from its own index, in another case; nothing from the count on.
        if (count > 0) {
            const std::wstring last = Upper(family.columns[0].back());
            EXPECT_EQ(count - 1, Found(reader.get(), last, 0, count - 1));
            EXPECT_EQ(-1, Found(reader.get(), last, 0, count));
        }
        EXPECT_EQ(-1, Found(reader.get(), L"no such item", 0, 0));

        const HRESULT outside = kVbSubscriptOutOfRange;
        TextAt(reader.get(), count, 0, outside);
        TextAt(reader.get(), -1, 0, outside);
        TextAt(reader.get(), 0, columns, outside);
        TextAt(reader.get(), 0, -1, outside);
        UniqueVariant none;
        EXPECT_EQ(outside, reader->GetColumn(columns, none.get()));
        EXPECT_EQ(VT_EMPTY, V_VT(none.get()));
        VARIANT_BOOL selected = VARIANT_TRUE;
        EXPECT_EQ(outside, reader->IsSelected(count, &selected));
        EXPECT_EQ(outside, reader->IsSelected(-1, &selected));
        EXPECT_EQ(VARIANT_FALSE, selected);
        LONG found = 7;
        EXPECT_EQ(outside, reader->FindText(nullptr, 0, count + 1, &found));
        EXPECT_EQ(outside, reader->FindText(nullptr, 0, -1, &found));
        EXPECT_EQ(outside, reader->FindText(nullptr, columns, 0, &found));
        EXPECT_EQ(-1, found);
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

// An ANSI list's texts, held in the code page, read as the code page's characters.
TEST_F(ListReader, AnAnsiListIsReadInTheCodePage) {
    for (const target::AnsiListContents& list : target::AnsiLists()) {
        const bool combo = list.id == target::kAnsiCombo;
        SCOPED_TRACE(combo ? "combo box" : "list box");
        ComPtr<_clsListReader> reader = ListReaderOf(Control(list.id));
        ASSERT_TRUE(reader);
        EXPECT_EQ(combo ? LIST_COMBOBOX : LIST_LISTBOX, Read(reader.get(), &_clsListReader::get_Kind, LIST_AUTO));
        EXPECT_EQ(list.selected, Read(reader.get(), &_clsListReader::get_SelectedIndex, -2L));
        std::vector<std::wstring> expected;
        for (const std::string& bytes : list.items) {
            std::wstring text(bytes.size(), L'\0');
            text.resize(static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()),
                                                                text.data(), static_cast<int>(text.size()))));
            expected.push_back(text);
        }
        EXPECT_EQ(expected, ColumnOf(reader.get(), 0));
        EXPECT_EQ(expected.back(), TextAt(reader.get(), static_cast<LONG>(expected.size()) - 1));
    }
}

// LIST_AUTO tells the kind from the class name, also where it contains a control's class name; an
// explicit kind serves a class that tells none; no window, a kind that is none, or a class that
// tells none gives Nothing and an unbound reader.
TEST_F(ListReader, BindsWhereTheKindIsKnown) {
    const LONG custom = Control(target::kCustomList);
    EXPECT_FALSE(ListReaderOf(custom));
    ComPtr<_clsListReader> explicitKind = ListReaderOf(custom, LIST_LISTBOX);
    ASSERT_TRUE(explicitKind);
    EXPECT_EQ(std::vector<std::wstring>{L"custom one"}, ColumnOf(explicitKind.get(), 0));
    EXPECT_EQ(-1, Read(explicitKind.get(), &_clsListReader::get_SelectedIndex, -2L));

    ComPtr<_clsListReader> reader = Created(CreateListReader);
    struct Case {
        const char* name;
        LONG hWnd;
        ListKinds kind;
    } nothing[] = {{"the target's own window", AsLong(s_target->Window()), LIST_AUTO},
                   {"a tree view", Control(target::kTree), LIST_AUTO},
                   {"handle 0", 0, LIST_LISTBOX},
                   {"the broadcast handle", 0xFFFF, LIST_LISTBOX},
                   {"handle -1", -1, LIST_LISTBOX},
                   {"a kind that is none", Control(target::kSingleList), static_cast<ListKinds>(7)},
                   {"a negative kind", Control(target::kSingleList), static_cast<ListKinds>(-1)}};
    for (const Case& c : nothing) {
        SCOPED_TRACE(c.name);
        ComPtr<_clsListReader> returned = HandedOut<_clsListReader>(reader.get(), &_clsListReader::InitByHandle,
                                                                    Control(target::kSingleList), LIST_AUTO);
        EXPECT_EQ(reader.get(), returned.get());
        returned = HandedOut<_clsListReader>(reader.get(), &_clsListReader::InitByHandle, c.hWnd, c.kind);
        EXPECT_FALSE(returned);
        EXPECT_EQ(0, Read(reader.get(), &_clsListReader::get_hWnd, -1L));
        EXPECT_EQ(LIST_AUTO, Read(reader.get(), &_clsListReader::get_Kind, LIST_LISTVIEW));
        EXPECT_EQ(0, Read(reader.get(), &_clsListReader::get_Count, -1L));
        EXPECT_EQ(0, Read(reader.get(), &_clsListReader::get_ColumnCount, -1L));
        EXPECT_EQ(-1, Read(reader.get(), &_clsListReader::get_SelectedIndex, -2L));
        TextAt(reader.get(), 0, 0, kVbSubscriptOutOfRange);
    }
    EXPECT_FALSE(TreeReaderOf(Control(target::kSingleList)));
    for (LONG hWnd : {0L, 0xFFFFL, -1L}) EXPECT_FALSE(TreeReaderOf(hWnd)) << hWnd;
}

// A script's calls: by name, with optional arguments left out, named or passed as variables, and
// the arrays as the Variant result both ways.
TEST_F(ListReader, ScriptsCallByNameAndGetTheirArrays) {
    ComPtr<IDispatch> reader(Created(CreateListReader).get());
    CallResult bound;
    Call(reader.get(), L"InitByHandle", {Arg::Long(Control(target::kReport))}, &bound);  // Kind left out
    ASSERT_EQ(S_OK, bound.hr);
    ASSERT_EQ(VT_DISPATCH, V_VT(bound.value.get()));

    const std::vector<std::vector<std::wstring>> columns = ByColumn(target::ReportRows(), 3);
    CallResult column;
    Call(reader.get(), L"GetColumn", {}, &column);
    ASSERT_EQ(S_OK, column.hr);
    EXPECT_EQ(columns[0], StringsOf(column.value.get()));
    VARIANT variable = LongValue(2);
    Call(reader.get(), L"GetColumn", {Arg::Variable(&variable)}, &column);
    ASSERT_EQ(S_OK, column.hr);
    EXPECT_EQ(columns[2], StringsOf(column.value.get()));
    EXPECT_EQ(VT_I4, V_VT(&variable));

    // FindText(Text: a String variable by reference, StartIndex:=1 named, Column left out).
    UniqueBstr text(SysAllocString(L"README.txt"));
    BSTR textVariable = text.get();
    VARIANT args[2] = {LongValue(1), Holding(VT_BYREF | VT_BSTR, &textVariable)};  // last first
    DISPID named[] = {2};
    DISPPARAMS params = {args, named, 2, 1};
    UniqueVariant found;
    EXCEPINFO exception = {};
    ASSERT_EQ(S_OK, reader->Invoke(IdOf(reader.get(), L"FindText"), IID_NULL, 0, DISPATCH_METHOD, &params, found.get(),
                                   &exception, nullptr));
    EXPECT_EQ(VT_I4, V_VT(found.get()));
    EXPECT_EQ(3, V_I4(found.get()));

    // Out of range: error 9 with its text, and no array.
    CallResult outside;
    Call(reader.get(), L"GetColumn", {Arg::Long(3)}, &outside);
    EXPECT_EQ(DISP_E_EXCEPTION, outside.hr);
    EXPECT_EQ(kVbSubscriptOutOfRange, outside.scode);
    EXPECT_EQ(L"Subscript out of range", outside.description);
    EXPECT_EQ(VT_EMPTY, V_VT(outside.value.get()));

    ComPtr<IDispatch> tree(Created(CreateTreeReader).get());
    Call(tree.get(), L"InitByHandle", {Arg::Long(Control(target::kTree))}, &bound);
    ASSERT_EQ(VT_DISPATCH, V_VT(bound.value.get()));
    CallResult children;
    Call(tree.get(), L"GetChildren", {}, &children);  // Path left out: the roots
    ASSERT_EQ(S_OK, children.hr);
    EXPECT_EQ(L"Fruits", StringsOf(children.value.get()).at(0));
    Call(tree.get(), L"GetChildren", {Arg::String(L"Fruits\\Nowhere")}, &children);
    EXPECT_EQ(kVbInvalidCall, children.scode);
}

// --- The tree ----------------------------------------------------------------------------------

// The texts of the children of node `n` of the target's tree (depth first).
std::vector<std::wstring> ChildrenOfNode(const std::vector<target::TreeNode>& nodes, size_t n) {
    std::vector<std::wstring> children;
    for (size_t k = n + 1; k < nodes.size() && nodes[k].depth > nodes[n].depth; ++k) {
        if (nodes[k].depth == nodes[n].depth + 1) children.push_back(nodes[k].text);
    }
    return children;
}

TEST_F(TreeReader, ReadsBranchesByTextOrPositionAndTellsMissingPaths) {
    ComPtr<_clsTreeReader> reader = TreeReaderOf(Control(target::kTree));
    ASSERT_TRUE(reader);
    EXPECT_EQ(Control(target::kTree), Read(reader.get(), &_clsTreeReader::get_hWnd, 0L));
    EXPECT_EQ(static_cast<LONG>(target::TreeNodes().size()), Read(reader.get(), &_clsTreeReader::get_Count, -1L));
    EXPECT_EQ(target::kSelectedPath, ReadText(reader.get(), &_clsTreeReader::get_SelectedPath));

    const std::wstring longRoot = target::LongText(1500, L'N');
    const struct {
        std::wstring path;
        std::vector<std::wstring> children;
        bool expanded;
    } found[] = {
        {L"Fruits", {L"Apple", L"Banana", L"Twin", L"Twin"}, true},
        {L"fruits\\APPLE", {L"Red", L"Green"}, true},  // without regard to case
        {L"Fruits\\Apple\\Red", {}, false},
        {L"Fruits\\Twin", {}, false},  // the first of two
        {L"#0\\#3", {L"Inner"}, false},
        {L"#1", {L"Carrot"}, false},  // a position, not the root whose text is "#1"
        {L"#3", {}, false},           // that root
        {L"#2", {L"Under"}, false},   // the root whose text holds "\"
        {longRoot, {target::kOutside}, false},
        {longRoot + L"\\" + target::kOutside, {}, false},
    };
    EXPECT_EQ((std::vector<std::wstring>{L"Fruits", L"Vegetables", L"Back\\Slash", L"#1", longRoot}),
              ChildrenOf(reader.get(), L""));
    for (const auto& f : found) {
        SCOPED_TRACE(testing::PrintToString(f.path));
        UniqueBstr path(SysAllocStringLen(f.path.data(), static_cast<UINT>(f.path.size())));
        EXPECT_EQ(f.children, ChildrenOf(reader.get(), f.path.c_str()));
        VARIANT_BOOL flag = VARIANT_FALSE;
        EXPECT_EQ(S_OK, reader->Exists(path.get(), &flag));
        EXPECT_EQ(VARIANT_TRUE, flag);
        EXPECT_EQ(S_OK, reader->IsExpanded(path.get(), &flag));
        EXPECT_EQ(f.expanded ? VARIANT_TRUE : VARIANT_FALSE, flag);
    }

    for (const wchar_t* missing : {L"Nothing", L"Fruits\\Nothing", L"#5", L"#99", L"Fruits\\Apple\\Red\\Deeper",
                                   L"Back\\Slash", L"Fruits\\", L"\\Fruits", L"#-1"}) {
        SCOPED_TRACE(testing::PrintToString(missing));
        UniqueBstr path(SysAllocString(missing));
        ChildrenOf(reader.get(), missing, kVbInvalidCall);
        VARIANT_BOOL flag = VARIANT_TRUE;
        EXPECT_EQ(S_OK, reader->Exists(path.get(), &flag));
        EXPECT_EQ(VARIANT_FALSE, flag);
        EXPECT_EQ(kVbInvalidCall, reader->IsExpanded(path.get(), &flag));
    }
    // "" is the roots' level: it exists, and it is no item that could be expanded.
    VARIANT_BOOL flag = VARIANT_FALSE;
    EXPECT_EQ(S_OK, reader->Exists(nullptr, &flag));
    EXPECT_EQ(VARIANT_TRUE, flag);
    EXPECT_EQ(kVbInvalidCall, reader->IsExpanded(nullptr, &flag));
}

// Every item selected in turn: its SelectedPath names it again, with its own children.
TEST_F(TreeReader, TheSelectedPathOfEveryItemFindsThatItem) {
    ComPtr<_clsTreeReader> reader = TreeReaderOf(Control(target::kTree));
    ASSERT_TRUE(reader);
    const HWND tree = GetDlgItem(s_target->Window(), target::kTree);
    const auto next = [tree](UINT relation, LRESULT item) {
        return SendMessageW(tree, TVM_GETNEXTITEM, relation, item);
    };
    const std::vector<target::TreeNode> nodes = target::TreeNodes();
    // The target's items depth first, as the test walks them itself.
    std::vector<LRESULT> items;
    for (LRESULT item = next(TVGN_ROOT, 0); item;) {
        items.push_back(item);
        LRESULT following = next(TVGN_CHILD, item);
        while (!following && item) {
            following = next(TVGN_NEXT, item);
            if (!following) item = next(TVGN_PARENT, item);
        }
        item = following;
    }
    ASSERT_EQ(nodes.size(), items.size());
    const std::wstring expectedPaths[] = {L"Fruits",
                                          L"Fruits\\Apple",
                                          L"Fruits\\Apple\\Red",
                                          L"Fruits\\Apple\\Green",
                                          L"Fruits\\Banana",
                                          L"Fruits\\Twin",
                                          L"Fruits\\#3",
                                          L"Fruits\\#3\\Inner",
                                          L"Vegetables",
                                          L"Vegetables\\Carrot",
                                          L"#2",
                                          L"#2\\Under",
                                          L"#3",
                                          target::LongText(1500, L'N'),
                                          target::LongText(1500, L'N') + L"\\" + target::kOutside};
    for (size_t n = 0; n < nodes.size(); ++n) {
        SCOPED_TRACE(n);
        SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, items[n]);
        const std::wstring path = ReadText(reader.get(), &_clsTreeReader::get_SelectedPath);
        EXPECT_EQ(expectedPaths[n], path);
        EXPECT_EQ(ChildrenOfNode(nodes, n), ChildrenOf(reader.get(), path.c_str()));
    }
    SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, 0);
    EXPECT_EQ(L"", ReadText(reader.get(), &_clsTreeReader::get_SelectedPath));
    SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, items[3]);  // Green again, for the other tests
}

TEST_F(TreeReader, AnEmptyTreeAndAnUnboundReaderHaveNoItems) {
    ComPtr<_clsTreeReader> empty = TreeReaderOf(Control(target::kEmptyTree));
    ASSERT_TRUE(empty);
    ComPtr<_clsTreeReader> unbound = Created(CreateTreeReader);
    for (_clsTreeReader* reader : {empty.get(), unbound.get()}) {
        EXPECT_EQ(0, Read(reader, &_clsTreeReader::get_Count, -1L));
        EXPECT_EQ(L"", ReadText(reader, &_clsTreeReader::get_SelectedPath));
        EXPECT_EQ(std::vector<std::wstring>{}, ChildrenOf(reader, L""));
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
        const std::vector<std::wstring> sizes = ByColumn(target::ReportRows(), 3)[1];
        for (int call = 0; counting.reads < 10000; ++call) {
            for (size_t l = 0; l < lists.size(); ++l) ASSERT_FALSE(TextAt(lists[l].get(), 0).empty()) << call;
            ASSERT_EQ(sizes, ColumnOf(lists[0].get(), 1)) << call;
            ASSERT_EQ((std::vector<std::wstring>{L"Red", L"Green"}), ChildrenOf(tree.get(), L"Fruits\\Apple")) << call;
        }
    }

    EXPECT_EQ(regionsBefore, PrivateMemoryOf(query).regions);
    EXPECT_EQ(handlesBefore, HandleCount(GetCurrentProcess()));
    EXPECT_EQ(slotBefore, NextHandleSlot());
    CloseHandle(query);
}

}  // namespace
}  // namespace wrang::test
