// The component frame: strings, checked arithmetic, errors, late-bound argument handling, the
// DLL's exports, its class factories and its registration.
#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>
#include <iterator>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "frame/Checked.h"
#include "frame/ClassFactory.h"
#include "frame/Classes.h"
#include "frame/Errors.h"
#include "platform/AnsiText.h"
#include "support/Automation.h"
#include "support/Registry.h"
#include "support/Wranglers.h"

namespace wrang::test {
namespace {

std::wstring ErrorDescription() {
    ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.put()) != S_OK || !info) return L"<none>";
    UniqueBstr text;
    info->GetDescription(text.put());
    return text ? text.get() : L"";
}

TEST(Strings, NullStaysNullEmptyStaysEmptyAndBytesConvertBackInFull) {
    AnsiText text;
    ASSERT_EQ(S_OK, ToAnsi(static_cast<BSTR>(nullptr), &text));
    EXPECT_TRUE(text.isNull());
    EXPECT_EQ(nullptr, text.data());

    UniqueBstr empty(SysAllocString(L""));
    ASSERT_EQ(S_OK, ToAnsi(empty.get(), &text));
    ASSERT_FALSE(text.isNull());
    EXPECT_EQ(0, text.length());
    EXPECT_EQ('\0', text.data()[0]);

    // Embedded NULs survive both ways: the conversion goes by length, not to the first NUL.
    UniqueBstr withNul(SysAllocStringLen(L"ab\0cd\xE9", 6));
    ASSERT_EQ(S_OK, ToAnsi(withNul.get(), &text));
    ASSERT_EQ(6, text.length());
    EXPECT_EQ(0, memcmp("ab\0cd\xE9", text.data(), 6));
    UniqueBstr back;
    ASSERT_EQ(S_OK, FromAnsi(text.data(), text.length(), back.put()));
    ASSERT_EQ(6u, SysStringLen(back.get()));
    EXPECT_EQ(0, memcmp(L"ab\0cd\xE9", back.get(), 6 * sizeof(wchar_t)));

    AnsiText zeroed;
    ASSERT_EQ(S_OK, AnsiText::Zeroed(4, &zeroed));
    EXPECT_EQ(4, zeroed.length());
    EXPECT_EQ(0, memcmp("\0\0\0\0\0", zeroed.data(), 5));
}

TEST(Errors, CheckedArithmeticRaisesOverflowWithItsDescription) {
    LONG sum = 0;
    EXPECT_EQ(S_OK, CheckedAdd(2147483646, 1, &sum));
    EXPECT_EQ(2147483647, sum);
    EXPECT_EQ(kVbOverflow, CheckedAdd(2147483647, 1, &sum));
    EXPECT_EQ(L"Overflow", ErrorDescription());
    EXPECT_EQ(kVbOverflow, CheckedSubtract(-2147483647 - 1, 1, &sum));
    SHORT narrow = 0;
    EXPECT_EQ(S_OK, ToInteger16(-32768, &narrow));
    EXPECT_EQ(kVbOverflow, ToInteger16(32768, &narrow));
    EXPECT_EQ(kVbOverflow, ToInteger16(-32769, &narrow));
    SHORT absolute = 0;
    EXPECT_EQ(S_OK, CheckedAbs16(-1, &absolute));
    EXPECT_EQ(1, absolute);
    EXPECT_EQ(kVbOverflow, CheckedAbs16(-32768, &absolute));
    EXPECT_EQ(static_cast<HRESULT>(0x800A0006), kVbOverflow);
    EXPECT_EQ(kVbObjectRequired, RaiseObjectRequired());
    EXPECT_EQ(L"Object variable or With block variable not set", ErrorDescription());
}

