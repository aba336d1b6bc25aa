#pragma once
// A 32-bit local server on 64-bit Windows, made usable by 64-bit clients.
//
// Run by a 32-bit process there, RegisterClasses and RegisterTypeLib write the
// CLSID and Interface keys into the 32-bit registry view only: both keys are
// redirected, while the ProgIDs and TypeLib are shared. A 64-bit client then
// finds the class but has neither the proxy entries of its interfaces nor a
// "win64" entry of the type library to marshal them with. After the usual
// registration,
//
//   MirrorToNativeView(classes, RegistryScope::Machine);  // from /RegServer
//   RemoveNativeViewMirror(classes, RegistryScope::Machine);  // /UnRegServer, first
//
// copy the classes and the interface keys of the module's type library into
// the 64-bit view and add the type library's "win64" entry (the same file),
// or take all that away again. Both do nothing (S_FALSE) outside WOW64.
#include <span>

#include "Registration.h"

namespace qv::win::com {

bool RunsUnderWow64() noexcept;

HRESULT MirrorToNativeView(std::span<const ClassEntry> classes, RegistryScope scope);
HRESULT RemoveNativeViewMirror(std::span<const ClassEntry> classes, RegistryScope scope);

}  // namespace qv::win::com
