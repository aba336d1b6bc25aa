#include "WinWindowFactory.h"

#include "frmWait.h"

namespace launcher::win {

std::unique_ptr<IWaitWindow> WinWindowFactory::CreateWaitWindow() {
    return std::make_unique<frmWait>(m_services.launcherFolder, m_hResources);
}

std::unique_ptr<IDownloadWindow> WinWindowFactory::CreateDownloadWindow(IWaitWindow& waitWindow) {
    return std::make_unique<frmDownloadFile>(waitWindow, m_services);
}

}  // namespace launcher::win