TEST(Dispatch, TheReservedInterfaceArgumentMustBeNull) {
    const ComPtr<_clsWrangler> w = NewWrangler();
    ASSERT_TRUE(w);
    LPOLESTR names[] = {const_cast<LPOLESTR>(L"hWnd")};
    DISPID id = 0;
    EXPECT_EQ(DISP_E_UNKNOWNINTERFACE, w->GetIDsOfNames(IID_IDispatch, names, 1, 0, &id));
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    UniqueVariant result;
    EXPECT_EQ(DISP_E_UNKNOWNINTERFACE,
              w->Invoke(0x6803000E, IID_IDispatch, 0, DISPATCH_PROPERTYGET, &none, result.get(), nullptr, nullptr));
    EXPECT_EQ(S_OK, w->Invoke(0x6803000E, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, result.get(), nullptr, nullptr));
}

TEST(Dispatch, ArgumentsArriveAsAScriptSendsThem) {
    const ComPtr<_clsWrangler> w = NewWrangler();
    ASSERT_TRUE(w);
    CallResult result;

    // A script variable comes by reference even for a by-value parameter.
    VARIANT variable = LongValue(4242);
    Call(w.get(), L"InitByHandle", {Arg::Variable(&variable)}, &result);
    ASSERT_EQ(S_OK, result.hr);
    Call(w.get(), L"hWnd", {}, &result, DISPATCH_PROPERTYGET);
    EXPECT_EQ(VT_I4, V_VT(result.value.get()));
    EXPECT_EQ(4242, V_I4(result.value.get()));

    // Numbers in strings and other numeric types are converted as the runtime converts them.
    Call(w.get(), L"InitByHandle", {Arg::String(L"77")}, &result);
    ASSERT_EQ(S_OK, result.hr);
    EXPECT_EQ(77, HandleOf(w.get()));

    // Dispatch by name and by DISPID reach the same member.
    CallById(w.get(), 0x6003000F, {Arg::Long(91)}, &result);
    ASSERT_EQ(S_OK, result.hr);
    CallById(w.get(), 0x60030020, {}, &result);
    EXPECT_EQ(91, V_I4(result.value.get()));

    Call(w.get(), L"InitByHandle", {Arg::String(L"not a number")}, &result);
    EXPECT_EQ(DISP_E_TYPEMISMATCH, result.hr);
    Call(w.get(), L"InitByHandle", {}, &result);
    EXPECT_EQ(DISP_E_PARAMNOTOPTIONAL, result.hr);
    Call(w.get(), L"InitByHandle", {Arg::Long(1), Arg::Long(2)}, &result);
    EXPECT_EQ(DISP_E_BADPARAMCOUNT, result.hr);
    // hWnd has no let.
    Put(w.get(), L"hWnd", Arg::Long(1), &result);
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, result.hr);
}

TEST(Dispatch, AFailingMemberReachesTheClientAsAnExceptionWithItsStatus) {
    ComPtr<_clsMenuEnum> cursor;
    ASSERT_EQ(S_OK, CreateMenuEnum(cursor.put()));
    const ComPtr<_clsWrangler> w = NewWrangler();
    ASSERT_TRUE(w);
    CallResult result;
    // JScript's null for an object parameter is no type mismatch: it arrives as a null reference.
    // The member itself then refuses it with the runtime's "object required" (error 91).
    for (const Arg& none : {Arg::Null(), Arg::Object(nullptr)}) {
        Call(cursor.get(), L"Init", {none}, &result);
        EXPECT_EQ(DISP_E_EXCEPTION, result.hr);
        EXPECT_EQ(kVbObjectRequired, result.scode);
        EXPECT_EQ(L"Object variable or With block variable not set", result.description);
    }
    // Checked arithmetic inside a member: error 6 with its text.
    VARIANT lowest = BoolValue(-32768);
    Put(w.get(), L"Enabled", Arg::Variable(&lowest), &result);
    EXPECT_EQ(DISP_E_EXCEPTION, result.hr);
    EXPECT_EQ(kVbOverflow, result.scode);
    EXPECT_EQ(L"Overflow", result.description);
    // An object of the wrong class for a typed parameter is a type mismatch.
    ComPtr<_clsJuggler> juggler;
    ASSERT_EQ(S_OK, CreateJuggler(juggler.put()));
    Put(w.get(), L"Parent", Arg::Object(juggler.get()), &result, DISPATCH_PROPERTYPUTREF);
    EXPECT_EQ(DISP_E_TYPEMISMATCH, result.hr);
}

