#include "InstallSwitch.h"

namespace launcher {
namespace {

bool Exists(IFileSystem& fileSystem, const std::string& path) { return fileSystem.FileSize(path) >= 0; }

void Keep(std::string& error, const std::string& reason) {
    if (error.empty()) error = reason;
}

}  // namespace

std::string RegisterCommandLine(const std::string& strFile, bool bUnregister) {
    return std::string("regsvr32 ") + (bUnregister ? "/u " : "") + "/s \"" + strFile + "\"";
}

InstallSwitch::InstallSwitch(const std::string& launcherFolder, const std::string& versionFile, IFileSystem& fileSystem,
                             IInstallProcesses& processes, IRunLog* log)
    : m_layout(launcherFolder),
      m_versionFile(versionFile),
      m_fileSystem(fileSystem),
      m_processes(processes),
      m_log(log) {}

bool InstallSwitch::Apply(const std::vector<SwitchStep>& planned, std::string& error) {
    std::vector<SwitchStep> steps = planned;
    for (auto& step : steps) step.bHadTarget = Exists(m_fileSystem, step.strTarget);
    if (Exists(m_fileSystem, m_layout.Committed()) && !m_fileSystem.DeleteFile(m_layout.Committed(), error)) {
        return false;
    }
    if (Exists(m_fileSystem, m_versionFile) &&
        !m_fileSystem.CopyFile(m_versionFile, m_layout.SavedVersionFile(), error)) {
        return false;
    }
    if (!WriteJournal(steps, error)) return false;
    LogEvent(m_log, "switch of " + std::to_string(steps.size()) + " staged files begins");
    for (const auto& step : steps) {
        if (!SwitchOne(step, error)) {
            std::string undoError;
            Undo(undoError);
            return false;
        }
    }
    return true;
}

bool InstallSwitch::SwitchOne(const SwitchStep& step, std::string& error) {
    const std::string staged = m_layout.Unpacked(step.nPosition, FileNameOf(step.strTarget));
    if (step.bHadTarget && !m_fileSystem.MoveFile(step.strTarget, m_layout.Aside(step.nPosition), error)) return false;
    if (!m_fileSystem.MoveFile(staged, step.strTarget, error)) return false;
    LogEvent(m_log, (step.bHadTarget ? "replaced " : "installed ") + step.strTarget);
    return !step.bRegister || Register(step.strTarget, false, error);
}

bool InstallSwitch::Register(const std::string& file, bool bUnregister, std::string& error) {
    const std::string commandLine = RegisterCommandLine(file, bUnregister);
    std::uint32_t exitCode = 0;
    if (!m_processes.RunAndWait(commandLine, HelperWindow::Minimised, kRegisterTimeoutMs, exitCode, error)) {
        LogEvent(m_log, commandLine + " not run: " + error);
        return false;
    }
    LogEvent(m_log, commandLine + " ended, exit code " + std::to_string(exitCode));
    if (exitCode == 0) return true;
    error = commandLine + " 退出代码 " + std::to_string(exitCode);
    return false;
}

bool InstallSwitch::WriteJournal(const std::vector<SwitchStep>& steps, std::string& error) {
    // Written beside and renamed into place: a journal that exists is whole.
    const std::string written = m_layout.Journal() + ".new";
    return m_fileSystem.WriteTextFile(written, FormatJournal(steps), error) &&
           m_fileSystem.ReplaceFile(m_layout.Journal(), written, error);
}

void InstallSwitch::Finish() {
    std::string error;
    // A marker that stays (a moved-aside file still open) tells the next
    // start that only the clean-up is left.
    if (!m_fileSystem.WriteTextFile(m_layout.Committed(), "done\r\n", error)) return;
    RemoveStaging(error);
}

bool InstallSwitch::RemoveStaging(std::string& error) {
    // The journal goes first: without it the moved-aside files are only litter.
    if (Exists(m_fileSystem, m_layout.Journal()) && !m_fileSystem.DeleteFile(m_layout.Journal(), error)) return false;
    return m_fileSystem.RemoveFolderTree(m_layout.Root(), error);
}

bool InstallSwitch::Undo(std::string& error) {
    // Without a journal nothing installed was moved yet.
    if (!Exists(m_fileSystem, m_layout.Journal())) return m_fileSystem.RemoveFolderTree(m_layout.Root(), error);
    std::string text;
    if (!m_fileSystem.ReadTextFile(m_layout.Journal(), text, error)) return false;
    const auto steps = ParseJournal(text);
    LogEvent(m_log, "undoing the switch recorded in " + m_layout.Journal());
    if (!steps) {
        // Everything stays as it is for someone to look at: guessing could lose the moved-aside files.
        error = "无法读取升级记录 " + m_layout.Journal();
        return false;
    }
    bool whole = true;
    for (auto step = steps->rbegin(); step != steps->rend(); ++step) {
        const std::string aside = m_layout.Aside(step->nPosition);
        const std::string staged = m_layout.Unpacked(step->nPosition, FileNameOf(step->strTarget));
        std::string stepError;
        if (Exists(m_fileSystem, aside)) {
            if (!m_fileSystem.MoveFile(aside, step->strTarget, stepError)) {
                whole = false;
                Keep(error, stepError);
            } else if (step->bRegister) {
                // The file is back whatever its registration says; a start that retried would not change that.
                Register(step->strTarget, false, stepError);
            }
        } else if (!step->bHadTarget && Exists(m_fileSystem, step->strTarget) && !Exists(m_fileSystem, staged)) {
            if (step->bRegister) Register(step->strTarget, true, stepError);
            stepError.clear();
            if (!m_fileSystem.DeleteFile(step->strTarget, stepError)) {
                whole = false;
                Keep(error, stepError);
            }
        }
    }
    const std::string saved = m_layout.SavedVersionFile();
    std::string versionError;
    if (Exists(m_fileSystem, saved) && !m_fileSystem.MoveFile(saved, m_versionFile, versionError)) {
        whole = false;
        Keep(error, versionError);
    }
    if (!whole) return false;
    return RemoveStaging(error);
}

bool InstallSwitch::Recover(std::string& error) {
    if (!m_fileSystem.FolderExists(m_layout.Root())) return true;
    if (Exists(m_fileSystem, m_layout.Committed())) {
        std::string ignored;
        RemoveStaging(ignored);
        return true;
    }
    if (!Exists(m_fileSystem, m_layout.Journal())) return true;  // staging only: nothing installed was touched
    return Undo(error);
}

}  // namespace launcher
