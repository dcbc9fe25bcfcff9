#include "frame/Dispatcher.h"

#include <algorithm>
#include <array>
#include <new>
#include <utility>

#include "frame/Errors.h"

namespace wrang {
namespace {

using Kind = ArgumentKind;

// What a parameter left out holds: the value that says so.
const VARIANT kMissing = [] {
    VARIANT missing;
    V_VT(&missing) = VT_ERROR;
    V_ERROR(&missing) = DISP_E_PARAMNOTFOUND;
    return missing;
}();

// The kind of argument a parameter of `type` takes, and whether it is passed by reference: a value
// the dispatcher can pass in one pointer-sized slot, or a pointer to one.
HRESULT KindOf(const TypeDescription& type, Kind* kind, bool* byRef, IID* iid) noexcept {
    // A pointer to an interface is passed by value as an object reference.
    const unsigned valuePointers = type.IsInterface() ? 1 : 0;
    if (type.pointers != valuePointers && type.pointers != valuePointers + 1) return DISP_E_BADVARTYPE;
    *byRef = type.pointers == valuePointers + 1;
    switch (type.vt) {
    case VT_I4:
    case VT_INT: *kind = Kind::Long; return S_OK;
    case VT_BOOL: *kind = Kind::Boolean; return S_OK;
    case VT_BSTR: *kind = Kind::String; return S_OK;
    case VT_DISPATCH: *kind = Kind::Object; return S_OK;
    case VT_VARIANT: *kind = Kind::Variant; return S_OK;
    case VT_USERDEFINED:
        if (type.IsEnum()) {
            *kind = Kind::Long;
            return S_OK;
        }
        if (!type.IsInterface()) return DISP_E_BADVARTYPE;
        *kind = Kind::Interface;
        *iid = type.iid;
        return S_OK;
    default: return DISP_E_BADVARTYPE;
    }
}

// Calls operation `index` of `object` with the `n` slots in `w`. One instantiation per count of
// slots: every slot is passed as the integer it is, which is how both conventions pass each
// parameter of the library (see ArgumentSlot).
template <size_t... I>
HRESULT CallWithSlots(void* fn, void* object, const ArgumentSlot* w, std::index_sequence<I...>) {
    using F = HRESULT(STDMETHODCALLTYPE*)(void*, decltype(static_cast<void>(I), ArgumentSlot{})...);
    return reinterpret_cast<F>(fn)(object, w[I]...);
}
template <size_t N>
HRESULT CallWith(void* fn, void* object, const ArgumentSlot* w) {
    return CallWithSlots(fn, object, w, std::make_index_sequence<N>{});
}
using Caller = HRESULT (*)(void*, void*, const ArgumentSlot*);
template <size_t... N>
constexpr std::array<Caller, sizeof...(N)> CallersFor(std::index_sequence<N...>) {
    return {&CallWith<N>...};
}
// The most slots a call takes: every parameter a Variant by value, and the result's address.
constexpr size_t kMostParameters = 8;
constexpr size_t kMostSlots = kMostParameters * kVariantSlots + 1;
constexpr auto kCallers = CallersFor(std::make_index_sequence<kMostSlots + 1>{});

HRESULT Call(void* object, unsigned index, const ArgumentSlot* w, size_t n) {
    if (n >= kCallers.size()) return DISP_E_BADPARAMCOUNT;
    void* fn = (*static_cast<void***>(object))[index];
    return kCallers[n](fn, object, w);
}

void FillException(HRESULT status, EXCEPINFO* exception) {
    *exception = EXCEPINFO{};
    exception->scode = status;
    ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.put()) == S_OK && info) {
        info->GetSource(&exception->bstrSource);
        info->GetDescription(&exception->bstrDescription);
        info->GetHelpFile(&exception->bstrHelpFile);
        info->GetHelpContext(&exception->dwHelpContext);
    }
    if (!exception->bstrSource) exception->bstrSource = SysAllocString(L"Wrang");
    if (!exception->bstrDescription) exception->bstrDescription = platform::SystemMessage(status);
}

}  // namespace

Dispatcher::Dispatcher(REFIID iid) noexcept {
    try {
        m_status = Load(iid);
    } catch (const std::bad_alloc&) {
        m_status = E_OUTOFMEMORY;
    }
    if (FAILED(m_status)) {
        m_members.clear();
        m_ids.clear();
    }
}

