#pragma once
// The system's own folders on this computer, which a removal never deletes.
#include "InstallFolderRule.h"

namespace packaging::win {

ProtectedFolders SystemFolders();

}  // namespace packaging::win
