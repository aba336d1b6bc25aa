#include "WindowsFolderTree.h"

#include <memory>
#include <optional>
#include <type_traits>

#include "common/TextCase.h"
#include "common/win32/TextConvert.h"
#include "common/win32/UniqueHandle.h"

namespace packaging::win {
namespace {

// Paths in their long form, so that no length limit applies (they hold no "." or "..").
std::wstring LongPath(const std::string& path) {
    const std::wstring wide = qv::win::Widen(path);
    return wide.rfind(L"\\\\", 0) == 0 ? L"\\\\?\\UNC\\" + wide.substr(2) : L"\\\\?\\" + wide;
}

// Where a path really leads, links followed; nothing when it cannot be opened.
std::optional<std::string> RealPlace(const std::wstring& path) {
    const qv::win::UniqueHandle handle(CreateFileW(path.c_str(), 0,
                                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle) return std::nullopt;
    std::wstring place(32768, L'\0');
    const DWORD length =
        GetFinalPathNameByHandleW(handle.Get(), place.data(), static_cast<DWORD>(place.size()), FILE_NAME_NORMALIZED);
    if (length == 0 || length >= place.size()) return std::nullopt;
    place.resize(length);
    return qv::win::Narrow(place);
}

bool Succeeds(BOOL done) { return done != FALSE; }

struct SearchClose {
    void operator()(HANDLE search) const noexcept { FindClose(search); }
};
using Search = std::unique_ptr<std::remove_pointer_t<HANDLE>, SearchClose>;

}  // namespace

std::optional<std::string> RealFolder(const std::string& path) {
    std::optional<std::string> place = RealPlace(LongPath(path));
    if (!place) return std::nullopt;
    if (place->rfind("\\\\?\\UNC\\", 0) == 0) return "\\\\" + place->substr(8);
    if (place->rfind("\\\\?\\", 0) == 0) return place->substr(4);
    return place;
}

bool WindowsFolderTree::List(const std::string& folder, std::vector<FolderEntry>& entries) {
    entries.clear();
    const std::wstring path = LongPath(folder);
    const std::optional<std::string> place = RealPlace(path);
    if (!place) return false;
    WIN32_FIND_DATAW found{};
    const HANDLE first =
        FindFirstFileExW((path + L"\\*").c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
    if (first == INVALID_HANDLE_VALUE) return false;
    const Search search(first);
    do {
        FolderEntry entry;
        entry.name = qv::win::Narrow(found.cFileName);
        if (entry.name == "." || entry.name == "..") continue;
        const bool folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            entry.kind = folder ? EntryKind::FolderLink : EntryKind::FileLink;
        } else {
            const std::optional<std::string> real = RealPlace(path + L"\\" + found.cFileName);
            const bool inside = real && qv::EqualsNoCase(*real, *place + "\\" + entry.name);
            entry.kind = !inside ? EntryKind::Elsewhere : folder ? EntryKind::Folder : EntryKind::File;
        }
        entries.push_back(std::move(entry));
    } while (FindNextFileW(search.get(), &found));
    return GetLastError() == ERROR_NO_MORE_FILES;
}

bool WindowsFolderTree::RemoveFile(const std::string& path) {
    const std::wstring file = LongPath(path);
    if (Succeeds(DeleteFileW(file.c_str()))) return true;
    // A read-only file (as an archive may unpack one) goes too.
    return Succeeds(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL)) && Succeeds(DeleteFileW(file.c_str()));
}

bool WindowsFolderTree::RemoveFolder(const std::string& path) {
    const std::wstring folder = LongPath(path);
    if (Succeeds(RemoveDirectoryW(folder.c_str()))) return true;
    return Succeeds(SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_DIRECTORY)) &&
           Succeeds(RemoveDirectoryW(folder.c_str()));
}

bool WindowsFolderTree::RemoveLink(const std::string& path, bool folder) {
    // Both calls remove a reparse point itself, not what it leads to.
    const std::wstring link = LongPath(path);
    return Succeeds(folder ? RemoveDirectoryW(link.c_str()) : DeleteFileW(link.c_str()));
}

}  // namespace packaging::win
