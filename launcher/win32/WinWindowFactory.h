#pragma once
// The launcher's windows on Win32.
#include <memory>
#include <string>
#include <utility>

#include "LauncherWindows.h"
#include "WindowsApi.h"

namespace launcher::win {

class WinWindowFactory final : public IWindowFactory {
public:
    // strLauncherFolder holds the wait window's clip; hResources its picture.
    WinWindowFactory(std::string strLauncherFolder, HINSTANCE hResources)
        : m_strLauncherFolder(std::move(strLauncherFolder)), m_hResources(hResources) {}

    std::unique_ptr<IWaitWindow> CreateWaitWindow() override;
    std::unique_ptr<IDownloadWindow> CreateDownloadWindow(IWaitWindow& waitWindow) override;

private:
    std::string m_strLauncherFolder;
    HINSTANCE m_hResources;
};

}  // namespace launcher::win
