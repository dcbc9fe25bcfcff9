// Entries and cursors call their parent by member name, so any automation object with those names
// can be a parent: here a stand-in that, like a script engine's class object, answers names only
// through IDispatchEx::GetDispID, and one that answers only GetIDsOfNames.
#include <gtest/gtest.h>

#include <dispex.h>

#include <cwctype>
#include <functional>
#include <string>
#include <vector>

#include "MenuTestTarget.h"
#include "support/Automation.h"
#include "support/Wranglers.h"

namespace wrang::test {
namespace {

class FakeParent : public IDispatchEx {
public:
    // A member gets its arguments first to last and may fail with a runtime error of its own.
    using Member = std::function<HRESULT(std::vector<VARIANT*>& args, VARIANT* result)>;
    struct Received {
        std::wstring name;
        std::vector<VARTYPE> types;
        std::vector<IDispatch*> objects;  // object arguments, not held
        std::vector<LONG> longs;          // integer arguments, read through a reference too
    };

    explicit FakeParent(bool answersGetDispID) : m_dispatchEx(answersGetDispID) {}
    void Answer(const wchar_t* name, Member member) { m_members.push_back({name, std::move(member)}); }
    LONG References() const { return m_references; }

    std::vector<Received> received;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (riid == IID_IUnknown || riid == IID_IDispatch || (m_dispatchEx && riid == __uuidof(IDispatchEx))) {
            *out = static_cast<IDispatchEx*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++m_references); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--m_references); }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID, DISPID* id) override {
        if (m_dispatchEx) return DISP_E_UNKNOWNNAME;  // as Wine's script class objects answer
        return Find(names[0], id);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* exception, UINT*) override {
        return Call(id, params, result, exception);
    }
    HRESULT STDMETHODCALLTYPE GetDispID(BSTR name, DWORD, DISPID* id) override { return Find(name, id); }
    HRESULT STDMETHODCALLTYPE InvokeEx(DISPID id, LCID, WORD, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                       IServiceProvider*) override {
        return Call(id, params, result, exception);
    }
    HRESULT STDMETHODCALLTYPE DeleteMemberByName(BSTR, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DeleteMemberByDispID(DISPID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMemberProperties(DISPID, DWORD, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMemberName(DISPID, BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetNextDispID(DWORD, DISPID, DISPID*) override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE GetNameSpaceParent(IUnknown**) override { return E_NOTIMPL; }

private:
    HRESULT Find(const wchar_t* name, DISPID* id) {
        for (size_t i = 0; i < m_members.size(); ++i) {
            if (_wcsicmp(m_members[i].first.c_str(), name) == 0) {
                *id = static_cast<DISPID>(i + 1);
                return S_OK;
            }
        }
        *id = DISPID_UNKNOWN;
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT Call(DISPID id, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception) {
        if (id < 1 || static_cast<size_t>(id) > m_members.size()) return DISP_E_MEMBERNOTFOUND;
        Received r{m_members[id - 1].first, {}, {}, {}};
        std::vector<VARIANT*> args;
        for (UINT i = params->cArgs; i-- > 0;) {
            VARIANT* a = &params->rgvarg[i];
            args.push_back(a);
            r.types.push_back(V_VT(a));
            if (V_VT(a) == VT_DISPATCH) r.objects.push_back(V_DISPATCH(a));
            if (V_VT(a) == VT_I4) r.longs.push_back(V_I4(a));
            if (V_VT(a) == (VT_VARIANT | VT_BYREF) && V_VT(V_VARIANTREF(a)) == VT_I4) {
                r.longs.push_back(V_I4(V_VARIANTREF(a)));
            }
        }
        received.push_back(r);
        VARIANT ignored;
        VariantInit(&ignored);
        const HRESULT hr = m_members[id - 1].second(args, result ? result : &ignored);
        VariantClear(&ignored);
        if (SUCCEEDED(hr)) return hr;
        // A runtime error of the member, raised as a script raises it.
        *exception = EXCEPINFO{};
        exception->scode = hr;
        exception->bstrDescription = SysAllocString(L"raised by the parent");
        return DISP_E_EXCEPTION;
    }

    bool m_dispatchEx;
    LONG m_references = 1;
    std::vector<std::pair<std::wstring, Member>> m_members;
};

FakeParent::Member Returns(LONG value) {
    return [value](std::vector<VARIANT*>&, VARIANT* result) {
        *result = LongValue(value);
        return S_OK;
    };
}
FakeParent::Member ReturnsText(const wchar_t* text) {
    return [text](std::vector<VARIANT*>&, VARIANT* result) {
        *result = TextValue(SysAllocString(text));
        return S_OK;
    };
}

ComPtr<IDispatch> NewItem() { return ComPtr<IDispatch>(Created(CreateMenuItem).get()); }

ComPtr<IDispatch> ResultObject(CallResult& result) {
    EXPECT_EQ(VT_DISPATCH, V_VT(result.value.get()));
    return ComPtr<IDispatch>(V_VT(result.value.get()) == VT_DISPATCH ? V_DISPATCH(result.value.get()) : nullptr);
}

class MenuByName : public ::testing::TestWithParam<bool> {};

TEST_P(MenuByName, AnEntryAsksItsParentByNameForEverythingAboutItself) {
    MenuTarget target;
    FakeParent parent(GetParam());
    LONG state = 0;
    parent.Answer(L"GetChildState", [&](std::vector<VARIANT*>& args, VARIANT* result) {
        // The parent may ask the entry back for its identifier: it is stored before the call.
        ComPtr<_clsMenuItem> entry;
        if (FAILED(ComPtr<IDispatch>(V_DISPATCH(args[0])).as(entry))) return E_FAIL;
        const LONG id = IdOfEntry(entry.get());
        *result = LongValue(static_cast<LONG>(GetMenuState(target.file, static_cast<UINT>(id), MF_BYCOMMAND)) + state);
        return S_OK;
    });
    parent.Answer(L"GetMenuHandle", Returns(AsLong(target.file)));
    parent.Answer(L"GetWindowHandle", ReturnsText(L"4660"));  // converted as the runtime converts
    parent.Answer(L"ClickChildItem2", Returns(99));
    {
        ComPtr<IDispatch> item = NewItem();
        CallResult result;
        Call(item.get(), L"Init", {Arg::Object(&parent), Arg::Long(kCheckedEntry)}, &result);
        ASSERT_EQ(S_OK, result.hr);
        EXPECT_EQ(item.get(), ResultObject(result).get());
        ASSERT_EQ(1u, parent.received.size());
        EXPECT_EQ(L"GetChildState", parent.received[0].name);
        ASSERT_EQ(1u, parent.received[0].objects.size());
        EXPECT_EQ(item.get(), parent.received[0].objects[0]) << "the entry passes itself";

        Call(item.get(), L"Text", {}, &result);
        EXPECT_EQ(std::wstring(L"&Checked entry"), V_BSTR(result.value.get()));
        Call(item.get(), L"Checked", {}, &result);
        EXPECT_EQ(VARIANT_TRUE, V_BOOL(result.value.get()));
        Put(item.get(), L"Checked", Arg::Bool(false), &result);
        EXPECT_EQ(0u, GetMenuState(target.file, kCheckedEntry, MF_BYCOMMAND) & MF_CHECKED);
        Call(item.get(), L"GetWindowHandle", {}, &result);
        EXPECT_EQ(0x1234, V_I4(result.value.get()));
        Call(item.get(), L"ClickItem", {}, &result);
        EXPECT_EQ(99, V_I4(result.value.get()));
        EXPECT_EQ(L"ClickChildItem2", parent.received.back().name);
        EXPECT_EQ(item.get(), parent.received.back().objects.at(0));

        // A state of -1 from the parent: the entry is not there.
        state = -1 - static_cast<LONG>(GetMenuState(target.file, kCheckedEntry, MF_BYCOMMAND));
        Call(item.get(), L"Init", {Arg::Object(&parent), Arg::Long(kCheckedEntry)}, &result);
        ASSERT_EQ(S_OK, result.hr);
        EXPECT_FALSE(ResultObject(result));
    }
    EXPECT_EQ(1, parent.References()) << "the entry let go of its parent";
}

TEST_P(MenuByName, AFailingCallOnTheParentEndsTheMemberWithItsStatus) {
    MenuTarget target;
    FakeParent parent(GetParam());
    parent.Answer(L"GetChildState", Returns(0));
    parent.Answer(L"GetMenuHandle", Returns(AsLong(target.file)));
    parent.Answer(L"GetWindowHandle", ReturnsText(L"not a number"));
    parent.Answer(L"ClickChildItem2", [](std::vector<VARIANT*>&, VARIANT*) { return kVbInvalidCall; });
    ComPtr<IDispatch> item = NewItem();
    CallResult result;
    Call(item.get(), L"Init", {Arg::Object(&parent), Arg::Long(kOpen)}, &result);
    ASSERT_EQ(S_OK, result.hr);

    Call(item.get(), L"GetWindowHandle", {}, &result);
    EXPECT_EQ(DISP_E_EXCEPTION, result.hr);
    EXPECT_EQ(DISP_E_TYPEMISMATCH, result.scode) << "a result that is no number";
    Call(item.get(), L"ClickItem", {}, &result);
    EXPECT_EQ(kVbInvalidCall, result.scode);
    EXPECT_EQ(L"raised by the parent", result.description);
    // A child clicked through this entry needs the window first, so nothing is sent either.
    Call(item.get(), L"ClickChildItem", {Arg::Long(0)}, &result);
    EXPECT_NE(S_OK, result.scode);
    EXPECT_TRUE(target.TakeCommands().empty());

    // A parent without the member, such as a window object.
    const ComPtr<_clsWrangler> window = NewWrangler();
    Call(item.get(), L"Init", {Arg::Object(window.get()), Arg::Long(kOpen)}, &result);
    EXPECT_EQ(DISP_E_EXCEPTION, result.hr);
    EXPECT_EQ(DISP_E_UNKNOWNNAME, result.scode);
}

INSTANTIATE_TEST_SUITE_P(Parents, MenuByName, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "AnsweringGetDispID" : "AnsweringGetIDsOfNames";
                         });

TEST(MenuByNameNothing, NullParentsAndMenusAreObjectRequiredAfterStoring) {
    MenuTarget target;
    ComPtr<IDispatch> item = NewItem();
    CallResult result;
    Call(item.get(), L"Init", {Arg::Object(nullptr), Arg::Long(0x4242)}, &result);
    EXPECT_EQ(kVbObjectRequired, result.scode);
    Call(item.get(), L"GetMenuHandle", {}, &result);
    EXPECT_EQ(0x4242, V_I4(result.value.get())) << "stored before the parent was asked";
    for (const wchar_t* member : {L"Text", L"Enabled", L"Checked", L"IsSeparator", L"GetWindowHandle", L"ClickItem"}) {
        Call(item.get(), member, {}, &result);
        EXPECT_EQ(kVbObjectRequired, result.scode) << member;
    }

    // A cursor keeps its count and position when Init fails.
    const ComPtr<_clsMenuEnum> cursor =
        HandedOut<_clsMenuEnum>(Child(target.MenuBar().get(), 0).get(), &_clsMenuItem::BeginChildEnum);
    ASSERT_TRUE(cursor);
    VARIANT_BOOL more = VARIANT_FALSE;
    ASSERT_EQ(S_OK, cursor->NextItem(&more));
    EXPECT_EQ(kVbObjectRequired, cursor->Init(nullptr));
    EXPECT_EQ(6, Read(cursor.get(), &_clsMenuEnum::Count, -2L));
    int steps = 0;
    while (steps < 10 && cursor->NextItem(&more) == S_OK && more == VARIANT_TRUE) ++steps;
    EXPECT_EQ(5, steps) << "the cursor stayed on the first entry";
    ComPtr<_clsMenuItem> entry;
    EXPECT_EQ(kVbObjectRequired, cursor->GetItem(entry.put())) << "the menu object is gone";
    EXPECT_EQ(kVbObjectRequired, cursor->EndEnum());
}

TEST(MenuEnumByName, TheCursorGoesByReferenceAndOverflowsAtTheTop) {
    FakeParent menu(true);
    LONG jumpTo = 0;
    IDispatch* handOut = nullptr;
    menu.Answer(L"ChildCount", ReturnsText(L"3"));
    menu.Answer(L"GetChildMenu", [&](std::vector<VARIANT*>& args, VARIANT* result) {
        if (jumpTo) {  // a script's ByRef parameter, assigned, here as text
            VariantClear(V_VARIANTREF(args[0]));
            *V_VARIANTREF(args[0]) = TextValue(SysAllocString(std::to_wstring(jumpTo).c_str()));
        }
        *result = ObjectValue(handOut);
        if (handOut) handOut->AddRef();
        return S_OK;
    });
    menu.Answer(L"EndChildEnum", Returns(0));
    ComPtr<_clsMenuEnum> cursor = Created(CreateMenuEnum);
    ASSERT_EQ(S_OK, cursor->Init(&menu));
    EXPECT_EQ(3, Read(cursor.get(), &_clsMenuEnum::Count, -2L));

    ComPtr<_clsMenuItem> item;
    ASSERT_EQ(S_OK, cursor->GetItem(item.put()));
    EXPECT_FALSE(item);
    VARIANT_BOOL more = VARIANT_FALSE;
    ASSERT_EQ(S_OK, cursor->NextItem(&more));
    ASSERT_EQ(S_OK, cursor->GetItem(item.put()));
    ASSERT_EQ(3u, menu.received.size());
    EXPECT_EQ((std::vector<VARTYPE>{VT_VARIANT | VT_BYREF}), menu.received[1].types);
    EXPECT_EQ(-1, menu.received[1].longs.at(0)) << "before the first step";
    EXPECT_EQ(0, menu.received[2].longs.at(0));

    // An answer that is no entry is a type mismatch and leaves the cursor where it was.
    handOut = &menu;
    jumpTo = 1;
    EXPECT_EQ(kVbTypeMismatch, cursor->GetItem(item.put()));
    handOut = nullptr;
    jumpTo = 0;
    ASSERT_EQ(S_OK, cursor->GetItem(item.put()));
    EXPECT_EQ(0, menu.received.back().longs.at(0));

    // The menu object moves the cursor to the top; the next step overflows and moves nothing.
    jumpTo = 2147483647;
    ASSERT_EQ(S_OK, cursor->GetItem(item.put()));
    jumpTo = 0;
    EXPECT_EQ(kVbOverflow, cursor->NextItem(&more));
    ASSERT_EQ(S_OK, cursor->GetItem(item.put()));
    EXPECT_EQ(2147483647, menu.received.back().longs.at(0));

    ASSERT_EQ(S_OK, cursor->EndEnum());
    EXPECT_EQ(L"EndChildEnum", menu.received.back().name);
    EXPECT_EQ(static_cast<IDispatch*>(cursor.get()), menu.received.back().objects.at(0));
    cursor.reset();
    EXPECT_EQ(1, menu.References());
}

}  // namespace
}  // namespace wrang::test
