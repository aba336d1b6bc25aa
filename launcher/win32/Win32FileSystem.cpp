#include "Win32FileSystem.h"

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

#include "common/win32/TextConvert.h"
#include "common/win32/UniqueHandle.h"
#include "common/win32/WindowsApi.h"

namespace launcher::win {
namespace {

using qv::win::LastErrorText;
using qv::win::UniqueHandle;
using qv::win::Widen;

bool Fail(std::string& error, DWORD code) {
    error = LastErrorText(code);
    return false;
}

bool FailWithLastError(std::string& error) { return Fail(error, GetLastError()); }

constexpr DWORD kSharedRetryMs = 5000;
constexpr DWORD kRetryStepMs = 100;

// Repeats `attempt` while it fails because another program holds the file,
// for kSharedRetryMs at most: ERROR_SUCCESS or the last failure's code.
template <class Attempt>
DWORD TryWhileShared(Attempt attempt) {
    for (DWORD waited = 0;; waited += kRetryStepMs) {
        if (attempt()) return ERROR_SUCCESS;
        const DWORD code = GetLastError();
        // A file open elsewhere that is to be replaced or deleted answers "access denied".
        const bool held =
            code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION || code == ERROR_ACCESS_DENIED;
        if (!held || waited >= kSharedRetryMs) return code;
        Sleep(kRetryStepMs);
    }
}

template <class Attempt>
bool RetryWhileShared(Attempt attempt, std::string& error) {
    const DWORD code = TryWhileShared(attempt);
    return code == ERROR_SUCCESS || Fail(error, code);
}

bool DeleteOne(const std::wstring& path, std::string& error) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    }
    return RetryWhileShared([&] { return ::DeleteFileW(path.c_str()) != FALSE; }, error);
}

// The names in a folder, without "." and "..", with their attributes.
std::vector<std::pair<std::wstring, DWORD>> Entries(const std::wstring& folder) {
    std::vector<std::pair<std::wstring, DWORD>> entries;
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return entries;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") entries.emplace_back(name, found.dwFileAttributes);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return entries;
}

// A link (junction or symbolic link) is removed itself; its target is never entered.
bool RemoveTree(const std::wstring& folder, std::string& error) {
    for (const auto& [name, attributes] : Entries(folder)) {
        const std::wstring path = folder + L"\\" + name;
        const bool isFolder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        const bool isLink = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        bool removed = false;
        if (isFolder && isLink) {
            removed = RemoveDirectoryW(path.c_str()) || FailWithLastError(error);
        } else if (isFolder) {
            removed = RemoveTree(path, error);
        } else {
            removed = DeleteOne(path, error);
        }
        if (!removed) return false;
    }
    return RetryWhileShared([&] { return RemoveDirectoryW(folder.c_str()) != FALSE; }, error);
}

DWORD MoveReplacing(const std::wstring& from, const std::wstring& to) {
    return TryWhileShared(
        [&] { return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0; });
}

}  // namespace

bool Win32FileSystem::FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return false;
    }
    return (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0;
}

bool Win32FileSystem::DeleteFile(const std::string& path, std::string& error) {
    const std::wstring wide = Widen(path);
    return RetryWhileShared([&] { return ::DeleteFileW(wide.c_str()) != FALSE; }, error);
}

bool Win32FileSystem::ReadTextFile(const std::string& path, std::string& text, std::string& error) {
    const UniqueHandle file(CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return FailWithLastError(error);
    }
    std::string bytes;
    char buffer[64 * 1024];
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr)) {
            return FailWithLastError(error);
        }
        if (read == 0) {
            break;
        }
        bytes.append(buffer, read);
    }
    text = qv::win::FromAnsi(bytes);
    return true;
}