// Every argument lands in exactly one parameter: one given twice, or an extra one beside the value
// of an assignment, is refused rather than silently dropped.
TEST(Dispatch, NamedArgumentsFillTheirParameterAndNoParameterTakesTwoArguments) {
    const ComPtr<_clsWrangler> w = NewWrangler();
    ASSERT_TRUE(w);
    LPOLESTR names[] = {const_cast<LPOLESTR>(L"InitByHandle"), const_cast<LPOLESTR>(L"hWnd")};
    DISPID ids[2] = {};
    ASSERT_EQ(S_OK, w->GetIDsOfNames(IID_NULL, names, 2, 0, ids));
    EXPECT_EQ(0, ids[1]);

    VARIANT args[2] = {LongValue(5), LongValue(6)};  // named, positional
    UniqueVariant result;
    DISPPARAMS named = {args, &ids[1], 1, 1};
    EXPECT_EQ(S_OK, w->Invoke(ids[0], IID_NULL, 0, DISPATCH_METHOD, &named, result.get(), nullptr, nullptr));
    EXPECT_EQ(5, HandleOf(w.get()));

    DISPPARAMS both = {args, &ids[1], 2, 1};
    EXPECT_EQ(DISP_E_BADPARAMCOUNT,
              w->Invoke(ids[0], IID_NULL, 0, DISPATCH_METHOD, &both, result.get(), nullptr, nullptr));
    EXPECT_EQ(5, HandleOf(w.get())) << "neither argument was taken";
    DISPID twice[2] = {0, 0};
    DISPPARAMS sameName = {args, twice, 2, 2};
    EXPECT_EQ(DISP_E_BADPARAMCOUNT,
              w->Invoke(ids[0], IID_NULL, 0, DISPATCH_METHOD, &sameName, result.get(), nullptr, nullptr));
    EXPECT_EQ(5, HandleOf(w.get()));

    // An assignment with an index the property does not have.
    args[0] = BoolValue(VARIANT_TRUE);
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS indexed = {args, &put, 2, 1};
    EXPECT_EQ(DISP_E_BADPARAMCOUNT, w->Invoke(IdOf(w.get(), L"AlwaysOnTop"), IID_NULL, 0, DISPATCH_PROPERTYPUT,
                                              &indexed, nullptr, nullptr, nullptr));
    EXPECT_EQ(VARIANT_FALSE, Read(w.get(), &_clsWrangler::get_AlwaysOnTop, VARIANT_TRUE));
}

// A caller that wants no result still gets the member run, and the object handed back is released.
TEST(Dispatch, AResultNobodyAsksForIsReleased) {
    const ComPtr<_clsWrangler> w = NewWrangler();
    ASSERT_TRUE(w);
    const ULONG before = References(w.get());
    VARIANT handle = LongValue(31);
    DISPPARAMS params = {&handle, nullptr, 1, 0};
    ASSERT_EQ(S_OK, w->Invoke(IdOf(w.get(), L"InitByHandle"), IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr,
                              nullptr));
    EXPECT_EQ(31, HandleOf(w.get()));
    EXPECT_EQ(before, References(w.get()));
}

