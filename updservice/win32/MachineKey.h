#pragma once
// The update service's settings: the machine's key only, in the 32-bit view,
// read as the launcher reads it (launcher/win32/RegistrySettings.h); never
// startqvl.ini, which lies in a folder that downloads are written to.
#include <memory>
#include <optional>
#include <string>

#include "launcher/Platform.h"
#include "updservice/UpdateAuthority.h"

namespace updservice::win {

class MachineKey final : public launcher::ISettingsSource, public IInstallDirSource {
public:
    MachineKey();
    ~MachineKey() override;

    // Fails, naming the key, when it is missing or incomplete.
    bool Load(launcher::LauncherSettings& settings, std::string& error) override;
    // The REG_SZ value InstallDir; nothing when it or the key is missing or of another type.
    std::optional<std::string> InstallDir() override;

private:
    class Missing;
    std::unique_ptr<Missing> missing_;
    std::unique_ptr<launcher::ISettingsSource> settings_;
};

}  // namespace updservice::win
