#include "modMain.h"

#include <exception>
#include <optional>

#include "BuildUpdateFiles.h"
#include "InstallSwitch.h"
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

class StartupSequence {
public:
    StartupSequence(LaunchMode mode, LauncherServices& services) : mode_(mode), s_(services) {}

    MainEnd Run() {
        if (!s_.singleInstance.Acquire()) {
            s_.messageBox.Show("系统已经运行。", "提示", mb::SystemModal | mb::IconExclamation);
            return MainEnd::AlreadyRunning;
        }
        state_.g_bDebugMode = mode_ == LaunchMode::Debug;
        if (state_.g_bDebugMode) {
            s_.messageBox.Show(std::string("启动程序版本：") + kLauncherVersion, "", mb::SystemModal);
        }
        wait_ = s_.windows.CreateWaitWindow();
        const MainEnd end = RunWithWaitWindow();
        wait_.reset();
        return end;
    }

    // Anything the sequence did not foresee: the platform's error report, then the end.
    MainEnd ReportUnexpected(const std::string& description) {
        if (wait_) wait_->HideForm();
        s_.messageBox.Show(description, kErrorTitle, kErrorBox);
        wait_.reset();
        return MainEnd::UnexpectedFailure;
    }

private:
    MainEnd RunWithWaitWindow() {
        // An update that was cut off is completed or undone before anything else looks at the files.
        std::string repairError;
        if (!Switch().Recover(repairError)) {
            wait_->HideForm();
            s_.messageBox.Show("系统文件升级出现错误。", "提示", mb::IconExclamation | mb::SystemModal);
            return MainEnd::DownloadNotCompleted;
        }
        if (mode_ == LaunchMode::Update) StopMainClient();

        const std::string versionFile = s_.launcherFolder + kVersionFile;
        state_.g_oVersionConfig = std::make_unique<clsDealConfigFile>(s_.fileSystem, s_.messageBox);
        if (!state_.g_oVersionConfig->ReadConfigFile(versionFile)) return MainEnd::VersionFileUnreadable;

        LauncherSettings settings;
        std::string settingsError;
        if (!s_.settings.Load(settings, settingsError)) {
            wait_->HideForm();
            s_.messageBox.Show(settingsError, kErrorTitle, kErrorBox);
            return MainEnd::SettingsMissing;
        }

        std::optional<AnswerSigning> signing;
        if (settings.publisherKeys) {
            auto keys = ParsePublisherKeys(*settings.publisherKeys);
            if (!keys) {
                wait_->HideForm();
                s_.messageBox.Show(kInvalidKeys, kErrorTitle, kErrorBox);
                return MainEnd::SettingsMissing;
            }
            signing.emplace(AnswerSigning{std::move(*keys), s_.verifier ? *s_.verifier : refuseAll_});
        }

        wait_->ShowForm("正在连接远程服务...");
        if (!RequestProgramFiles(settings, signing ? &*signing : nullptr)) return MainEnd::RequestFailed;
        if (state_.g_oProgramFiles->ErrorCode != 1) {
            wait_->HideForm();
            s_.messageBox.Show(RefusalText(*state_.g_oProgramFiles), kErrorTitle, kErrorBox);
            return MainEnd::ServiceRefused;
        }
        wait_->HideForm();

        if (!DownloadOutOfDateFiles()) return MainEnd::DownloadNotCompleted;

        for (const auto& file : *state_.g_oProgramFiles) {
            state_.g_oVersionConfig->SetConfigValue(file->cFileName, std::to_string(file->cVersion));
        }
        if (!state_.g_oVersionConfig->ReWriteFile(versionFile)) {
            // The switched files go back, so that the installation matches the version file again.
            std::string ignored;
            if (!state_.g_cltUpdateFiles.empty()) Switch().Undo(ignored);
            return MainEnd::VersionFileNotWritten;
        }
        if (!state_.g_cltUpdateFiles.empty()) Switch().Finish();

        return LaunchMainClient();
    }

