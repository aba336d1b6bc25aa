#include "FileRunLog.h"

#include "common/win32/WindowsApi.h"

#include "common/win32/Environment.h"

namespace launcher::win {
namespace {

LogTimestamp Now() {
    SYSTEMTIME t{};
    GetLocalTime(&t);
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

}  // namespace

FileRunLog::FileRunLog(std::wstring folder, std::uint64_t sizeLimit)
    : folder_(std::move(folder)),
      path_(folder_ + L"\\" + kFileName + L".log"),
      older_(folder_ + L"\\" + kFileName + L".1.log"),
      sizeLimit_(sizeLimit) {}

// From the environment the system gives every logged-on user: asking the shell
// instead would load it, and its many libraries, into every start.
std::wstring FileRunLog::UserLogFolder() {
    const std::optional<std::wstring> folder = qv::win::EnvironmentText(L"LOCALAPPDATA");
    return folder ? *folder + L"\\Quorvel" : std::wstring();
}

bool FileRunLog::Open() {
    if (folder_.empty()) return false;
    if (!CreateDirectoryW(folder_.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
    // Appends from several runs at once land whole; readers and a rotation by another run are let in.
    file_.Reset(CreateFileW(path_.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file_ || !GetFileSizeEx(file_.Get(), &size)) return false;
    size_ = static_cast<std::uint64_t>(size.QuadPart);
    return true;
}

bool FileRunLog::Rotate() {
    file_.Reset();
    MoveFileExW(path_.c_str(), older_.c_str(), MOVEFILE_REPLACE_EXISTING);
    if (Open()) return true;
    GiveUp();
    return false;
}

void FileRunLog::GiveUp() noexcept {
    givenUp_ = true;
    file_.Reset();
}

void FileRunLog::Write(std::string_view event) noexcept {
    try {
        Append(FormatRunLogLine(Now(), GetCurrentProcessId(), event, secrets_));
    } catch (...) {
        GiveUp();
    }
}

void FileRunLog::WriteAll(const std::vector<std::string>& events) noexcept {
    try {
        const LogTimestamp time = Now();
        std::string lines;
        for (const std::string& event : events) lines += FormatRunLogLine(time, GetCurrentProcessId(), event, secrets_);
        Append(lines);
    } catch (...) {
        GiveUp();
    }
}

void FileRunLog::Append(const std::string& lines) noexcept {
    if (givenUp_) return;
    if (!file_ && !Open()) {
        GiveUp();
        return;
    }
    if (size_ > 0 && size_ + lines.size() > sizeLimit_) {
        if (!Rotate()) return;
    }
    DWORD written = 0;
    if (!WriteFile(file_.Get(), lines.data(), static_cast<DWORD>(lines.size()), &written, nullptr)) {
        GiveUp();
        return;
    }
    size_ += written;
}

void FileRunLog::Conceal(std::string_view secret) noexcept {
    try {
        if (!secret.empty()) secrets_.emplace_back(secret);
    } catch (...) {
        GiveUp();  // a secret that cannot be kept must not reach the file unmasked
    }
}

}  // namespace launcher::win
