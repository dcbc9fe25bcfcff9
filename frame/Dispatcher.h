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

#include <vector>

#include "frame/ArgumentConversion.h"
#include "frame/NameIndex.h"
#include "frame/TypeLibrary.h"
#include "platform/Resource.h"

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
    HRESULT Invoke(void* object, DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                   UINT* argError) noexcept;

private:
    // A member's parameter as a call needs it, made once from the type library's description.
    struct Parameter {
        ArgumentKind kind = ArgumentKind::Long;
        bool byRef = false;
        bool optional = false;
        IID iid = IID_NULL;                     // for ArgumentKind::Interface
        const VARIANT* defaultValue = nullptr;  // in m_interface, which lives as long as this dispatcher
    };
    // A member as a call needs it; its names stay in m_interface.
    struct Member {
        unsigned vtableIndex = 0;
        INVOKEKIND invokeKind = INVOKE_FUNC;
        DISPID id = DISPID_UNKNOWN;
        bool hasResult = false;
        ArgumentKind resultKind = ArgumentKind::Long;
        std::vector<Parameter> parameters;                 // without the result
        const std::vector<std::wstring>* names = nullptr;  // member name, then parameter names
    };
    // A member by DISPID, for Find: the table sorted by id.
    struct IdEntry {
        DISPID id;
        size_t member;
    };

    // One argument on its way to the member.
    struct Slot {
        LocalVariant local;
        VARIANT* writeBack = nullptr;  // the caller's variable, for a by-reference parameter
    };

    HRESULT Load(REFIID iid);
    const Member* Find(DISPID id, WORD flags) const noexcept;
    static HRESULT CallAndHandBack(void* object, const Member& member, ArgumentSlot* words, size_t wordCount,
                                   Slot* slots, size_t count, VARIANT* result, EXCEPINFO* exception) noexcept;
    void FillIds(const Member& member, LPOLESTR* names, UINT count, DISPID* ids) const noexcept;

    HRESULT m_status = E_UNEXPECTED;
    ComPtr<ITypeInfo> m_dispatchInfo;
    InterfaceDescription m_interface;
    std::vector<Member> m_members;
    NameIndex m_names;
    std::vector<IdEntry> m_ids;
};

}  // namespace wrang