// Found by the dispatch fuzzer: a count with a null array behind it (arguments or names) was read
// through the null pointer. The call is refused and the member does not run.
TEST(Dispatch, CountsWithoutTheirArraysAreRefused) {
    const ComPtr<_clsWrangler> w = NewWrangler();
    ASSERT_TRUE(w);
    const DISPID init = IdOf(w.get(), L"InitByHandle");
    VARIANT handle = LongValue(31);
    DISPID first = 0;
    const DISPPARAMS broken[] = {{nullptr, nullptr, 1, 0}, {&handle, nullptr, 1, 1}, {nullptr, &first, 1, 1}};
    for (DISPPARAMS params : broken) {
        UniqueVariant result;
        EXCEPINFO exception = {};
        EXPECT_EQ(E_INVALIDARG,
                  w->Invoke(init, IID_NULL, 0, DISPATCH_METHOD, &params, result.get(), &exception, nullptr));
        EXPECT_EQ(VT_EMPTY, V_VT(result.get()));
        EXPECT_EQ(nullptr, exception.bstrDescription);
    }
    EXPECT_EQ(0, HandleOf(w.get()));
}

// --- The DLL file itself ------------------------------------------------------------------------

const IMAGE_NT_HEADERS* Headers(HMODULE module) {
    auto* base = reinterpret_cast<const BYTE*>(module);
    auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    return reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
}

TEST(DllFile, ExportsExactlyTheFiveRegistrationAndServerEntryPointsAndImportsOnlySystemDlls) {
    LoadedDll dll(DllPath());
    ASSERT_TRUE(dll.module);
    auto* base = reinterpret_cast<const BYTE*>(dll.module);
    const IMAGE_NT_HEADERS* nt = Headers(dll.module);
    const IMAGE_DATA_DIRECTORY& exportDir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + exportDir.VirtualAddress);
    std::set<std::string> names;
    auto* nameRvas = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    for (DWORD i = 0; i < exports->NumberOfNames; ++i) names.insert(reinterpret_cast<const char*>(base + nameRvas[i]));
    EXPECT_EQ((std::set<std::string>{"DllCanUnloadNow", "DllGetClassObject", "DllInstall", "DllRegisterServer",
                                     "DllUnregisterServer"}),
              names);
    EXPECT_EQ(5u, exports->NumberOfFunctions);
    // The machine of the build that loads it: a 32-bit client takes the x86 file, a 64-bit one x64.
    EXPECT_EQ(sizeof(void*) == 8 ? IMAGE_FILE_MACHINE_AMD64 : IMAGE_FILE_MACHINE_I386, nt->FileHeader.Machine);

    const std::set<std::string> system = {"KERNEL32.DLL", "USER32.DLL",   "ADVAPI32.DLL",
                                          "OLE32.DLL",    "OLEAUT32.DLL", "MSVCRT.DLL"};
    const IMAGE_DATA_DIRECTORY& importDir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + importDir.VirtualAddress); d->Name; ++d) {
        std::string name = reinterpret_cast<const char*>(base + d->Name);
        for (auto& ch : name) ch = static_cast<char>(toupper(ch));
        EXPECT_TRUE(system.count(name)) << "imports " << name;
    }
}

