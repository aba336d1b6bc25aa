#pragma once
// The launcher's whole life: from the single-instance test to the start of the
// main client. Every path ends the process; the caller exits after Main returns.
#include <memory>
#include <optional>
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
// nothing is downloaded, deleted or started. Service: the update alone, run
// by the machine's update service for a launcher (never from a command line).
enum class LaunchMode { Normal, Debug, Update, Check, Service };

// The whole argument text, compared with "DEBUG" / "UPDATE" / "CHECK" ignoring case.
LaunchMode ParseCommandLine(std::string_view arguments);

enum class MainEnd;

// Refuses entries that the update may not write where they point.
class IEntryCheck {
public:
    virtual ~IEntryCheck() = default;
    // Why the entry may not be installed, or nullopt when it may.
    virtual std::optional<std::string> Refuse(const clsProgramFile& entry) = 0;
};

// An update done for the launcher by a process allowed to write the
// installation: the machine's update service.
class IUpdateDelegate {
public:
    virtual ~IUpdateDelegate() = default;
    // Whether the update goes to the service: the settings come from the
    // machine's key and the service answers on its pipe.
    virtual bool Available() = 0;
    // Runs the service's update, showing its windows and boxes as the launcher's
    // own; Updated when the installation is up to date, else how it ended.
    virtual MainEnd Update(IWaitWindow& waitWindow, IWindowFactory& windows, IMessageBox& messageBox) = 0;
};

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
    // Where entries may be written; none: wherever the answer says.
    IEntryCheck* entryCheck = nullptr;
    // The machine's update service; none: the launcher always updates itself.
    IUpdateDelegate* updateDelegate = nullptr;
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
    Updated,  // the installation is up to date (the service's update ends here)
};

// The launcher's process-wide state, owned by Main for its run.
struct LauncherState {
    bool g_bDebugMode = false;
    std::unique_ptr<clsDealConfigFile> g_oVersionConfig;
    std::shared_ptr<clsProgramFiles> g_oProgramFiles;
    UpdateFileList g_cltUpdateFiles;
};

MainEnd Main(std::string_view commandLine, LauncherServices& services);

// The update alone, as the update service runs it: repair of an interrupted
// update, the request, the downloads and the version file; no single-instance
// test, nothing stopped or started. `services.launcherFolder` is the
// installation folder.
MainEnd UpdateInstallation(LauncherServices& services);

}  // namespace launcher
