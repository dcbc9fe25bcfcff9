// The registered type library is the published contract: member order, DISPIDs, flags, defaults.
#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <type_traits>
#include <vector>

#include "Wrang_h.h"
#include "frame/Classes.h"
#include "platform/Resource.h"
#include "support/Automation.h"

namespace wrang::test {
namespace {

struct Row {
    const wchar_t* name;
    INVOKEKIND kind;
    DISPID id;
};
constexpr INVOKEKIND F = INVOKE_FUNC, G = INVOKE_PROPERTYGET, P = INVOKE_PROPERTYPUT, R = INVOKE_PROPERTYPUTREF;

const std::vector<Row> kWrangler = {{L"InitByHandle", F, 0x6003000F},
                                    {L"InitByWindow", F, 0x60030010},
                                    {L"hWnd", G, 0x6803000E},
                                    {L"hWndParent", G, 0x6803000D},
                                    {L"hWndParent", P, 0x6803000D},
                                    {L"Parent", G, 0x6803000C},
                                    {L"Parent", R, 0x6803000C},
                                    {L"ClassName", G, 0x6803000B},
                                    {L"AlwaysOnTop", G, 0x6803000A},
                                    {L"AlwaysOnTop", P, 0x6803000A},
                                    {L"Enabled", G, 0x68030009},
                                    {L"Enabled", P, 0x68030009},
                                    {L"Visible", G, 0x68030008},
                                    {L"Visible", P, 0x68030008},
                                    {L"Text", G, 0x68030007},
                                    {L"Text", P, 0x68030007},
                                    {L"Left", G, 0x68030006},
                                    {L"Left", P, 0x68030006},
                                    {L"Top", G, 0x68030005},
                                    {L"Top", P, 0x68030005},
                                    {L"Width", G, 0x68030004},
                                    {L"Width", P, 0x68030004},
                                    {L"Height", G, 0x68030003},
                                    {L"Height", P, 0x68030003},
                                    {L"WindowState", G, 0x68030002},
                                    {L"WindowState", P, 0x68030002},
                                    {L"HasChildren", G, 0x68030001},
                                    {L"SendMsg", F, 0x60030011},
                                    {L"SendMsgByRef", F, 0x60030012},
                                    {L"SendMsgLong", F, 0x60030013},
                                    {L"SendMsgLongByRef", F, 0x60030014},
                                    {L"SendMsgString", F, 0x60030015},
                                    {L"SendMsgStringByRef", F, 0x60030016},
                                    {L"PostMsg", F, 0x60030017},
                                    {L"GetNextSibling", F, 0x60030018},
                                    {L"GetPreviousSibling", F, 0x60030019},
                                    {L"GetSibling", F, 0x6003001A},
                                    {L"GetTopLevelParent", F, 0x6003001B},
                                    {L"GetFirstChild", F, 0x6003001C},
                                    {L"GetLastChild", F, 0x6003001D},
                                    {L"GetChild", F, 0x6003001E},
                                    {L"GetMenu", F, 0x6003001F},
                                    {L"GetWindowHandle", F, 0x60030020},
                                    {L"IsWindow", G, 0x68030000},
                                    {L"CloseWindow", F, 0x60030021},
                                    {L"Flash", F, 0x60030022},
                                    {L"Refresh", F, 0x60030023},
                                    {L"Focus", F, 0x60030024},
                                    {L"Update", F, 0x60030025},
                                    {L"ClickButton", F, 0x60030026},
                                    {L"SendText", F, 0x60030027},
                                    {L"VBSendKeys", F, 0x60030028}};
const std::vector<Row> kSysToolbar = {{L"Init", F, 0x60030003},
                                      {L"Count", G, 0x68030002},
                                      {L"GetButtonByIndex", F, 0x60030004},
                                      {L"GetButtonByCommand", F, 0x60030005},
                                      {L"hWnd", G, 0x68030001},
                                      {L"IsWindow", G, 0x68030000}};
const std::vector<Row> kToolbarButton = {
    {L"Init", F, 0x60030004},      {L"Text", G, 0x68030002},          {L"Count", G, 0x68030001},
    {L"Visible", G, 0x68030000},   {L"Visible", P, 0x68030000},       {L"MoveLeft", F, 0x60030005},
    {L"MoveRight", F, 0x60030006}, {L"GetNextButton", F, 0x60030007}, {L"GetPreviousButton", F, 0x60030008}};
const std::vector<Row> kJuggler = {
    {L"Init", F, 0x60030003},           {L"InitByHandle", F, 0x60030004},    {L"InitByWindow", F, 0x60030005},
    {L"hWnd", G, 0x68030002},           {L"hMenu", G, 0x68030001},           {L"GetWindow", F, 0x60030006},
    {L"GetMenuHandle", F, 0x60030007},  {L"GetWindowHandle", F, 0x60030008}, {L"ChildCount", G, 0x68030000},
    {L"GetSysMenu", F, 0x60030009},     {L"GetChildState", F, 0x6003000A},   {L"GetChildMenu", F, 0x6003000B},
    {L"GetSysMenuID", F, 0x6003000C},   {L"ClickChildItem", F, 0x6003000D},  {L"ClickChildItem2", F, 0x6003000E},
    {L"BeginChildEnum", F, 0x6003000F}, {L"EndChildEnum", F, 0x60030010}};
const std::vector<Row> kMenuItem = {
    {L"Init", F, 0x60030005},          {L"GetMenuHandle", F, 0x60030006},  {L"GetWindowHandle", F, 0x60030007},
    {L"GetChildState", F, 0x60030008}, {L"Text", G, 0x68030004},           {L"Text", P, 0x68030004},
    {L"Enabled", G, 0x68030003},       {L"Enabled", P, 0x68030003},        {L"Checked", G, 0x68030002},
    {L"Checked", P, 0x68030002},       {L"IsSeparator", G, 0x68030001},    {L"ChildCount", G, 0x68030000},
    {L"GetChildMenu", F, 0x60030009},  {L"ClickChildItem", F, 0x6003000A}, {L"ClickChildItem2", F, 0x6003000B},
    {L"ClickItem", F, 0x6003000C},     {L"BeginChildEnum", F, 0x6003000D}, {L"EndChildEnum", F, 0x6003000E}};
const std::vector<Row> kMenuEnum = {{L"Init", F, 0x60030000},
                                    {L"Count", F, 0x60030001},
                                    {L"NextItem", F, 0x60030002},
                                    {L"GetItem", F, 0x60030003},
                                    {L"EndEnum", F, 0x60030004}};
const std::vector<Row> kWatcher = {{L"WaitForWindow", F, 0x60030000}, {L"WaitForChild", F, 0x60030001},
                                   {L"WaitForState", F, 0x60030002},  {L"WaitForClose", F, 0x60030003},
                                   {L"WaitForIdle", F, 0x60030004},   {L"IsResponding", F, 0x60030005},
                                   {L"SendMsgTimeout", F, 0x60030006}, {L"Activate", F, 0x60030007},
                                   {L"Pause", F, 0x60030008},         {L"WaitForMatch", F, 0x60030009}};
const std::vector<Row> kListReader = {{L"hWnd", G, 0x68030004},          {L"Kind", G, 0x68030003},
                                      {L"Count", G, 0x68030002},         {L"ColumnCount", G, 0x68030001},
                                      {L"SelectedIndex", G, 0x68030000}, {L"InitByHandle", F, 0x60030005},
                                      {L"GetText", F, 0x60030006},       {L"GetColumn", F, 0x60030007},
                                      {L"FindText", F, 0x60030008},      {L"IsSelected", F, 0x60030009},
                                      {L"Select", F, 0x6003000A},        {L"SelectText", F, 0x6003000B},
                                      {L"Deselect", F, 0x6003000C},      {L"SelectedIndices", F, 0x6003000D},
                                      {L"Check", F, 0x6003000E},         {L"IsChecked", F, 0x6003000F}};
const std::vector<Row> kTreeReader = {{L"hWnd", G, 0x68030002},         {L"Count", G, 0x68030001},
                                      {L"SelectedPath", G, 0x68030000}, {L"InitByHandle", F, 0x60030003},
                                      {L"GetChildren", F, 0x60030004},  {L"Exists", F, 0x60030005},
                                      {L"IsExpanded", F, 0x60030006},   {L"Expand", F, 0x60030007},
                                      {L"Collapse", F, 0x60030008},     {L"Select", F, 0x60030009},
                                      {L"Check", F, 0x6003000A},        {L"IsChecked", F, 0x6003000B}};
const std::vector<Row> kFinder = {
    {L"ClassName", G, 0x68030007},   {L"ClassName", P, 0x68030007},   {L"WindowText", G, 0x68030006},
    {L"WindowText", P, 0x68030006},  {L"MatchMode", G, 0x68030005},   {L"MatchMode", P, 0x68030005},
    {L"IgnoreCase", G, 0x68030004},  {L"IgnoreCase", P, 0x68030004},  {L"ProcessId", G, 0x68030003},
    {L"ProcessId", P, 0x68030003},   {L"ControlId", G, 0x68030002},   {L"ControlId", P, 0x68030002},
    {L"Parent", G, 0x68030001},      {L"Parent", R, 0x68030001},      {L"VisibleOnly", G, 0x68030000},
    {L"VisibleOnly", P, 0x68030000}, {L"FindFirst", F, 0x60030008},   {L"FindAll", F, 0x60030009},
    {L"Count", F, 0x6003000A},       {L"ProcessIdOf", F, 0x6003000B}, {L"ProcessPathOf", F, 0x6003000C},
    {L"ControlIdOf", F, 0x6003000D}, {L"OwnerOf", F, 0x6003000E},     {L"Reset", F, 0x6003000F}};
const std::vector<Row> kInput = {
    {L"TypeText", F, 0x60030000}, {L"Click", F, 0x60030001}, {L"ClickMenu", F, 0x60030002}};

struct InterfaceCase {
    const char* label;
    const IID* iid;
    const CLSID* clsid;
    bool creatable;
    const std::vector<Row>* rows;
};
const InterfaceCase kInterfaces[] = {
    {"_clsWrangler", &IID__clsWrangler, &CLSID_clsWrangler, true, &kWrangler},
    {"_clsSysToolbar", &IID__clsSysToolbar, &CLSID_clsSysToolbar, true, &kSysToolbar},
    {"_clsToolbarButton", &IID__clsToolbarButton, &CLSID_clsToolbarButton, false, &kToolbarButton},
    {"_clsJuggler", &IID__clsJuggler, &CLSID_clsJuggler, true, &kJuggler},
    {"_clsMenuItem", &IID__clsMenuItem, &CLSID_clsMenuItem, false, &kMenuItem},
    {"_clsMenuEnum", &IID__clsMenuEnum, &CLSID_clsMenuEnum, false, &kMenuEnum},
    {"_clsWatcher", &IID__clsWatcher, &CLSID_clsWatcher, true, &kWatcher},

    {"_clsListReader", &IID__clsListReader, &CLSID_clsListReader, true, &kListReader},
    {"_clsTreeReader", &IID__clsTreeReader, &CLSID_clsTreeReader, true, &kTreeReader},
    {"_clsFinder", &IID__clsFinder, &CLSID_clsFinder, true, &kFinder},
    {"_clsInput", &IID__clsInput, &CLSID_clsInput, true, &kInput}};

class RegisteredTypeLibrary : public testing::Test {
protected:
    void SetUp() override {
        // Asked as a client of the first release asks: a library of the same major version and a
        // higher minor one answers, so every published member below is bound as that client binds it.
        ASSERT_EQ(S_OK, LoadRegTypeLib(LIBID_Wrang, 90, 0, LOCALE_NEUTRAL, m_library.put()))
            << "Wrang 90.x is not registered";
    }
    // The interface (vtable) view of a dual interface.
    ComPtr<ITypeInfo> InterfaceInfo(REFIID iid) {
        ComPtr<ITypeInfo> dispatchView, interfaceView;
        EXPECT_EQ(S_OK, m_library->GetTypeInfoOfGuid(iid, dispatchView.put()));
        HREFTYPE href = 0;
        EXPECT_EQ(S_OK, dispatchView->GetRefTypeOfImplType(-1, &href));
        EXPECT_EQ(S_OK, dispatchView->GetRefTypeInfo(href, interfaceView.put()));
        return interfaceView;
    }
    ComPtr<ITypeLib> m_library;
};

TEST_F(RegisteredTypeLibrary, LibraryIsVersion90) {
    TLIBATTR* attr = nullptr;
    ASSERT_EQ(S_OK, m_library->GetLibAttr(&attr));
    EXPECT_EQ(90, attr->wMajorVerNum);
    EXPECT_EQ(2, attr->wMinorVerNum);
    m_library->ReleaseTLibAttr(attr);
    UniqueBstr name;
    ASSERT_EQ(S_OK, m_library->GetDocumentation(-1, name.put(), nullptr, nullptr, nullptr));
    EXPECT_STREQ(L"Wrang", name.get());
}

TEST_F(RegisteredTypeLibrary, EveryMemberInOrderWithItsDispidBothWaysAndAHelpString) {
    for (const InterfaceCase& c : kInterfaces) {
        SCOPED_TRACE(c.label);
        ComPtr<ITypeInfo> info = InterfaceInfo(*c.iid);
        ASSERT_TRUE(info);
        UniqueTypeAttr attr(info.get());
        ASSERT_EQ(S_OK, info->GetTypeAttr(attr.put()));
        const WORD wanted = TYPEFLAG_FHIDDEN | TYPEFLAG_FDUAL | TYPEFLAG_FNONEXTENSIBLE | TYPEFLAG_FOLEAUTOMATION;
        EXPECT_EQ(wanted, attr->wTypeFlags & wanted);
        ASSERT_EQ(c.rows->size(), attr->cFuncs);

        for (UINT i = 0; i < c.rows->size(); ++i) {
            const Row& row = (*c.rows)[i];
            SCOPED_TRACE(testing::Message() << "row " << i);
            UniqueFuncDesc func(info.get());
            ASSERT_EQ(S_OK, info->GetFuncDesc(i, func.put()));
            EXPECT_EQ(row.id, func->memid);
            EXPECT_EQ(row.kind, func->invkind);
            // After IUnknown's three and IDispatch's four operations, in declaration order.
            EXPECT_EQ(static_cast<SHORT>((7 + i) * sizeof(void*)), func->oVft);
            UniqueBstr name, help;
            ASSERT_EQ(S_OK, info->GetDocumentation(func->memid, name.put(), help.put(), nullptr, nullptr));
            EXPECT_STREQ(row.name, name.get());
            EXPECT_TRUE(help && SysStringLen(help.get()) > 0) << "no help string";

            LPOLESTR names[] = {const_cast<LPOLESTR>(row.name)};
            DISPID id = DISPID_UNKNOWN;
            EXPECT_EQ(S_OK, info->GetIDsOfNames(names, 1, &id));
            EXPECT_EQ(row.id, id);
        }
    }
}

TEST_F(RegisteredTypeLibrary, ClassesNameTheirDefaultInterfaceAndOnlyTheCreatableOnesAreCreatable) {
    for (const InterfaceCase& c : kInterfaces) {
        SCOPED_TRACE(c.label);
        ComPtr<ITypeInfo> coclass;
        ASSERT_EQ(S_OK, m_library->GetTypeInfoOfGuid(*c.clsid, coclass.put()));
        UniqueTypeAttr attr(coclass.get());
        ASSERT_EQ(S_OK, coclass->GetTypeAttr(attr.put()));
        EXPECT_EQ(TKIND_COCLASS, attr->typekind);
        EXPECT_EQ(c.creatable, (attr->wTypeFlags & TYPEFLAG_FCANCREATE) != 0);
        EXPECT_EQ(1, attr->cImplTypes);
        HREFTYPE href = 0;
        ASSERT_EQ(S_OK, coclass->GetRefTypeOfImplType(0, &href));
        ComPtr<ITypeInfo> implemented;
        ASSERT_EQ(S_OK, coclass->GetRefTypeInfo(href, implemented.put()));
        UniqueTypeAttr implementedAttr(implemented.get());
        ASSERT_EQ(S_OK, implemented->GetTypeAttr(implementedAttr.put()));
        EXPECT_TRUE(IsEqualGUID(*c.iid, implementedAttr->guid));
        UniqueBstr help;
        ASSERT_EQ(S_OK, coclass->GetDocumentation(-1, nullptr, help.put(), nullptr, nullptr));
        EXPECT_TRUE(help && SysStringLen(help.get()) > 0);
    }
}

// Member identifiers count from 0x40000000 in declaration order.
TEST_F(RegisteredTypeLibrary, EnumerationsHaveTheirValuesAndMemberIds) {
    struct Constant {
        const wchar_t* name;
        LONG value;
    };
    struct Enumeration {
        GUID guid;
        std::vector<Constant> constants;
    };
    const Enumeration enumerations[] = {
        {// ClickButtonMethods {2B3E3279-1BB6-4EBA-9109-61650511F1F4}
         {0x2B3E3279, 0x1BB6, 0x4EBA, {0x91, 0x09, 0x61, 0x65, 0x05, 0x11, 0xF1, 0xF4}},
         {{L"BTN_DEFAULT", 0},
          {L"BTN_LBTN_DOWN", 1},
          {L"BTN_LBTN_UP", 2},
          {L"BTN_LBTN_DBLCLICK", 3},
          {L"BTN_RBTN_DOWN", 4},
          {L"BTN_RBTN_UP", 5},
          {L"BTN_RBTN_DBLCLICK", 6}}},
        {// WaitStates {8D9D9C67-D874-4FB6-A925-BD62621FE8B1}
         {0x8D9D9C67, 0xD874, 0x4FB6, {0xA9, 0x25, 0xBD, 0x62, 0x62, 0x1F, 0xE8, 0xB1}},
         {{L"WAIT_VISIBLE", 1},
          {L"WAIT_HIDDEN", 2},
          {L"WAIT_ENABLED", 4},
          {L"WAIT_DISABLED", 8},
          {L"WAIT_ACTIVE", 16},
          {L"WAIT_RESPONDING", 32}}},
        {// MatchModes {28B0F10F-4AD2-42FD-B49A-282EB58B6F86}
         {0x28B0F10F, 0x4AD2, 0x42FD, {0xB4, 0x9A, 0x28, 0x2E, 0xB5, 0x8B, 0x6F, 0x86}},
         {{L"MATCH_EXACT", 0}, {L"MATCH_WILDCARD", 1}, {L"MATCH_REGEX", 2}}},
        {// MouseButtons {783E1861-FC25-4DB4-BEB4-0FA356D9EA3A}
         {0x783E1861, 0xFC25, 0x4DB4, {0xBE, 0xB4, 0x0F, 0xA3, 0x56, 0xD9, 0xEA, 0x3A}},
         {{L"MOUSE_LEFT", 0}, {L"MOUSE_RIGHT", 1}, {L"MOUSE_MIDDLE", 2}}}};
    for (const Enumeration& e : enumerations) {
        SCOPED_TRACE(e.constants.front().name);
        ComPtr<ITypeInfo> info;
        ASSERT_EQ(S_OK, m_library->GetTypeInfoOfGuid(e.guid, info.put()));
        UniqueTypeAttr attr(info.get());
        ASSERT_EQ(S_OK, info->GetTypeAttr(attr.put()));
        EXPECT_EQ(TKIND_ENUM, attr->typekind);
        ASSERT_EQ(e.constants.size(), attr->cVars);
        for (UINT i = 0; i < e.constants.size(); ++i) {
            UniqueVarDesc var(info.get());
            ASSERT_EQ(S_OK, info->GetVarDesc(i, var.put()));
            ASSERT_EQ(VAR_CONST, var->varkind);
            EXPECT_EQ(e.constants[i].value, V_I4(var->lpvarValue));
            EXPECT_EQ(static_cast<MEMBERID>(0x40000000 + i), var->memid);
            UniqueBstr name;
            ASSERT_EQ(S_OK, info->GetDocumentation(var->memid, name.put(), nullptr, nullptr, nullptr));
            EXPECT_STREQ(e.constants[i].name, name.get());
        }
    }
}

TEST_F(RegisteredTypeLibrary, OptionalParametersCarryTheirDefaultsAndByRefParametersAreInOut) {
    ComPtr<ITypeInfo> info = InterfaceInfo(IID__clsWrangler);
    auto paramOf = [&](UINT funcIndex, SHORT param, auto check) {
        UniqueFuncDesc func(info.get());
        ASSERT_EQ(S_OK, info->GetFuncDesc(funcIndex, func.put()));
        check(func->lprgelemdescParam[param]);
    };
    auto hasDefault = [](const ELEMDESC& e, VARTYPE vt) -> VARIANT {
        const USHORT flags = e.paramdesc.wParamFlags;
        EXPECT_TRUE(flags & PARAMFLAG_FOPT);
        EXPECT_TRUE(flags & PARAMFLAG_FHASDEFAULT);
        VARIANT none;
        VariantInit(&none);
        if (!(flags & PARAMFLAG_FHASDEFAULT) || !e.paramdesc.pparamdescex) return none;
        EXPECT_EQ(vt, V_VT(&e.paramdesc.pparamdescex->varDefaultValue));
        return e.paramdesc.pparamdescex->varDefaultValue;
    };
    paramOf(1, 0, [&](const ELEMDESC& e) {  // InitByWindow ClassName = ""
        VARIANT d = hasDefault(e, VT_BSTR);
        EXPECT_EQ(0u, SysStringLen(V_BSTR(&d)));
    });
    paramOf(27, 3, [&](const ELEMDESC& e) {  // SendMsg forceByVal = False
        VARIANT d = hasDefault(e, VT_BOOL);
        EXPECT_EQ(VARIANT_FALSE, V_BOOL(&d));
    });
    paramOf(50, 1, [&](const ELEMDESC& e) {  // SendText sendInterval = 10
        VARIANT d = hasDefault(e, VT_I4);
        EXPECT_EQ(10, V_I4(&d));
    });
    paramOf(28, 2, [&](const ELEMDESC& e) {  // SendMsgByRef lParam: Object by reference
        EXPECT_EQ(VT_PTR, e.tdesc.vt);
        EXPECT_EQ(VT_DISPATCH, e.tdesc.lptdesc->vt);
        EXPECT_EQ(PARAMFLAG_FIN | PARAMFLAG_FOUT, e.paramdesc.wParamFlags & (PARAMFLAG_FIN | PARAMFLAG_FOUT));
    });
    paramOf(30, 2, [&](const ELEMDESC& e) {  // SendMsgLongByRef lParam: Long by reference
        EXPECT_EQ(VT_PTR, e.tdesc.vt);
        EXPECT_EQ(VT_I4, e.tdesc.lptdesc->vt);
    });
}

// The objects answer names and DISPIDs exactly as the type library does.
TEST(Dispatch, EveryObjectAnswersEveryNameWithItsDispid) {
    const OneOfEachClass every;
    static_assert(std::size(kInterfaces) == std::extent_v<decltype(OneOfEachClass::objects)>,
                  "one object per interface");
    for (size_t o = 0; o < std::size(kInterfaces); ++o) {
        SCOPED_TRACE(kInterfaces[o].label);
        for (const Row& row : *kInterfaces[o].rows) {
            std::wstring lower(row.name);
            for (auto& ch : lower) ch = static_cast<wchar_t>(towlower(ch));
            EXPECT_EQ(row.id, IdOf(every.objects[o].get(), row.name));
            EXPECT_EQ(row.id, IdOf(every.objects[o].get(), lower.c_str())) << "names are case-insensitive";
        }
        LPOLESTR unknown[] = {const_cast<LPOLESTR>(L"NoSuchMember")};
        DISPID id = 0;
        EXPECT_EQ(DISP_E_UNKNOWNNAME, every.objects[o]->GetIDsOfNames(IID_NULL, unknown, 1, 0, &id));
        EXPECT_EQ(DISPID_UNKNOWN, id);
    }
}

}  // namespace
}  // namespace wrang::test
