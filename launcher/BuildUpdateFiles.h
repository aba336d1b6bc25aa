#pragma once
// Which program files of the service's list must be downloaded.
#include <functional>
#include <string>

#include "Platform.h"
#include "RunLog.h"
#include "clsProgramFiles.h"

namespace launcher {

// The installed version text recorded for a file name (empty when none).
using VersionLookup = std::function<std::string(const std::string& strFileName)>;

// Replaces cltUpdateFiles with the entries whose local file is missing or
// whose installed version is below the required one, in the service's order;
// returns their number. Each entry's decision goes to the log.
int BuildUpdateFiles(const clsProgramFiles& programFiles, const VersionLookup& installedVersion,
                     IFileSystem& fileSystem, const std::string& launcherFolder, ISystemInfo& system,
                     UpdateFileList& cltUpdateFiles, IRunLog* log = nullptr);

}  // namespace launcher
