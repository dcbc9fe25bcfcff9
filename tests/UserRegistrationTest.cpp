// Registration for the current user only (regsvr32 /n /i:user, the DLL's DllInstall): it writes the
// user's classes and nothing machine-wide, the keys it writes lead to working classes, and its undo
// leaves nothing of ours behind.
#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Resource.h"
#include "support/Automation.h"

namespace wrang::test {
namespace {

const wchar_t kUserClasses[] = L"Software\\Classes";
const wchar_t kMachineClasses[] = L"Software\\Classes";

struct Creatable {
    const wchar_t* progId;
    const wchar_t* clsid;
};
const Creatable kCreatable[] = {{L"Wrang.clsWrangler", L"{FFF37DAE-1BAC-41FB-AFE9-5764A73E09AC}"},
                                {L"Wrang.clsSysToolbar", L"{62E7027A-6069-4A93-A1CB-B3556C1240C0}"},
                                {L"Wrang.clsJuggler", L"{F9031829-9C6F-42C3-AE0F-FBED703DDEF2}"}};

// Every key a registration of ours may write, relative to a classes root.
std::vector<std::wstring> OurKeys() {
    std::vector<std::wstring> keys = {L"TypeLib\\{2693CEEF-9FB9-4388-A7CD-03B5944F2B17}"};
    for (const Creatable& c : kCreatable) {
        keys.push_back(c.progId);
        keys.push_back(std::wstring(L"CLSID\\") + c.clsid);
    }
    for (const wchar_t* iid : {L"{77778CE8-3F56-4767-8794-E8835E21F755}", L"{EBFA69D7-23E2-42E9-892D-3C672C73CD03}",
                               L"{7BDE6AB7-3EA0-4DF7-9B19-9BDF63FCC2BD}", L"{3C7999C7-3EA2-4324-BFD9-46EC2633B69C}",
                               L"{3F530BE9-0202-42BD-8517-26246DD70270}", L"{50A16001-41AD-4FC4-87E3-3A6AC1C7BE86}"}) {
        keys.push_back(std::wstring(L"Interface\\") + iid);
    }
    return keys;
}

// A key with all its values and subkeys as text, "<missing>" when it is not there.
std::wstring Dump(HKEY root, const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return L"<missing>";
    std::wstring text = L"[" + path + L"]";
    wchar_t name[256];
    BYTE data[1024];
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = 256, size = sizeof data - sizeof(wchar_t), type = 0;
        if (RegEnumValueW(key, i, name, &nameLength, nullptr, &type, data, &size) != ERROR_SUCCESS) break;
        data[size] = data[size + 1] = 0;
        text += std::wstring(L" ") + name + L"=" + (type == REG_SZ ? reinterpret_cast<wchar_t*>(data) : L"?");
    }
    std::vector<std::wstring> children;
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = 256;
        if (RegEnumKeyExW(key, i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        children.push_back(name);
    }
    RegCloseKey(key);
    for (const std::wstring& child : children) text += L"\n" + Dump(root, path + L"\\" + child);
    return text;
}

std::wstring UserKey(const std::wstring& key) { return std::wstring(kUserClasses) + L"\\" + key; }

std::wstring MachineView() {
    std::wstring text;
    for (const std::wstring& key : OurKeys())
        text += Dump(HKEY_LOCAL_MACHINE, std::wstring(kMachineClasses) + L"\\" + key) + L"\n";
    return text;
}

std::wstring ReadUserString(const std::wstring& key, const wchar_t* value = nullptr) {
    wchar_t data[512] = {};
    DWORD size = sizeof data;
    if (RegGetValueW(HKEY_CURRENT_USER, UserKey(key).c_str(), value, RRF_RT_REG_SZ, nullptr, data, &size) !=
        ERROR_SUCCESS) {
        return L"<missing>";
    }
    return data;
}

struct Dll {
    HMODULE module = LoadLibraryW(DllPath().c_str());
    ~Dll() {
        if (module) FreeLibrary(module);
    }
    HRESULT Install(BOOL install, const wchar_t* commandLine) const {
        auto entry = reinterpret_cast<HRESULT(WINAPI*)(BOOL, PCWSTR)>(
            reinterpret_cast<void*>(GetProcAddress(module, "DllInstall")));
        return entry ? entry(install, commandLine) : E_NOTIMPL;
    }
};

// What a client's COM does with a per-user registration: ProgID to CLSID to server file, then the
// server's class factory. Run against the user's keys only.
HRESULT CreateThroughUserKeys(const Creatable& c) {
    const std::wstring clsidText = ReadUserString(std::wstring(c.progId) + L"\\CLSID");
    if (clsidText != c.clsid) return REGDB_E_CLASSNOTREG;
    const std::wstring server = ReadUserString(L"CLSID\\" + clsidText + L"\\InprocServer32");
    HMODULE module = LoadLibraryW(server.c_str());
    if (!module) return HRESULT_FROM_WIN32(GetLastError());
    CLSID clsid;
    HRESULT hr = CLSIDFromString(clsidText.c_str(), &clsid);
    auto getClassObject = reinterpret_cast<HRESULT(WINAPI*)(REFCLSID, REFIID, void**)>(
        reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
    if (SUCCEEDED(hr) && !getClassObject) hr = E_NOINTERFACE;
    if (SUCCEEDED(hr)) {
        ComPtr<IClassFactory> factory;
        hr = getClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(factory.put()));
        ComPtr<IDispatch> object;
        if (SUCCEEDED(hr)) hr = factory->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(object.put()));
    }
    FreeLibrary(module);
    return hr;
}

TEST(UserRegistration, WritesOnlyTheUsersClassesLeadsToEveryCreatableClassAndUndoesItExactly) {
    Dll dll;
    ASSERT_TRUE(dll.module);
    ASSERT_EQ(S_OK, dll.Install(FALSE, L"user")) << "a clean start";
    const std::wstring machineBefore = MachineView();

    ASSERT_EQ(S_OK, dll.Install(TRUE, L"user"));
    const std::wstring platform = sizeof(void*) == 8 ? L"win64" : L"win32";
    EXPECT_EQ(DllPath(), ReadUserString(L"TypeLib\\{2693CEEF-9FB9-4388-A7CD-03B5944F2B17}\\5a.0\\0\\" + platform));
    for (const Creatable& c : kCreatable) {
        SCOPED_TRACE(c.progId);
        const std::wstring server = std::wstring(L"CLSID\\") + c.clsid + L"\\InprocServer32";
        EXPECT_EQ(DllPath(), ReadUserString(server));
        EXPECT_EQ(L"Apartment", ReadUserString(server, L"ThreadingModel"));
        EXPECT_EQ(S_OK, CreateThroughUserKeys(c));
    }
    EXPECT_EQ(L"<missing>", ReadUserString(L"Wrang.clsMenuItem\\CLSID")) << "not creatable, not registered";
    EXPECT_EQ(machineBefore, MachineView()) << "the per-user path touched machine-wide keys";
    const std::wstring dual = L"Interface\\{77778CE8-3F56-4767-8794-E8835E21F755}";
    const std::wstring marshaller = L"{00020424-0000-0000-C000-000000000046}";
    EXPECT_EQ(marshaller, ReadUserString(dual + L"\\ProxyStubClsid32"));
    EXPECT_EQ(L"{2693CEEF-9FB9-4388-A7CD-03B5944F2B17}", ReadUserString(dual + L"\\TypeLib"));

    // While the other build's DLL is registered for the user, only this platform's file goes.
    const std::wstring files = L"TypeLib\\{2693CEEF-9FB9-4388-A7CD-03B5944F2B17}\\5a.0\\0\\";
    const std::wstring otherFile = UserKey(files + (sizeof(void*) == 8 ? L"win32" : L"win64"));
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(HKEY_CURRENT_USER, otherFile.c_str(), nullptr, REG_SZ, L"", 2));
    ASSERT_EQ(S_OK, dll.Install(FALSE, L"user"));
    EXPECT_EQ(L"<missing>", ReadUserString(files + platform));
    EXPECT_EQ(marshaller, ReadUserString(dual + L"\\ProxyStubClsid32")) << "the other build needs the interfaces";
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteKeyW(HKEY_CURRENT_USER, otherFile.c_str()));

    ASSERT_EQ(S_OK, dll.Install(FALSE, L"user"));
    for (const std::wstring& key : OurKeys()) EXPECT_EQ(L"<missing>", Dump(HKEY_CURRENT_USER, UserKey(key)));
    EXPECT_EQ(machineBefore, MachineView());

    // Any other scope is refused, and refused before anything is written.
    EXPECT_EQ(E_INVALIDARG, dll.Install(TRUE, L"users"));
    EXPECT_EQ(L"<missing>", Dump(HKEY_CURRENT_USER, UserKey(L"Wrang.clsWrangler")));
}

}  // namespace
}  // namespace wrang::test
