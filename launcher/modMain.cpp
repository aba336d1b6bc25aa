#include "modMain.h"

#include <exception>
#include <optional>

#include "BuildUpdateFiles.h"
#include "ExitStatus.h"
#include "InstallSwitch.h"
#include "SettingsCheck.h"
#include "common/TextCase.h"
#include "modWeb.h"

namespace launcher {
namespace {

constexpr unsigned kErrorBox = mb::SystemModal | mb::IconStop;
constexpr const char* kErrorTitle = "错误";
constexpr std::uint32_t kPauseAroundStop = 500;
// For a settings source that passed the value on unchecked.
constexpr const char* kInvalidKeys =
    "设置 [Update] PublisherKeys 的值无效：应为一个或多个以逗号分隔的 64 字节公钥的 base64 文本。";

class RefuseAll final : public ISignatureVerifier {
public:
    bool Verify(const PublicKeyBytes&, const Sha256Bytes&, const SignatureBytes&) override { return false; }
};

// Keeps a box's text instead of showing it: the check tells everything in one box.
class KeptBox final : public IMessageBox {
public:
    int Show(const std::string& text, const std::string&, unsigned) override {
        kept = text;
        return mb::IdOk;
    }
    std::string kept;
};

std::string_view ModeName(LaunchMode mode) {
    switch (mode) {
        case LaunchMode::Debug:
            return "DEBUG";
        case LaunchMode::Update:
            return "UPDATE";
        case LaunchMode::Check:
            return "CHECK";
        case LaunchMode::Service:
            return "service";
        case LaunchMode::Normal:
            break;
    }
    return "normal";
}

// Which keys the settings hold; never a value that signs or verifies.
std::string SettingsSummary(const LauncherSettings& settings, std::size_t keyCount) {
    return "settings from " + settings.source + ": ServiceUrl " + settings.serviceUrl + ", CustomerCode " +
           settings.customerCode + ", SigningSalt present, PublisherKeys " +
           (settings.publisherKeys ? "present (" + std::to_string(keyCount) + (keyCount == 1 ? " key)" : " keys)")
                                   : std::string("absent"));
}

class StartupSequence {
public:
    StartupSequence(LaunchMode mode, LauncherServices& services) : mode_(mode), s_(services) {}

    MainEnd Run() {
        if (mode_ == LaunchMode::Check) return RunWindowed(&StartupSequence::Check);
        if (mode_ == LaunchMode::Service) return RunWindowed(&StartupSequence::UpdateInProcess);
        if (!s_.singleInstance.Acquire()) {
            Log("another copy of the launcher is running");
            s_.messageBox.Show("系统已经运行。", "提示", mb::SystemModal | mb::IconExclamation);
            return MainEnd::AlreadyRunning;
        }
        state_.g_bDebugMode = mode_ == LaunchMode::Debug;
        if (state_.g_bDebugMode) {
            s_.messageBox.Show(std::string("启动程序版本：") + kLauncherVersion, "", mb::SystemModal);
        }
        return RunWindowed(&StartupSequence::RunWithWaitWindow);
    }

    // Anything the sequence did not foresee: the platform's error report, then the end.
    MainEnd ReportUnexpected(const std::string& description) {
        if (wait_) wait_->HideForm();
        s_.messageBox.Show(description, kErrorTitle, kErrorBox);
        wait_.reset();
        return MainEnd::UnexpectedFailure;
    }

private:
    using Body = MainEnd (StartupSequence::*)();

    MainEnd RunWindowed(Body body) {
        wait_ = s_.windows.CreateWaitWindow();
        const MainEnd end = (this->*body)();
        wait_.reset();
        return end;
    }

    MainEnd RunWithWaitWindow() {
        if (s_.updateDelegate && s_.updateDelegate->Available()) return Delegate();
        return UpdateInProcess();
    }

    // The service updates the installation; the launcher shows what it reports
    // and starts the main client as the person who started the launcher.
    MainEnd Delegate() {
        Log("update delegated to the machine's update service");
        if (mode_ == LaunchMode::Update) StopMainClient();
        const MainEnd end = s_.updateDelegate->Update(*wait_, s_.windows, s_.messageBox);
        Log("update service: " + std::string(EndName(end)));
        if (end != MainEnd::Updated) return end;
        return LaunchMainClient();
    }

