#pragma once
// Registry keys under a classes root, in a chosen registry view: 0 for the
// caller's own, KEY_WOW64_64KEY or KEY_WOW64_32KEY for the other one on
// 64-bit Windows. Every call passes the view on, since a 32-bit process is
// redirected per call, not per handle.
//
//   RegistryKey root;
//   OpenClassesRoot(RegistryScope::Machine, KEY_WOW64_64KEY, root);
//   const RegistryValue values[] = {{L"CLSID\\{...}\\LocalServer32", nullptr, L"\"C:\\a.exe\""}};
//   SetTexts(root.Get(), values, KEY_WOW64_64KEY);
#include <span>
#include <string>

#include "TypeLibrary.h"
#include "common/win32/UniqueRegistryKey.h"

namespace qv::win::com {

using RegistryKey = qv::win::UniqueRegistryKey;

// HKLM\Software\Classes (what HKEY_CLASSES_ROOT writes to) or HKCU\Software\Classes.
HRESULT OpenClassesRoot(RegistryScope scope, REGSAM view, RegistryKey& root);
// A text value: the default one of root\path when name is null.
struct RegistryValue {
    std::wstring path;
    const wchar_t* name;
    std::wstring text;
};

// Writes the values in order and stops at the first failure.
HRESULT SetTexts(HKEY root, std::span<const RegistryValue> values, REGSAM view);
// Removes root\path with everything below it; a missing key is no failure.
void DeleteTree(HKEY root, const std::wstring& path, REGSAM view);

}  // namespace qv::win::com
