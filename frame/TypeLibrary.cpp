#include "frame/TypeLibrary.h"

#include "platform/ModuleAndRegistry.h"
#include "platform/Result.h"

namespace wrang {
namespace {

std::wstring TextOf(const UniqueBstr& text) {
    return text ? std::wstring(text.get(), SysStringLen(text.get())) : std::wstring();
}

// The name and help text the library gives `member` of `info` (MEMBERID_NIL: the type itself).
void Document(ITypeInfo* info, MEMBERID member, std::wstring* name, std::wstring* help) {
    UniqueBstr nameText, helpText;
    if (FAILED(info->GetDocumentation(member, name ? nameText.put() : nullptr, help ? helpText.put() : nullptr, nullptr,
                                      nullptr))) {
        return;
    }
    if (name) *name = TextOf(nameText);
    if (help) *help = TextOf(helpText);
}

HRESULT DescribeType(ITypeInfo* owner, const TYPEDESC& type, TypeDescription* out) {
    const TYPEDESC* at = &type;
    for (; at->vt == VT_PTR; at = at->lptdesc) ++out->pointers;
    out->vt = at->vt;
    if (at->vt != VT_USERDEFINED) return S_OK;
    ComPtr<ITypeInfo> referenced;
    RETURN_IF_FAILED(owner->GetRefTypeInfo(at->hreftype, referenced.put()));
    UniqueTypeAttr attr(referenced.get());
    RETURN_IF_FAILED(referenced->GetTypeAttr(attr.put()));
    out->referencedKind = attr->typekind;
    out->iid = attr->guid;
    Document(referenced.get(), MEMBERID_NIL, &out->name, nullptr);
    return S_OK;
}

HRESULT DescribeMember(ITypeInfo* view, const FUNCDESC& d, MemberDescription* member) {
    member->id = d.memid;
    member->invokeKind = d.invkind;
    member->vtableIndex = static_cast<unsigned>(d.oVft) / sizeof(void*);
    for (SHORT p = 0; p < d.cParams; ++p) {
        const ELEMDESC& element = d.lprgelemdescParam[p];
        ParameterDescription parameter;
        parameter.flags = element.paramdesc.wParamFlags;
        RETURN_IF_FAILED(DescribeType(view, element.tdesc, &parameter.type));
        if (parameter.flags & PARAMFLAG_FRETVAL) {
            member->hasResult = true;
            member->result = parameter.type;
            continue;
        }
        if ((parameter.flags & PARAMFLAG_FHASDEFAULT) && element.paramdesc.pparamdescex) {
            RETURN_IF_FAILED(
                VariantCopy(parameter.defaultValue.get(), &element.paramdesc.pparamdescex->varDefaultValue));
        }
        member->parameters.push_back(std::move(parameter));
    }
    constexpr UINT kMostNames = 16;
    BSTR names[kMostNames] = {};
    UINT nameCount = 0;
    const HRESULT named = view->GetNames(d.memid, names, kMostNames, &nameCount);
    // Owned before anything else can fail, so that every name is released on every path.
    std::vector<UniqueBstr> owned;
    for (UINT n = 0; n < nameCount; ++n) owned.emplace_back(names[n]);
    RETURN_IF_FAILED(named);
    for (const UniqueBstr& name : owned) member->names.push_back(TextOf(name));
    Document(view, d.memid, nullptr, &member->help);
    return S_OK;
}

}  // namespace

const std::wstring& MemberDescription::Name() const noexcept {
    static const std::wstring kNone;
    return names.empty() ? kNone : names[0];
}

const ClassDescription* LibraryDescription::ClassOf(REFIID iid) const noexcept {
    for (const ClassDescription& cls : classes) {
        if (IsEqualGUID(cls.defaultInterface.iid, iid)) return &cls;
    }
    return nullptr;
}

HRESULT LoadOwnTypeLibrary(ITypeLib** library) noexcept {
    wchar_t path[MAX_PATH + 1];
    RETURN_IF_FAILED(platform::ThisModulePath(path, MAX_PATH + 1));
    return LoadTypeLibEx(path, REGKIND_NONE, library);
}

HRESULT InterfaceViewOf(ITypeInfo* info, ITypeInfo** view) noexcept {
    *view = nullptr;
    UniqueTypeAttr attr(info);
    RETURN_IF_FAILED(info->GetTypeAttr(attr.put()));
    if (attr->typekind == TKIND_DISPATCH) {
        HREFTYPE href = 0;
        if (SUCCEEDED(info->GetRefTypeOfImplType(-1, &href))) return info->GetRefTypeInfo(href, view);
    }
    ComPtr<ITypeInfo>(info).copyTo(view);
    return S_OK;
}

HRESULT DescribeInterface(ITypeInfo* info, InterfaceDescription* out) {
    Document(info, MEMBERID_NIL, &out->name, &out->help);
    ComPtr<ITypeInfo> view;
    RETURN_IF_FAILED(InterfaceViewOf(info, view.put()));
    UniqueTypeAttr attr(view.get());
    RETURN_IF_FAILED(view->GetTypeAttr(attr.put()));
    out->iid = attr->guid;
    for (UINT f = 0; f < attr->cFuncs; ++f) {
        UniqueFuncDesc func(view.get());
        RETURN_IF_FAILED(view->GetFuncDesc(f, func.put()));
        MemberDescription member;
        RETURN_IF_FAILED(DescribeMember(view.get(), *func.get(), &member));
        out->members.push_back(std::move(member));
    }
    return S_OK;
}

HRESULT DescribeInterface(ITypeLib* library, REFIID iid, InterfaceDescription* out) {
    ComPtr<ITypeInfo> info;
    RETURN_IF_FAILED(library->GetTypeInfoOfGuid(iid, info.put()));
    return DescribeInterface(info.get(), out);
}

HRESULT DescribeLibrary(ITypeLib* library, LibraryDescription* out) {
    UniqueBstr name, help;
    RETURN_IF_FAILED(library->GetDocumentation(-1, name.put(), help.put(), nullptr, nullptr));
    out->name = TextOf(name);
    out->help = TextOf(help);
    TLIBATTR* libraryAttr = nullptr;
    RETURN_IF_FAILED(library->GetLibAttr(&libraryAttr));
    out->majorVersion = libraryAttr->wMajorVerNum;
    out->minorVersion = libraryAttr->wMinorVerNum;
    library->ReleaseTLibAttr(libraryAttr);

    return ForEachType(library, [out](ITypeInfo* info, const TYPEATTR& attr) -> HRESULT {
        if (attr.typekind == TKIND_COCLASS) {
            ClassDescription cls;
            Document(info, MEMBERID_NIL, &cls.name, &cls.help);
            cls.clsid = attr.guid;
            cls.creatable = (attr.wTypeFlags & TYPEFLAG_FCANCREATE) != 0;
            HREFTYPE href = 0;
            ComPtr<ITypeInfo> defaultInterface;
            RETURN_IF_FAILED(info->GetRefTypeOfImplType(0, &href));
            RETURN_IF_FAILED(info->GetRefTypeInfo(href, defaultInterface.put()));
            RETURN_IF_FAILED(DescribeInterface(defaultInterface.get(), &cls.defaultInterface));
            out->classes.push_back(std::move(cls));
        } else if (attr.typekind == TKIND_ENUM) {
            EnumDescription described;
            Document(info, MEMBERID_NIL, &described.name, &described.help);
            for (UINT v = 0; v < attr.cVars; ++v) {
                UniqueVarDesc var(info);
                if (FAILED(info->GetVarDesc(v, var.put())) || var->varkind != VAR_CONST || !var->lpvarValue) continue;
                UniqueVariant number;
                RETURN_IF_FAILED(VariantChangeType(number.get(), var->lpvarValue, 0, VT_I4));
                std::wstring valueName;
                Document(info, var->memid, &valueName, nullptr);
                described.values.emplace_back(valueName, V_I4(number.get()));
            }
            out->enums.push_back(std::move(described));
        }
        return S_OK;
    });
}

}  // namespace wrang
