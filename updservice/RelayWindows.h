#pragma once
// The launcher's windows and boxes inside the update service: nothing is
// shown there (a service has no desktop); each change becomes a record for
// the client, which shows it in its own windows.
#include <atomic>
#include <memory>
#include <string>

#include "UpdateJob.h"
#include "launcher/DownloadPlatform.h"
#include "launcher/LauncherWindows.h"
#include "launcher/Platform.h"
#include "launcher/RunLog.h"

namespace updservice {

// Boxes go to the client; the service goes on as after "OK".
class RelayMessageBox final : public launcher::IMessageBox {
public:
    explicit RelayMessageBox(IRecordSink& sink) : sink_(sink) {}
    int Show(const std::string& text, const std::string& title, unsigned flags) override;
    const std::string& LastText() const { return lastText_; }

private:
    IRecordSink& sink_;
    std::string lastText_;
};

// What the download loop works with besides the view and the boxes.
struct RelayPlatform {
    launcher::IProcesses& processes;
    launcher::IFileSystem& fileSystem;
    launcher::ISystemInfo& system;
    launcher::IClock& clock;
    launcher::IUrlOpener& urls;
    launcher::IOutputFiles& outputFiles;
    launcher::IInstallProcesses& installProcesses;
    launcher::ISizeFormatter& sizeFormatter;
    launcher::IRunLog* log = nullptr;
};

class RelayWindowFactory final : public launcher::IWindowFactory {
public:
    // `cancel` is what the client's Cancel button sets.
    RelayWindowFactory(IRecordSink& sink, const std::atomic<bool>& cancel, launcher::IMessageBox& messageBox,
                       RelayPlatform platform, std::string installFolder);

    std::unique_ptr<launcher::IWaitWindow> CreateWaitWindow() override;
    std::unique_ptr<launcher::IDownloadWindow> CreateDownloadWindow(launcher::IWaitWindow& waitWindow) override;

private:
    IRecordSink& sink_;
    const std::atomic<bool>& cancel_;
    launcher::IMessageBox& messageBox_;
    RelayPlatform platform_;
    std::string installFolder_;
};

}  // namespace updservice
