#pragma once
// The download window's work: for every out-of-date entry, the running-program
// check, removal of the installed copy, the transfer of its archive in
// 4096-byte blocks with progress and speed, extraction and registration.
#include <cstdint>
#include <string>

#include "DownloadPlatform.h"
#include "LauncherWindows.h"
#include "Platform.h"
#include "RunLog.h"
#include "clsProgramFiles.h"

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

// The window's state on load: overall bar 0 to 100 per entry, the file line's
// heading, no speed line yet.
void PrepareDownloadView(IDownloadView& view, int nCount);

// Clamps lValue into the bar's range, writes it back, and shows it.
void RefreshProbarValue(IDownloadView& view, ProgressBar bar, std::int32_t& lValue);

// Transfers surl into strFile; nFileOrder is the entry's 1-based position.
// When strSHA256 (lower-case hex) is given, the received bytes must have that
// digest. False after a box for a failed transfer, or without one when cancelled.
bool DownloadFile(const std::string& surl, const std::string& strFile, int nFileOrder, UpdateServices& services,
                  const std::string& strSHA256 = "");

// True when every entry was downloaded and installed; stops at the first failure.
bool UpdateFiles(const UpdateFileList& cltUpdateFiles, UpdateServices& services);

}  // namespace launcher