    void StopMainClient() {
        wait_->ShowForm("正在启动升级程序...");
        s_.clock.Sleep(kPauseAroundStop);
        s_.processes.KillProcessByName(kMainClientFile);
        s_.clock.Sleep(kPauseAroundStop);
        const std::string client = MainClientPath();
        std::string ignored;
        if (s_.fileSystem.FileExists(client)) s_.fileSystem.DeleteFile(client, ignored);
        wait_->HideForm();
    }

    bool RequestProgramFiles(const LauncherSettings& settings, const AnswerSigning* signing) {
        UpdateService service{s_.http, s_.random, settings.serviceUrl, settings.signingSalt, signing};
        if (GetProgramFiles(service, settings.customerCode, state_.g_oProgramFiles, "")) return true;
        wait_->HideForm();
        s_.messageBox.Show("获取服务器信息出错，原因如下：\r\n\r\n网络错误或者升级文件版本信息解析错误。", kErrorTitle,
                           kErrorBox);
        return false;
    }

    static std::string RefusalText(const clsProgramFiles& answer) {
        if (!answer.ErrorMessage.empty()) return answer.ErrorMessage;
        return "升级服务拒绝了本次请求（错误代码 " + std::to_string(answer.ErrorCode) + "）。";
    }

    bool DownloadOutOfDateFiles() {
        const auto lookup = [this](const std::string& key) { return state_.g_oVersionConfig->GetConfigValue(key); };
        const int count = BuildUpdateFiles(*state_.g_oProgramFiles, lookup, s_.fileSystem, s_.launcherFolder, s_.system,
                                           state_.g_cltUpdateFiles);
        if (count <= 0) {
            // Partial archives of files that are no longer wanted.
            std::string ignored;
            const StagingLayout staging(s_.launcherFolder);
            if (s_.fileSystem.FolderExists(staging.Root())) s_.fileSystem.RemoveFolderTree(staging.Root(), ignored);
            return true;
        }
        auto window = s_.windows.CreateDownloadWindow(*wait_);
        return window->ShowForm(state_.g_cltUpdateFiles);
    }

    MainEnd LaunchMainClient() {
        wait_->ShowForm("正在启动系统...");
        const std::string client = MainClientPath();
        if (!s_.fileSystem.FileExists(client)) {
            wait_->HideForm();
            s_.messageBox.Show("系统主程序文件丢失。", kErrorTitle, kErrorBox);
            return MainEnd::MainClientMissing;
        }
        // Unquoted on purpose: the main client reads its command line as it always has.
        const std::string commandLine = client + (state_.g_bDebugMode ? " debug" : "");
        std::string error;
        if (!s_.processes.StartProcess(commandLine, error)) {
            wait_->HideForm();
            s_.messageBox.Show(error, kErrorTitle, kErrorBox);
            return MainEnd::MainClientNotStarted;
        }
        return MainEnd::MainClientStarted;
    }

    std::string MainClientPath() const { return s_.launcherFolder + "\\" + kMainClientFile; }

    InstallSwitch Switch() const {
        return InstallSwitch(s_.launcherFolder, s_.launcherFolder + kVersionFile, s_.fileSystem, s_.installProcesses);
    }

    LaunchMode mode_;
    LauncherServices& s_;
    LauncherState state_;
    std::unique_ptr<IWaitWindow> wait_;
    RefuseAll refuseAll_;
};

}  // namespace

LaunchMode ParseCommandLine(std::string_view arguments) {
    if (qv::EqualsNoCase(arguments, "DEBUG")) return LaunchMode::Debug;
    if (qv::EqualsNoCase(arguments, "UPDATE")) return LaunchMode::Update;
    return LaunchMode::Normal;
}

MainEnd Main(std::string_view commandLine, LauncherServices& services) {
    StartupSequence sequence(ParseCommandLine(commandLine), services);
    try {
        return sequence.Run();
    } catch (const std::exception& failure) {
        return sequence.ReportUnexpected(failure.what());
    }
}

}  // namespace launcher
