#include "LauncherUpdateJob.h"

#include "TargetRules.h"
#include "launcher/ExitStatus.h"
#include "launcher/modMain.h"

namespace updservice {
namespace {

// The settings that the service's checks already read from the machine key.
class PermitSettings final : public launcher::ISettingsSource {
public:
    explicit PermitSettings(const launcher::LauncherSettings& settings) : settings_(settings) {}
    bool Load(launcher::LauncherSettings& settings, std::string&) override {
        settings = settings_;
        return true;
    }

private:
    const launcher::LauncherSettings& settings_;
};

// The service's desk lets one update run at a time.
class DeskInstance final : public launcher::ISingleInstance {
public:
    bool Acquire() override { return true; }
};

class TargetCheck final : public launcher::IEntryCheck {
public:
    TargetCheck(const std::string& installFolder, launcher::ISystemInfo& system)
        : installFolder_(installFolder), system_(system) {}
    std::optional<std::string> Refuse(const launcher::clsProgramFile& entry) override {
        return RefuseTarget(entry, installFolder_, system_);
    }

private:
    const std::string& installFolder_;
    launcher::ISystemInfo& system_;
};

ResultRecord ResultOf(launcher::MainEnd end, const std::string& lastBox) {
    switch (end) {
        case launcher::MainEnd::Updated:
            return {ResultCode::Done, "", 0};
        case launcher::MainEnd::Cancelled:
            return {ResultCode::Cancelled, "", static_cast<std::uint32_t>(launcher::ExitStatus(end))};
        default:
            return {ResultCode::Failed, lastBox.empty() ? std::string(launcher::EndName(end)) : lastBox,
                    static_cast<std::uint32_t>(launcher::ExitStatus(end))};
    }
}

}  // namespace

ResultRecord LauncherUpdateJob::Run(const UpdatePermit& permit, IRecordSink& sink, const std::atomic<bool>& cancel) {
    PermitSettings settings(permit.settings);
    DeskInstance instance;
    TargetCheck targets(permit.installFolder, platform_.relay.system);
    RelayMessageBox messageBox(sink);
    RelayWindowFactory windows(sink, cancel, messageBox, platform_.relay, permit.installFolder);
    launcher::LauncherServices services{messageBox,
                                        platform_.relay.fileSystem,
                                        platform_.relay.processes,
                                        platform_.relay.clock,
                                        platform_.random,
                                        platform_.http,
                                        platform_.relay.system,
                                        instance,
                                        settings,
                                        windows,
                                        platform_.relay.installProcesses,
                                        permit.installFolder,
                                        &platform_.verifier,
                                        platform_.relay.log};
    services.entryCheck = &targets;
    return ResultOf(launcher::UpdateInstallation(services), messageBox.LastText());
}

}  // namespace updservice