TEST(DllFile, ClassFactoriesCreateTheCreatableClassesAndCountLiveObjects) {
    LoadedDll dll(DllPath());
    ASSERT_TRUE(dll.module);
    auto getClassObject = dll.Get<HRESULT(WINAPI*)(REFCLSID, REFIID, void**)>("DllGetClassObject");
    auto canUnloadNow = dll.Get<HRESULT(WINAPI*)()>("DllCanUnloadNow");
    ASSERT_TRUE(getClassObject && canUnloadNow);
    EXPECT_EQ(S_OK, canUnloadNow());

    const CLSID* creatable[] = {&CLSID_clsWrangler, &CLSID_clsSysToolbar, &CLSID_clsJuggler,
                                &CLSID_clsWatcher,  &CLSID_clsListReader, &CLSID_clsTreeReader,
                                &CLSID_clsFinder, &CLSID_clsInput};
    const IID* interfaces[] = {&IID__clsWrangler, &IID__clsSysToolbar,  &IID__clsJuggler,
                               &IID__clsWatcher,  &IID__clsListReader, &IID__clsTreeReader,
                               &IID__clsFinder,   &IID__clsInput};
    for (size_t i = 0; i < std::size(creatable); ++i) {
        ComPtr<IClassFactory> factory;
        ASSERT_EQ(S_OK, getClassObject(*creatable[i], IID_IClassFactory, reinterpret_cast<void**>(factory.put())));
        ComPtr<IDispatch> object;
        ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(object.put())));
        ComPtr<IUnknown> typed;
        EXPECT_EQ(S_OK, object->QueryInterface(*interfaces[i], reinterpret_cast<void**>(typed.put())));
        ComPtr<ISupportErrorInfo> errors;
        ASSERT_EQ(S_OK, object->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(errors.put())));
        EXPECT_EQ(S_OK, errors->InterfaceSupportsErrorInfo(*interfaces[i]));
        ComPtr<IUnknown> aggregated;
        EXPECT_EQ(CLASS_E_NOAGGREGATION,
                  factory->CreateInstance(object.get(), IID_IUnknown, reinterpret_cast<void**>(aggregated.put())));
        factory.reset();
        EXPECT_EQ(S_FALSE, canUnloadNow()) << "an object is alive";
        object.reset();
        typed.reset();
        errors.reset();
        EXPECT_EQ(S_OK, canUnloadNow());
    }
    const CLSID* hidden[] = {&CLSID_clsToolbarButton, &CLSID_clsMenuItem, &CLSID_clsMenuEnum};
    for (const CLSID* clsid : hidden) {
        ComPtr<IClassFactory> factory;
        EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE,
                  getClassObject(*clsid, IID_IClassFactory, reinterpret_cast<void**>(factory.put())));
    }
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(S_OK, getClassObject(CLSID_clsWrangler, IID_IClassFactory, reinterpret_cast<void**>(factory.put())));
    EXPECT_EQ(S_OK, factory->LockServer(TRUE));
    factory.reset();
    EXPECT_EQ(S_FALSE, canUnloadNow()) << "the server is locked";
    ASSERT_EQ(S_OK, getClassObject(CLSID_clsWrangler, IID_IClassFactory, reinterpret_cast<void**>(factory.put())));
    EXPECT_EQ(S_OK, factory->LockServer(FALSE));
    factory.reset();
    EXPECT_EQ(S_OK, canUnloadNow());
}

// Registration goes to a private copy of HKEY_CLASSES_ROOT, so that the registration the script
// tests rely on is never disturbed.
class PrivateClassesRoot : public testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, kScratch);
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, kScratch, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                                 &m_scratch, nullptr));
        ASSERT_EQ(ERROR_SUCCESS, RegOverridePredefKey(HKEY_CLASSES_ROOT, m_scratch));
    }
    void TearDown() override {
        RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
        if (m_scratch) RegCloseKey(m_scratch);
        RegDeleteTreeW(HKEY_CURRENT_USER, kScratch);
    }
    static std::wstring Read(const wchar_t* key, const wchar_t* value = nullptr) {
        return ReadRegistryString(HKEY_CLASSES_ROOT, key, value);
    }
    static constexpr const wchar_t* kScratch = L"Software\\WrangTests\\ClassesRoot";
    HKEY m_scratch = nullptr;
};

