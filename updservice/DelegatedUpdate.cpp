#include "DelegatedUpdate.h"

#include <functional>

#include "launcher/DownloadPlatform.h"
#include "launcher/ExitStatus.h"

namespace updservice {
namespace {

using launcher::MainEnd;
using launcher::ProgressBar;

constexpr std::uint32_t kSliceMs = 100;  // how often the windows are looked after while no record comes
constexpr unsigned kErrorBox = launcher::mb::SystemModal | launcher::mb::IconStop;
constexpr const char* kErrorTitle = "错误";

// A failure of the connection, told in the box and the log.
struct Broken {
    std::string reason;
};

std::string DescribeLink(const Incoming& incoming, std::uint32_t silenceMs) {
    if (!incoming.error.empty()) return incoming.error;
    switch (incoming.status) {
        case LinkStatus::TimedOut:
            return "更新服务 " + std::to_string(silenceMs / 60000) + " 分钟没有回应";
        case LinkStatus::Closed:
            return "更新服务关闭了连接";
        case LinkStatus::BadRecord:
            return "更新服务发来了无法读取的记录";
        default:
            return "无法与更新服务通信";
    }
}

// Records as they come, each wait bounded by the silence limit.
class RecordPump {
public:
    RecordPump(IServiceLink& link, launcher::IClock& clock, std::uint32_t silenceMs)
        : link_(link), clock_(clock), silenceMs_(silenceMs) {}

    // `between` runs after every slice in which nothing came.
    Incoming Next(const std::function<void()>& between) {
        const std::uint32_t start = clock_.TickCount();
        for (;;) {
            Incoming incoming = link_.Receive(kSliceMs);
            if (incoming.status != LinkStatus::TimedOut) {
                if (incoming.status == LinkStatus::Ok && !incoming.record) incoming.status = LinkStatus::Failed;
                if (incoming.status != LinkStatus::Ok) incoming.error = DescribeLink(incoming, silenceMs_);
                return incoming;
            }
            if (clock_.TickCount() - start >= silenceMs_)
                return {LinkStatus::TimedOut, {}, DescribeLink({}, silenceMs_)};
            if (between) between();
        }
    }

    std::uint32_t SilenceMs() const { return silenceMs_; }

private:
    IServiceLink& link_;
    launcher::IClock& clock_;
    std::uint32_t silenceMs_;
};

// The wait window as the service's copy of it stands: an empty line hides it.
class WaitMirror {
public:
    explicit WaitMirror(launcher::IWaitWindow& window) : window_(window) {}
    void Apply(const WaitTextRecord& record) {
        if (record.text.empty()) {
            window_.HideForm();
            shown_ = false;
        } else if (!shown_) {
            window_.ShowForm(record.text);
            shown_ = true;
        } else {
            window_.SetPromptMsg(record.text);
        }
    }
    void Hide() {
        window_.HideForm();
        shown_ = false;
    }

private:
    launcher::IWaitWindow& window_;
    bool shown_ = false;
};

// The download window driven by the service's progress records.
class RelayedDownload final : public launcher::IDownloadWork {
public:
    RelayedDownload(RecordPump& pump, IServiceLink& link, ProgressRecord first, WaitMirror& wait,
                    launcher::IMessageBox& messageBox, launcher::IRunLog* log)
        : pump_(pump), link_(link), first_(std::move(first)), wait_(wait), messageBox_(messageBox), log_(log) {}

    bool Run(launcher::IDownloadView& view) override {
        Apply(view, first_);
        const auto between = [this, &view] { LookAfter(view); };
        for (;;) {
            between();
            Incoming incoming = pump_.Next(between);
            if (!incoming.record) {
                broken_ = Broken{incoming.error};
                return false;
            }
            Record& record = *incoming.record;
            if (auto* progress = std::get_if<ProgressRecord>(&record)) {
                Apply(view, *progress);
            } else if (auto* waitText = std::get_if<WaitTextRecord>(&record)) {
                wait_.Apply(*waitText);
            } else if (auto* box = std::get_if<BoxRecord>(&record)) {
                messageBox_.Show(box->text, box->title, box->flags);
            } else if (std::holds_alternative<DownloadEndRecord>(record)) {
                view.ShowNow();
                return true;
            } else if (auto* result = std::get_if<ResultRecord>(&record)) {
                result_ = *result;
                return false;
            } else {
                broken_ = Broken{"更新服务发来了客户端的记录"};
                return false;
            }
        }
    }

    const std::optional<Broken>& BrokenLink() const { return broken_; }
    const std::optional<ResultRecord>& EarlyResult() const { return result_; }

private:
    void LookAfter(launcher::IDownloadView& view) {
        view.DoEvents();
        if (cancelSent_ || !view.CancelRequested()) return;
        cancelSent_ = true;
        launcher::LogEvent(
            log_, link_.Send(CancelRecord{}) ? "update service: cancel sent" : "update service: cancel not sent");
    }

