#pragma once
#include <functional>

#include "EventLog.h"
#include "launcher/LauncherWindows.h"

namespace launcher {

struct WaitWindowState {
    bool exists = false;
    bool shown = false;  // on screen after an effective ShowForm
    std::string prompt;
};

class FakeWaitWindow : public IWaitWindow {
public:
    FakeWaitWindow(WaitWindowState& state, EventLog& log);
    ~FakeWaitWindow() override;
    void ShowForm(const std::string& strPrompt) override;
    void HideForm() override;
    void SetPromptMsg(const std::string& strMsg) override;

private:
    WaitWindowState& state_;
    EventLog& log_;
};

class FakeWindowFactory : public IWindowFactory {
public:
    explicit FakeWindowFactory(EventLog& log) : log_(log) {}
    std::unique_ptr<IWaitWindow> CreateWaitWindow() override;
    std::unique_ptr<IDownloadWindow> CreateDownloadWindow(IWaitWindow& waitWindow) override;

    WaitWindowState wait;
    // What the download window does with the list; by default it succeeds.
    std::function<bool(const UpdateFileList&)> download = [](const UpdateFileList&) { return true; };
    std::vector<UpdateFileList> downloads;  // every list the window was given
    bool cancelled = false;                 // what the window answers after a failed ShowForm
    // What the window does with relayed work; none: it fails at once.
    std::function<bool(IDownloadWork&)> work;

private:
    EventLog& log_;
};

}  // namespace launcher