TEST_F(PrivateClassesRoot, RegistrationWritesProgIdsServersAndTypeLibraryAndUnregistrationRemovesThem) {
    ASSERT_EQ(S_OK, RegisterServer());
    wchar_t module[MAX_PATH];
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    for (const CreatableName& c : kCreatableNames) {
        SCOPED_TRACE(c.progId);
        EXPECT_EQ(c.clsid, Read((std::wstring(c.progId) + L"\\CLSID").c_str()));
        const std::wstring server = std::wstring(L"CLSID\\") + c.clsid + L"\\InprocServer32";
        EXPECT_EQ(module, Read(server.c_str()));
        EXPECT_EQ(L"Apartment", Read(server.c_str(), L"ThreadingModel"));
        EXPECT_EQ(c.progId, Read((std::wstring(L"CLSID\\") + c.clsid + L"\\ProgID").c_str()));
    }
    EXPECT_EQ(L"<missing>", Read(L"Wrang.clsMenuItem\\CLSID"));
    EXPECT_NE(L"<missing>", Read(kTypeLibraryKey));
    // The type library is registered for this build's platform only, naming this module.
    const bool wide = sizeof(void*) == 8;
    const std::wstring platformKey = std::wstring(kTypeLibraryKey) + L"\\0\\";
    EXPECT_EQ(module, Read((platformKey + (wide ? L"win64" : L"win32")).c_str()));
    EXPECT_EQ(L"<missing>", Read((platformKey + (wide ? L"win32" : L"win64")).c_str()));
    EXPECT_NE(L"<missing>", Read(L"Interface\\{77778CE8-3F56-4767-8794-E8835E21F755}"));

    ASSERT_EQ(S_OK, UnregisterServer());
    for (const CreatableName& c : kCreatableNames) {
        EXPECT_EQ(L"<missing>", Read((std::wstring(c.progId) + L"\\CLSID").c_str()));
        HKEY key = nullptr;
        EXPECT_NE(ERROR_SUCCESS,
                  RegOpenKeyExW(HKEY_CLASSES_ROOT, (std::wstring(L"CLSID\\") + c.clsid).c_str(), 0, KEY_READ, &key));
        if (key) RegCloseKey(key);
    }
    EXPECT_EQ(L"<missing>", Read(kTypeLibraryKey));
}

// --- The side-by-side manifest beside the DLL, and the DLL's version resource --------------------

std::wstring Upper(std::wstring text) {
    for (auto& c : text) c = static_cast<wchar_t>(towupper(c));
    return text;
}
// One row "value|value|..." of the named attributes for each element `tag` of the built manifest,
// upper-cased, as the system compares identifiers and names.
std::set<std::wstring> ManifestRows(const wchar_t* tag, std::initializer_list<const wchar_t*> names) {
    const std::wstring dll = DllPath();
    std::wstring text;
    if (FILE* file = _wfopen((dll.substr(0, dll.find_last_of(L'\\') + 1) + WRANG_MANIFEST_NAME).c_str(), L"rb")) {
        for (int c; (c = fgetc(file)) != EOF;) text += static_cast<wchar_t>(c);  // the manifest is ASCII
        fclose(file);
    }
    std::set<std::wstring> rows;
    const std::wregex element(std::wstring(L"<") + tag + L"\\s([^>]*)>");
    for (std::wsregex_iterator e(text.begin(), text.end(), element), end; e != end; ++e) {
        const std::wstring attributes = (*e)[1];
        std::wstring row;
        for (const wchar_t* name : names) {
            std::wsmatch value;
            std::regex_search(attributes, value, std::wregex(std::wstring(L"\\b") + name + L"=\"([^\"]*)\""));
            row += (row.empty() ? L"" : L"|") + Upper(value[1]);
        }
        rows.insert(row);
    }
    return rows;
}
// The rows `make` builds from the subkeys of `folder` below `root` (an empty row is left out).
template <typename Make>
std::set<std::wstring> RegisteredRows(HKEY root, const wchar_t* folder, Make make) {
    std::set<std::wstring> rows;
    for (const std::wstring& name : SubkeyNames(root, folder))
        if (const std::wstring row = make(name); !row.empty()) rows.insert(Upper(row));
    return rows;
}

