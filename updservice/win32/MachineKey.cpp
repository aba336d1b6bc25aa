#include "MachineKey.h"

#include "common/win32/TextConvert.h"
#include "common/win32/UniqueRegistryKey.h"
#include "launcher/win32/RegistrySettings.h"

namespace updservice::win {

// What RegistrySettings falls back to when the key is missing: a refusal.
class MachineKey::Missing final : public launcher::ISettingsSource {
public:
    bool Load(launcher::LauncherSettings&, std::string& error) override {
        error = std::string("注册表项 ") + kMachineKeyName +
                " 不存在：更新服务只为安装包安装的程序更新，它的设置只来自这个注册表项。";
        return false;
    }
};

MachineKey::MachineKey()
    : missing_(std::make_unique<Missing>()), settings_(std::make_unique<launcher::win::RegistrySettings>(*missing_)) {}

MachineKey::~MachineKey() = default;

bool MachineKey::Load(launcher::LauncherSettings& settings, std::string& error) {
    return settings_->Load(settings, error);
}

std::optional<std::string> MachineKey::InstallDir() {
    qv::win::UniqueRegistryKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Quorvel\\startqvl", 0, KEY_QUERY_VALUE | KEY_WOW64_32KEY,
                      key.Address()) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD bytes = 0;
        if (RegGetValueW(key.Get(), nullptr, L"InstallDir", RRF_RT_REG_SZ, nullptr, nullptr, &bytes) != ERROR_SUCCESS) {
            return std::nullopt;
        }
        std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
        bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        const LSTATUS status =
            RegGetValueW(key.Get(), nullptr, L"InstallDir", RRF_RT_REG_SZ, nullptr, text.data(), &bytes);
        if (status == ERROR_MORE_DATA) continue;  // changed between the two calls
        if (status != ERROR_SUCCESS) return std::nullopt;
        text.resize(wcslen(text.c_str()));
        return qv::win::Narrow(text);
    }
    return std::nullopt;
}

}  // namespace updservice::win