    MainEnd UpdateInProcess() {
        // An update that was cut off is completed or undone before anything else looks at the files.
        std::string repairError;
        if (!Switch().Recover(repairError)) {
            Log("interrupted update not repaired: " + repairError);
            wait_->HideForm();
            s_.messageBox.Show("系统文件升级出现错误。", "提示", mb::IconExclamation | mb::SystemModal);
            return MainEnd::DownloadNotCompleted;
        }
        if (mode_ == LaunchMode::Update) StopMainClient();

        const std::string versionFile = s_.launcherFolder + kVersionFile;
        state_.g_oVersionConfig = std::make_unique<clsDealConfigFile>(s_.fileSystem, s_.messageBox);
        if (!state_.g_oVersionConfig->ReadConfigFile(versionFile)) {
            Log("version file " + versionFile + " unreadable");
            return MainEnd::VersionFileUnreadable;
        }

        LauncherSettings settings;
        std::string settingsError;
        if (!LoadSettings(settings, settingsError)) {
            wait_->HideForm();
            s_.messageBox.Show(settingsError, kErrorTitle, kErrorBox);
            return MainEnd::SettingsMissing;
        }

        wait_->ShowForm("正在连接远程服务...");
        const RequestOutcome outcome = RequestProgramFiles(settings);
        if (outcome != RequestOutcome::Answered) {
            wait_->HideForm();
            s_.messageBox.Show("获取服务器信息出错，原因如下：\r\n\r\n网络错误或者升级文件版本信息解析错误。",
                               kErrorTitle, kErrorBox);
            return outcome == RequestOutcome::NoAnswer ? MainEnd::RequestFailed : MainEnd::AnswerRefused;
        }
        if (state_.g_oProgramFiles->ErrorCode != 1) {
            wait_->HideForm();
            s_.messageBox.Show(RefusalText(*state_.g_oProgramFiles), kErrorTitle, kErrorBox);
            return MainEnd::ServiceRefused;
        }
        wait_->HideForm();

        if (const auto end = DownloadOutOfDateFiles()) return *end;

        for (const auto& file : *state_.g_oProgramFiles) {
            state_.g_oVersionConfig->SetConfigValue(file->cFileName, std::to_string(file->cVersion));
        }
        if (!state_.g_oVersionConfig->ReWriteFile(versionFile)) {
            Log("version file " + versionFile + " not written");
            // The switched files go back, so that the installation matches the version file again.
            std::string undoError;
            if (!state_.g_cltUpdateFiles.empty() && !Switch().Undo(undoError)) {
                Log("switch not undone: " + undoError);
            }
            return MainEnd::VersionFileNotWritten;
        }
        Log("version file " + versionFile +
            (state_.g_oVersionConfig->LastRewriteUnchanged() ? " already holds the " : " written with ") +
            std::to_string(state_.g_oProgramFiles->Count()) + " versions");
        if (!state_.g_cltUpdateFiles.empty()) Switch().Finish();

        if (mode_ == LaunchMode::Service) return MainEnd::Updated;
        return LaunchMainClient();
    }

    // The settings as a start reads them, with the publisher's keys checked.
    bool LoadSettings(LauncherSettings& settings, std::string& error) {
        if (!s_.settings.Load(settings, error)) {
            Log("settings error: " + error);
            return false;
        }
        if (s_.log) s_.log->Conceal(settings.signingSalt);
        std::optional<std::vector<PublicKeyBytes>> keys;
        if (settings.publisherKeys && !(keys = ParsePublisherKeys(*settings.publisherKeys))) {
            error = kInvalidKeys;
            Log("settings error: " + error);
            return false;
        }
        Log(SettingsSummary(settings, keys ? keys->size() : 0));
        if (keys) signing_.emplace(AnswerSigning{std::move(*keys), s_.verifier ? *s_.verifier : refuseAll_});
        return true;
    }

