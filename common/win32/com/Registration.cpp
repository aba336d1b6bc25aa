#include "Registration.h"

#include <vector>

#include "RegistryKey.h"

namespace qv::win::com {

namespace {

std::vector<RegistryValue> ValuesOf(const ClassEntry& entry, const std::wstring& modulePath) {
    const std::wstring clsidKey = L"CLSID\\" + GuidText(entry.clsid);
    std::vector<RegistryValue> values{{clsidKey, nullptr, entry.name}};
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

HRESULT RegisterClasses(std::span<const ClassEntry> classes, const std::wstring& modulePath, RegistryScope scope,
                        REGSAM view) {
    RegistryKey root;
    HRESULT result = OpenClassesRoot(scope, view, root);
    for (const ClassEntry& entry : classes) {
        if (SUCCEEDED(result)) {
            result = SetTexts(root.Get(), ValuesOf(entry, modulePath), view);
        }
    }
    return result;
}

HRESULT RegisterClassSubkeys(REFCLSID clsid, std::span<const ClassSubkey> subkeys, RegistryScope scope) {
    RegistryKey root;
    HRESULT result = OpenClassesRoot(scope, 0, root);
    const std::wstring clsidKey = L"CLSID\\" + GuidText(clsid);
    for (const ClassSubkey& subkey : subkeys) {
        if (SUCCEEDED(result)) {
            const RegistryValue value{clsidKey + L"\\" + subkey.path, nullptr, subkey.value};
            result = SetTexts(root.Get(), std::span(&value, 1), 0);
        }
    }
    return result;
}

HRESULT UnregisterClasses(std::span<const ClassEntry> classes, RegistryScope scope, REGSAM view) {
    RegistryKey root;
    if (HRESULT opened = OpenClassesRoot(scope, view, root); FAILED(opened)) {
        return opened;
    }
    for (const ClassEntry& entry : classes) {
        for (const std::wstring& key :
             {L"CLSID\\" + GuidText(entry.clsid), entry.progId, entry.versionIndependentProgId}) {
            if (!key.empty()) {
                DeleteTree(root.Get(), key, view);
            }
        }
    }
    return S_OK;
}

}  // namespace qv::win::com
