#include "BuildUpdateFiles.h"

#include "LocalFolder.h"
#include "common/NumberText.h"

namespace launcher {

int BuildUpdateFiles(const clsProgramFiles& programFiles, const VersionLookup& installedVersion,
                     IFileSystem& fileSystem, const std::string& launcherFolder, ISystemInfo& system,
                     UpdateFileList& cltUpdateFiles) {
    cltUpdateFiles = UpdateFileList();
    for (const auto& entry : programFiles) {
        const bool present = fileSystem.FileExists(LocalFile(*entry, launcherFolder, system));
        // A missing or unreadable version line reads as version 0.
        if (!present || qv::LeadingNumber(installedVersion(entry->cFileName)) < entry->cVersion) {
            cltUpdateFiles.push_back(entry);
        }
    }
    return static_cast<int>(cltUpdateFiles.size());
}

}  // namespace launcher
