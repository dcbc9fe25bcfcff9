#include "frame/Dispatcher.h"

#include <algorithm>
#include <cwctype>
#include <new>

#include "frame/Errors.h"
#include "platform/Module.h"

namespace wrang {
namespace {

using Kind = Dispatcher::Kind;

// One argument as the member receives it. Every parameter of the library is an integer, a Boolean
// or a pointer, so each takes one integer slot in either calling convention: four bytes on the
// stack in 32-bit stdcall, one register or eight-byte stack slot in the 64-bit convention, where
// the callee reads only the low bits that its parameter type has.
using ArgumentSlot = UINT_PTR;
using Parameter = Dispatcher::Parameter;

HRESULT LoadOwnTypeLibrary(ITypeLib** library) {
    wchar_t path[MAX_PATH + 1];
    RETURN_IF_FAILED(platform::ThisModulePath(path, MAX_PATH + 1));
    return LoadTypeLibEx(path, REGKIND_NONE, library);
}

// A value type the dispatcher can pass in one pointer-sized slot.
HRESULT ParseValue(ITypeInfo* owner, const TYPEDESC& type, Parameter* out) {
    switch (type.vt) {
    case VT_I4:
    case VT_INT: out->kind = Kind::Long; return S_OK;
    case VT_BOOL: out->kind = Kind::Boolean; return S_OK;
    case VT_BSTR: out->kind = Kind::String; return S_OK;
    case VT_DISPATCH: out->kind = Kind::Object; return S_OK;
    case VT_USERDEFINED: {
        ComPtr<ITypeInfo> referenced;
        RETURN_IF_FAILED(owner->GetRefTypeInfo(type.hreftype, referenced.put()));
        TypeAttr attr(referenced.get());
        RETURN_IF_FAILED(referenced->GetTypeAttr(&attr.attr));
        if (attr.attr->typekind == TKIND_ENUM) {
            out->kind = Kind::Long;
            return S_OK;
        }
        return DISP_E_BADVARTYPE;
    }
    case VT_PTR: {
        // A pointer to an interface is passed by value as an object reference.
        const TYPEDESC& target = *type.lptdesc;
        if (target.vt != VT_USERDEFINED) return DISP_E_BADVARTYPE;
        ComPtr<ITypeInfo> referenced;
        RETURN_IF_FAILED(owner->GetRefTypeInfo(target.hreftype, referenced.put()));
        TypeAttr attr(referenced.get());
        RETURN_IF_FAILED(referenced->GetTypeAttr(&attr.attr));
        if (attr.attr->typekind != TKIND_INTERFACE && attr.attr->typekind != TKIND_DISPATCH) {
            return DISP_E_BADVARTYPE;
        }
        out->kind = Kind::Interface;
        out->iid = attr.attr->guid;
        return S_OK;
    }
    default: return DISP_E_BADVARTYPE;
    }
}

HRESULT ParseParameter(ITypeInfo* owner, const TYPEDESC& type, Parameter* out) {
    if (SUCCEEDED(ParseValue(owner, type, out))) return S_OK;
    if (type.vt != VT_PTR) return DISP_E_BADVARTYPE;
    out->byRef = true;
    return ParseValue(owner, *type.lptdesc, out);
}

VARTYPE VariantTypeOf(Kind kind) {
    switch (kind) {
    case Kind::Long: return VT_I4;
    case Kind::Boolean: return VT_BOOL;
    case Kind::String: return VT_BSTR;
    case Kind::Object:
    case Kind::Interface: return VT_DISPATCH;
    }
    return VT_EMPTY;
}

// The runtime's case folding, which GetIDsOfNames has always used; for an ASCII character it is the
// plain letter mapping below.
wchar_t Folded(wchar_t c) { return static_cast<wchar_t>(std::towupper(c)); }
wchar_t AsciiFolded(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - (L'a' - L'A')) : c; }

// FNV-1a over the folded code units.
constexpr unsigned kHashBasis = 2166136261u;
constexpr unsigned kHashPrime = 16777619u;
unsigned HashStep(unsigned hash, wchar_t folded) { return (hash ^ static_cast<unsigned>(folded)) * kHashPrime; }

bool SameName(const std::wstring& a, const wchar_t* b) {
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i) {
        if (std::towupper(a[i]) != std::towupper(b[i])) return false;
    }
    return i == a.size() && b[i] == 0;
}

