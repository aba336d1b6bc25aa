#pragma once
// The launcher's whole life: from the single-instance test to the start of the
// main client. Every path ends the process; the caller exits after Main returns.
#include <memory>
#include <string>
#include <string_view>

#include "LauncherWindows.h"
#include "Platform.h"
#include "PublisherKeys.h"
#include "DownloadPlatform.h"
#include "RunLog.h"
#include "StagingLayout.h"
#include "clsDealConfigFile.h"
#include "clsProgramFiles.h"

namespace launcher {

inline constexpr const char* kLauncherVersion = "3.24";
inline constexpr const char* kMainClientFile = "quorvel.exe";

// Check: the settings and the update service are checked and reported, and
// nothing is downloaded, deleted or started.
enum class LaunchMode { Normal, Debug, Update, Check };

// The whole argument text, compared with "DEBUG" / "UPDATE" / "CHECK" ignoring case.
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
    // The record of the run; none: nothing is recorded.
    IRunLog* log = nullptr;
};

// How the sequence ended; ExitStatus.h gives each its exit status.
enum class MainEnd {
    AlreadyRunning,
    VersionFileUnreadable,
    SettingsMissing,
    RequestFailed,  // no answer
    AnswerRefused,  // an answer that cannot be read, or not signed as the keys require
    ServiceRefused,
    DownloadNotCompleted,
    Cancelled,
    VersionFileNotWritten,
    MainClientMissing,
    MainClientNotStarted,
    MainClientStarted,
    UnexpectedFailure,
    CheckPassed,
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