    void Apply(launcher::IDownloadView& view, const ProgressRecord& p) {
        if (view.BarMin(ProgressBar::File) != p.fileMin || view.BarMax(ProgressBar::File) != p.fileMax) {
            view.SetBarRange(ProgressBar::File, p.fileMin, p.fileMax);
        }
        if (moving_ != p.fileMoving) {
            moving_ = p.fileMoving;
            view.SetBarIndeterminate(ProgressBar::File, p.fileMoving);
        }
        view.SetBarValue(ProgressBar::File, p.fileValue);
        if (view.BarMin(ProgressBar::All) != p.allMin || view.BarMax(ProgressBar::All) != p.allMax) {
            view.SetBarRange(ProgressBar::All, p.allMin, p.allMax);
        }
        view.SetBarValue(ProgressBar::All, p.allValue);
        if (fileLine_ != p.fileLine) {
            fileLine_ = p.fileLine;
            view.SetFileText(p.fileLine);
        }
        view.SetSpeedText(p.speedLine);
    }

    RecordPump& pump_;
    IServiceLink& link_;
    ProgressRecord first_;
    WaitMirror& wait_;
    launcher::IMessageBox& messageBox_;
    launcher::IRunLog* log_;
    bool moving_ = false;
    bool cancelSent_ = false;
    std::string fileLine_;
    std::optional<Broken> broken_;
    std::optional<ResultRecord> result_;
};

}  // namespace

MainEnd DelegatedUpdate::Update(launcher::IWaitWindow& waitWindow, launcher::IWindowFactory& windows,
                                launcher::IMessageBox& messageBox) {
    WaitMirror wait(waitWindow);
    const auto brokenEnd = [&](const std::string& reason) {
        launcher::LogEvent(log_, "update service connection broken: " + reason);
        wait.Hide();
        messageBox.Show("与更新服务的连接中断：" + reason + "。\r\n\r\n本次升级没有完成，请稍后重新启动。", kErrorTitle,
                        kErrorBox);
        return MainEnd::DownloadNotCompleted;
    };
    if (!link_.Send(RequestRecord{})) return brokenEnd("请求没有送达更新服务");
    launcher::LogEvent(log_, "update service: request sent");

    RecordPump pump(link_, clock_, silenceMs_);
    std::optional<ResultRecord> result;
    while (!result) {
        Incoming incoming = pump.Next({});
        if (!incoming.record) return brokenEnd(incoming.error);
        Record& record = *incoming.record;
        if (auto* waitText = std::get_if<WaitTextRecord>(&record)) {
            wait.Apply(*waitText);
        } else if (auto* box = std::get_if<BoxRecord>(&record)) {
            messageBox.Show(box->text, box->title, box->flags);
        } else if (auto* progress = std::get_if<ProgressRecord>(&record)) {
            RelayedDownload work(pump, link_, std::move(*progress), wait, messageBox, log_);
            windows.CreateDownloadWindow(waitWindow)->ShowWork(work);
            if (work.BrokenLink()) return brokenEnd(work.BrokenLink()->reason);
            result = work.EarlyResult();
        } else if (auto* last = std::get_if<ResultRecord>(&record)) {
            result = *last;
        } else if (!std::holds_alternative<DownloadEndRecord>(record)) {
            return brokenEnd("更新服务发来了客户端的记录");
        }
    }

    launcher::LogEvent(log_, std::string("update service result: ") + ResultCodeName(result->code) +
                                 (result->reason.empty() ? "" : ": " + result->reason));
    switch (result->code) {
        case ResultCode::Done:
            return MainEnd::Updated;
        case ResultCode::Cancelled:
            return MainEnd::Cancelled;
        case ResultCode::Failed:
            return launcher::EndOfFailureStatus(static_cast<int>(result->exitStatus))
                .value_or(MainEnd::DownloadNotCompleted);
        case ResultCode::Refused:
            wait.Hide();
            messageBox.Show("更新服务拒绝为本机更新：" + result->reason, kErrorTitle, kErrorBox);
            return MainEnd::SettingsMissing;
        case ResultCode::Busy:
            wait.Hide();
            messageBox.Show(result->reason, "提示", launcher::mb::SystemModal | launcher::mb::IconExclamation);
            return MainEnd::DownloadNotCompleted;
        default:
            wait.Hide();
            messageBox.Show(result->reason, kErrorTitle, kErrorBox);
            return MainEnd::DownloadNotCompleted;
    }
}

}  // namespace updservice
