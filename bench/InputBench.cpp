// clsInput against the raw calls it makes, in the same run: TypeText of 1,000 characters against the
// sends of the same 1,000 WM_CHAR messages, with the same flags and limit (to a window of this thread
// and to one of another process); Click against its three posts to the child under the point;
// ClickMenu of a two-level path against the menu calls that find the entry and the post that
// chooses it. What a loop posted to this thread's windows is taken out of the queue between the
// timed runs.
#include "BenchKit.h"

#include <tuple>

#include "support/InputCommands.h"

namespace wrang::bench {
namespace {

void Drain() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {}
}

// Invoke of one member by DISPID with arguments made once: the window object first, then `more` as
// a script writes them.
class PreparedCall {
public:
    PreparedCall(IDispatch* object, const wchar_t* name, IDispatch* window, std::vector<VARIANT> more)
        : m_object(object), m_id(LateCall(name).IdIn(object)), m_args(more.rbegin(), more.rend()) {
        VARIANT w;
        V_VT(&w) = VT_DISPATCH;
        V_DISPATCH(&w) = window;
        m_args.push_back(w);
    }
    void operator()() {
        DISPPARAMS params = {m_args.data(), nullptr, static_cast<UINT>(m_args.size()), 0};
        VARIANT result;
        VariantInit(&result);
        m_object->Invoke(m_id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &result, nullptr, nullptr);
        VariantClear(&result);
    }

private:
    IDispatch* m_object;
    DISPID m_id;
    std::vector<VARIANT> m_args;  // last first; they own nothing
};

VARIANT LongArgument(LONG value) {
    VARIANT v;
    V_VT(&v) = VT_I4;
    V_I4(&v) = value;
    return v;
}

VARIANT TextArgument(BSTR text) {
    VARIANT v;
    V_VT(&v) = VT_BSTR;
    V_BSTR(&v) = text;
    return v;
}

template <typename Raw, typename Vtable>
Row Measured(const std::string& label, Raw raw, Vtable vtable, PreparedCall invoke) {
    Progress(label.c_str());
    const std::vector<double> medians = MeasureTogether({Looped(raw), Looped(vtable), Looped(invoke)}, Drain);
    Row row;
    row.member = label;
    row.raw = medians[0];
    row.vtable = medians[1];
    row.invoke = medians[2];
    return row;
}

}  // namespace

void InputTable() {
    ComPtr<_clsInput> input;
    if (FAILED(wrang::CreateInput(input.put()))) return;
    std::vector<Row> rows;

    // TypeText: 1,000 characters of plain text, to windows that take them and do nothing with them.
    std::wstring text;
    while (text.size() < 1000) text += L"This is some text. ";
    text.resize(1000);
    UniqueBstr typed(SysAllocStringLen(text.data(), static_cast<UINT>(text.size())));
    const std::wstring program = wrang::test::TestDirectory() + L"\\..\\tests\\wrang_target.exe";
    wrang::test::TargetProcess target(program.c_str(), L"--input", wrang::test::input::kTargetClass, false,
                                      2 * wrang::test::kEventDeadline);
    HWND own = MakeWindow("WrangBenchInput", "input");
    HWND remote = FindWindowExW(nullptr, nullptr, wrang::test::input::kFrontClassW, nullptr);
    DWORD process = 0;
    if (remote) GetWindowThreadProcessId(remote, &process);
    if (process != target.ProcessId()) remote = nullptr;
    for (const auto& [label, window] : {std::make_pair("to a window of this thread", own),
                                        std::make_pair("to a window of another process", remote)}) {
        if (!window) continue;
        ComPtr<_clsWrangler> bound = Bound(window);
        rows.push_back(Measured(
            Format("TypeText, 1,000 characters, %s", label),
            [&] {
                for (const wchar_t unit : text) {
                    DWORD_PTR answer = 0;
                    SendMessageTimeoutW(window, WM_CHAR, unit, 1, SMTO_ABORTIFHUNG, 5000, &answer);
                }
            },
            [&] {
                VARIANT_BOOL result;
                input->TypeText(bound.get(), typed.get(), &result);
            },
            PreparedCall(input.get(), L"TypeText", bound.get(), {TextArgument(typed.get())})));
    }

    // Click on a control itself (a window without children), and at a point over a child, where the
    // walk asks the window system for one level more: the three posts to the receiver, at the point
    // in its coordinates.
    HWND child = MakeWindow("WrangBenchInputChild", "child", own);
    ShowWindow(child, SW_SHOWNA);
    ComPtr<_clsWrangler> top = Bound(own), control = Bound(child);
    for (const auto& [label, bound, x] : {std::make_tuple("Click(5, 5) on a window without children", control.get(), 5),
                                          std::make_tuple("Click(50, 50) over a child", top.get(), 50)}) {
        POINT at = {x, x};
        if (bound == top.get()) MapWindowPoints(own, child, &at, 1);
        const LPARAM point = MAKELPARAM(at.x, at.y);
        _clsWrangler* window = bound;
        const LONG xy = x;
        rows.push_back(Measured(
            label,
            [&] {
                PostMessageW(child, WM_MOUSEMOVE, 0, point);
                PostMessageW(child, WM_LBUTTONDOWN, MK_LBUTTON, point);
                PostMessageW(child, WM_LBUTTONUP, 0, point);
            },
            [&] {
                VARIANT_BOOL result;
                input->Click(window, xy, xy, MOUSE_LEFT, 1, &result);
            },
            PreparedCall(input.get(), L"Click", window, {LongArgument(xy), LongArgument(xy)})));
    }

    // ClickMenu of "File\Save As...": the captions read up to the entry, the menu it opens, the
    // entry's command, and its post.
    SetMenu(own, wrang::test::input::MakeMenuBar());
    UniqueBstr path(SysAllocString(L"File\\Save As..."));
    rows.push_back(Measured(
        "ClickMenu(\"File\\Save As...\")",
        [&] {
            wchar_t caption[256];
            const HMENU bar = GetMenu(own);
            GetMenuStringW(bar, 0, caption, 256, MF_BYPOSITION);
            const HMENU file = GetSubMenu(bar, 0);
            GetMenuStringW(file, 0, caption, 256, MF_BYPOSITION);
            GetMenuStringW(file, 1, caption, 256, MF_BYPOSITION);
            PostMessageW(own, WM_COMMAND, GetMenuItemID(file, 1), 0);
        },
        [&] {
            VARIANT_BOOL result;
            input->ClickMenu(top.get(), path.get(), &result);
        },
        PreparedCall(input.get(), L"ClickMenu", top.get(), {TextArgument(path.get())})));

    PrintTable("clsInput against the raw sends and posts (TypeText: per 1,000 characters)", rows);
    Drain();
    DestroyWindow(own);
}

}  // namespace wrang::bench
