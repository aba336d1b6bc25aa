#include "FolderTreeRemoval.h"

namespace packaging {
namespace {

void Count(RemovalCount& count, bool removed) { ++(removed ? count.removed : count.left); }

void RemoveBelow(FolderTree& tree, const std::string& folder, int depth, RemovalCount& count) {
    std::vector<FolderEntry> entries;
    if (depth > kMaxRemovalDepth || !tree.List(folder, entries)) {
        ++count.left;
        return;
    }
    for (const FolderEntry& entry : entries) {
        if (entry.name.empty() || entry.name == "." || entry.name == "..") continue;
        const std::string path = folder + "\\" + entry.name;
        switch (entry.kind) {
            case EntryKind::File:
                Count(count, tree.RemoveFile(path));
                break;
            case EntryKind::Folder:
                RemoveBelow(tree, path, depth + 1, count);
                break;
            case EntryKind::FileLink:
            case EntryKind::FolderLink:
                Count(count, tree.RemoveLink(path, entry.kind == EntryKind::FolderLink));
                break;
            case EntryKind::Elsewhere:
                ++count.left;
                break;
        }
    }
    Count(count, tree.RemoveFolder(folder));
}

}  // namespace

RemovalCount RemoveFolderTree(FolderTree& tree, const std::string& folder) {
    RemovalCount count;
    RemoveBelow(tree, folder, 0, count);
    return count;
}

}  // namespace packaging
