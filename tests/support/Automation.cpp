#include "support/Automation.h"

#include <gtest/gtest.h>

#include <chrono>
#include <iterator>
#include <type_traits>

#include "frame/Classes.h"
#include "support/Parameters.h"

namespace wrang::test {

Arg::Arg() { VariantInit(&m_value); }
Arg::Arg(const Arg& other) : Arg() { VariantCopy(&m_value, const_cast<VARIANT*>(&other.m_value)); }
Arg::~Arg() { VariantClear(&m_value); }

Arg Arg::Long(LONG value) { return Arg(LongValue(value)); }
Arg Arg::Bool(bool value) { return Arg(BoolValue(value ? VARIANT_TRUE : VARIANT_FALSE)); }
Arg Arg::String(const wchar_t* value) { return Arg(TextValue(value ? SysAllocString(value) : nullptr)); }
Arg Arg::Object(IDispatch* value) {
    if (value) value->AddRef();
    return Arg(ObjectValue(value));
}
Arg Arg::Null() { return Arg(Holding(VT_NULL, 0L)); }  // no payload
Arg Arg::Missing() { return Arg(Holding(VT_ERROR, DISP_E_PARAMNOTFOUND)); }
Arg Arg::Variable(VARIANT* variable) { return Arg(VariableRef(variable)); }

namespace {

void Invoke(IDispatch* object, DISPID id, WORD flags, const VARIANT* values, size_t count, bool put, CallResult* out) {
    EXCEPINFO exception = {};
    VariantClear(out->value.get());
    out->hr = DispatchCall(object, id, flags, values, count, put, put ? nullptr : out->value.get(), &exception);
    out->scode = out->hr;
    out->description.clear();
    if (out->hr == DISP_E_EXCEPTION) {
        out->scode = exception.scode;
        if (exception.bstrDescription) out->description = exception.bstrDescription;
        FreeException(&exception);
    }
}

}  // namespace

DISPID IdOf(IDispatch* object, const wchar_t* name) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID id = DISPID_UNKNOWN;
    EXPECT_EQ(S_OK, object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id)) << "name " << name;
    return id;
}

void CallById(IDispatch* object, DISPID id, std::initializer_list<Arg> args, CallResult* out, WORD flags) {
    std::vector<VARIANT> values;
    for (const Arg& arg : args) values.push_back(arg.get());  // shallow: the Arg keeps ownership
    Invoke(object, id, flags, values.data(), values.size(), false, out);
}

void Call(IDispatch* object, const wchar_t* name, std::initializer_list<Arg> args, CallResult* out, WORD flags) {
    CallById(object, IdOf(object, name), args, out, flags);
}

void Put(IDispatch* object, const wchar_t* name, const Arg& value, CallResult* out, WORD flags) {
    Invoke(object, IdOf(object, name), flags, &value.get(), 1, true, out);
}

LONG HandleIn(const VARIANT& result) {
    if (V_VT(&result) != VT_DISPATCH || !V_DISPATCH(&result)) return -1;
    CallResult handle;
    Call(V_DISPATCH(&result), L"hWnd", {}, &handle);
    return V_I4(handle.value.get());
}

std::string Answered(IDispatch* object, const wchar_t* name, std::initializer_list<Arg> args, long long* took) {
    using namespace std::chrono;
    CallResult result;
    const auto start = steady_clock::now();
    Call(object, name, args, &result);
    if (took) *took = duration_cast<milliseconds>(steady_clock::now() - start).count();
    const VARIANT& v = *result.value.get();
    if (result.hr != S_OK) return "error " + HexOf(static_cast<ULONG>(result.scode));
    switch (V_VT(&v)) {
    case VT_BOOL: return V_BOOL(&v) == VARIANT_TRUE ? "True" : V_BOOL(&v) == VARIANT_FALSE ? "False" : "not a Boolean";
    case VT_EMPTY: return "Empty";
    case VT_NULL: return "Null";
    case VT_I4: return std::to_string(V_I4(&v));
    case VT_BSTR: {
        std::string text = "\"";
        for (UINT i = 0; i < SysStringLen(V_BSTR(&v)); ++i) text += V_BSTR(&v)[i] < 128 ? static_cast<char>(V_BSTR(&v)[i]) : '?';
        return text + "\"";
    }
    case VT_DISPATCH: return "window " + std::to_string(HandleIn(v));
    case VT_ARRAY | VT_VARIANT: {
        std::string list;
        LONG lower = 0, upper = -1;
        SafeArrayGetLBound(V_ARRAY(&v), 1, &lower);
        SafeArrayGetUBound(V_ARRAY(&v), 1, &upper);
        for (LONG i = lower; i <= upper; ++i) {
            UniqueVariant element;
            SafeArrayGetElement(V_ARRAY(&v), &i, element.get());
            list += (i > lower ? ", " : "") + std::to_string(HandleIn(*element.get()));
        }
        return "windows [" + list + "]";
    }
    default: return "vt " + std::to_string(V_VT(&v));
    }
}

OneOfEachClass::OneOfEachClass() {
    ComPtr<_clsWrangler> wrangler;
    ComPtr<_clsSysToolbar> toolbar;
    ComPtr<_clsToolbarButton> button;
    ComPtr<_clsJuggler> juggler;
    ComPtr<_clsMenuItem> item;
    ComPtr<_clsMenuEnum> cursor;
    ComPtr<_clsWatcher> watcher;
    ComPtr<_clsListReader> list;
    ComPtr<_clsTreeReader> tree;
    ComPtr<_clsFinder> finder;
    ComPtr<_clsInput> input;
    EXPECT_EQ(S_OK, CreateWrangler(wrangler.put()));
    EXPECT_EQ(S_OK, CreateSysToolbar(toolbar.put()));
    EXPECT_EQ(S_OK, CreateToolbarButton(button.put()));
    EXPECT_EQ(S_OK, CreateJuggler(juggler.put()));
    EXPECT_EQ(S_OK, CreateMenuItem(item.put()));
    EXPECT_EQ(S_OK, CreateMenuEnum(cursor.put()));
    EXPECT_EQ(S_OK, CreateWatcher(watcher.put()));
    EXPECT_EQ(S_OK, CreateListReader(list.put()));
    EXPECT_EQ(S_OK, CreateTreeReader(tree.put()));
    EXPECT_EQ(S_OK, CreateFinder(finder.put()));
    EXPECT_EQ(S_OK, CreateInput(input.put()));
    IDispatch* made[] = {wrangler.get(), toolbar.get(), button.get(),  juggler.get(), item.get(),
                         cursor.get(),   watcher.get(), list.get(),    tree.get(),    finder.get(),
                         input.get()};
    static_assert(std::size(made) == std::extent_v<decltype(OneOfEachClass::objects)>, "one object per class");
    for (size_t i = 0; i < std::size(made); ++i) objects[i] = ComPtr<IDispatch>(made[i]);
}

}  // namespace wrang::test
