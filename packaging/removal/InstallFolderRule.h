#pragma once
// Whether a folder may be deleted with everything under it when the product is
// removed. Paths are UTF-8 Windows paths; letters compare without case (ASCII).
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace packaging {

// "C:\a\b" from "C:\a\.\b\" or "C:/a/b": a drive-letter or UNC path with no
// "." components and no trailing separator ("C:\" for a drive root). Nothing
// for a relative path, a bare "C:", or one with a ".." component.
std::optional<std::string> NormaliseAbsoluteFolder(std::string_view raw);

enum class FolderVerdict {
    Removable,
    NotAbsolute,           // relative, empty, or with ".." in it
    Root,                  // a drive root or a network share itself
    ProtectedFolder,       // one of the system's own folders (program files, Windows, ...)
    HoldsProtectedFolder,  // one of them lies inside it
    InsideSystemFolder,    // inside the Windows folder
};

// The system's folders: `keep` may not be deleted nor hold the folder to delete
// as an ancestor; nothing inside `system` (the Windows folder) may be deleted.
struct ProtectedFolders {
    std::vector<std::string> keep;
    std::vector<std::string> system;
};

FolderVerdict JudgeInstallFolder(std::string_view raw, const ProtectedFolders& folders);

// The verdict in words, for the log.
std::string_view VerdictText(FolderVerdict verdict);

}  // namespace packaging
