#pragma once
// Puts staged files in place of the installed ones as one change: every
// installed file is moved aside before its replacement moves in, a journal
// written before the first move lets a later start undo a switch that was
// cut off, and any failure puts back what was already switched. The version
// file is saved first and restored with the files, so that it never records
// versions that are not installed.
#include <cstdint>
#include <string>
#include <vector>

#include "DownloadPlatform.h"
#include "Platform.h"
#include "RunLog.h"
#include "StagingLayout.h"
#include "UpdateJournal.h"

namespace launcher {

inline constexpr std::uint32_t kRegisterTimeoutMs = 2 * 60 * 1000;

// "regsvr32 /s "<file>"", or with /u to unregister.
std::string RegisterCommandLine(const std::string& strFile, bool bUnregister = false);

class InstallSwitch {
public:
    InstallSwitch(const std::string& launcherFolder, const std::string& versionFile, IFileSystem& fileSystem,
                  IInstallProcesses& processes, IRunLog* log = nullptr);

    // Moves every staged file into place and registers it where asked. False
    // with the reason after everything switched so far was put back.
    bool Apply(const std::vector<SwitchStep>& steps, std::string& error);
    // Once the version file holds the new versions: marks the switch done and
    // removes the staging folder with the moved-aside files.
    void Finish();
    // Puts back what the journal names: the moved-aside files (registered
    // again where they were), files that were new removed, the version file
    // as it was. The journal stays when something could not be put back.
    bool Undo(std::string& error);
    // At start-up: a switch that was marked done is cleaned up, one that was
    // cut off is undone. True when nothing is left to repair.
    bool Recover(std::string& error);

private:
    bool SwitchOne(const SwitchStep& step, std::string& error);
    bool Register(const std::string& file, bool bUnregister, std::string& error);
    bool RemoveStaging(std::string& error);
    bool WriteJournal(const std::vector<SwitchStep>& steps, std::string& error);

    StagingLayout m_layout;
    std::string m_versionFile;
    IFileSystem& m_fileSystem;
    IInstallProcesses& m_processes;
    IRunLog* m_log;
};

}  // namespace launcher
