// An object bound to a value the message functions read as every top-level window (HWND_BROADCAST
// 0xFFFF, or -1) acts as if bound to a window that is gone, for every member of every class but the
// message members: the same results, and nothing reaches any window. The members come from the type
// library, so a new one is covered without an edit here.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MenuTestTarget.h"
#include "frame/TypeLibrary.h"
#include "platform/WindowSystem.h"
#include "support/Automation.h"

namespace wrang::test {
namespace {

// The shell's window is wherever the test says, so that a toolbar object can be bound to any value.
struct ShellAt : platform::Win32WindowSystem {
    LONG shell = 0;
    LONG FindWindowA(const char* c, const char* n) override {
        return c && lstrcmpA(c, "Shell_TrayWnd") == 0 ? shell : Win32WindowSystem::FindWindowA(c, n);
    }
};

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

class BroadcastHandles : public ::testing::Test {
protected:
    // A new object of `cls` acting on `hWnd`: a menu object's menu is the target's menu bar, a
    // reader is asked to bind to it, a finder searches below it, and the watcher acts on the window
    // objects it is given.
    ComPtr<IDispatch> ObjectOf(const std::wstring& cls, LONG hWnd) {
        const auto as = [](auto object) { return ComPtr<IDispatch>(object.get()); };
        const ComPtr<_clsJuggler> menu = HandedOut<_clsJuggler>(Created(CreateJuggler).get(), &_clsJuggler::Init,
                                                                AsLong(target.bar), hWnd, VARIANT_FALSE);
        if (cls == L"clsWrangler") return as(Bound(hWnd));
        if (cls == L"clsMenuItem") return as(Child(menu.get(), 0));
        if (cls == L"clsMenuEnum") return as(HandedOut<_clsMenuEnum>(menu.get(), &_clsJuggler::BeginChildEnum));
        if (cls == L"clsWatcher") return as(Created(CreateWatcher));
        if (cls == L"clsInput") return as(Created(CreateInput));
        if (cls == L"clsToolbarButton") {
            ComPtr<_clsToolbarButton> button = Created(CreateToolbarButton);
            EXPECT_EQ(S_OK, button->Init(hWnd, 0));
            return as(button);
        }
        if (cls == L"clsSysToolbar") {
            shell.shell = hWnd;
            ComPtr<_clsSysToolbar> toolbar = Created(CreateSysToolbar);
            HandedOut<_clsSysToolbar>(toolbar.get(), &_clsSysToolbar::Init);
            return as(toolbar);
        }
        if (cls == L"clsListReader") {
            ComPtr<_clsListReader> reader = Created(CreateListReader);
            EXPECT_FALSE(HandedOut<_clsListReader>(reader.get(), &_clsListReader::InitByHandle, hWnd, LIST_AUTO));
            return as(reader);
        }
        if (cls == L"clsTreeReader") {
            ComPtr<_clsTreeReader> reader = Created(CreateTreeReader);
            EXPECT_FALSE(HandedOut<_clsTreeReader>(reader.get(), &_clsTreeReader::InitByHandle, hWnd));
            return as(reader);
        }
        if (cls == L"clsFinder") {
            ComPtr<_clsFinder> finder = Created(CreateFinder);
            EXPECT_EQ(S_OK, finder->putref_Parent(Bound(hWnd).get()));  // it searches below the window
            return as(finder);
        }
        EXPECT_EQ(L"clsJuggler", cls) << "a class this test does not know";
        return as(menu);
    }

    // A value or object as the outcome shows it, the handle bound written as `shownAs`: hWnd and
    // GetWindowHandle report the value bound, whatever it is.
    std::wstring Shown(const VARIANT& value, LONG hWnd, LONG shownAs) {
        switch (V_VT(&value)) {
        case VT_I4: return std::to_wstring(V_I4(&value) == hWnd ? shownAs : V_I4(&value));
        case VT_BOOL: return V_BOOL(&value) ? L"True" : L"False";
        case VT_BSTR: return L"\"" + std::wstring(V_BSTR(&value), SysStringLen(V_BSTR(&value))) + L"\"";
        case VT_DISPATCH: {
            if (!V_DISPATCH(&value)) return L"Nothing";
            UniqueVariant handle;
            for (const wchar_t* name : {L"GetWindowHandle", L"hWnd"}) {
                if (SUCCEEDED(DispatchCallByName(V_DISPATCH(&value), name, DISPATCH_METHOD | DISPATCH_PROPERTYGET,
                                                 nullptr, 0, false, handle.get(), nullptr))) {
                    return L"object on " + Shown(*handle.get(), hWnd, shownAs);
                }
            }
            return L"object";
        }
        default: return L"vt " + std::to_wstring(V_VT(&value));
        }
    }

