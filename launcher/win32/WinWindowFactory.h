#pragma once
// The launcher's windows on Win32.
#include <memory>
#include <string>
#include <utility>

#include "launcher/LauncherWindows.h"
#include "common/win32/WindowsApi.h"
#include "frmDownloadFile.h"

namespace launcher::win {

class WinWindowFactory final : public IWindowFactory {
public:
    // hResources holds the wait window's picture; the launcher folder in
    // `services` its clip, the archiver and the program files.
    WinWindowFactory(HINSTANCE hResources, DownloadWindowServices services)
        : m_hResources(hResources), m_services(std::move(services)) {}

    std::unique_ptr<IWaitWindow> CreateWaitWindow() override;
    std::unique_ptr<IDownloadWindow> CreateDownloadWindow(IWaitWindow& waitWindow) override;

private:
    HINSTANCE m_hResources;
    DownloadWindowServices m_services;
};

}  // namespace launcher::win
