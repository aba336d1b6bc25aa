// RemoveInstallation "<folder>": the package's last step when it is
// uninstalled. Deletes the installation folder with everything the product
// and its launcher put into it (downloads, the version file, sub-folders),
// never following a link out of it, and only when the folder is safe to
// delete: not a drive root, not one of the system's folders, and not while
// an upgrade replaces the old version (the mark "startqvl.upgrading" is there).
// Exit codes: 0 removed or nothing to do, 1 refused, 2 some entries stayed.
#include <cstdio>
#include <string>

#include "FolderTreeRemoval.h"
#include "InstallFolderRule.h"
#include "SystemFolders.h"
#include "WindowsFolderTree.h"
#include "common/TextCase.h"
#include "common/win32/TextConvert.h"
#include "common/win32/WindowsApi.h"

namespace {

constexpr wchar_t kUpgradeMark[] = L"startqvl.upgrading";

int Refuse(const std::string& folder, std::string_view why) {
    std::printf("not removed: %s (%.*s)\n", folder.c_str(), static_cast<int>(why.size()), why.data());
    return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fputs("usage: RemoveInstallation <installation folder>\n", stderr);
        return 1;
    }
    const std::string given = qv::win::Narrow(argv[1]);
    const packaging::ProtectedFolders protectedFolders = packaging::win::SystemFolders();
    const packaging::FolderVerdict verdict = packaging::JudgeInstallFolder(given, protectedFolders);
    if (verdict != packaging::FolderVerdict::Removable) return Refuse(given, packaging::VerdictText(verdict));
    const std::string folder = *packaging::NormaliseAbsoluteFolder(given);
    const DWORD attributes = GetFileAttributesW(qv::win::Widen(folder).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return 0;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return Refuse(folder, "not a folder");
    // The folder itself must be where its name says: a link there would lead the removal elsewhere.
    const std::optional<std::string> real = packaging::win::RealFolder(folder);
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) || !real || !qv::EqualsNoCase(*real, folder)) {
        return Refuse(folder, "leads to another folder");
    }
    if (GetFileAttributesW(qv::win::Widen(folder + "\\").append(kUpgradeMark).c_str()) != INVALID_FILE_ATTRIBUTES) {
        return 0;
    }
    packaging::win::WindowsFolderTree tree;
    const packaging::RemovalCount count = packaging::RemoveFolderTree(tree, folder);
    std::printf("removed %d, left %d: %s\n", count.removed, count.left, folder.c_str());
    return count.left == 0 ? 0 : 2;
}
