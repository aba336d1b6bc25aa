#include "UpdateSection.h"

#include <string_view>
#include <utility>

#include "common/TextCase.h"
#include "launcher/PublisherKeys.h"
#include "common/win32/TextConvert.h"

namespace launcher::win {
namespace {

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

bool LoadUpdateSection(const UpdateKeyReader& read, const std::string& place, LauncherSettings& settings,
                       std::string& error) {
    struct Key {
        const wchar_t* name;
        std::string LauncherSettings::*field;
        bool required;
    };
    static constexpr Key kKeys[] = {
        {L"ServiceUrl", &LauncherSettings::serviceUrl, true},
        {L"CustomerCode", &LauncherSettings::customerCode, true},
        {L"SigningSalt", &LauncherSettings::signingSalt, true},
    };
    LauncherSettings values;
    for (const Key& key : kKeys) {
        auto value = read(key.name);
        if (key.required && (!value || value->empty())) {
            error = place + "缺少 " + qv::win::Narrow(key.name) + "。";
            return false;
        }
        values.*key.field = std::move(value).value_or("");
    }
    auto address = ServiceAddress(values.serviceUrl);
    if (!address) {
        error = place + "中 ServiceUrl 不是 http:// 或 https:// 地址。";
        return false;
    }
    values.serviceUrl = std::move(*address);
    // Optional; once present, it must hold keys, or the launcher would run unchecked.
    values.publisherKeys = read(L"PublisherKeys");
    if (values.publisherKeys && !ParsePublisherKeys(*values.publisherKeys)) {
        error = place + "中 PublisherKeys 不是以逗号分隔的 64 字节公钥的 base64 文本。";
        return false;
    }
    settings = std::move(values);
    return true;
}

}  // namespace launcher::win
