#include "lists/TreeItems.h"

#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <new>

#include "frame/Errors.h"
#include "platform/WindowSystem.h"

namespace wrang::lists {

namespace {

// A path element of the form "#n": its position.
bool PositionOf(const wchar_t* element, size_t length, LONG* position) noexcept {
    if (length < 2 || element[0] != L'#') return false;
    LONG value = 0;
    for (size_t i = 1; i < length; ++i) {
        if (element[i] < L'0' || element[i] > L'9') return false;
        const LONG digit = element[i] - L'0';
        if (value > (LONG_MAX - digit) / 10) return false;
        value = value * 10 + digit;
    }
    *position = value;
    return true;
}

bool Same(const std::wstring& text, const wchar_t* element, size_t length) noexcept {
    return platform::Current().SameTextIgnoringCase(text.c_str(), static_cast<int>(text.size()), element,
                                                    static_cast<int>(length));
}

// A 32-bit build cannot carry a 64-bit tree's item handle through a message: its answers and
// parameters are 32 bits wide.
HRESULT RaiseHandleBeyondReach() noexcept {
    return RaiseError(kVbCannotPerform,
                      L"Can't perform requested operation: this tree view belongs to a 64-bit program whose item "
                      L"handles a 32-bit program cannot follow; read it with the x64 build of Wrang (x64\\Wrang.dll) "
                      L"from a 64-bit client");
}

}  // namespace

TreeItems::TreeItems(LONG hWnd) noexcept
    : TreeItems(hWnd, platform::AnswerOf(platform::Current().SendMessageW(hWnd, TVM_GETCOUNT, 0, 0))) {}

TreeItems::TreeItems(LONG hWnd, LONG count) noexcept
    : m_hWnd(hWnd), m_texts(hWnd, ItemMessage::Tree), m_most(std::max(count, 0L)) {}

bool TreeItems::Grown() noexcept {
    const LONG count = platform::AnswerOf(platform::Current().SendMessageW(m_hWnd, TVM_GETCOUNT, 0, 0));
    if (count <= m_most) return false;
    m_most = count;
    return true;
}

bool TreeItems::Carried(TreeItem item) noexcept {
    // A 64-bit build carries every handle whole, and a 32-bit tree's handles are 32 bits.
    if (sizeof(LRESULT) == 8 || !m_texts.Process().is64Bit) return true;
    // A 32-bit build gets a 64-bit tree's handle cut to its low 32 bits, and hands a parameter to
    // the tree widened with its sign. A handle comes through whole only where the tree's items lie
    // below 2 GiB: a cut one is (on a real system, where item handles are addresses of the tree's
    // own memory) one that names no memory of the tree's.
    return item <= 0x7FFFFFFF && m_texts.CanRead(item);
}

HRESULT TreeItems::Step(UINT relation, TreeItem from, TreeItem* to) noexcept {
    *to = 0;
    const LRESULT answer = platform::Current().SendMessageW(m_hWnd, TVM_GETNEXTITEM, relation,
                                                            static_cast<LPARAM>(static_cast<ULONG_PTR>(from)));
    // A 32-bit tree's handle is its answer's low 32 bits, however this build widened them.
    const TreeItem item = m_texts.Process().is64Bit ? static_cast<TreeItem>(static_cast<ULONG_PTR>(answer))
                                                    : static_cast<TreeItem>(static_cast<ULONG>(answer));
    if (item != 0 && !Carried(item)) return RaiseHandleBeyondReach();
    *to = item;
    return S_OK;
}

HRESULT TreeItems::FirstChild(TreeItem parent, TreeItem* child) noexcept {
    return parent ? Step(TVGN_CHILD, parent, child) : Step(TVGN_ROOT, 0, child);
}
HRESULT TreeItems::Next(TreeItem item, TreeItem* next) noexcept { return Step(TVGN_NEXT, item, next); }
HRESULT TreeItems::Parent(TreeItem item, TreeItem* parent) noexcept { return Step(TVGN_PARENT, item, parent); }
HRESULT TreeItems::Selected(TreeItem* item) noexcept { return Step(TVGN_CARET, 0, item); }

HRESULT TreeItems::Text(TreeItem item, std::wstring* text) noexcept {
    ItemKey key;
    key.treeItem = item;
    return m_texts.Read(key, text);
}

bool TreeItems::Expanded(TreeItem item) noexcept {
    const LRESULT state =
        platform::Current().SendMessageW(m_hWnd, TVM_GETITEMSTATE, static_cast<WPARAM>(item), TVIS_EXPANDED);
    return (state & TVIS_EXPANDED) != 0;
}

HRESULT TreeItems::ChildTexts(TreeItem parent, std::vector<std::wstring>* texts) noexcept {
    TreeItem child = 0;
    RETURN_IF_FAILED(FirstChild(parent, &child));
    for (LONG taken = 0; child != 0 && taken < m_most; ++taken) {
        std::wstring text;
        const HRESULT read = Text(child, &text);
        RETURN_IF_FAILED(read);
        // A tree that went away gives the texts read before.
        if (read == S_FALSE && !platform::Current().IsWindow(m_hWnd)) return S_OK;
        try {
            texts->push_back(std::move(text));
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
        RETURN_IF_FAILED(Next(child, &child));
    }
    return S_OK;
}

HRESULT TreeItems::FindChild(TreeItem parent, const wchar_t* element, size_t length, TreeItem* found) noexcept {
    *found = 0;
    LONG position = 0;
    const bool byPosition = PositionOf(element, length, &position);
    TreeItem child = 0;
    RETURN_IF_FAILED(FirstChild(parent, &child));
    for (LONG steps = 0; child != 0; ++steps) {
        // As many siblings as the tree had items: the walk ends, unless the tree has grown since.
        if (steps >= m_most && !Grown()) return S_FALSE;
        if (byPosition) {
            if (steps == position) break;
        } else {
            std::wstring text;
            RETURN_IF_FAILED(Text(child, &text));
            if (Same(text, element, length)) break;
        }
        RETURN_IF_FAILED(Next(child, &child));
    }
    if (child == 0) return S_FALSE;
    *found = child;
    return S_OK;
}

HRESULT TreeItems::PathOf(TreeItem item, std::wstring* path) noexcept {
    path->clear();
    std::vector<std::wstring> elements;
    for (LONG depth = 0; item != 0 && depth < m_most; ++depth) {
        TreeItem parent = 0, sibling = 0;
        RETURN_IF_FAILED(Parent(item, &parent));
        std::wstring text;
        RETURN_IF_FAILED(Text(item, &text));
        // The item's position among its siblings, and whether an earlier one has its text.
        RETURN_IF_FAILED(FirstChild(parent, &sibling));
        LONG position = 0;
        bool repeated = false;
        for (; sibling != 0 && sibling != item && position < m_most; ++position) {
            std::wstring earlier;
            RETURN_IF_FAILED(Text(sibling, &earlier));
            repeated = repeated || Same(earlier, text.c_str(), text.size());
            RETURN_IF_FAILED(Next(sibling, &sibling));
        }
        LONG looksLike = 0;
        const bool byText = !repeated && !text.empty() && text.find(L'\\') == std::wstring::npos &&
                            !PositionOf(text.c_str(), text.size(), &looksLike);
        try {
            elements.push_back(byText ? std::move(text) : L"#" + std::to_wstring(position));
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
        item = parent;
    }
    try {
        for (auto element = elements.rbegin(); element != elements.rend(); ++element) {
            if (!path->empty()) *path += L'\\';
            *path += *element;
        }
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

}  // namespace wrang::lists
