#include "WinWindowFactory.h"

#include "PendingDownloadWindow.h"
#include "frmWait.h"

namespace launcher::win {

std::unique_ptr<IWaitWindow> WinWindowFactory::CreateWaitWindow() {
    return std::make_unique<frmWait>(m_strLauncherFolder, m_hResources);
}

std::unique_ptr<IDownloadWindow> WinWindowFactory::CreateDownloadWindow(IWaitWindow& waitWindow) {
    return std::make_unique<PendingDownloadWindow>(waitWindow);
}

}  // namespace launcher::win
