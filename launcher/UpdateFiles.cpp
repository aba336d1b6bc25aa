#include "UpdateFiles.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "DownloadTexts.h"
#include "InstallSwitch.h"
#include "LocalFolder.h"
#include "StagingLayout.h"
#include "common/TextCase.h"
#include "modCompressFile.h"

namespace launcher {
namespace {

std::string DeniedFolderText(const std::string& folder) {
    return "系统需要升级，但当前用户无权写入文件夹“" + folder +
           "”，没有更改任何文件。\r\n\r\n请由管理员启动本程序完成升级，或请管理员安装并启动 Quorvel 更新服务。";
}

bool IsProgramName(const std::string& name) {
    if (name.size() < 4) return false;
    const std::string ending = qv::AsciiLower(name.substr(name.size() - 4));
    return ending == ".exe" || ending == ".dll";
}

bool IsPositionName(const std::string& name, int nCount) {
    if (name.empty() || name.size() > 6 || name.find_first_not_of("0123456789") != std::string::npos) return false;
    const int position = std::stoi(name);
    return position >= 1 && position <= nCount && name == std::to_string(position);
}

class Staging {
public:
    Staging(const UpdateFileList& entries, UpdateServices& services)
        : m_entries(entries), m_s(services), m_layout(services.launcherFolder) {}

