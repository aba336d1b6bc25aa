#include "StandInFiles.h"

#include <string>

#include "common/win32/UniqueHandle.h"
#include "common/win32/WindowsApi.h"

namespace testbed {

std::wstring ProgramFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return L".";
        }
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const std::size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos ? L"." : path.substr(0, separator);
}

namespace {

bool AppendLine(const std::wstring& path, std::string_view line) {
    const qv::win::UniqueHandle file(CreateFileW(path.c_str(), FILE_APPEND_DATA,
                                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                 OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return false;
    }
    const std::string bytes = std::string(line) + "\r\n";
    DWORD written = 0;
    return WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

}  // namespace

bool AppendStandInLog(const std::wstring& folder, std::string_view line) {
    return AppendLine(folder + L"\\quorvel.started.log", line);
}

bool AppendFormLog(const std::wstring& folder, std::string_view line) {
    return AppendLine(folder + L"\\quorvel.form.log", line);
}

std::wstring FormFilePath(const std::wstring& folder) { return folder + L"\\quorvel.form"; }

bool ExitFileExists(const std::wstring& folder) {
    return GetFileAttributesW((folder + L"\\quorvel.exit").c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace testbed
