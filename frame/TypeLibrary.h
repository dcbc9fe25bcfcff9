// What the component's type library says, read once into plain values: the classes, their
// interfaces with every member (dispatch identifier, kind, slot in the table of operations,
// parameters with their types, flags and defaults, result, names and help text) and the
// enumerations. The dispatcher reads its interface from here; the reference generator, the
// dispatch fuzzer and the benchmark read the same description, so the library is walked in one
// place only.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>
#include <vector>

#include "platform/Resource.h"
#include "platform/Result.h"

namespace wrang {

// A parameter's or result's type. Pointer levels are counted, not kept as a chain: `vt` is the
// type they point to at the end.
struct TypeDescription {
    VARTYPE vt = VT_EMPTY;
    unsigned pointers = 0;
    // For VT_USERDEFINED: what the referenced type is, its name and (for an interface) its IID.
    TYPEKIND referencedKind = TKIND_MAX;
    std::wstring name;
    IID iid = IID_NULL;

    bool IsInterface() const noexcept {
        return vt == VT_USERDEFINED && (referencedKind == TKIND_INTERFACE || referencedKind == TKIND_DISPATCH);
    }
    bool IsEnum() const noexcept { return vt == VT_USERDEFINED && referencedKind == TKIND_ENUM; }
};

struct ParameterDescription {
    TypeDescription type;
    USHORT flags = 0;            // PARAMFLAG_*
    UniqueVariant defaultValue;  // VT_EMPTY unless PARAMFLAG_FHASDEFAULT
};

struct MemberDescription {
    DISPID id = DISPID_UNKNOWN;
    INVOKEKIND invokeKind = INVOKE_FUNC;
    unsigned vtableIndex = 0;
    std::vector<ParameterDescription> parameters;  // the result excluded
    bool hasResult = false;
    TypeDescription result;
    // As the library names them: the member, then its parameters. A property's accessors share the
    // names of its get, so the assigned value of a let or set has no name of its own.
    std::vector<std::wstring> names;
    std::wstring help;

    const std::wstring& Name() const noexcept;
};

struct InterfaceDescription {
    std::wstring name;
    std::wstring help;
    IID iid = IID_NULL;
    std::vector<MemberDescription> members;  // in the order of the table of operations
};

struct ClassDescription {
    std::wstring name;
    std::wstring help;
    CLSID clsid = CLSID_NULL;
    bool creatable = false;
    InterfaceDescription defaultInterface;
};

struct EnumDescription {
    std::wstring name;
    std::wstring help;
    std::vector<std::pair<std::wstring, LONG>> values;
};

struct LibraryDescription {
    std::wstring name;
    std::wstring help;
    WORD majorVersion = 0;
    WORD minorVersion = 0;
    std::vector<ClassDescription> classes;
    std::vector<EnumDescription> enums;

    // The class whose default interface is `iid`; nullptr when there is none.
    const ClassDescription* ClassOf(REFIID iid) const noexcept;
};

// Calls `visit(info, attr)` for every type of `library` in the library's order; the first failure
// (the library's or the visit's) ends the walk and is the result.
template <typename Visit>
[[nodiscard]] HRESULT ForEachType(ITypeLib* library, Visit visit) {
    const UINT count = library->GetTypeInfoCount();
    for (UINT i = 0; i < count; ++i) {
        ComPtr<ITypeInfo> info;
        RETURN_IF_FAILED(library->GetTypeInfo(i, info.put()));
        UniqueTypeAttr attr(info.get());
        RETURN_IF_FAILED(info->GetTypeAttr(attr.put()));
        RETURN_IF_FAILED(visit(info.get(), *attr.get()));
    }
    return S_OK;
}

// The type library this code is linked into (resource 1 of the DLL or of a test program).
[[nodiscard]] HRESULT LoadOwnTypeLibrary(ITypeLib** library) noexcept;

// The description of one interface, from either view of a dual interface: the members are read
// from its table-of-operations view, which carries their slots. May throw std::bad_alloc.
[[nodiscard]] HRESULT DescribeInterface(ITypeInfo* info, InterfaceDescription* out);
// The same for the interface of `iid` in `library`.
[[nodiscard]] HRESULT DescribeInterface(ITypeLib* library, REFIID iid, InterfaceDescription* out);
// Every class, with its default interface, and every enumeration, in the library's order.
[[nodiscard]] HRESULT DescribeLibrary(ITypeLib* library, LibraryDescription* out);

// The interface view of a dual interface (the one with the table offsets); `info` itself otherwise.
[[nodiscard]] HRESULT InterfaceViewOf(ITypeInfo* info, ITypeInfo** view) noexcept;

}  // namespace wrang
