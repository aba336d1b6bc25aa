#include "RegistrySettings.h"

#include <optional>
#include <string>
#include <utility>

#include "UpdateSection.h"
#include "common/win32/TextConvert.h"
#include "common/win32/UniqueRegistryKey.h"

namespace launcher::win {
namespace {

class OpenKey {
public:
    OpenKey(HKEY root, const std::wstring& subKey)
        : status_(RegOpenKeyExW(root, subKey.c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_32KEY, key_.Address())) {}

    LSTATUS Status() const { return status_; }

    // A REG_SZ value; any other type counts as absent.
    std::optional<std::string> Text(const wchar_t* name) const {
        for (int attempt = 0; attempt < 4; ++attempt) {
            DWORD type = 0;
            DWORD bytes = 0;
            if (RegQueryValueExW(key_.Get(), name, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
                type != REG_SZ) {
                return std::nullopt;
            }
            std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
            bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
            const LSTATUS status =
                RegQueryValueExW(key_.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &bytes);
            if (status == ERROR_MORE_DATA) {
                continue;  // changed between the two calls
            }
            if (status != ERROR_SUCCESS || type != REG_SZ) {
                return std::nullopt;
            }
            // The stored text need not end in a null character.
            text.resize(bytes / sizeof(wchar_t));
            if (const auto end = text.find(L'\0'); end != std::wstring::npos) {
                text.resize(end);
            }
            return qv::win::Narrow(text);
        }
        return std::nullopt;
    }

private:
    qv::win::UniqueRegistryKey key_;
    LSTATUS status_;
};

}  // namespace

RegistrySettings::RegistrySettings(ISettingsSource& fallback)
    : RegistrySettings(fallback, HKEY_LOCAL_MACHINE, L"SOFTWARE\\Quorvel\\startqvl",
                       "HKEY_LOCAL_MACHINE\\SOFTWARE\\Quorvel\\startqvl") {}

RegistrySettings::RegistrySettings(ISettingsSource& fallback, HKEY root, std::wstring subKey, std::string keyName)
    : fallback_(fallback), root_(root), subKey_(std::move(subKey)), keyName_(std::move(keyName)) {}

bool RegistrySettings::Load(LauncherSettings& settings, std::string& error) {
    const OpenKey key(root_, subKey_);
    if (key.Status() == ERROR_FILE_NOT_FOUND) {
        return fallback_.Load(settings, error);
    }
    // A key that is there but cannot be read must not hand the choice to the file.
    if (key.Status() != ERROR_SUCCESS) {
        error = "无法读取注册表项 " + keyName_ + "（错误 " + std::to_string(key.Status()) + "）。";
        return false;
    }
    if (!LoadUpdateSection([&key](const wchar_t* name) { return key.Text(name); }, "注册表项 " + keyName_ + " ",
                           settings, error)) {
        return false;
    }
    settings.source = "machine key " + keyName_;
    return true;
}

}  // namespace launcher::win
