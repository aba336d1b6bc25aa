#include "FakeWindows.h"

namespace launcher {

FakeWaitWindow::FakeWaitWindow(WaitWindowState& state, EventLog& log) : state_(state), log_(log) {
    state_ = WaitWindowState{true, false, "正在登录......"};
    log_.Add("wait:create");
}

FakeWaitWindow::~FakeWaitWindow() {
    state_.exists = false;
    log_.Add("wait:destroy");
}

void FakeWaitWindow::ShowForm(const std::string& strPrompt) {
    if (state_.shown) return;
    state_.shown = true;
    state_.prompt = strPrompt;
    log_.Add("wait:show " + strPrompt);
}

void FakeWaitWindow::HideForm() {
    if (!state_.shown) return;
    state_.shown = false;
    log_.Add("wait:hide");
}

void FakeWaitWindow::SetPromptMsg(const std::string& strMsg) { state_.prompt = strMsg; }

namespace {
class FakeDownloadWindow : public IDownloadWindow {
public:
    explicit FakeDownloadWindow(FakeWindowFactory& owner, EventLog& log) : owner_(owner), log_(log) {}
    bool ShowForm(const UpdateFileList& cltUpdateFiles) override {
        log_.Add("download:" + std::to_string(cltUpdateFiles.size()));
        owner_.downloads.push_back(cltUpdateFiles);
        return owner_.download(cltUpdateFiles);
    }
    bool ShowWork(IDownloadWork& work) override {
        log_.Add("download:work");
        return owner_.work ? owner_.work(work) : false;
    }
    bool Cancelled() const override { return owner_.cancelled; }

private:
    FakeWindowFactory& owner_;
    EventLog& log_;
};
}  // namespace

std::unique_ptr<IWaitWindow> FakeWindowFactory::CreateWaitWindow() {
    return std::make_unique<FakeWaitWindow>(wait, log_);
}

std::unique_ptr<IDownloadWindow> FakeWindowFactory::CreateDownloadWindow(IWaitWindow&) {
    return std::make_unique<FakeDownloadWindow>(*this, log_);
}

}  // namespace launcher
