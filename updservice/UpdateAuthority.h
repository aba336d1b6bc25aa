#pragma once
// What the update service trusts: the machine's settings key and nothing from
// the client. Without publisher keys it refuses every update, since otherwise
// whoever answers on the network would choose code that runs as the system.
#include <optional>
#include <string>

#include "UpdateJob.h"

namespace updservice {

inline constexpr const char* kMachineKeyName = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Quorvel\\startqvl";

// The installation folder that the package recorded in the machine key.
class IInstallDirSource {
public:
    virtual ~IInstallDirSource() = default;
    virtual std::optional<std::string> InstallDir() = 0;
};

struct Authorization {
    std::optional<UpdatePermit> permit;
    std::string reason;  // why there is none, for the user
};

// `settings` reads the machine key only (it fails when the key is missing).
Authorization Authorize(launcher::ISettingsSource& settings, IInstallDirSource& installDir);

}  // namespace updservice