    MainEnd Check() {
        CheckFindings findings;
        LauncherSettings settings;
        if (!LoadSettings(settings, findings.settingsError)) return ReportCheck(findings);
        findings.settingsSource = settings.source;
        findings.serviceUrl = settings.serviceUrl;
        findings.publisherKeys = signing_ ? signing_->keys.size() : 0;

        wait_->ShowForm("正在连接远程服务...");
        switch (RequestProgramFiles(settings)) {
            case RequestOutcome::NoAnswer:
                findings.service = ServiceFinding::NoAnswer;
                return ReportCheck(findings);
            case RequestOutcome::AnswerRefused:
                findings.service = ServiceFinding::AnswerRefused;
                return ReportCheck(findings);
            case RequestOutcome::Answered:
                break;
        }
        const clsProgramFiles& answer = *state_.g_oProgramFiles;
        findings.errorCode = answer.ErrorCode;
        findings.errorMessage = RefusalText(answer);
        findings.entries = answer.Count();
        findings.service = answer.ErrorCode == 1 ? ServiceFinding::Answered : ServiceFinding::Refused;
        if (findings.service == ServiceFinding::Answered) {
            KeptBox versionFileBox;
            clsDealConfigFile versionFile(s_.fileSystem, versionFileBox);
            if (versionFile.ReadConfigFile(s_.launcherFolder + kVersionFile)) {
                const auto lookup = [&versionFile](const std::string& key) { return versionFile.GetConfigValue(key); };
                findings.toUpdate = BuildUpdateFiles(answer, lookup, s_.fileSystem, s_.launcherFolder, s_.system,
                                                     state_.g_cltUpdateFiles, s_.log);
            } else {
                findings.versionFileError = versionFileBox.kept;
            }
        }
        return ReportCheck(findings);
    }

    MainEnd ReportCheck(const CheckFindings& findings) {
        const MainEnd end = CheckEnd(findings);
        const std::string report = CheckReport(findings);
        Log("check: " + report);
        wait_->HideForm();
        if (end == MainEnd::CheckPassed) {
            s_.messageBox.Show(report, "提示", mb::SystemModal | mb::IconInformation);
        } else {
            s_.messageBox.Show(report, kErrorTitle, kErrorBox);
        }
        return end;
    }

    void StopMainClient() {
        wait_->ShowForm("正在启动升级程序...");
        s_.clock.Sleep(kPauseAroundStop);
        s_.processes.KillProcessByName(kMainClientFile);
        Log(std::string("update mode: taskkill /f /im ") + kMainClientFile + " started");
        s_.clock.Sleep(kPauseAroundStop);
        const std::string client = MainClientPath();
        std::string error;
        if (!s_.fileSystem.FileExists(client)) {
            Log("update mode: no main client file " + client + " to delete");
        } else if (s_.fileSystem.DeleteFile(client, error)) {
            Log("update mode: main client file " + client + " deleted");
        } else {
            Log("update mode: main client file " + client + " not deleted: " + error);
        }
        wait_->HideForm();
    }

    RequestOutcome RequestProgramFiles(const LauncherSettings& settings) {
        UpdateService service{
            s_.http, s_.random, settings.serviceUrl, settings.signingSalt, signing_ ? &*signing_ : nullptr, s_.log};
        return RequestProgramFileList(service, settings.customerCode, state_.g_oProgramFiles, "");
    }

    void Log(const std::string& event) { LogEvent(s_.log, event); }

    static std::string RefusalText(const clsProgramFiles& answer) {
        if (!answer.ErrorMessage.empty()) return answer.ErrorMessage;
        return "升级服务拒绝了本次请求（错误代码 " + std::to_string(answer.ErrorCode) + "）。";
    }

