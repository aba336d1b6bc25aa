#include "IniSettings.h"

#include <optional>
#include <utility>

#include "UpdateSection.h"
#include "common/win32/TextConvert.h"
#include "common/win32/WindowsApi.h"

namespace launcher::win {
namespace {

using qv::win::Widen;

constexpr const wchar_t* kSection = L"Update";
// Returned for a missing key; no real value holds these characters.
constexpr const wchar_t* kAbsent = L"\x1F<absent>\x1F";

std::optional<std::string> ReadKey(const std::wstring& file, const wchar_t* key) {
    std::wstring buffer(256, L'\0');
    for (;;) {
        const DWORD length = GetPrivateProfileStringW(kSection, key, kAbsent, buffer.data(),
                                                      static_cast<DWORD>(buffer.size()), file.c_str());
        // A value that fills the buffer may have been cut short.
        if (length + 1 < buffer.size() || buffer.size() >= 65536) {
            buffer.resize(length);
            break;
        }
        buffer.resize(buffer.size() * 2);
    }
    if (buffer == kAbsent) {
        return std::nullopt;
    }
    return qv::win::Narrow(buffer);
}

bool IsExistingFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

IniSettings::IniSettings(std::string launcherFolder) : path_(std::move(launcherFolder) + "\\startqvl.ini") {}

bool IniSettings::Load(LauncherSettings& settings, std::string& error) {
    const std::wstring file = Widen(path_);
    if (!IsExistingFile(file)) {
        error = "找不到设置文件 " + path_ + "。";
        return false;
    }
    if (!LoadUpdateSection([&file](const wchar_t* key) { return ReadKey(file, key); },
                           "设置文件 " + path_ + " 的 [Update] 节", settings, error)) {
        return false;
    }
    settings.source = "file " + path_;
    return true;
}

}  // namespace launcher::win