VARIANT* Dereference(VARIANT* arg) {
    while (arg && V_VT(arg) == (VT_VARIANT | VT_BYREF)) arg = V_VARIANTREF(arg);
    return arg;
}

// Converts one argument into `local`, which owns whatever the conversion made, and sets `word` to
// what the member receives for a parameter passed by value.
HRESULT ConvertValue(const Parameter& p, VARIANT* source, VARIANT* local, ArgumentSlot* word) {
    // An argument that already has the parameter's type is taken as it is (what VariantChangeType
    // would do, without its call).
    if (p.kind == Kind::Long && V_VT(source) == VT_I4) {
        V_VT(local) = VT_I4;
        V_I4(local) = V_I4(source);
        *word = static_cast<ArgumentSlot>(static_cast<ULONG>(V_I4(local)));
        return S_OK;
    }
    if (p.kind == Kind::Boolean && V_VT(source) == VT_BOOL) {
        V_VT(local) = VT_BOOL;
        V_BOOL(local) = V_BOOL(source);
        *word = static_cast<USHORT>(V_BOOL(local));
        return S_OK;
    }
    switch (p.kind) {
    case Kind::Long:
        RETURN_IF_FAILED(VariantChangeType(local, source, 0, VT_I4));
        *word = static_cast<ArgumentSlot>(static_cast<ULONG>(V_I4(local)));
        return S_OK;
    case Kind::Boolean:
        RETURN_IF_FAILED(VariantChangeType(local, source, 0, VT_BOOL));
        *word = static_cast<USHORT>(V_BOOL(local));
        return S_OK;
    case Kind::String:
        RETURN_IF_FAILED(VariantChangeType(local, source, 0, VT_BSTR));
        *word = reinterpret_cast<ArgumentSlot>(V_BSTR(local));
        return S_OK;
    case Kind::Object:
    case Kind::Interface: {
        IUnknown* given = nullptr;
        switch (V_VT(source)) {
        case VT_EMPTY:
        case VT_NULL: break;  // Nothing, or a script's null
        case VT_DISPATCH: given = V_DISPATCH(source); break;
        case VT_UNKNOWN: given = V_UNKNOWN(source); break;
        case VT_DISPATCH | VT_BYREF: given = *V_DISPATCHREF(source); break;
        case VT_UNKNOWN | VT_BYREF: given = *V_UNKNOWNREF(source); break;
        default: return DISP_E_TYPEMISMATCH;
        }
        V_VT(local) = VT_DISPATCH;
        V_DISPATCH(local) = nullptr;
        if (given) {
            const IID& wanted = p.kind == Kind::Object ? IID_IDispatch : p.iid;
            if (FAILED(given->QueryInterface(wanted, reinterpret_cast<void**>(&V_DISPATCH(local))))) {
                V_DISPATCH(local) = nullptr;
                return DISP_E_TYPEMISMATCH;
            }
        }
        *word = reinterpret_cast<ArgumentSlot>(V_DISPATCH(local));
        return S_OK;
    }
    }
    return DISP_E_TYPEMISMATCH;
}

void* PayloadAddress(VARIANT* local) {
    switch (V_VT(local)) {
    case VT_I4: return &V_I4(local);
    case VT_BOOL: return &V_BOOL(local);
    case VT_BSTR: return &V_BSTR(local);
    default: return &V_DISPATCH(local);
    }
}

