#pragma once
// The download window's work, in two phases. Staging: for every out-of-date
// entry the running-program check, the transfer of its archive into the
// staging folder and its extraction there; nothing installed is touched.
// Switch: once every entry is staged, the staged files take the installed
// ones' places as one change, and are registered where asked.
#include <string>

#include "ArchiveDownload.h"
#include "UpdateServices.h"
#include "clsProgramFiles.h"

namespace launcher {

// True when every entry was staged and switched. On false the installed files
// are as they were (a box has told why, unless the user cancelled), and the
// staging folder keeps only archives whose transfer may be continued.
// After true the caller writes the version file and then calls FinishUpdate.
bool UpdateFiles(const UpdateFileList& cltUpdateFiles, UpdateServices& services);

}  // namespace launcher
