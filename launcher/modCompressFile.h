#pragma once
// Unpacks one archive into its folder with the external archiver.
#include <cstdint>
#include <string>

#include "DownloadPlatform.h"
#include "LauncherWindows.h"
#include "Platform.h"
#include "RunLog.h"

namespace launcher {

inline constexpr const char* kArchiverFile = "\\Tools\\Arj32.exe";  // after the launcher folder
inline constexpr std::uint32_t kArchiverWaitMs = 30 * 60 * 1000;
// The archiver's exit codes that mean its files were written: none and "warning".
inline constexpr std::uint32_t kArchiverWarning = 1;

// "<archiver>" e "<archive>" -y "<folder> " : the folder ends in "\", so a
// blank stands before its closing quote, as the archiver has always been given.
std::string ArchiverCommandLine(const std::string& strArchiver, const std::string& strArchive,
                                const std::string& strFolder);

// True when the archiver ended with exit code 0 or 1 and strExpected (the
// entry's file) exists afterwards. False after telling the user, when the
// folder does not end in "\", the archiver could not be started, did not end
// in time, reported an error, or left the file missing.
bool UnCompressFile(const std::string& strArchiver, const std::string& strArchive, const std::string& strFolder,
                    const std::string& strExpected, IFileSystem& fileSystem, IInstallProcesses& processes,
                    IWaitWindow& waitWindow, IMessageBox& messageBox, IRunLog* log = nullptr);

}  // namespace launcher
