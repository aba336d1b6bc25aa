#pragma once
// The archiver and regsvr32 as separate, minimised processes.
#include <string>

#include "launcher/DownloadPlatform.h"

namespace launcher::win {

class WinInstallProcesses final : public IInstallProcesses {
public:
    // Waits on a handle opened by process id with SYNCHRONIZE only, without a time limit.
    bool RunMinimisedAndWait(const std::string& commandLine, std::string& error) override;
    void StartMinimised(const std::string& commandLine) override;
};

}  // namespace launcher::win
