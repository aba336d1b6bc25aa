#pragma once
// Registry entries of COM classes from a table, written and removed for the
// machine (HKEY_CLASSES_ROOT) or for the current user (HKCU\Software\Classes).
//
//   const ClassEntry classes[] = {{CLSID_Thing, L"Lib.Thing.1", L"Lib.Thing", L"Thing",
//                                  ServerKind::Local, L"", LIBID_Lib}};
//   RegisterClasses(classes, ModulePath(CurrentModule()), RegistryScope::User);
//
// Written per class: CLSID\{clsid} (name), its LocalServer32 (quoted path) or
// InprocServer32 (path, ThreadingModel), ProgID, VersionIndependentProgID,
// TypeLib; and each ProgID with its CLSID (the version-independent one also
// names CurVer). Unregistering removes those keys whole.
#include <span>
#include <string>

#include "TypeLibrary.h"

namespace qv::win::com {

enum class ServerKind { Local, InProcess };

struct ClassEntry {
    CLSID clsid;
    std::wstring progId;                    // may equal the version-independent one
    std::wstring versionIndependentProgId;  // may be empty
    std::wstring name;
    ServerKind kind;
    std::wstring threadingModel;  // in-process only, e.g. L"Apartment"
    GUID libid;                   // GUID_NULL: no TypeLib entry
};

// view: 0 for the caller's own registry view, KEY_WOW64_64KEY or
// KEY_WOW64_32KEY for the other one on 64-bit Windows (see RegistryViews.h).
HRESULT RegisterClasses(std::span<const ClassEntry> classes, const std::wstring& modulePath, RegistryScope scope,
                        REGSAM view = 0);
HRESULT UnregisterClasses(std::span<const ClassEntry> classes, RegistryScope scope, REGSAM view = 0);

// More keys under a registered class's CLSID\{clsid} (an ActiveX control's
// Control, ToolboxBitmap32, MiscStatus, Version), each with its default
// value; they go with the class key when it is unregistered.
struct ClassSubkey {
    std::wstring path;  // below CLSID\{clsid}
    std::wstring value;
};
HRESULT RegisterClassSubkeys(REFCLSID clsid, std::span<const ClassSubkey> subkeys, RegistryScope scope);

std::wstring GuidText(REFGUID guid);

}  // namespace qv::win::com
