// Late-bound calls of a dual interface, driven by the component's own type library.
//
// ITypeInfo::Invoke is not used: script engines pass a variable by reference as VT_VARIANT|VT_BYREF,
// which it rejects for typed by-reference parameters; Wine's GetFuncIndexOfMemId answers wrong
// indices on a dual interface's dispatch view; and JScript's null for an object parameter is a type
// mismatch there. This dispatcher reads each member's parameter types once, converts the arguments
// as a script sends them (writing by-reference variables back), and calls the member through the
// interface's table of operations.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>
#include <vector>

#include "frame/Resource.h"

namespace wrang {

class Dispatcher {
public:
    // Loads the description of the dual interface `iid` from this module's type library.
    explicit Dispatcher(REFIID iid) noexcept;
    Dispatcher(const Dispatcher&) = delete;
    Dispatcher& operator=(const Dispatcher&) = delete;

    HRESULT GetTypeInfo(UINT index, ITypeInfo** typeInfo) noexcept;
    HRESULT GetIDsOfNames(LPOLESTR* names, UINT count, DISPID* ids) noexcept;
    // `object` is the interface pointer whose table of operations is called.
    HRESULT Invoke(void* object, DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result,
                   EXCEPINFO* exception, UINT* argError) noexcept;

    enum class Kind : unsigned char { Long, Boolean, String, Object, Interface };
    struct Parameter {
        Kind kind = Kind::Long;
        bool byRef = false;
        bool optional = false;
        IID iid = IID_NULL;  // for Kind::Interface
        VARIANT defaultValue{};
    };
    struct Member {
        DISPID id = DISPID_UNKNOWN;
        INVOKEKIND invokeKind = INVOKE_FUNC;
        unsigned vtableIndex = 0;
        std::vector<Parameter> parameters;  // without the result
        bool hasResult = false;
        Parameter result;
        std::vector<std::wstring> names;  // member name, then parameter names
    };

private:
    // The members that share one name (the accessors of a property), found by the name folded to
    // upper case. A script asks for a name before nearly every call, so the lookup is one hash and
    // one comparison, not a walk over every member.
    struct NameGroup {
        std::wstring folded;          // the name in upper case (ASCII letters only: see below)
        unsigned hash = 0;
        std::vector<size_t> members;  // indices into m_members, in the order of the type library
    };
    // A member by DISPID, for Find: the table sorted by id.
    struct IdEntry {
        DISPID id;
        size_t member;
    };

    HRESULT Load(REFIID iid);
    void IndexNames();
    const Member* Find(DISPID id, WORD flags) const noexcept;
    // The group of the member named `name`, when `name` is ASCII; nullptr when no member has it.
    // `ascii` is false for a name with other characters, which the caller looks up the slow way.
    const NameGroup* FindName(const wchar_t* name, bool* ascii) const noexcept;
    void FillIds(const Member& member, LPOLESTR* names, UINT count, DISPID* ids) const noexcept;

    HRESULT m_status = E_UNEXPECTED;
    ComPtr<ITypeInfo> m_dispatchInfo;
    std::vector<Member> m_members;
    std::vector<NameGroup> m_names;
    std::vector<int> m_nameSlots;  // open addressing: index into m_names, -1 for an empty slot
    std::vector<IdEntry> m_ids;
};

}  // namespace wrang
