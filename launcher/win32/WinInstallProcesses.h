#pragma once
// The archiver and regsvr32 as separate, minimised processes.
#include <cstdint>
#include <string>

#include "launcher/DownloadPlatform.h"

namespace launcher::win {

class WinInstallProcesses final : public IInstallProcesses {
public:
    bool RunAndWait(const std::string& commandLine, HelperWindow window, std::uint32_t timeoutMs,
                    std::uint32_t& exitCode, std::string& error) override;
};

}  // namespace launcher::win
