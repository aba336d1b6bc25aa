#pragma once
// Running, stopping and starting programs on Win32. IsProcessRunning asks
// WMI through COM: the calling thread must have initialised COM.
#include <string>

#include "launcher/Platform.h"

namespace launcher::win {

class WinProcesses final : public IProcesses {
public:
    // True when the upper-cased Description (image name) of a running process
    // occurs within the upper-cased `strName`; any failure reads as false.
    bool IsProcessRunning(const std::string& strName) override;
    // Starts "taskkill /f /im <strName>" hidden and returns at once.
    void KillProcessByName(const std::string& strName) override;
    // The command line goes to the system as it is, unquoted.
    bool StartProcess(const std::string& commandLine, std::string& error) override;
};

}  // namespace launcher::win