bool Win32FileSystem::WriteTextFile(const std::string& path, const std::string& text, std::string& error) {
    const std::string bytes = qv::win::ToAnsi(text);
    const UniqueHandle file(
        CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return FailWithLastError(error);
    }
    constexpr std::size_t kMaxChunk = 1u << 30;
    for (std::size_t done = 0; done < bytes.size();) {
        const DWORD chunk = static_cast<DWORD>(std::min(bytes.size() - done, kMaxChunk));
        DWORD written = 0;
        if (!WriteFile(file.Get(), bytes.data() + done, chunk, &written, nullptr)) {
            return FailWithLastError(error);
        }
        if (written != chunk) {
            // A disk file reports a full disk as a failed write; a short write
            // that claims success gets the nearest description.
            return Fail(error, ERROR_WRITE_FAULT);
        }
        done += chunk;
    }
    return FlushFileBuffers(file.Get()) || FailWithLastError(error);
}

bool Win32FileSystem::ReplaceFile(const std::string& target, const std::string& replacement, std::string& error) {
    return MoveFileExW(Widen(replacement).c_str(), Widen(target).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ||
           FailWithLastError(error);
}

bool Win32FileSystem::FolderExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool Win32FileSystem::CreateFolder(const std::string& path, std::string& error) {
    if (CreateDirectoryW(Widen(path).c_str(), nullptr)) return true;
    const DWORD code = GetLastError();
    return (code == ERROR_ALREADY_EXISTS && FolderExists(path)) || Fail(error, code);
}

bool Win32FileSystem::RemoveFolderTree(const std::string& path, std::string& error) {
    if (!FolderExists(path)) return true;
    return RemoveTree(Widen(path), error);
}

std::vector<std::string> Win32FileSystem::ListFolder(const std::string& path) {
    std::vector<std::string> names;
    for (const auto& entry : Entries(Widen(path))) names.push_back(qv::win::Narrow(entry.first));
    return names;
}

std::int64_t Win32FileSystem::FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return -1;
    }
    return (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool Win32FileSystem::MoveFile(const std::string& from, const std::string& to, std::string& error) {
    const std::wstring source = Widen(from);
    const std::wstring target = Widen(to);
    const DWORD moved = MoveReplacing(source, target);
    if (moved == ERROR_SUCCESS) return true;
    if (moved != ERROR_NOT_SAME_DEVICE) return Fail(error, moved);
    // Another volume: a whole copy beside the target first, then one rename.
    const std::wstring copy = target + L".qvnew";
    const bool copied =
        RetryWhileShared([&] { return CopyFileW(source.c_str(), copy.c_str(), FALSE) != FALSE; }, error);
    const DWORD renamed = copied ? MoveReplacing(copy, target) : ERROR_SUCCESS;
    if (!copied || renamed != ERROR_SUCCESS) {
        ::DeleteFileW(copy.c_str());
        return copied ? Fail(error, renamed) : false;
    }
    return DeleteOne(source, error);
}

bool Win32FileSystem::CopyFile(const std::string& from, const std::string& to, std::string& error) {
    const std::wstring source = Widen(from);
    const std::wstring target = Widen(to);
    return RetryWhileShared([&] { return CopyFileW(source.c_str(), target.c_str(), FALSE) != FALSE; }, error);
}

bool Win32FileSystem::CanWriteFolder(const std::string& path) {
    // Access rights are decided by the folder's whole security: creating a
    // file is the one question the system answers exactly.
    const std::wstring probe = Widen(path) + L"\\.qvwrite-" + std::to_wstring(GetCurrentProcessId()) + L".tmp";
    const UniqueHandle file(CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE,
                                        nullptr));
    return file || GetLastError() != ERROR_ACCESS_DENIED;
}

bool Win32FileSystem::ReadFileBytes(const std::string& path, const std::function<void(const char*, std::size_t)>& sink,
                                    std::string& error) {
    const UniqueHandle file(CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return FailWithLastError(error);
    std::vector<char> buffer(64 * 1024);
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr)) {
            return FailWithLastError(error);
        }
        if (read == 0) return true;
        sink(buffer.data(), read);
    }
}

}  // namespace launcher::win
