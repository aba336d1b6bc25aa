#pragma once
// Type information from the type library built into this module's resources
// (resource type "TYPELIB", id 1), loaded once and kept for the process.
//
//   ComPtr<ITypeInfo> info = qv::win::com::ModuleTypeInfo(IID_IThing);
//   qv::win::com::RegisterModuleTypeLibrary(RegistryScope::User);  // from /RegServer
#include <string>

#include "common/win32/ComPtr.h"
#include "common/win32/WindowsApi.h"
#include <oaidl.h>

namespace qv::win::com {

enum class RegistryScope {
    Machine,  // HKEY_CLASSES_ROOT (HKLM\Software\Classes); needs administrator rights
    User,     // HKEY_CURRENT_USER\Software\Classes
};

// The module (exe or dll) this code is linked into, and its full path.
HMODULE CurrentModule() noexcept;
std::wstring ModulePath(HMODULE module);

// Empty when the library or the GUID is missing.
ComPtr<ITypeLib> ModuleTypeLibrary();
ComPtr<ITypeInfo> ModuleTypeInfo(REFGUID guid);

// The [default, source] interface of an object's class (IProvideClassInfo)
// and its IID.
HRESULT DefaultEventInterface(IUnknown* object, ComPtr<ITypeInfo>& events, IID& iid);

HRESULT RegisterModuleTypeLibrary(RegistryScope scope);
HRESULT UnregisterModuleTypeLibrary(RegistryScope scope);

}  // namespace qv::win::com
