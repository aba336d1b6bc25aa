#pragma once
// The removal's view of the real file system. An entry is a link when the
// platform marks it as a reparse point; one that is not marked but whose real
// place is not the one its name gives (a Unix symbolic link under Wine) leads
// elsewhere.
#include <optional>

#include "FolderTreeRemoval.h"

namespace packaging::win {

// Where a folder really is, every link on the way followed ("C:\..." or
// "\\server\share\..."); nothing when it cannot be opened.
std::optional<std::string> RealFolder(const std::string& path);

class WindowsFolderTree final : public FolderTree {
public:
    bool List(const std::string& folder, std::vector<FolderEntry>& entries) override;
    bool RemoveFile(const std::string& path) override;
    bool RemoveFolder(const std::string& path) override;
    bool RemoveLink(const std::string& path, bool folder) override;
};

}  // namespace packaging::win
