#pragma once
// Where an update is prepared: the folder ".update" in the launcher folder.
// Each out-of-date entry gets a folder named by its 1-based position, holding
// its archive, the record of an unfinished transfer and what the archiver
// unpacked; the installed file moved aside during the switch lies beside it.
#include <string>

namespace launcher {

inline constexpr const char* kStagingFolderName = ".update";
inline constexpr const char* kVersionFile = "\\FileVersion.cfg";  // after the launcher folder

class StagingLayout {
public:
    explicit StagingLayout(const std::string& launcherFolder);

    const std::string& Root() const { return m_root; }
    std::string EntryFolder(int nPosition) const;                                   // ends in "\"
    std::string Archive(int nPosition, const std::string& strFileName) const;       // <name>.comps
    std::string ResumeRecord(int nPosition, const std::string& strFileName) const;  // <name>.comps.resume
    std::string Unpacked(int nPosition, const std::string& strFileName) const;
    std::string Aside(int nPosition) const;
    std::string Journal() const;
    std::string Committed() const;
    std::string SavedVersionFile() const;

private:
    std::string m_root;
};

}  // namespace launcher
