#pragma once
// Deleting a folder with everything under it, through a small view of the
// file system. Nothing outside the folder is touched: a link the platform
// marks as one (a junction, a symbolic link, a mount point) is removed as an
// entry and never entered; an entry that leads somewhere else without being
// marked so (as a Unix symbolic link looks under Wine, whose removal would
// reach its target) is neither entered nor removed.
#include <string>
#include <vector>

namespace packaging {

enum class EntryKind { File, Folder, FileLink, FolderLink, Elsewhere };

struct FolderEntry {
    std::string name;
    EntryKind kind = EntryKind::File;
};

class FolderTree {
public:
    virtual ~FolderTree() = default;
    // The entries of a folder, without "." and ".."; false when it cannot be read.
    virtual bool List(const std::string& folder, std::vector<FolderEntry>& entries) = 0;
    virtual bool RemoveFile(const std::string& path) = 0;
    virtual bool RemoveFolder(const std::string& path) = 0;  // an empty folder
    // The link itself, never what it leads to.
    virtual bool RemoveLink(const std::string& path, bool folder) = 0;
};

struct RemovalCount {
    int removed = 0;  // files, links and folders
    int left = 0;     // entries that stayed (in use, unreadable, too deep, leading elsewhere)
};

// Folders deeper than this below the top are left alone (and counted as left).
constexpr int kMaxRemovalDepth = 64;

// `folder` is an absolute path without a trailing separator.
RemovalCount RemoveFolderTree(FolderTree& tree, const std::string& folder);

}  // namespace packaging