// A VARIANT of the dispatcher's own that clears itself only when it holds something to release: a
// Long, a Boolean or nothing needs no call into the runtime, and most arguments are such.
class LocalVariant {
public:
    LocalVariant() noexcept { V_VT(&m_value) = VT_EMPTY; }
    LocalVariant(const LocalVariant&) = delete;
    LocalVariant& operator=(const LocalVariant&) = delete;
    ~LocalVariant() {
        const VARTYPE type = V_VT(&m_value);
        if (type != VT_EMPTY && type != VT_I4 && type != VT_BOOL) VariantClear(&m_value);
    }
    VARIANT* get() noexcept { return &m_value; }
    // Hands the value to `out` (which the caller has cleared) and forgets it.
    void release(VARIANT* out) noexcept {
        *out = m_value;
        V_VT(&m_value) = VT_EMPTY;
    }

private:
    VARIANT m_value;
};

// One argument on its way to the member.
struct Slot {
    LocalVariant local;
    VARIANT* writeBack = nullptr;  // the caller's variable, for a by-reference parameter
};

HRESULT Call(void* object, unsigned index, const ArgumentSlot* w, size_t n) {
    void* fn = (*static_cast<void***>(object))[index];
    using S = ArgumentSlot;
    using F0 = HRESULT(STDMETHODCALLTYPE*)(void*);
    using F1 = HRESULT(STDMETHODCALLTYPE*)(void*, S);
    using F2 = HRESULT(STDMETHODCALLTYPE*)(void*, S, S);
    using F3 = HRESULT(STDMETHODCALLTYPE*)(void*, S, S, S);
    using F4 = HRESULT(STDMETHODCALLTYPE*)(void*, S, S, S, S);
    using F5 = HRESULT(STDMETHODCALLTYPE*)(void*, S, S, S, S, S);
    using F6 = HRESULT(STDMETHODCALLTYPE*)(void*, S, S, S, S, S, S);
    switch (n) {
    case 0: return reinterpret_cast<F0>(fn)(object);
    case 1: return reinterpret_cast<F1>(fn)(object, w[0]);
    case 2: return reinterpret_cast<F2>(fn)(object, w[0], w[1]);
    case 3: return reinterpret_cast<F3>(fn)(object, w[0], w[1], w[2]);
    case 4: return reinterpret_cast<F4>(fn)(object, w[0], w[1], w[2], w[3]);
    case 5: return reinterpret_cast<F5>(fn)(object, w[0], w[1], w[2], w[3], w[4]);
    case 6: return reinterpret_cast<F6>(fn)(object, w[0], w[1], w[2], w[3], w[4], w[5]);
    default: return DISP_E_BADPARAMCOUNT;
    }
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
    if (FAILED(m_status)) m_members.clear();
}

HRESULT Dispatcher::Load(REFIID iid) {
    ComPtr<ITypeLib> library;
    RETURN_IF_FAILED(LoadOwnTypeLibrary(library.put()));
    RETURN_IF_FAILED(library->GetTypeInfoOfGuid(iid, m_dispatchInfo.put()));

    // The interface view of a dual interface carries the table offsets.
    ComPtr<ITypeInfo> interfaceInfo = m_dispatchInfo;
    {
        TypeAttr attr(m_dispatchInfo.get());
        RETURN_IF_FAILED(m_dispatchInfo->GetTypeAttr(&attr.attr));
        if (attr.attr->typekind == TKIND_DISPATCH) {
            HREFTYPE href = 0;
            RETURN_IF_FAILED(m_dispatchInfo->GetRefTypeOfImplType(-1, &href));
            RETURN_IF_FAILED(m_dispatchInfo->GetRefTypeInfo(href, interfaceInfo.put()));
        }
    }
    TypeAttr attr(interfaceInfo.get());
    RETURN_IF_FAILED(interfaceInfo->GetTypeAttr(&attr.attr));
    for (UINT f = 0; f < attr.attr->cFuncs; ++f) {
        FuncDesc func(interfaceInfo.get());
        RETURN_IF_FAILED(interfaceInfo->GetFuncDesc(f, &func.desc));
        const FUNCDESC& d = *func.desc;
        Member member;
        member.id = d.memid;
        member.invokeKind = d.invkind;
        member.vtableIndex = static_cast<unsigned>(d.oVft) / sizeof(void*);
        for (SHORT p = 0; p < d.cParams; ++p) {
            const ELEMDESC& element = d.lprgelemdescParam[p];
            const USHORT paramFlags = element.paramdesc.wParamFlags;
            Parameter parameter;
            RETURN_IF_FAILED(ParseParameter(interfaceInfo.get(), element.tdesc, &parameter));
            if (paramFlags & PARAMFLAG_FRETVAL) {
                member.hasResult = true;
                member.result = parameter;
                continue;
            }
            parameter.optional = (paramFlags & (PARAMFLAG_FOPT | PARAMFLAG_FHASDEFAULT)) != 0;
            VariantInit(&parameter.defaultValue);
            if ((paramFlags & PARAMFLAG_FHASDEFAULT) && element.paramdesc.pparamdescex) {
                RETURN_IF_FAILED(VariantCopy(&parameter.defaultValue,
                                             &element.paramdesc.pparamdescex->varDefaultValue));
            }
            member.parameters.push_back(parameter);
        }
        BSTR names[16] = {};
        UINT nameCount = 0;
        RETURN_IF_FAILED(interfaceInfo->GetNames(d.memid, names, 16, &nameCount));
        for (UINT n = 0; n < nameCount; ++n) {
            member.names.emplace_back(names[n] ? names[n] : L"");
            SysFreeString(names[n]);
        }
        m_members.push_back(std::move(member));
    }
    IndexNames();
    return S_OK;
}

