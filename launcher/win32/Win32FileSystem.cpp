#include "Win32FileSystem.h"

#include <algorithm>
#include <cstddef>

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

}  // namespace

bool Win32FileSystem::FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return false;
    }
    return (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0;
}

bool Win32FileSystem::DeleteFile(const std::string& path, std::string& error) {
    return DeleteFileW(Widen(path).c_str()) || FailWithLastError(error);
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

}  // namespace launcher::win
