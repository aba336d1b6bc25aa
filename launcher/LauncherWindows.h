#pragma once
// The launcher's windows as the start-up sequence sees them.
#include <memory>
#include <string>

#include "clsProgramFiles.h"

namespace launcher {

class IWaitWindow {
public:
    virtual ~IWaitWindow() = default;
    virtual void ShowForm(const std::string& strPrompt) = 0;
    virtual void HideForm() = 0;
    virtual void SetPromptMsg(const std::string& strMsg) = 0;
};

class IDownloadView;

// What a download window runs instead of the update loop: the progress of an
// update that another process does.
class IDownloadWork {
public:
    virtual ~IDownloadWork() = default;
    // Drives the window's bars and lines until the work ends; true when it succeeded.
    virtual bool Run(IDownloadView& view) = 0;
};

class IDownloadWindow {
public:
    virtual ~IDownloadWindow() = default;
    // Runs the window modally; true only when every file was downloaded and installed.
    virtual bool ShowForm(const UpdateFileList& cltUpdateFiles) = 0;
    // The same window, modal, around `work`; its Cancel asks as before and
    // then shows in the view's CancelRequested.
    virtual bool ShowWork(IDownloadWork& work) = 0;
    // After ShowForm: whether the person ended the update with Cancel.
    virtual bool Cancelled() const { return false; }
};

class IWindowFactory {
public:
    virtual ~IWindowFactory() = default;
    // The wait window exists (and shows its design prompt) from creation to destruction.
    virtual std::unique_ptr<IWaitWindow> CreateWaitWindow() = 0;
    virtual std::unique_ptr<IDownloadWindow> CreateDownloadWindow(IWaitWindow& waitWindow) = 0;
};

}  // namespace launcher