// The manifest names exactly what registration writes: the creatable classes (whose CLSIDs and
// ProgIDs the test above and the type library's tests pin down), the interfaces with their proxy/stub
// as the type library registers them, and the library's version; its assembly is this build's.
TEST_F(PrivateClassesRoot, TheSideBySideManifestNamesWhatRegistrationWrites) {
    ASSERT_EQ(S_OK, RegisterServer());
    const auto classes = RegisteredRows(m_scratch, L"", [](const std::wstring& progId) {
        if (progId.rfind(L"Wrang.", 0) != 0) return std::wstring();
        const std::wstring clsid = L"CLSID\\" + Read((progId + L"\\CLSID").c_str());
        return clsid.substr(6) + L"|" + progId + L"|" + Read((clsid + L"\\InprocServer32").c_str(), L"ThreadingModel") +
               L"|" + Read((clsid + L"\\TypeLib").c_str());
    });
    const auto interfaces = RegisteredRows(m_scratch, L"Interface", [](const std::wstring& iid) {
        const std::wstring key = L"Interface\\" + iid;
        return iid + L"|" + Read(key.c_str()) + L"|" + Read((key + L"\\ProxyStubClsid32").c_str()) + L"|" +
               Read((key + L"\\TypeLib").c_str());
    });
    EXPECT_EQ(std::size(kCreatableNames), classes.size());
    EXPECT_EQ(classes, ManifestRows(L"comClass", {L"clsid", L"progid", L"threadingModel", L"tlbid"}));
    EXPECT_EQ(11u, interfaces.size());
    EXPECT_EQ(interfaces,
              ManifestRows(L"comInterfaceExternalProxyStub", {L"iid", L"name", L"proxyStubClsid32", L"tlbid"}));
    EXPECT_EQ(std::set<std::wstring>{std::wstring(L"{2693CEEF-9FB9-4388-A7CD-03B5944F2B17}|") + kTypeLibraryVersion},
              ManifestRows(L"typelib", {L"tlbid", L"version"}));
    EXPECT_NE(L"<missing>", Read(kTypeLibraryKey));
    const auto identity = ManifestRows(L"assemblyIdentity", {L"processorArchitecture", L"version"});
    ASSERT_EQ(1u, identity.size());
    EXPECT_EQ(0u, identity.begin()->find(std::wstring(sizeof(void*) == 8 ? L"AMD64|" : L"X86|") + kTypeLibraryVersion + L"."))
        << *identity.begin();
}

// The version resource, read with the system's version functions: the type library's version with
// the manifest's build number, and the names Explorer shows on the file's Details tab.
TEST(DllFile, VersionResourceIsTheTypeLibrarysVersionWithTheManifestsBuildNumber) {
    const std::wstring dll = DllPath();
    DWORD ignored = 0;
    std::vector<BYTE> block(GetFileVersionInfoSizeW(dll.c_str(), &ignored));
    ASSERT_FALSE(block.empty()) << "no version resource in " << dll;
    ASSERT_TRUE(GetFileVersionInfoW(dll.c_str(), 0, static_cast<DWORD>(block.size()), block.data()));
    auto query = [&block](const std::wstring& path) {
        void* value = nullptr;
        UINT size = 0;
        return VerQueryValueW(block.data(), path.c_str(), &value, &size) ? value : nullptr;
    };
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(query(L"\\"));
    ASSERT_TRUE(fixed && fixed->dwSignature == 0xFEEF04BD);
    wchar_t version[32];
    swprintf(version, 32, L"%u.%u.%u.%u", HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
             HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS));
    EXPECT_EQ(std::set<std::wstring>{version}, ManifestRows(L"assemblyIdentity", {L"version"}));
    EXPECT_EQ(fixed->dwFileVersionMS, fixed->dwProductVersionMS);
    ComPtr<ITypeLib> library;
    TLIBATTR* lib = nullptr;
    ASSERT_EQ(S_OK, LoadTypeLibEx(dll.c_str(), REGKIND_NONE, library.put()));
    ASSERT_EQ(S_OK, library->GetLibAttr(&lib));
    EXPECT_EQ(static_cast<DWORD>(MAKELONG(lib->wMinorVerNum, lib->wMajorVerNum)), fixed->dwFileVersionMS);
    library->ReleaseTLibAttr(lib);
    const auto* translation = static_cast<const WORD*>(query(L"\\VarFileInfo\\Translation"));
    ASSERT_TRUE(translation);
    auto text = [&](const wchar_t* entry) {
        wchar_t path[64];
        swprintf(path, 64, L"\\StringFileInfo\\%04x%04x\\%ls", translation[0], translation[1], entry);
        const auto* value = static_cast<const wchar_t*>(query(path));
        return std::wstring(value ? value : L"<missing>");
    };
    EXPECT_EQ(L"Wrang", text(L"ProductName"));
    EXPECT_EQ(L"Wrang.dll", text(L"OriginalFilename"));
    EXPECT_EQ(version, text(L"FileVersion"));
    EXPECT_NE(std::wstring::npos, text(L"FileDescription").find(sizeof(void*) == 8 ? L"(x64," : L"(x86,"))
        << text(L"FileDescription");
}

