#pragma once
// Unpacks one archive into its folder with the external archiver.
#include <string>

#include "DownloadPlatform.h"
#include "LauncherWindows.h"
#include "Platform.h"
#include "RunLog.h"

namespace launcher {

inline constexpr const char* kArchiverFile = "\\Tools\\Arj32.exe";  // after the launcher folder

// "<archiver>" e "<archive>" -y "<folder> " : the folder ends in "\", so a
// blank stands before its closing quote, as the archiver has always been given.
std::string ArchiverCommandLine(const std::string& strArchiver, const std::string& strArchive,
                                const std::string& strFolder);

// True once the archiver was started and has ended; its own outcome is only
// logged. False after telling the user, when the folder does not end in
// "\" or the archiver could not be started.
bool UnCompressFile(const std::string& strArchiver, const std::string& strArchive, const std::string& strFolder,
                    IInstallProcesses& processes, IWaitWindow& waitWindow, IMessageBox& messageBox,
                    IRunLog* log = nullptr);

}  // namespace launcher
