#include "Registration.h"

#include <vector>

namespace qv::win::com {

namespace {

class RegistryKey {
public:
    RegistryKey() = default;
    ~RegistryKey() {
        if (key_) {
            RegCloseKey(key_);
        }
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    HKEY* Address() noexcept { return &key_; }
    HKEY Get() const noexcept { return key_; }

private:
    HKEY key_ = nullptr;
};

HRESULT OpenClassesRoot(RegistryScope scope, RegistryKey& root) {
    const LSTATUS status = scope == RegistryScope::User
                               ? RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Classes", 0, nullptr, 0, KEY_ALL_ACCESS,
                                                 nullptr, root.Address(), nullptr)
                               : RegOpenKeyExW(HKEY_CLASSES_ROOT, nullptr, 0, KEY_ALL_ACCESS, root.Address());
    return HRESULT_FROM_WIN32(status);
}

// Writes `value` as the default (name empty) or named value of root\path.
HRESULT SetText(HKEY root, const std::wstring& path, const wchar_t* name, const std::wstring& value) {
    RegistryKey key;
    LSTATUS status = RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key.Address(), nullptr);
    if (status == ERROR_SUCCESS) {
        status = RegSetValueExW(key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }
    return HRESULT_FROM_WIN32(status);
}

struct Value {
    std::wstring path;
    const wchar_t* name;
    std::wstring text;
};

std::vector<Value> ValuesOf(const ClassEntry& entry, const std::wstring& modulePath) {
    const std::wstring clsidKey = L"CLSID\\" + GuidText(entry.clsid);
    std::vector<Value> values{{clsidKey, nullptr, entry.name}};
    if (entry.kind == ServerKind::Local) {
        values.push_back({clsidKey + L"\\LocalServer32", nullptr, L"\"" + modulePath + L"\""});
    } else {
        values.push_back({clsidKey + L"\\InprocServer32", nullptr, modulePath});
        if (!entry.threadingModel.empty()) {
            values.push_back({clsidKey + L"\\InprocServer32", L"ThreadingModel", entry.threadingModel});
        }
    }
    if (!entry.progId.empty()) {
        values.push_back({clsidKey + L"\\ProgID", nullptr, entry.progId});
        values.push_back({entry.progId, nullptr, entry.name});
        values.push_back({entry.progId + L"\\CLSID", nullptr, GuidText(entry.clsid)});
    }
    if (!entry.versionIndependentProgId.empty()) {
        values.push_back({clsidKey + L"\\VersionIndependentProgID", nullptr, entry.versionIndependentProgId});
        if (entry.versionIndependentProgId != entry.progId) {
            values.push_back({entry.versionIndependentProgId, nullptr, entry.name});
            values.push_back({entry.versionIndependentProgId + L"\\CLSID", nullptr, GuidText(entry.clsid)});
            values.push_back({entry.versionIndependentProgId + L"\\CurVer", nullptr, entry.progId});
        }
    }
    if (!IsEqualGUID(entry.libid, GUID_NULL)) {
        values.push_back({clsidKey + L"\\TypeLib", nullptr, GuidText(entry.libid)});
    }
    return values;
}

}  // namespace

std::wstring GuidText(REFGUID guid) {
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

HRESULT RegisterClasses(std::span<const ClassEntry> classes, const std::wstring& modulePath, RegistryScope scope) {
    RegistryKey root;
    HRESULT result = OpenClassesRoot(scope, root);
    for (const ClassEntry& entry : classes) {
        for (const Value& value : ValuesOf(entry, modulePath)) {
            if (SUCCEEDED(result)) {
                result = SetText(root.Get(), value.path, value.name, value.text);
            }
        }
    }
    return result;
}

HRESULT RegisterClassSubkeys(REFCLSID clsid, std::span<const ClassSubkey> subkeys, RegistryScope scope) {
    RegistryKey root;
    HRESULT result = OpenClassesRoot(scope, root);
    const std::wstring clsidKey = L"CLSID\\" + GuidText(clsid);
    for (const ClassSubkey& subkey : subkeys) {
        if (SUCCEEDED(result)) {
            result = SetText(root.Get(), clsidKey + L"\\" + subkey.path, nullptr, subkey.value);
        }
    }
    return result;
}

HRESULT UnregisterClasses(std::span<const ClassEntry> classes, RegistryScope scope) {
    RegistryKey root;
    if (HRESULT opened = OpenClassesRoot(scope, root); FAILED(opened)) {
        return opened;
    }
    for (const ClassEntry& entry : classes) {
        for (const std::wstring& key :
             {L"CLSID\\" + GuidText(entry.clsid), entry.progId, entry.versionIndependentProgId}) {
            if (!key.empty()) {
                RegDeleteTreeW(root.Get(), key.c_str());  // a missing key is no failure
            }
        }
    }
    return S_OK;
}

}  // namespace qv::win::com