    bool Run() {
        const int nCount = static_cast<int>(m_entries.size());
        if (const auto denied = DeniedFolder()) {
            LogEvent(m_s.log, "not updated: no right to write in " + *denied);
            m_s.waitWindow.HideForm();
            m_s.messageBox.Show(DeniedFolderText(*denied), "提示", mb::IconExclamation | mb::SystemModal);
            return false;
        }
        std::string error;
        if (!m_s.fileSystem.CreateFolder(m_layout.Root(), error)) {
            ReportUpdateError(m_s);
            return false;
        }
        RemoveOtherThanEntryFolders(nCount);
        int nPosition = 0;
        for (const auto& entry : m_entries) {
            if (IsProgramName(entry->cFileName) && m_s.processes.IsProcessRunning(entry->cFileName)) {
                LogEvent(m_s.log, "not updated: " + entry->cFileName + " is running");
                m_s.waitWindow.HideForm();
                m_s.messageBox.Show("系统需要升级，请先关闭正在运行中的Quorvel（及其子程序）后重新启动。", "提示",
                                    mb::IconInformation | mb::SystemModal);
                return Abandon(nCount);
            }
            ++nPosition;
            if (!PrepareEntryFolder(nPosition, entry->cFileName)) {
                ReportUpdateError(m_s);
                return Abandon(nCount);
            }
            m_s.view.DoEvents();
            std::int32_t lZero = 0;
            RefreshProbarValue(m_s.view, ProgressBar::File, lZero);
            m_s.view.SetFileText(FileLine(nPosition, nCount, entry->cFileName));
            if (!StageOne(nPosition, *entry)) return Abandon(nCount);
        }
        return true;
    }

private:
    // The first folder that the update would write in and this user may not:
    // the launcher folder, which holds the staging folder, and every target's.
    std::optional<std::string> DeniedFolder() {
        std::vector<std::string> folders{m_s.launcherFolder};
        for (const auto& entry : m_entries) {
            std::string folder = LocalFolder(*entry, m_s.launcherFolder, m_s.system);
            if (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
            if (std::find(folders.begin(), folders.end(), folder) == folders.end()) folders.push_back(folder);
        }
        for (const auto& folder : folders) {
            if (!m_s.fileSystem.CanWriteFolder(folder)) return folder;
        }
        return std::nullopt;
    }

    bool StageOne(int nPosition, const clsProgramFile& entry) {
        const std::string archive = m_layout.Archive(nPosition, entry.cFileName);
        const std::string surl = entry.cDownLoadPath + "/" + entry.cFileName + ".comps";
        if (!DownloadFile(surl, archive, nPosition, m_s, entry.cSHA256)) return false;
        if (!UnCompressFile(m_s.launcherFolder + kArchiverFile, archive, m_layout.EntryFolder(nPosition),
                            m_layout.Unpacked(nPosition, entry.cFileName), m_s.fileSystem, m_s.installProcesses,
                            m_s.waitWindow, m_s.messageBox, m_s.log)) {
            return false;
        }
        // Only to free the space early: the staging folder goes as a whole after the switch.
        std::string ignored;
        m_s.fileSystem.DeleteFile(archive, ignored);
        return true;
    }

    // The entry's folder holds nothing but a partial archive with its record,
    // which the transfer decides to continue or not.
    bool PrepareEntryFolder(int nPosition, const std::string& strFileName) {
        const std::string folder = m_layout.EntryFolder(nPosition);
        std::string error;
        if (!m_s.fileSystem.CreateFolder(folder.substr(0, folder.size() - 1), error)) return false;
        const std::string archive = strFileName + ".comps";
        for (const auto& name : m_s.fileSystem.ListFolder(folder.substr(0, folder.size() - 1))) {
            if (name == archive || name == archive + ".resume") continue;
            const std::string path = folder + name;
            const bool removed = m_s.fileSystem.FolderExists(path) ? m_s.fileSystem.RemoveFolderTree(path, error)
                                                                   : m_s.fileSystem.DeleteFile(path, error);
            if (!removed) return false;
        }
        return true;
    }

    void RemoveOtherThanEntryFolders(int nCount) {
        std::string ignored;
        for (const auto& name : m_s.fileSystem.ListFolder(m_layout.Root())) {
            const std::string path = m_layout.Root() + "\\" + name;
            if (m_s.fileSystem.FolderExists(path)) {
                if (!IsPositionName(name, nCount)) m_s.fileSystem.RemoveFolderTree(path, ignored);
            } else {
                m_s.fileSystem.DeleteFile(path, ignored);
            }
        }
    }

    // After a failure or a cancel: only archives that may be continued stay.
    bool Abandon(int nCount) {
        std::string ignored;
        bool keep = false;
        int nPosition = 0;
        for (const auto& entry : m_entries) {
            ++nPosition;
            const std::string folder = m_layout.EntryFolder(nPosition);
            const std::string folderPath = folder.substr(0, folder.size() - 1);
            if (!m_s.fileSystem.FolderExists(folderPath)) continue;
            const bool resumable = m_s.fileSystem.FileSize(m_layout.ResumeRecord(nPosition, entry->cFileName)) >= 0 &&
                                   m_s.fileSystem.FileSize(m_layout.Archive(nPosition, entry->cFileName)) > 0;
            if (resumable) {
                keep = true;
                PrepareEntryFolder(nPosition, entry->cFileName);
            } else {
                m_s.fileSystem.RemoveFolderTree(folderPath, ignored);
            }
        }
        if (!keep) {
            m_s.fileSystem.RemoveFolderTree(m_layout.Root(), ignored);
        } else {
            RemoveOtherThanEntryFolders(nCount);
        }
        return false;
    }

    const UpdateFileList& m_entries;
    UpdateServices& m_s;
    StagingLayout m_layout;
};

}  // namespace

bool UpdateFiles(const UpdateFileList& cltUpdateFiles, UpdateServices& s) {
    if (!Staging(cltUpdateFiles, s).Run()) return false;
    std::vector<SwitchStep> steps;
    int nPosition = 0;
    for (const auto& entry : cltUpdateFiles) {
        ++nPosition;
        steps.push_back(
            {nPosition, LocalFolder(*entry, s.launcherFolder, s.system) + entry->cFileName, entry->cIfReg, false});
    }
    InstallSwitch install(s.launcherFolder, s.launcherFolder + kVersionFile, s.fileSystem, s.installProcesses, s.log);
    std::string error;
    if (install.Apply(steps, error)) return true;
    LogEvent(s.log, "switch failed and was undone: " + error);
    ReportUpdateError(s);
    return false;
}

}  // namespace launcher