HRESULT Dispatcher::Load(REFIID iid) {
    ComPtr<ITypeLib> library;
    RETURN_IF_FAILED(LoadOwnTypeLibrary(library.put()));
    RETURN_IF_FAILED(library->GetTypeInfoOfGuid(iid, m_dispatchInfo.put()));
    RETURN_IF_FAILED(DescribeInterface(m_dispatchInfo.get(), &m_interface));
    for (const MemberDescription& described : m_interface.members) {
        Member member;
        member.id = described.id;
        member.invokeKind = described.invokeKind;
        member.vtableIndex = described.vtableIndex;
        member.names = &described.names;
        for (const ParameterDescription& p : described.parameters) {
            Parameter parameter;
            RETURN_IF_FAILED(KindOf(p.type, &parameter.kind, &parameter.byRef, &parameter.iid));
            // A Variant travels by value only: no member writes a script's variable through one.
            if (parameter.kind == Kind::Variant && parameter.byRef) return DISP_E_BADVARTYPE;
            parameter.optional = (p.flags & (PARAMFLAG_FOPT | PARAMFLAG_FHASDEFAULT)) != 0;
            parameter.defaultValue = p.defaultValue.get();
            // An optional Variant without a default receives "missing", as a script's own
            // procedures do, so that the member can tell an argument left out from Empty.
            if (parameter.kind == Kind::Variant && !(p.flags & PARAMFLAG_FHASDEFAULT)) parameter.defaultValue = &kMissing;
            member.parameters.push_back(parameter);
        }
        if (described.hasResult) {
            member.hasResult = true;
            bool byRef = false;
            IID iid = IID_NULL;
            RETURN_IF_FAILED(KindOf(described.result, &member.resultKind, &byRef, &iid));
        }
        m_members.push_back(std::move(member));
    }
    for (size_t m = 0; m < m_members.size(); ++m) {
        if (!m_members[m].names->empty()) m_names.Add(m_members[m].names->front(), m);
    }
    m_names.Seal();
    // By id, and within one id in the order of the type library, which Find relies on.
    for (size_t m = 0; m < m_members.size(); ++m) m_ids.push_back({m_members[m].id, m});
    std::stable_sort(m_ids.begin(), m_ids.end(), [](const IdEntry& a, const IdEntry& b) { return a.id < b.id; });
    return S_OK;
}

void Dispatcher::FillIds(const Member& member, LPOLESTR* names, UINT count, DISPID* ids) const noexcept {
    ids[0] = member.id;
    // Named arguments: the index of each parameter name, from any accessor of the member.
    for (UINT i = 1; i < count; ++i) {
        if (!names[i]) continue;
        const std::vector<std::wstring>& known = *member.names;
        for (size_t p = 1; p < known.size(); ++p) {
            if (NameIndex::SameName(known[p], names[i])) ids[i] = static_cast<DISPID>(p - 1);
        }
    }
}

HRESULT Dispatcher::GetTypeInfo(UINT index, ITypeInfo** typeInfo) noexcept {
    if (!typeInfo) return E_POINTER;
    *typeInfo = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    RETURN_IF_FAILED(m_status);
    m_dispatchInfo.copyTo(typeInfo);
    return S_OK;
}

HRESULT Dispatcher::GetIDsOfNames(LPOLESTR* names, UINT count, DISPID* ids) noexcept {
    if (!names || !ids) return E_POINTER;
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    RETURN_IF_FAILED(m_status);
    if (count == 0) return S_OK;
    HRESULT status = DISP_E_UNKNOWNNAME;
    bool ascii = false;
    if (const NameIndex::Group* group = names[0] ? m_names.Find(names[0], &ascii) : nullptr) {
        for (size_t m : group->members) FillIds(m_members[m], names, count, ids);
        status = S_OK;
    } else if (names[0] && !ascii) {
        // A name with other characters: the runtime's folding of every character, member by member.
        for (const Member& member : m_members) {
            if (member.names->empty() || !NameIndex::SameName(member.names->front(), names[0])) continue;
            FillIds(member, names, count, ids);
            status = S_OK;
        }
    }
    for (UINT i = 1; i < count && status == S_OK; ++i) {
        if (ids[i] == DISPID_UNKNOWN) status = DISP_E_UNKNOWNNAME;
    }
    return status;
}

