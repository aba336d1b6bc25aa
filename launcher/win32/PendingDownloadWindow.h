#pragma once
// Stands in for the download window until it exists: tells the user how many
// program files need an update and reports that nothing was installed.
#include "LauncherWindows.h"

namespace launcher::win {

class PendingDownloadWindow final : public IDownloadWindow {
public:
    explicit PendingDownloadWindow(IWaitWindow& waitWindow) : m_waitWindow(waitWindow) {}

    bool ShowForm(const UpdateFileList& cltUpdateFiles) override;

private:
    IWaitWindow& m_waitWindow;
};

}  // namespace launcher::win
