#include "PublisherKeys.h"

#include <algorithm>

#include "Base64.h"

namespace launcher {
namespace {

std::string_view TrimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

std::optional<std::array<unsigned char, 64>> DecodeBase64Of64(std::string_view text) {
    const auto bytes = DecodeBase64(text);
    if (!bytes || bytes->size() != 64) return std::nullopt;
    std::array<unsigned char, 64> result{};
    std::copy(bytes->begin(), bytes->end(), result.begin());
    return result;
}

std::optional<std::vector<PublicKeyBytes>> ParsePublisherKeys(std::string_view text) {
    std::vector<PublicKeyBytes> keys;
    for (;;) {
        const auto comma = text.find(',');
        const auto key = DecodeBase64Of64(TrimBlanks(text.substr(0, comma)));
        if (!key) return std::nullopt;
        keys.push_back(*key);
        if (comma == std::string_view::npos) return keys;
        text.remove_prefix(comma + 1);
    }
}

}  // namespace launcher
