#pragma once
// Where a program file belongs on this computer. The launcher folder is the
// folder of the running launcher, without a trailing "\" except at a drive root.
#include <string>

#include "Platform.h"
#include "clsProgramFile.h"

namespace launcher {

// "[CUR_PATH]" (matched first) becomes the launcher folder + "\", else
// "[SYS_PATH]" the system folder + "\"; without either, the path is cut after
// its last "\". The result always ends in "\".
std::string LocalFolder(const clsProgramFile& oProgramFile, const std::string& launcherFolder, ISystemInfo& system);

// LocalFolder followed by the file name.
std::string LocalFile(const clsProgramFile& oProgramFile, const std::string& launcherFolder, ISystemInfo& system);

}  // namespace launcher
