#include "IniSettings.h"

#include <optional>
#include <string_view>
#include <utility>

#include "common/TextCase.h"
#include "launcher/PublisherKeys.h"
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

// Plain or secure HTTP with a host; trailing "/" removed.
std::optional<std::string> ServiceAddress(std::string url) {
    while (!url.empty() && url.back() == '/') {
        url.pop_back();
    }
    const std::string lower = qv::AsciiLower(url);
    for (const std::string_view scheme : {"http://", "https://"}) {
        if (lower.starts_with(scheme) && lower.size() > scheme.size()) {
            return url;
        }
    }
    return std::nullopt;
}

}  // namespace

IniSettings::IniSettings(std::string launcherFolder) : path_(std::move(launcherFolder) + "\\startqvl.ini") {}

bool IniSettings::Load(LauncherSettings& settings, std::string& error) {
    const std::wstring file = Widen(path_);
    if (!IsExistingFile(file)) {
        error = "找不到设置文件 " + path_ + "。";
        return false;
    }
    struct Key {
        const wchar_t* name;
        std::string LauncherSettings::*field;
    };
    static constexpr Key kKeys[] = {
        {L"ServiceUrl", &LauncherSettings::serviceUrl},
        {L"CustomerCode", &LauncherSettings::customerCode},
        {L"SigningSalt", &LauncherSettings::signingSalt},
    };
    LauncherSettings read;
    for (const Key& key : kKeys) {
        auto value = ReadKey(file, key.name);
        if (!value || value->empty()) {
            error = "设置文件 " + path_ + " 的 [Update] 节缺少 " + qv::win::Narrow(key.name) + "。";
            return false;
        }
        read.*key.field = std::move(*value);
    }
    auto address = ServiceAddress(read.serviceUrl);
    if (!address) {
        error = "设置文件 " + path_ + " 的 [Update] 节中 ServiceUrl 不是 http:// 或 https:// 地址。";
        return false;
    }
    read.serviceUrl = std::move(*address);
    // Optional; once present, it must hold keys, or the launcher would run unchecked.
    read.publisherKeys = ReadKey(file, L"PublisherKeys");
    if (read.publisherKeys && !ParsePublisherKeys(*read.publisherKeys)) {
        error = "设置文件 " + path_ + " 的 [Update] 节中 PublisherKeys 不是以逗号分隔的 64 字节公钥的 base64 文本。";
        return false;
    }
    settings = std::move(read);
    return true;
}

}  // namespace launcher::win