    // The status and result of `member` on a new object of `cls` acting on `hWnd`, every argument
    // chosen by its type: `hWnd` for a window handle, else 0, 1 for an enumeration (a value each of
    // them names), True, "x", or an object of the parameter's class acting on `hWnd` as well.
    std::string Outcome(const ClassDescription& cls, const MemberDescription& member, LONG hWnd, LONG shownAs) {
        const ComPtr<IDispatch> object = ObjectOf(cls.name, hWnd);
        std::vector<ComPtr<IDispatch>> objects;
        std::vector<UniqueBstr> texts;
        std::vector<VARIANT> args;
        for (size_t i = 0; i < member.parameters.size(); ++i) {
            const TypeDescription& type = member.parameters[i].type;
            if (type.vt == VT_BSTR || type.vt == VT_VARIANT) {
                texts.emplace_back(SysAllocString(L"x"));
                args.push_back(TextValue(texts.back().get()));
            } else if (type.vt == VT_BOOL) {
                args.push_back(BoolValue(VARIANT_TRUE));
            } else if (type.vt == VT_DISPATCH || type.IsInterface()) {
                objects.push_back(ObjectOf(type.vt == VT_DISPATCH ? L"clsJuggler" : type.name.substr(1), hWnd));
                args.push_back(ObjectValue(objects.back().get()));
            } else {
                const bool handle = i + 1 < member.names.size() && member.names[i + 1] == L"hWnd";
                args.push_back(LongValue(handle ? hWnd : type.IsEnum() ? 1 : 0));
            }
        }
        const bool assigned = member.invokeKind == INVOKE_PROPERTYPUT || member.invokeKind == INVOKE_PROPERTYPUTREF;
        const WORD flags = member.invokeKind == INVOKE_PROPERTYPUT      ? DISPATCH_PROPERTYPUT
                           : member.invokeKind == INVOKE_PROPERTYPUTREF ? DISPATCH_PROPERTYPUTREF
                                                                        : DISPATCH_METHOD | DISPATCH_PROPERTYGET;
        UniqueVariant result;
        EXCEPINFO exception = {};
        const HRESULT hr =
            DispatchCall(object.get(), member.id, flags, args.data(), args.size(), assigned, result.get(), &exception);
        FreeException(&exception);
        return HexOf(static_cast<ULONG>(hr)) + " " + HexOf(static_cast<ULONG>(exception.scode)) + " " +
               Narrow(Shown(*result.get(), hWnd, shownAs));
    }

    MenuTarget target;  // a top-level window that records every message it receives, and a menu bar
    ShellAt shell;
    platform::ScopedWindowSystem system{shell};
};

TEST_F(BroadcastHandles, NameNoWindowForEveryMemberButTheMessageMembers) {
    LibraryDescription library;
    {
        ComPtr<ITypeLib> typeLibrary;
        ASSERT_EQ(S_OK, LoadOwnTypeLibrary(typeLibrary.put()));
        ASSERT_EQ(S_OK, DescribeLibrary(typeLibrary.get(), &library));
    }
    HWND gone = target.thread.Create("WrangGoneWindow", "gone");
    target.thread.Destroy(gone);
    target.thread.Clear();
    for (const ClassDescription& cls : library.classes) {
        for (const MemberDescription& member : cls.defaultInterface.members) {
            const std::wstring& name = member.Name();
            // The message members keep the window system's broadcast: the caller chose the message
            // along with the handle. VBSendKeys types into the active window, whatever is bound.
            if (name.compare(0, 7, L"SendMsg") == 0 || name == L"PostMsg" || name == L"VBSendKeys") continue;
            for (LONG broadcast : {0xFFFF, -1}) {
                EXPECT_EQ(Outcome(cls, member, AsLong(gone), broadcast), Outcome(cls, member, broadcast, broadcast))
                    << Narrow(cls.name + L"." + name) << " bound to " << broadcast;
            }
        }
    }
    // Posted messages arrive in order: once the marker is there, anything posted before it is too.
    ASSERT_TRUE(PostMessageA(target.window, WM_APP + 1, 0, 0));
    ASSERT_TRUE(target.thread.WaitForMessages(target.window, WM_APP + 1, 1));
    std::string received;
    for (const Message& m : target.thread.Messages(target.window)) received += HexOf(m.message) + " ";
    EXPECT_EQ(HexOf(WM_APP + 1) + " ", received) << "the witness window received only its marker";
}

}  // namespace
}  // namespace wrang::test
