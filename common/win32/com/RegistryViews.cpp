#include "RegistryViews.h"

#include <cwchar>
#include <string>
#include <vector>

#include "RegistryKey.h"
#include "common/win32/Bstr.h"

namespace qv::win::com {

namespace {

constexpr REGSAM kNative = KEY_WOW64_64KEY;

// What RegisterTypeLib writes under Interface\{iid} for one interface of the library.
struct InterfaceEntry {
    std::wstring key;
    std::wstring name;
    const wchar_t* proxyStub;  // the automation marshaller oleaut32 registers
};

std::vector<InterfaceEntry> LibraryInterfaces() {
    constexpr const wchar_t* kDispatchProxy = L"{00020420-0000-0000-C000-000000000046}";
    constexpr const wchar_t* kVtableProxy = L"{00020424-0000-0000-C000-000000000046}";
    std::vector<InterfaceEntry> entries;
    ComPtr<ITypeLib> library = ModuleTypeLibrary();
    const UINT count = library ? library->GetTypeInfoCount() : 0;
    for (UINT index = 0; index < count; ++index) {
        ComPtr<ITypeInfo> info;
        TYPEATTR* attributes = nullptr;
        if (FAILED(library->GetTypeInfo(index, info.Address())) || FAILED(info->GetTypeAttr(&attributes))) {
            continue;
        }
        const bool dispatch = attributes->typekind == TKIND_DISPATCH;
        const bool dual = (attributes->wTypeFlags & TYPEFLAG_FDUAL) != 0;
        const bool automation =
            attributes->typekind == TKIND_INTERFACE && (attributes->wTypeFlags & TYPEFLAG_FOLEAUTOMATION) != 0;
        if (dispatch || automation) {
            Bstr name;
            info->GetDocumentation(MEMBERID_NIL, name.Address(), nullptr, nullptr, nullptr);
            entries.push_back({L"Interface\\" + GuidText(attributes->guid), name.Get() ? name.Get() : L"",
                               dispatch && !dual ? kDispatchProxy : kVtableProxy});
        }
        info->ReleaseTypeAttr(attributes);
    }
    return entries;
}

struct LibraryKeys {
    std::wstring libid;
    std::wstring version;  // "1.0", as RegisterTypeLib spells it
    std::wstring win64;    // TypeLib\{libid}\{version}\{lcid}\win64
};

bool ReadLibraryKeys(LibraryKeys& keys) {
    ComPtr<ITypeLib> library = ModuleTypeLibrary();
    TLIBATTR* attributes = nullptr;
    if (!library || FAILED(library->GetLibAttr(&attributes))) {
        return false;
    }
    wchar_t version[16] = {};
    wchar_t lcid[16] = {};
    std::swprintf(version, 16, L"%x.%x", attributes->wMajorVerNum, attributes->wMinorVerNum);
    std::swprintf(lcid, 16, L"%lx", static_cast<unsigned long>(attributes->lcid));
    keys.libid = GuidText(attributes->guid);
    keys.version = version;
    keys.win64 = L"TypeLib\\" + keys.libid + L"\\" + version + L"\\" + lcid + L"\\win64";
    library->ReleaseTLibAttr(attributes);
    return true;
}

}  // namespace

bool RunsUnderWow64() noexcept {
    BOOL wow64 = FALSE;
    return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

HRESULT MirrorToNativeView(std::span<const ClassEntry> classes, RegistryScope scope) {
    if (!RunsUnderWow64()) {
        return S_FALSE;
    }
    LibraryKeys library;
    if (!ReadLibraryKeys(library)) {
        return TYPE_E_CANTLOADLIBRARY;
    }
    std::vector<RegistryValue> values;
    for (const InterfaceEntry& entry : LibraryInterfaces()) {
        values.push_back({entry.key, nullptr, entry.name});
        values.push_back({entry.key + L"\\ProxyStubClsid32", nullptr, entry.proxyStub});
        values.push_back({entry.key + L"\\TypeLib", nullptr, library.libid});
        values.push_back({entry.key + L"\\TypeLib", L"Version", library.version});
    }
    // The type library is the same file for either bitness.
    const std::wstring path = ModulePath(CurrentModule());
    values.push_back({library.win64, nullptr, path});
    HRESULT result = RegisterClasses(classes, path, scope, kNative);
    RegistryKey root;
    if (SUCCEEDED(result)) {
        result = OpenClassesRoot(scope, kNative, root);
    }
    if (SUCCEEDED(result)) {
        result = SetTexts(root.Get(), values, kNative);
    }
    return result;
}

HRESULT RemoveNativeViewMirror(std::span<const ClassEntry> classes, RegistryScope scope) {
    if (!RunsUnderWow64()) {
        return S_FALSE;
    }
    RegistryKey root;
    if (HRESULT opened = OpenClassesRoot(scope, kNative, root); FAILED(opened)) {
        return opened;
    }
    for (const InterfaceEntry& entry : LibraryInterfaces()) {
        DeleteTree(root.Get(), entry.key, kNative);
    }
    if (LibraryKeys library; ReadLibraryKeys(library)) {
        DeleteTree(root.Get(), library.win64, kNative);
    }
    return UnregisterClasses(classes, scope, kNative);
}

}  // namespace qv::win::com
