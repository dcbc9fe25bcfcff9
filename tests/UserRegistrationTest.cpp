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
#include "support/Registry.h"

namespace wrang::test {
namespace {

const wchar_t kUserClasses[] = L"Software\\Classes";
const wchar_t kMachineClasses[] = L"Software\\Classes";

// Every key a registration of ours may write, relative to a classes root.
std::vector<std::wstring> OurKeys() {
    std::vector<std::wstring> keys = {L"TypeLib\\{2693CEEF-9FB9-4388-A7CD-03B5944F2B17}"};
    for (const CreatableName& c : kCreatableNames) {
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
    RegCloseKey(key);
    for (const std::wstring& child : SubkeyNames(root, path)) text += L"\n" + Dump(root, path + L"\\" + child);
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
    return ReadRegistryString(HKEY_CURRENT_USER, UserKey(key), value);
}

struct Dll : LoadedDll {
    Dll() : LoadedDll(DllPath()) {}
    HRESULT Install(BOOL install, const wchar_t* commandLine) const {
        auto entry = Get<HRESULT(WINAPI*)(BOOL, PCWSTR)>("DllInstall");
        return entry ? entry(install, commandLine) : E_NOTIMPL;
    }
};

// What a client's COM does with a per-user registration: ProgID to CLSID to server file, then the
// server's class factory. Run against the user's keys only.
HRESULT CreateThroughUserKeys(const CreatableName& c) {
    const std::wstring clsidText = ReadUserString(std::wstring(c.progId) + L"\\CLSID");
    if (clsidText != c.clsid) return REGDB_E_CLASSNOTREG;
    const std::wstring server = ReadUserString(L"CLSID\\" + clsidText + L"\\InprocServer32");
    const LoadedDll dll(server);
    if (!dll.module) return HRESULT_FROM_WIN32(GetLastError());
    CLSID clsid;
    const HRESULT hr = CLSIDFromString(clsidText.c_str(), &clsid);
    if (FAILED(hr)) return hr;
    // The server's class factory, asked as the runtime asks it, must hand out an object.
    return ComPtr<IDispatch>::Attach(CreateFromDll(dll.module, clsid)) ? S_OK : CLASS_E_CLASSNOTAVAILABLE;
}

TEST(UserRegistration, WritesOnlyTheUsersClassesLeadsToEveryCreatableClassAndUndoesItExactly) {
    Dll dll;
    ASSERT_TRUE(dll.module);
    ASSERT_EQ(S_OK, dll.Install(FALSE, L"user")) << "a clean start";
    const std::wstring machineBefore = MachineView();

    ASSERT_EQ(S_OK, dll.Install(TRUE, L"user"));
    const std::wstring platform = sizeof(void*) == 8 ? L"win64" : L"win32";
    EXPECT_EQ(DllPath(), ReadUserString(std::wstring(kTypeLibraryKey) + L"\\0\\" + platform));
    for (const CreatableName& c : kCreatableNames) {
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
    const std::wstring files = std::wstring(kTypeLibraryKey) + L"\\0\\";
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