void Dispatcher::IndexNames() {
    for (size_t m = 0; m < m_members.size(); ++m) {
        if (m_members[m].names.empty()) continue;
        std::wstring folded;
        unsigned hash = kHashBasis;
        for (wchar_t c : m_members[m].names[0]) {
            folded.push_back(Folded(c));
            hash = HashStep(hash, folded.back());
        }
        auto same = [&](const NameGroup& g) { return g.folded == folded; };
        auto group = std::find_if(m_names.begin(), m_names.end(), same);
        if (group == m_names.end()) group = m_names.insert(m_names.end(), NameGroup{folded, hash, {}});
        group->members.push_back(m);
    }
    // At most half full, so that a probe ends soon at an empty slot.
    size_t slots = 8;
    while (slots < 2 * m_names.size()) slots *= 2;
    m_nameSlots.assign(slots, -1);
    for (size_t g = 0; g < m_names.size(); ++g) {
        size_t at = m_names[g].hash & (slots - 1);
        while (m_nameSlots[at] >= 0) at = (at + 1) & (slots - 1);
        m_nameSlots[at] = static_cast<int>(g);
    }
    // By id, and within one id in the order of the type library, which Find relies on.
    for (size_t m = 0; m < m_members.size(); ++m) m_ids.push_back({m_members[m].id, m});
    std::stable_sort(m_ids.begin(), m_ids.end(),
                     [](const IdEntry& a, const IdEntry& b) { return a.id < b.id; });
}

const Dispatcher::NameGroup* Dispatcher::FindName(const wchar_t* name, bool* ascii) const noexcept {
    unsigned hash = kHashBasis;
    size_t length = 0;
    for (; name[length]; ++length) {
        if (name[length] >= 0x80) {
            *ascii = false;
            return nullptr;
        }
        hash = HashStep(hash, AsciiFolded(name[length]));
    }
    *ascii = true;
    if (m_nameSlots.empty()) return nullptr;
    const size_t mask = m_nameSlots.size() - 1;
    for (size_t at = hash & mask; m_nameSlots[at] >= 0; at = (at + 1) & mask) {
        const NameGroup& group = m_names[static_cast<size_t>(m_nameSlots[at])];
        if (group.hash != hash || group.folded.size() != length) continue;
        size_t i = 0;
        while (i < length && group.folded[i] == AsciiFolded(name[i])) ++i;
        if (i == length) return &group;
    }
    return nullptr;
}

