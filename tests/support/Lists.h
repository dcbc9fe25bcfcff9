// The list and tree readers in the tests: the lists target in a process of its own, and the
// readers' results as the tests compare them.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "frame/Classes.h"
#include "platform/Resource.h"
#include "support/Parameters.h"
#include "support/TargetProcess.h"
#include "support/WindowThread.h"
#include "support/Wranglers.h"
#include "target/ListsContents.h"

namespace wrang::test {

using Texts = std::vector<std::wstring>;

// wrang_target --lists of this build, or of the build WRANG_TARGET names (a target of the other
// bitness), once every control is in place.
inline std::unique_ptr<TargetProcess> StartListsTarget() {
    return std::make_unique<TargetProcess>(TargetProgram().c_str(), L"--lists", lists_target::kWindowClass, true,
                                           2 * kEventDeadline);
}

// The strings of an array a reader handed out: a one-dimensional Variant array from index 0.
inline Texts StringsOf(const VARIANT* array) {
    Texts strings;
    EXPECT_EQ(VT_ARRAY | VT_VARIANT, V_VT(array));
    if (V_VT(array) != (VT_ARRAY | VT_VARIANT)) return strings;
    SAFEARRAY* values = V_ARRAY(array);
    EXPECT_EQ(1u, SafeArrayGetDim(values));
    LONG lower = -1, upper = -2;
    SafeArrayGetLBound(values, 1, &lower);
    SafeArrayGetUBound(values, 1, &upper);
    EXPECT_EQ(0, lower);
    for (LONG i = lower; i <= upper; ++i) {
        UniqueVariant element;
        EXPECT_EQ(S_OK, SafeArrayGetElement(values, &i, element.get()));
        EXPECT_EQ(VT_BSTR, V_VT(element.get())) << i;
        strings.emplace_back(V_BSTR(element.get()), SysStringLen(V_BSTR(element.get())));
    }
    return strings;
}

// A reader bound by InitByHandle: nullptr for Nothing.
inline ComPtr<_clsListReader> ListReaderOf(LONG hWnd, ListKinds kind = LIST_AUTO) {
    return HandedOut<_clsListReader>(Created(CreateListReader).get(), &_clsListReader::InitByHandle, hWnd, kind);
}
inline ComPtr<_clsTreeReader> TreeReaderOf(LONG hWnd) {
    return HandedOut<_clsTreeReader>(Created(CreateTreeReader).get(), &_clsTreeReader::InitByHandle, hWnd);
}

// GetText, GetColumn and GetChildren, expected to succeed or to answer `expected`; nothing unless
// they succeed.
inline std::wstring TextAt(_clsListReader* reader, LONG index, LONG column = 0, HRESULT expected = S_OK) {
    UniqueBstr text;
    EXPECT_EQ(expected, reader->GetText(index, column, text.put())) << "item " << index << ", column " << column;
    return text ? std::wstring(text.get(), SysStringLen(text.get())) : L"";
}
inline Texts ColumnOf(_clsListReader* reader, LONG column) {
    UniqueVariant array;
    EXPECT_EQ(S_OK, reader->GetColumn(column, array.get())) << "column " << column;
    return StringsOf(array.get());
}
inline Texts ChildrenOf(_clsTreeReader* reader, const wchar_t* path, HRESULT expected = S_OK) {
    UniqueVariant array;
    UniqueBstr given(SysAllocString(path));
    EXPECT_EQ(expected, reader->GetChildren(given.get(), array.get())) << "path " << testing::PrintToString(path);
    return expected == S_OK ? StringsOf(array.get()) : Texts{};
}

// The notifications the lists target's window recorded, in order (see lists_target::NoticeLine),
// and taken out of its record.
inline Texts TakeNotices(HWND target) {
    const HWND record = GetDlgItem(target, lists_target::kNotices);
    Texts lines;
    const LRESULT count = SendMessageW(record, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring line(static_cast<size_t>(std::max<LRESULT>(SendMessageW(record, LB_GETTEXTLEN, i, 0), 0)) + 1,
                          L'\0');
        line.resize(static_cast<size_t>(
            std::max<LRESULT>(SendMessageW(record, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line.data())), 0)));
        lines.push_back(line);
    }
    SendMessageW(record, LB_RESETCONTENT, 0, 0);
    return lines;
}

}  // namespace wrang::test
