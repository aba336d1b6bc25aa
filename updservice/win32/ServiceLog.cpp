#include "ServiceLog.h"

#include <shlobj.h>

#include <cstdio>

#include "SecurityDescriptor.h"
#include "common/win32/UniqueHandle.h"

namespace updservice::win {
namespace {

constexpr LONGLONG kRotateAt = 1024 * 1024;

std::wstring LogFolder() {
    PWSTR programData = nullptr;
    if (FAILED(SHGetKnownFolderPath(FOLDERID_ProgramData, 0, nullptr, &programData))) return {};
    std::wstring folder = std::wstring(programData) + L"\\Quorvel";
    CoTaskMemFree(programData);
    return folder;
}

std::string Timestamp() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth, now.wDay, now.wHour,
                  now.wMinute, now.wSecond);
    return text;
}

}  // namespace

void ServiceLog::Write(const std::string& line) {
    std::lock_guard lock(mutex_);
    const std::wstring folder = LogFolder();
    if (folder.empty()) return;
    SecurityDescriptor security(kLogFolderSddl);
    CreateDirectoryW(folder.c_str(), security.Attributes());
    const std::wstring path = folder + L"\\qvlUpdateService.log";
    WIN32_FILE_ATTRIBUTE_DATA facts{};
    if (GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &facts) &&
        (LONGLONG{facts.nFileSizeHigh} << 32 | facts.nFileSizeLow) >= kRotateAt) {
        MoveFileExW(path.c_str(), (folder + L"\\qvlUpdateService.1.log").c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    const qv::win::UniqueHandle file(CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;
    const std::string text = Timestamp() + "\t" + line + "\r\n";
    DWORD written = 0;
    WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

}  // namespace updservice::win