const Dispatcher::Member* Dispatcher::Find(DISPID id, WORD flags) const noexcept {
    const auto first =
        std::lower_bound(m_ids.begin(), m_ids.end(), id, [](const IdEntry& e, DISPID wanted) { return e.id < wanted; });
    // The first member of the id and kind in the order of the type library.
    auto lookFor = [&](INVOKEKIND kind) -> const Member* {
        for (auto e = first; e != m_ids.end() && e->id == id; ++e) {
            if (m_members[e->member].invokeKind == kind) return &m_members[e->member];
        }
        return nullptr;
    };
    const Member* found = nullptr;
    if (flags & DISPATCH_PROPERTYPUTREF) {
        found = lookFor(INVOKE_PROPERTYPUTREF);
        if (!found) found = lookFor(INVOKE_PROPERTYPUT);
    } else if (flags & DISPATCH_PROPERTYPUT) {
        found = lookFor(INVOKE_PROPERTYPUT);
        if (!found) found = lookFor(INVOKE_PROPERTYPUTREF);
    } else {
        if (flags & DISPATCH_METHOD) found = lookFor(INVOKE_FUNC);
        if (!found && (flags & DISPATCH_PROPERTYGET)) found = lookFor(INVOKE_PROPERTYGET);
        if (!found && (flags & DISPATCH_PROPERTYGET)) found = lookFor(INVOKE_FUNC);
    }
    return found;
}

// Calls `member` with the `wordCount` slots of its `count` arguments in `words`, which has room for
// one more (the address of the result), and hands the outcome back: the caller's by-reference
// variables from `slots`, the result, or the error with its description.
HRESULT Dispatcher::CallAndHandBack(void* object, const Member& member, ArgumentSlot* words, size_t wordCount,
                                    Slot* slots, size_t count, VARIANT* result, EXCEPINFO* exception) noexcept {
    LocalVariant answer;
    if (member.hasResult) {
        VARIANT* local = answer.get();
        if (member.resultKind == Kind::Variant) {
            // The member fills the VARIANT itself, which starts Empty.
            words[wordCount++] = reinterpret_cast<ArgumentSlot>(local);
        } else {
            V_VT(local) = VariantTypeOf(member.resultKind);
            V_I4(local) = 0;
            V_DISPATCH(local) = nullptr;
            words[wordCount++] = reinterpret_cast<ArgumentSlot>(PayloadAddress(local));
        }
    }
    ClearError();
    const HRESULT status = Call(object, member.vtableIndex, words, wordCount);
    if (FAILED(status)) {
        if (!exception) return status;
        FillException(status, exception);
        return DISP_E_EXCEPTION;
    }
    for (size_t p = 0; p < count; ++p) {
        if (!slots[p].writeBack) continue;
        VariantClear(slots[p].writeBack);
        slots[p].local.release(slots[p].writeBack);
    }
    if (member.hasResult && result) {
        // A caller's result is mostly fresh: only one that holds something needs the runtime.
        if (V_VT(result) != VT_EMPTY) VariantClear(result);
        answer.release(result);
    }
    return S_OK;
}