void Dispatcher::FillIds(const Member& member, LPOLESTR* names, UINT count, DISPID* ids) const noexcept {
    ids[0] = member.id;
    // Named arguments: the index of each parameter name, from any accessor of the member.
    for (UINT i = 1; i < count; ++i) {
        if (!names[i]) continue;
        for (size_t p = 1; p < member.names.size(); ++p) {
            if (SameName(member.names[p], names[i])) ids[i] = static_cast<DISPID>(p - 1);
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
    if (const NameGroup* group = names[0] ? FindName(names[0], &ascii) : nullptr) {
        for (size_t m : group->members) FillIds(m_members[m], names, count, ids);
        status = S_OK;
    } else if (names[0] && !ascii) {
        // A name with other characters: the runtime's folding of every character, member by member.
        for (const Member& member : m_members) {
            if (member.names.empty() || !SameName(member.names[0], names[0])) continue;
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
    const auto first = std::lower_bound(m_ids.begin(), m_ids.end(), id,
                                        [](const IdEntry& e, DISPID wanted) { return e.id < wanted; });
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

    const size_t count = member->parameters.size();
    const UINT positional = params->cArgs - params->cNamedArgs;
    const bool isPut = member->invokeKind == INVOKE_PROPERTYPUT ||
                       member->invokeKind == INVOKE_PROPERTYPUTREF;
    if (positional > count) return DISP_E_BADPARAMCOUNT;

    // Which argument (index into rgvarg) goes to each parameter; -1 for none.
    int argumentOf[8];
    if (count > 8) return DISP_E_BADPARAMCOUNT;
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

    {
        // On the stack: a call allocates nothing of its own unless a conversion must.
        Slot slots[9];
        ArgumentSlot words[9] = {};
        for (size_t p = 0; p < count; ++p) {
            const Parameter& parameter = member->parameters[p];
            Slot& slot = slots[p];
            VARIANT* given = argumentOf[p] >= 0 ? &params->rgvarg[argumentOf[p]] : nullptr;
            VARIANT* value = Dereference(given);
            if (!value || (V_VT(value) == VT_ERROR && V_ERROR(value) == DISP_E_PARAMNOTFOUND)) {
                if (!parameter.optional) return DISP_E_PARAMNOTOPTIONAL;
                value = const_cast<VARIANT*>(&parameter.defaultValue);
                given = nullptr;
            }
            const VARTYPE typed = VariantTypeOf(parameter.kind);
            if (parameter.byRef && given && V_VT(given) == (VT_BYREF | typed) &&
                parameter.kind != Kind::Interface) {
                words[p] = reinterpret_cast<ArgumentSlot>(V_BYREF(given));  // the caller's own variable
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
            } else if (HRESULT converted = ConvertValue(parameter, value, slot.local.get(), &word);
                       FAILED(converted)) {
                if (argError && given) *argError = static_cast<UINT>(argumentOf[p]);
                return converted == DISP_E_OVERFLOW ? DISP_E_OVERFLOW : DISP_E_TYPEMISMATCH;
            }
            if (parameter.byRef) {
                words[p] = reinterpret_cast<ArgumentSlot>(PayloadAddress(slot.local.get()));
                if (given && V_VT(given) == (VT_VARIANT | VT_BYREF)) slot.writeBack = value;
            } else {
                words[p] = word;
            }
        }
        size_t wordCount = count;
        if (member->hasResult) {
            VARIANT* local = slots[count].local.get();
            V_VT(local) = VariantTypeOf(member->result.kind);
            V_I4(local) = 0;
            V_DISPATCH(local) = nullptr;
            words[wordCount++] = reinterpret_cast<ArgumentSlot>(PayloadAddress(local));
        }

        ClearError();
        const HRESULT status = Call(object, member->vtableIndex, words, wordCount);
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
        if (member->hasResult && result) {
            // A caller's result is mostly fresh: only one that holds something needs the runtime.
            if (V_VT(result) != VT_EMPTY) VariantClear(result);
            slots[count].local.release(result);
        }
        return S_OK;
    }
}

}  // namespace wrang
