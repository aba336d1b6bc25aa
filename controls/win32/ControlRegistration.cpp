#include "ControlRegistration.h"

#include <string>

#include "common/win32/com/OleControl.h"
#include "common/win32/com/Registration.h"
#include "Lumen_Control_h.h"
#include "resource_ids.h"

namespace controls::win {
namespace {

using qv::win::com::RegistryScope;

constexpr RegistryScope kScope = RegistryScope::Machine;

const qv::win::com::ClassEntry kClasses[] = {
    {CLSID_TextColor, L"Lumen_Control.TextColor", L"", L"Lumen_Control.TextColor", qv::win::com::ServerKind::InProcess,
     L"Apartment", LIBID_Lumen_Control},
    {CLSID_InputDate, L"Lumen_Control.InputDate", L"", L"Lumen_Control.InputDate", qv::win::com::ServerKind::InProcess,
     L"Apartment", LIBID_Lumen_Control},
};

// The keys by which containers know a class as an ActiveX control.
HRESULT WriteControlKeys(const std::wstring& modulePath, const CLSID& clsid) {
    const qv::win::com::ClassSubkey subkeys[] = {
        {L"Control", L""},     {L"ToolboxBitmap32", modulePath + L", " + std::to_wstring(kToolboxBitmap)},
        {L"MiscStatus", L"0"}, {L"MiscStatus\\1", std::to_wstring(qv::win::com::kOleControlMiscStatus)},
        {L"Version", L"41.2"},
    };
    return qv::win::com::RegisterClassSubkeys(clsid, subkeys, kScope);
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
