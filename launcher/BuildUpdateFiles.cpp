#include "BuildUpdateFiles.h"

#include "LocalFolder.h"
#include "common/NumberText.h"

namespace launcher {

int BuildUpdateFiles(const clsProgramFiles& programFiles, const VersionLookup& installedVersion,
                     IFileSystem& fileSystem, const std::string& launcherFolder, ISystemInfo& system,
                     UpdateFileList& cltUpdateFiles, IRunLog* log) {
    cltUpdateFiles = UpdateFileList();
    std::vector<std::string> decisions;
    for (const auto& entry : programFiles) {
        const std::string file = LocalFile(*entry, launcherFolder, system);
        const bool present = fileSystem.FileExists(file);
        const std::string recorded = present ? installedVersion(entry->cFileName) : "";
        // A missing or unreadable version line reads as version 0.
        const bool outOfDate = !present || qv::LeadingNumber(recorded) < entry->cVersion;
        if (outOfDate) cltUpdateFiles.push_back(entry);
        if (log) {
            decisions.push_back("entry \"" + entry->cFileName + "\" version " + std::to_string(entry->cVersion) +
                                (outOfDate ? ": to update (" : ": up to date (") +
                                (present ? "recorded version \"" + recorded + "\"" : "no file " + file) + ")");
        }
    }
    // One write for all of them: a log line costs a round trip to the file system.
    LogEvents(log, decisions);
    return static_cast<int>(cltUpdateFiles.size());
}

}  // namespace launcher
