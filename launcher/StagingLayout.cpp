#include "StagingLayout.h"

namespace launcher {

StagingLayout::StagingLayout(const std::string& launcherFolder)
    : m_root(launcherFolder + (!launcherFolder.empty() && launcherFolder.back() == '\\' ? "" : "\\") +
             kStagingFolderName) {}

std::string StagingLayout::EntryFolder(int nPosition) const { return m_root + "\\" + std::to_string(nPosition) + "\\"; }

std::string StagingLayout::Archive(int nPosition, const std::string& strFileName) const {
    return EntryFolder(nPosition) + strFileName + ".comps";
}

std::string StagingLayout::ResumeRecord(int nPosition, const std::string& strFileName) const {
    return Archive(nPosition, strFileName) + ".resume";
}

std::string StagingLayout::Unpacked(int nPosition, const std::string& strFileName) const {
    return EntryFolder(nPosition) + strFileName;
}

std::string StagingLayout::Aside(int nPosition) const { return m_root + "\\" + std::to_string(nPosition) + ".aside"; }

std::string StagingLayout::Journal() const { return m_root + "\\journal"; }

std::string StagingLayout::Committed() const { return m_root + "\\committed"; }

std::string StagingLayout::SavedVersionFile() const { return m_root + "\\FileVersion.cfg.old"; }

}  // namespace launcher
