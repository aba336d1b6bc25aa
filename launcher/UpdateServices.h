#pragma once
// What the update loop works with: the download window's view, the boxes and
// the platform.
#include <cstdint>
#include <string>

#include "DownloadPlatform.h"
#include "LauncherWindows.h"
#include "Platform.h"
#include "RunLog.h"

namespace launcher {

inline constexpr std::uint32_t kDownloadBlockSize = 4096;

struct UpdateServices {
    IDownloadView& view;
    IWaitWindow& waitWindow;
    IMessageBox& messageBox;
    IProcesses& processes;
    IFileSystem& fileSystem;
    ISystemInfo& system;
    IClock& clock;
    IUrlOpener& urls;
    IOutputFiles& outputFiles;
    IInstallProcesses& installProcesses;
    ISizeFormatter& sizeFormatter;
    std::string launcherFolder;
    IRunLog* log = nullptr;
};

// Hides the wait window and shows "系统文件升级出现错误。".
void ReportUpdateError(UpdateServices& services);

}  // namespace launcher
