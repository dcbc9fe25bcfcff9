// The readers' actions against the least raw exchange that does the same: the control's messages
// sent directly, the record through one region of the control's process opened for the call.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "BenchKit.h"
#include "support/TargetProcess.h"
#include "target/ListsContents.h"

namespace wrang::bench {
namespace {

namespace target = wrang::lists_target;

// LVM_SETITEMSTATE with its record through a region, LVM_ENSUREVISIBLE where asked (Select), and the
// item's state afterwards: what Select and Check exchange.
LRESULT RawItemState(HWND listView, int index, UINT state, UINT mask, bool ensureVisible) {
    const RawRegion region(listView);
    LVITEMW item = {};
    item.state = state;
    item.stateMask = mask;
    SIZE_T done = 0;
    ::WriteProcessMemory(region.process, region.remote, &item, sizeof item, &done);
    SendMessageW(listView, LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(region.remote));
    if (ensureVisible) SendMessageW(listView, LVM_ENSUREVISIBLE, index, FALSE);
    return SendMessageW(listView, LVM_GETITEMSTATE, index, mask);
}

// Each level of a path of first children expanded before the next is looked for, as Expand does:
// open once, one region, per level the step to the child, its text read and TVM_EXPAND; then the
// last item's state.
LRESULT RawExpandFirstChildren(HWND tree, int levels) {
    const RawRegion region(tree);
    HTREEITEM item = nullptr;
    for (int level = 0; level < levels; ++level) {
        item = reinterpret_cast<HTREEITEM>(
            SendMessageW(tree, TVM_GETNEXTITEM, level ? TVGN_CHILD : TVGN_ROOT, reinterpret_cast<LPARAM>(item)));
        RawTreeText(region, tree, item);
        SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
    }
    return SendMessageW(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED);
}

}  // namespace

void ListActionTables() {
    Progress("starting the lists target");
    const std::wstring program = wrang::test::TestDirectory() + L"\\..\\tests\\wrang_target.exe";
    wrang::test::TargetProcess process(program.c_str(), L"--lists", target::kWindowClass, true,
                                       std::chrono::seconds(30));
    const HWND window = process.Window();
    const HWND report = window ? GetDlgItem(window, target::kReport) : nullptr;
    const HWND checks = window ? GetDlgItem(window, target::kChecks) : nullptr;
    const HWND tree = window ? GetDlgItem(window, target::kLazyTree) : nullptr;
    ComPtr<_clsListReader> forSelecting, selecting, forChecking, checking;
    ComPtr<_clsTreeReader> forExpanding, expanding;
    if (report && SUCCEEDED(CreateListReader(forSelecting.put())))
        forSelecting->InitByHandle(L(report), LIST_AUTO, selecting.put());
    if (checks && SUCCEEDED(CreateListReader(forChecking.put())))
        forChecking->InitByHandle(L(checks), LIST_AUTO, checking.put());
    if (tree && SUCCEEDED(CreateTreeReader(forExpanding.put()))) forExpanding->InitByHandle(L(tree), expanding.put());
    if (!selecting || !checking || !expanding) {
        Out("\n### Actions of clsListReader and clsTreeReader\n\n(the lists target did not start: no table)");
        return;
    }
    const ComPtr<IDispatch> standardList = StandardDispatch(selecting.get(), IID__clsListReader);
    const ComPtr<IDispatch> standardChecks = StandardDispatch(checking.get(), IID__clsListReader);
    const ComPtr<IDispatch> standardTree = StandardDispatch(expanding.get(), IID__clsTreeReader);
    const UniqueBstr path(SysAllocString(L"Drive C\\Users\\Public"));
    VARIANT_BOOL answer = VARIANT_FALSE;
    LateCall check(L"Check", {0, -1});
    std::vector<Row> rows;
    rows.push_back(MeasureMember(
        "Select(0) of a list view", selecting.get(), standardList.get(), LateCall(L"Select", std::vector<LONG>{0}),
        [&] { RawItemState(report, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED, true); },
        [&] { selecting->Select(0, &answer); }));
    rows.push_back(MeasureMember(
        "Check(0, True) of a list view", checking.get(), standardChecks.get(), check,
        [&] { RawItemState(checks, 0, INDEXTOSTATEIMAGEMASK(2), LVIS_STATEIMAGEMASK, false); },
        [&] { checking->Check(0, VARIANT_TRUE, &answer); }));
    rows.push_back(MeasureMember(
        "Expand(\"Drive C\\Users\\Public\"), three levels", expanding.get(), standardTree.get(),
        LateCall(L"Expand", path.get()), [&] { RawExpandFirstChildren(tree, 3); },
        [&] { expanding->Expand(path.get(), &answer); }));
    PrintTable("Actions of clsListReader and clsTreeReader (controls of wrang_target.exe --lists in another process)",
               rows);
}

}  // namespace wrang::bench
