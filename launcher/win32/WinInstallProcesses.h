#pragma once
// The archiver and regsvr32 as separate, minimised processes.
#include <string>

#include "launcher/DownloadPlatform.h"

namespace launcher::win {

class WinInstallProcesses final : public IInstallProcesses {
public:
    // Waits on a handle opened by process id with SYNCHRONIZE only, without a time limit.
    bool RunMinimisedAndWait(const std::string& commandLine, std::string& error) override;
    // Also asks for the right to read the exit code; where that is refused, waits as above.
    bool RunMinimisedAndWaitForExit(const std::string& commandLine, std::string& error,
                                    std::optional<std::uint32_t>& exitCode) override;
    void StartMinimised(const std::string& commandLine) override;
};

}  // namespace launcher::win
