#include "RegistryKey.h"

#include <vector>

namespace qv::win::com {

HRESULT OpenClassesRoot(RegistryScope scope, REGSAM view, RegistryKey& root) {
    const HKEY base = scope == RegistryScope::User ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
    return HRESULT_FROM_WIN32(RegCreateKeyExW(base, L"Software\\Classes", 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr,
                                              root.Address(), nullptr));
}

HRESULT SetTexts(HKEY root, std::span<const RegistryValue> values, REGSAM view) {
    for (const RegistryValue& value : values) {
        RegistryKey key;
        LSTATUS status =
            RegCreateKeyExW(root, value.path.c_str(), 0, nullptr, 0, KEY_WRITE | view, nullptr, key.Address(), nullptr);
        if (status == ERROR_SUCCESS) {
            status = RegSetValueExW(key.Get(), value.name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.text.c_str()),
                                    static_cast<DWORD>((value.text.size() + 1) * sizeof(wchar_t)));
        }
        if (status != ERROR_SUCCESS) {
            return HRESULT_FROM_WIN32(status);
        }
    }
    return S_OK;
}

void DeleteTree(HKEY root, const std::wstring& path, REGSAM view) {
    // Class keys are a few levels deep; the bound only guards against a loop.
    constexpr int kDeepest = 16;
    struct Walk {
        HKEY root;
        REGSAM view;
        void operator()(const std::wstring& key, int depth) const {
            std::vector<std::wstring> children;
            {
                RegistryKey open;
                if (depth > kDeepest ||
                    RegOpenKeyExW(root, key.c_str(), 0, KEY_READ | view, open.Address()) != ERROR_SUCCESS) {
                    return;
                }
                wchar_t name[256];
                for (DWORD index = 0;; ++index) {
                    DWORD length = 256;
                    if (RegEnumKeyExW(open.Get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
                        ERROR_SUCCESS) {
                        break;
                    }
                    children.emplace_back(name, length);
                }
            }
            for (const std::wstring& child : children) {
                (*this)(key + L"\\" + child, depth + 1);
            }
            RegDeleteKeyExW(root, key.c_str(), view, 0);
        }
    };
    Walk{root, view}(path, 0);
}

}  // namespace qv::win::com
