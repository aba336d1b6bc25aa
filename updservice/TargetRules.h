#pragma once
// Where the update service lets a program file be written.
#include <optional>
#include <string>

#include "launcher/Platform.h"
#include "launcher/clsProgramFile.h"

namespace updservice {

// Why the entry may not be written into the folder that the launcher's
// LocalFolder gives it, or nullopt when it may: a folder inside the
// installation folder, or exactly the system folder for a "[SYS_PATH]" entry.
// `installFolder` as CheckInstallFolder gives it.
std::optional<std::string> RefuseTarget(const launcher::clsProgramFile& entry, const std::string& installFolder,
                                        launcher::ISystemInfo& system);

}  // namespace updservice
