#include "RelayWindows.h"

#include "launcher/ArchiveDownload.h"
#include "launcher/ScreenPacer.h"
#include "launcher/UpdateFiles.h"

namespace updservice {
namespace {

// The client's window redraws its bars at most this often; more records would only cost.
constexpr std::uint32_t kProgressIntervalMs = 100;

// Mirrors what the window would show: a record when it is shown or hidden,
// and when its line changes while it is shown.
class RelayWaitWindow final : public launcher::IWaitWindow {
public:
    explicit RelayWaitWindow(IRecordSink& sink) : sink_(sink) {}
    void ShowForm(const std::string& strPrompt) override {
        if (shown_) return;
        shown_ = true;
        Send(strPrompt);
    }
    void HideForm() override {
        if (!shown_) return;
        shown_ = false;
        sink_.Send(WaitTextRecord{});
    }
    void SetPromptMsg(const std::string& strMsg) override {
        if (shown_) Send(strMsg);
    }

private:
    // An empty text means "hidden" to the client, so a shown window never sends one.
    void Send(const std::string& text) { sink_.Send(WaitTextRecord{text.empty() ? " " : text}); }

    IRecordSink& sink_;
    bool shown_ = false;
};

class RelayView final : public launcher::IDownloadView {
public:
    RelayView(IRecordSink& sink, const std::atomic<bool>& cancel, launcher::IClock& clock)
        : sink_(sink), cancel_(cancel), clock_(clock) {}

    void SetBarRange(launcher::ProgressBar bar, std::int32_t lMin, std::int32_t lMax) override {
        Range(bar) = {lMin, lMax, lMin};
        changed_ = true;
    }
    std::int32_t BarMin(launcher::ProgressBar bar) const override { return Range(bar).min; }
    std::int32_t BarMax(launcher::ProgressBar bar) const override { return Range(bar).max; }
    void SetBarValue(launcher::ProgressBar bar, std::int32_t lValue) override {
        Bar& b = Range(bar);
        if (b.value == lValue) return;
        b.value = lValue;
        changed_ = true;
    }
    void SetBarIndeterminate(launcher::ProgressBar bar, bool bIndeterminate) override {
        if (bar != launcher::ProgressBar::File || state_.fileMoving == bIndeterminate) return;
        state_.fileMoving = bIndeterminate;
        changed_ = true;
    }
    void SetFileText(const std::string& strText) override { SetText(state_.fileLine, strText); }
    void SetSpeedText(const std::string& strText) override { SetText(state_.speedLine, strText); }
    void DoEvents() override {
        if (changed_ && pacer_.Due(clock_.TickCount())) ShowNow();
    }
    void ShowNow() override {
        if (!changed_) return;
        changed_ = false;
        ProgressRecord record = state_;
        record.fileMin = file_.min;
        record.fileMax = file_.max;
        record.fileValue = file_.value;
        record.allMin = all_.min;
        record.allMax = all_.max;
        record.allValue = all_.value;
        sink_.Send(record);
    }
    bool CancelRequested() const override { return cancel_.load(); }

private:
    struct Bar {
        std::int32_t min = 0;
        std::int32_t max = 0;
        std::int32_t value = 0;
    };
    Bar& Range(launcher::ProgressBar bar) { return bar == launcher::ProgressBar::File ? file_ : all_; }
    const Bar& Range(launcher::ProgressBar bar) const { return bar == launcher::ProgressBar::File ? file_ : all_; }
    void SetText(std::string& field, const std::string& text) {
        if (field == text) return;
        field = text;
        changed_ = true;
    }

    IRecordSink& sink_;
    const std::atomic<bool>& cancel_;
    launcher::IClock& clock_;
    launcher::ScreenPacer pacer_{kProgressIntervalMs};
    Bar file_;
    Bar all_;
    ProgressRecord state_;  // the lines and the file bar's motion
    bool changed_ = false;
};

class RelayDownloadWindow final : public launcher::IDownloadWindow {
public:
    RelayDownloadWindow(IRecordSink& sink, const std::atomic<bool>& cancel, launcher::IWaitWindow& waitWindow,
                        launcher::IMessageBox& messageBox, const RelayPlatform& platform, std::string installFolder)
        : sink_(sink),
          cancel_(cancel),
          waitWindow_(waitWindow),
          messageBox_(messageBox),
          platform_(platform),
          installFolder_(std::move(installFolder)) {}

    bool ShowForm(const launcher::UpdateFileList& cltUpdateFiles) override {
        if (cltUpdateFiles.empty()) return false;
        RelayView view(sink_, cancel_, platform_.clock);
        launcher::PrepareDownloadView(view, static_cast<int>(cltUpdateFiles.size()));
        view.ShowNow();
        launcher::UpdateServices services{view,
                                          waitWindow_,
                                          messageBox_,
                                          platform_.processes,
                                          platform_.fileSystem,
                                          platform_.system,
                                          platform_.clock,
                                          platform_.urls,
                                          platform_.outputFiles,
                                          platform_.installProcesses,
                                          platform_.sizeFormatter,
                                          installFolder_,
                                          platform_.log};
        const bool done = launcher::UpdateFiles(cltUpdateFiles, services);
        view.ShowNow();
        sink_.Send(DownloadEndRecord{});
        cancelled_ = !done && cancel_.load();
        return done;
    }
    // Work from elsewhere is the client's business; the service only runs its own loop.
    bool ShowWork(launcher::IDownloadWork&) override { return false; }
    bool Cancelled() const override { return cancelled_; }

private:
    IRecordSink& sink_;
    const std::atomic<bool>& cancel_;
    launcher::IWaitWindow& waitWindow_;
    launcher::IMessageBox& messageBox_;
    const RelayPlatform& platform_;
    std::string installFolder_;
    bool cancelled_ = false;
};

}  // namespace

int RelayMessageBox::Show(const std::string& text, const std::string& title, unsigned flags) {
    lastText_ = text;
    sink_.Send(BoxRecord{text, title, flags});
    return launcher::mb::IdOk;
}

RelayWindowFactory::RelayWindowFactory(IRecordSink& sink, const std::atomic<bool>& cancel,
                                       launcher::IMessageBox& messageBox, RelayPlatform platform,
                                       std::string installFolder)
    : sink_(sink),
      cancel_(cancel),
      messageBox_(messageBox),
      platform_(platform),
      installFolder_(std::move(installFolder)) {}

std::unique_ptr<launcher::IWaitWindow> RelayWindowFactory::CreateWaitWindow() {
    return std::make_unique<RelayWaitWindow>(sink_);
}

std::unique_ptr<launcher::IDownloadWindow> RelayWindowFactory::CreateDownloadWindow(launcher::IWaitWindow& waitWindow) {
    return std::make_unique<RelayDownloadWindow>(sink_, cancel_, waitWindow, messageBox_, platform_, installFolder_);
}

}  // namespace updservice
