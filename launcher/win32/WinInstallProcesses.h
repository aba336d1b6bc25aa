#pragma once
// The archiver and regsvr32 as separate, minimised processes.
#include <string>
#include <vector>

#include "common/win32/UniqueHandle.h"
#include "launcher/DownloadPlatform.h"
#include "launcher/RunLog.h"

namespace launcher::win {

class WinInstallProcesses final : public IInstallProcesses {
public:
    // Waits on a handle opened by process id with SYNCHRONIZE only, without a time limit.
    bool RunMinimisedAndWait(const std::string& commandLine, std::string& error) override;
    // Also asks for the right to read the exit code; where that is refused, waits as above.
    bool RunMinimisedAndWaitForExit(const std::string& commandLine, std::string& error,
                                    std::optional<std::uint32_t>& exitCode) override;
    // Keeps the new process's handle, for LogStartedProcesses.
    void StartMinimised(const std::string& commandLine) override;

    // Logs the exit code of each process StartMinimised started that has
    // ended by now, and that the others are still running; waits for none.
    void LogStartedProcesses(IRunLog* log) const;

private:
    struct Started {
        qv::win::UniqueHandle process;
        std::string commandLine;
    };
    std::vector<Started> m_started;
};

}  // namespace launcher::win
