#include "ControlRegistration.h"

#include <string>

#include "common/win32/com/Registration.h"
#include "Lumen_Control_h.h"
#include "resource_ids.h"

namespace controls::win {
namespace {

using qv::win::com::RegistryScope;

constexpr RegistryScope kScope = RegistryScope::Machine;
// Visible at run time, inside-out, acts like a label's neighbours do.
constexpr const wchar_t* kMiscStatus = L"131473";

const qv::win::com::ClassEntry kClasses[] = {
    {CLSID_TextColor, L"Lumen_Control.TextColor", L"", L"Lumen_Control.TextColor", qv::win::com::ServerKind::InProcess,
     L"Apartment", LIBID_Lumen_Control},
    {CLSID_InputDate, L"Lumen_Control.InputDate", L"", L"Lumen_Control.InputDate", qv::win::com::ServerKind::InProcess,
     L"Apartment", LIBID_Lumen_Control},
};

HRESULT SetText(const std::wstring& path, const std::wstring& value) {
    HKEY key = nullptr;
    LSTATUS status = RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
    if (status == ERROR_SUCCESS) {
        status = RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }
    return HRESULT_FROM_WIN32(status);
}

HRESULT WriteControlKeys(const std::wstring& modulePath, const CLSID& clsid) {
    const std::wstring clsidKey = L"CLSID\\" + qv::win::com::GuidText(clsid);
    const std::pair<std::wstring, std::wstring> values[] = {
        {clsidKey + L"\\Control", L""},
        {clsidKey + L"\\ToolboxBitmap32", modulePath + L", " + std::to_wstring(kToolboxBitmap)},
        {clsidKey + L"\\MiscStatus", L"0"},
        {clsidKey + L"\\MiscStatus\\1", kMiscStatus},
        {clsidKey + L"\\Version", L"41.2"},
    };
    for (const auto& [path, value] : values) {
        if (HRESULT result = SetText(path, value); FAILED(result)) return result;
    }
    return S_OK;
}

}  // namespace

HRESULT RegisterLibrary() {
    const std::wstring path = qv::win::com::ModulePath(qv::win::com::CurrentModule());
    HRESULT result = qv::win::com::RegisterModuleTypeLibrary(kScope);
    if (SUCCEEDED(result)) result = qv::win::com::RegisterClasses(kClasses, path, kScope);
    for (const qv::win::com::ClassEntry& entry : kClasses) {
        if (SUCCEEDED(result)) result = WriteControlKeys(path, entry.clsid);
    }
    if (FAILED(result)) UnregisterLibrary();
    return result;
}

HRESULT UnregisterLibrary() {
    const HRESULT classes = qv::win::com::UnregisterClasses(kClasses, kScope);
    const HRESULT library = qv::win::com::UnregisterModuleTypeLibrary(kScope);
    return FAILED(classes) ? classes : (library == TYPE_E_REGISTRYACCESS ? S_OK : library);
}

}  // namespace controls::win
