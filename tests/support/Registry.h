// The registry as a client reads what registration wrote, for the tests of registration.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace wrang::test {

// The type library's version, and its key as registration writes it (the version in hexadecimal).
inline constexpr wchar_t kTypeLibraryVersion[] = L"90.2";
inline constexpr wchar_t kTypeLibraryKey[] = L"TypeLib\\{2693CEEF-9FB9-4388-A7CD-03B5944F2B17}\\5a.2";

// The classes registration makes creatable, as a client names them.
struct CreatableName {
    const wchar_t* progId;
    const wchar_t* clsid;
};
inline constexpr CreatableName kCreatableNames[] = {
    {L"Wrang.clsWrangler", L"{FFF37DAE-1BAC-41FB-AFE9-5764A73E09AC}"},
    {L"Wrang.clsSysToolbar", L"{62E7027A-6069-4A93-A1CB-B3556C1240C0}"},
    {L"Wrang.clsJuggler", L"{F9031829-9C6F-42C3-AE0F-FBED703DDEF2}"},
    {L"Wrang.clsWatcher", L"{56142149-F135-44A0-90E3-34B741385E3B}"},
    {L"Wrang.clsListReader", L"{7B263A39-0206-4C54-85AD-2E5998AAB0C4}"},
    {L"Wrang.clsTreeReader", L"{3A7EC052-9E0A-4316-A19C-568D9D1D8258}"},
    {L"Wrang.clsFinder", L"{E76FBF3B-07D0-4C34-A49A-7BB880A7EBD1}"},
    {L"Wrang.clsInput", L"{7A46F1A2-A832-49DA-8511-912586661F01}"}};

// A string value of `key` below `root` (the key's default value unless `value` names one), or
// "<missing>" when there is none.
inline std::wstring ReadRegistryString(HKEY root, const std::wstring& key, const wchar_t* value = nullptr) {
    wchar_t data[512] = {};
    DWORD size = sizeof data;
    if (RegGetValueW(root, key.c_str(), value, RRF_RT_REG_SZ, nullptr, data, &size) != ERROR_SUCCESS) {
        return L"<missing>";
    }
    return data;
}

// The names of the subkeys of `path` below `root`; none when the key cannot be opened.
inline std::vector<std::wstring> SubkeyNames(HKEY root, const std::wstring& path) {
    std::vector<std::wstring> names;
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return names;
    wchar_t name[256];
    for (DWORD i = 0, size = 256; RegEnumKeyExW(key, i, name, &size, 0, 0, 0, 0) == ERROR_SUCCESS; ++i, size = 256)
        names.push_back(name);
    RegCloseKey(key);
    return names;
}

}  // namespace wrang::test
