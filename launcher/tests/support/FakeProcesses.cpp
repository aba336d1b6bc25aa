#include "FakeProcesses.h"

#include "common/TextCase.h"

namespace launcher {

bool FakeProcesses::IsProcessRunning(const std::string& strName) {
    const std::string name = qv::AsciiUpper(strName);
    for (const auto& image : running) {
        if (name.find(qv::AsciiUpper(image)) != std::string::npos) return true;
    }
    return false;
}

void FakeProcesses::KillProcessByName(const std::string& strName) {
    log_.Add("kill:" + strName);
    for (auto it = running.begin(); it != running.end();) {
        it = qv::EqualsNoCase(*it, strName) ? running.erase(it) : std::next(it);
    }
}

bool FakeProcesses::StartProcess(const std::string& commandLine, std::string& error) {
    log_.Add("start:" + commandLine);
    if (!startFailure.empty()) {
        error = startFailure;
        return false;
    }
    started.push_back(commandLine);
    return true;
}

bool FakeSettings::Load(LauncherSettings& settings, std::string& error) {
    if (!failure.empty()) {
        error = failure;
        return false;
    }
    settings = values;
    return true;
}

}  // namespace launcher
