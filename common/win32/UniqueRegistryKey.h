#pragma once
// Sole owner of an open registry key.
//
//   UniqueRegistryKey key;
//   if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_QUERY_VALUE, key.Address()) == ERROR_SUCCESS) ...
#include "WindowsApi.h"

namespace qv::win {

class UniqueRegistryKey {
public:
    UniqueRegistryKey() = default;
    ~UniqueRegistryKey() {
        if (key_) {
            RegCloseKey(key_);
        }
    }
    UniqueRegistryKey(const UniqueRegistryKey&) = delete;
    UniqueRegistryKey& operator=(const UniqueRegistryKey&) = delete;
    HKEY* Address() noexcept { return &key_; }
    HKEY Get() const noexcept { return key_; }

private:
    HKEY key_ = nullptr;
};

}  // namespace qv::win