// The name lookup against every member name of every class: any mix of case finds the member; a
// name one character off, or with a character outside ASCII, finds nothing unless it is another
// member's name; a null name pointer is an unknown name, not a crash.
TEST(Dispatch, NameLookupFindsEveryMemberInAnyCaseAndNothingElse) {
    const OneOfEachClass every;
    for (const ComPtr<IDispatch>& held : every.objects) {
        IDispatch* object = held.get();
        ASSERT_TRUE(object);
        // The members as the type library names them, by upper-case name.
        ComPtr<ITypeInfo> info, view;
        ASSERT_EQ(S_OK, object->GetTypeInfo(0, 0, info.put()));
        HREFTYPE href = 0;
        ASSERT_EQ(S_OK, info->GetRefTypeOfImplType(-1, &href));
        ASSERT_EQ(S_OK, info->GetRefTypeInfo(href, view.put()));
        UniqueTypeAttr attr(view.get());
        ASSERT_EQ(S_OK, view->GetTypeAttr(attr.put()));
        std::map<std::wstring, DISPID> members;
        for (UINT f = 0; f < attr->cFuncs; ++f) {
            UniqueFuncDesc func(view.get());
            ASSERT_EQ(S_OK, view->GetFuncDesc(f, func.put()));
            UniqueBstr name;
            ASSERT_EQ(S_OK, view->GetDocumentation(func->memid, name.put(), nullptr, nullptr, nullptr));
            members[Upper(name.get())] = func->memid;
        }
        ASSERT_FALSE(members.empty());

        auto lookup = [&](const std::wstring& name, DISPID* id) {
            LPOLESTR names[] = {const_cast<LPOLESTR>(name.c_str())};
            *id = 12345;
            return object->GetIDsOfNames(IID_NULL, names, 1, 0, id);
        };
        for (const auto& [name, id] : members) {
            std::wstring mixed = name;
            for (size_t i = 0; i < mixed.size(); i += 2) mixed[i] = static_cast<wchar_t>(towlower(mixed[i]));
            DISPID found = 0;
            EXPECT_EQ(S_OK, lookup(mixed, &found)) << mixed;
            EXPECT_EQ(id, found) << mixed;
            const std::wstring offByOne[] = {name + L"X", name.substr(0, name.size() - 1), L"_" + name.substr(1),
                                             name + L"\u00e9", L"\u0131" + name.substr(1)};
            for (const std::wstring& other : offByOne) {
                const auto known = members.find(Upper(other));
                const HRESULT hr = lookup(other, &found);
                if (known != members.end()) {
                    EXPECT_EQ(known->second, found) << other;
                } else {
                    EXPECT_EQ(DISP_E_UNKNOWNNAME, hr) << other;
                    EXPECT_EQ(DISPID_UNKNOWN, found) << other;
                }
            }
        }
        LPOLESTR none[] = {nullptr};
        DISPID id = 0;
        EXPECT_EQ(DISP_E_UNKNOWNNAME, object->GetIDsOfNames(IID_NULL, none, 1, 0, &id));
        EXPECT_EQ(DISPID_UNKNOWN, id);
    }
}

}  // namespace
}  // namespace wrang::test
