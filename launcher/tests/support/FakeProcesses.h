#pragma once
#include <set>

#include "EventLog.h"
#include "launcher/Platform.h"

namespace launcher {

class FakeProcesses : public IProcesses {
public:
    explicit FakeProcesses(EventLog& log) : log_(log) {}
    bool IsProcessRunning(const std::string& strName) override;
    void KillProcessByName(const std::string& strName) override;
    bool StartProcess(const std::string& commandLine, std::string& error) override;

    std::set<std::string> running;     // image names, as the process list reports them
    std::vector<std::string> started;  // command lines
    std::string startFailure;          // when set, StartProcess fails with it

private:
    EventLog& log_;
};

class FakeSingleInstance : public ISingleInstance {
public:
    bool Acquire() override { return !otherCopyRuns; }
    bool otherCopyRuns = false;
};

class FakeSettings : public ISettingsSource {
public:
    bool Load(LauncherSettings& settings, std::string& error) override;
    LauncherSettings values{"http://127.0.0.1:8080", "School01", "salt.for.tests", std::nullopt, "test settings"};
    std::string failure;  // when set, Load fails with it
};

}  // namespace launcher