HRESULT Dispatcher::Invoke(void* object, DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result,
                           EXCEPINFO* exception, UINT* argError) noexcept {
    RETURN_IF_FAILED(m_status);
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    if (!params) params = &none;
    // A count with no array behind it: the arrays are not there to read.
    if ((params->cArgs > 0 && !params->rgvarg) || (params->cNamedArgs > 0 && !params->rgdispidNamedArgs)) {
        return E_INVALIDARG;
    }
    const Member* member = Find(id, flags);
    if (!member) return DISP_E_MEMBERNOTFOUND;
    // A property read or a method without parameters, most of what a script calls: nothing to
    // convert, so no room for arguments is made.
    if (params->cArgs == 0 && params->cNamedArgs == 0 && member->parameters.empty()) {
        ArgumentSlot resultAddress[1];
        return CallAndHandBack(object, *member, resultAddress, 0, nullptr, 0, result, exception);
    }

    const size_t count = member->parameters.size();
    const UINT positional = params->cArgs - params->cNamedArgs;
    const bool isPut = member->invokeKind == INVOKE_PROPERTYPUT || member->invokeKind == INVOKE_PROPERTYPUTREF;
    if (positional > count) return DISP_E_BADPARAMCOUNT;

    // Which argument (index into rgvarg) goes to each parameter; -1 for none.
    int argumentOf[kMostParameters];
    if (count > kMostParameters) return DISP_E_BADPARAMCOUNT;
    for (size_t p = 0; p < count; ++p) argumentOf[p] = -1;
    for (UINT a = 0; a < positional; ++a) argumentOf[a] = static_cast<int>(params->cArgs - 1 - a);
    for (UINT n = 0; n < params->cNamedArgs; ++n) {
        const DISPID named = params->rgdispidNamedArgs[n];
        size_t p = 0;
        if (named == DISPID_PROPERTYPUT && isPut && count > 0) {
            p = count - 1;
        } else if (named >= 0 && static_cast<size_t>(named) < count) {
            p = static_cast<size_t>(named);
        } else {
            return DISP_E_PARAMNOTFOUND;
        }
        // A parameter already filled (by position or by an earlier name) would drop an argument.
        if (argumentOf[p] >= 0) return DISP_E_BADPARAMCOUNT;
        argumentOf[p] = static_cast<int>(n);
    }

    // On the stack: a call allocates nothing of its own unless a conversion must.
    Slot slots[kMostParameters];
    ArgumentSlot words[kMostSlots] = {};  // the arguments, then the result's address
    size_t used = 0;
    for (size_t p = 0; p < count; ++p) {
        const Parameter& parameter = member->parameters[p];
        Slot& slot = slots[p];
        ArgumentSlot* at = &words[used];
        used += SlotsOf(parameter.kind, parameter.byRef);
        VARIANT* given = argumentOf[p] >= 0 ? &params->rgvarg[argumentOf[p]] : nullptr;
        VARIANT* value = Dereference(given);
        if (!value || (V_VT(value) == VT_ERROR && V_ERROR(value) == DISP_E_PARAMNOTFOUND)) {
            if (!parameter.optional) return DISP_E_PARAMNOTOPTIONAL;
            value = const_cast<VARIANT*>(parameter.defaultValue);
            given = nullptr;
        }
        const VARTYPE typed = VariantTypeOf(parameter.kind);
        if (parameter.byRef && given && V_VT(given) == (VT_BYREF | typed) && parameter.kind != Kind::Interface) {
            *at = reinterpret_cast<ArgumentSlot>(V_BYREF(given));  // the caller's own variable
            continue;
        }
        ArgumentSlot word = 0;
        if (parameter.kind == Kind::String && V_VT(value) == VT_BSTR) {
            // The caller's string itself, or an exact copy of it: a null string stays null.
            BSTR text = V_BSTR(value);
            if (parameter.byRef) {
                V_VT(slot.local.get()) = VT_BSTR;
                V_BSTR(slot.local.get()) = text ? SysAllocStringLen(text, SysStringLen(text)) : nullptr;
                if (text && !V_BSTR(slot.local.get())) return E_OUTOFMEMORY;
            }
            word = reinterpret_cast<ArgumentSlot>(text);
        } else if (HRESULT converted = ConvertArgument(parameter.kind, parameter.iid, value, slot.local.get(), &word);
                   FAILED(converted)) {
            // No memory for the copy is no fault of the argument: the caller hears "Out of memory"
            // (error 7), with no argument named.
            if (converted == E_OUTOFMEMORY) return E_OUTOFMEMORY;
            if (argError && given) *argError = static_cast<UINT>(argumentOf[p]);
            return converted == DISP_E_OVERFLOW ? DISP_E_OVERFLOW : DISP_E_TYPEMISMATCH;
        }
        if (parameter.byRef) {
            *at = reinterpret_cast<ArgumentSlot>(PayloadAddress(slot.local.get()));
            if (given && V_VT(given) == (VT_VARIANT | VT_BYREF)) slot.writeBack = value;
        } else if (parameter.kind == Kind::Variant) {
            VariantToSlots(slot.local.get(), at);
        } else {
            *at = word;
        }
    }
    return CallAndHandBack(object, *member, words, used, slots, count, result, exception);
}

}  // namespace wrang