    // Nothing when every out-of-date file was installed, else how the update ended.
    std::optional<MainEnd> DownloadOutOfDateFiles() {
        const auto lookup = [this](const std::string& key) { return state_.g_oVersionConfig->GetConfigValue(key); };
        const int count = BuildUpdateFiles(*state_.g_oProgramFiles, lookup, s_.fileSystem, s_.launcherFolder, s_.system,
                                           state_.g_cltUpdateFiles, s_.log);
        Log(std::to_string(count) + " of " + std::to_string(state_.g_oProgramFiles->Count()) + " files to update");
        if (const auto refusal = RefusedEntry()) {
            Log("entry refused: " + *refusal);
            wait_->HideForm();
            s_.messageBox.Show(*refusal, kErrorTitle, kErrorBox);
            return MainEnd::DownloadNotCompleted;
        }
        if (count <= 0) {
            // Partial archives of files that are no longer wanted.
            std::string ignored;
            const StagingLayout staging(s_.launcherFolder);
            if (s_.fileSystem.FolderExists(staging.Root())) s_.fileSystem.RemoveFolderTree(staging.Root(), ignored);
            return std::nullopt;
        }
        auto window = s_.windows.CreateDownloadWindow(*wait_);
        if (window->ShowForm(state_.g_cltUpdateFiles)) return std::nullopt;
        return window->Cancelled() ? MainEnd::Cancelled : MainEnd::DownloadNotCompleted;
    }

    // The first out-of-date entry that may not be written where it points;
    // checked before anything is downloaded or changed.
    std::optional<std::string> RefusedEntry() const {
        if (!s_.entryCheck) return std::nullopt;
        for (const auto& entry : state_.g_cltUpdateFiles) {
            if (auto refusal = s_.entryCheck->Refuse(*entry)) return refusal;
        }
        return std::nullopt;
    }

    MainEnd LaunchMainClient() {
        wait_->ShowForm("正在启动系统...");
        const std::string client = MainClientPath();
        if (!s_.fileSystem.FileExists(client)) {
            wait_->HideForm();
            s_.messageBox.Show("系统主程序文件丢失。", kErrorTitle, kErrorBox);
            Log("main client " + client + " missing");
            return MainEnd::MainClientMissing;
        }
        // Unquoted on purpose: the main client reads its command line as it always has.
        const std::string commandLine = client + (state_.g_bDebugMode ? " debug" : "");
        std::string error;
        if (!s_.processes.StartProcess(commandLine, error)) {
            wait_->HideForm();
            s_.messageBox.Show(error, kErrorTitle, kErrorBox);
            Log("main client not started: " + commandLine + ": " + error);
            return MainEnd::MainClientNotStarted;
        }
        Log("main client started: " + commandLine);
        return MainEnd::MainClientStarted;
    }

    std::string MainClientPath() const { return s_.launcherFolder + "\\" + kMainClientFile; }

    InstallSwitch Switch() const {
        return InstallSwitch(s_.launcherFolder, s_.launcherFolder + kVersionFile, s_.fileSystem, s_.installProcesses,
                             s_.log);
    }

    LaunchMode mode_;
    LauncherServices& s_;
    LauncherState state_;
    std::unique_ptr<IWaitWindow> wait_;
    RefuseAll refuseAll_;
    std::optional<AnswerSigning> signing_;
};

}  // namespace

LaunchMode ParseCommandLine(std::string_view arguments) {
    if (qv::EqualsNoCase(arguments, "DEBUG")) return LaunchMode::Debug;
    if (qv::EqualsNoCase(arguments, "UPDATE")) return LaunchMode::Update;
    if (qv::EqualsNoCase(arguments, "CHECK")) return LaunchMode::Check;
    return LaunchMode::Normal;
}

namespace {

MainEnd RunSequence(LaunchMode mode, std::string_view commandLine, LauncherServices& services) {
    LogEvent(services.log, std::string("startqvl ") + kLauncherVersion + " in " + services.launcherFolder + ", mode " +
                               std::string(ModeName(mode)) + ", arguments \"" + std::string(commandLine) + "\"");
    StartupSequence sequence(mode, services);
    MainEnd end;
    try {
        end = sequence.Run();
    } catch (const std::exception& failure) {
        LogEvent(services.log, std::string("unexpected failure: ") + failure.what());
        end = sequence.ReportUnexpected(failure.what());
    }
    LogEvent(services.log, "end: " + std::string(EndName(end)) + ", exit status " + std::to_string(ExitStatus(end)));
    return end;
}

}  // namespace

MainEnd Main(std::string_view commandLine, LauncherServices& services) {
    return RunSequence(ParseCommandLine(commandLine), commandLine, services);
}

MainEnd UpdateInstallation(LauncherServices& services) { return RunSequence(LaunchMode::Service, "", services); }

}  // namespace launcher
