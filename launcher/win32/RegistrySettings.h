#pragma once
// The launcher's settings from the machine's registry key, which the
// installation package writes: HKEY_LOCAL_MACHINE\SOFTWARE\Quorvel\startqvl,
// always in the 32-bit view, one REG_SZ value per key of startqvl.ini's
// [Update] section (ServiceUrl, CustomerCode, SigningSalt, ...).
//
// When the key exists it is the only source: startqvl.ini is then not read at
// all. The key can be changed by administrators only, whereas the
// installation folder also receives whatever the update service delivers, so
// a file there can never override or weaken what the key says. Without the
// key the settings come from the fallback (startqvl.ini).
#include <string>

#include "common/win32/WindowsApi.h"
#include "launcher/Platform.h"

namespace launcher::win {

class RegistrySettings final : public ISettingsSource {
public:
    explicit RegistrySettings(ISettingsSource& fallback);
    // Another key, for tests; `keyName` is the path below `root` as a user reads it in messages.
    RegistrySettings(ISettingsSource& fallback, HKEY root, std::wstring subKey, std::string keyName);

    bool Load(LauncherSettings& settings, std::string& error) override;

private:
    ISettingsSource& fallback_;
    HKEY root_;
    std::wstring subKey_;
    std::string keyName_;
};

}  // namespace launcher::win
