#pragma once
// The launcher's whole life: from the single-instance test to the start of the
// main client. Every path ends the process; the caller exits after Main returns.
#include <memory>
#include <string>
#include <string_view>

#include "LauncherWindows.h"
#include "Platform.h"
#include "PublisherKeys.h"
#include "StagingLayout.h"
#include "DownloadPlatform.h"
#include "clsDealConfigFile.h"
#include "clsProgramFiles.h"

namespace launcher {

inline constexpr const char* kLauncherVersion = "3.24";
inline constexpr const char* kMainClientFile = "quorvel.exe";

enum class LaunchMode { Normal, Debug, Update };

// The whole argument text, compared with "DEBUG" / "UPDATE" ignoring case.
LaunchMode ParseCommandLine(std::string_view arguments);

struct LauncherServices {
    IMessageBox& messageBox;
    IFileSystem& fileSystem;
    IProcesses& processes;
    IClock& clock;
    IRandom& random;
    IHttpClient& http;
    ISystemInfo& system;
    ISingleInstance& singleInstance;
    ISettingsSource& settings;
    IWindowFactory& windows;
    IInstallProcesses& installProcesses;  // regsvr32 while an interrupted update is undone
    std::string launcherFolder;           // without a trailing "\" except at a drive root
    // Checks the publisher's signatures when the settings hold keys; without
    // it, an installation with keys refuses every answer.
    ISignatureVerifier* verifier = nullptr;
};

// How the sequence ended; the process exit does not tell them apart.
enum class MainEnd {
    AlreadyRunning,
    VersionFileUnreadable,
    SettingsMissing,
    RequestFailed,
    ServiceRefused,
    DownloadNotCompleted,
    VersionFileNotWritten,
    MainClientMissing,
    MainClientNotStarted,
    MainClientStarted,
    UnexpectedFailure,
};

// The launcher's process-wide state, owned by Main for its run.
struct LauncherState {
    bool g_bDebugMode = false;
    std::unique_ptr<clsDealConfigFile> g_oVersionConfig;
    std::shared_ptr<clsProgramFiles> g_oProgramFiles;
    UpdateFileList g_cltUpdateFiles;
};

MainEnd Main(std::string_view commandLine, LauncherServices& services);

}  // namespace launcher
