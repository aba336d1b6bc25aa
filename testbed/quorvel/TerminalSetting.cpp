#include "TerminalSetting.h"

#include <charconv>

namespace testbed {

std::optional<TerminalSetting> ParseTerminalSetting(std::optional<std::string_view> text) {
    if (!text) {
        return std::nullopt;
    }
    const std::size_t split = text->find(';');
    if (split == std::string_view::npos || split == 0) {
        return std::nullopt;
    }
    return TerminalSetting{std::string(text->substr(0, split)), std::string(text->substr(split + 1))};
}

std::optional<int> PollMilliseconds(std::optional<std::string_view> text) {
    if (!text || text->empty()) {
        return std::nullopt;
    }
    int milliseconds = 0;
    const char* end = text->data() + text->size();
    const auto [stop, error] = std::from_chars(text->data(), end, milliseconds);
    if (error != std::errc{} || stop != end || milliseconds <= 0) {
        return std::nullopt;
    }
    return milliseconds;
}

std::string TerminalAddress(std::string_view addresses, long position) {
    for (long index = 1; position >= 1; ++index) {
        const std::size_t comma = addresses.find(',');
        if (index == position) {
            return std::string(addresses.substr(0, comma));
        }
        if (comma == std::string_view::npos) {
            break;
        }
        addresses.remove_prefix(comma + 1);
    }
    return "?";
}

std::string MonitorEventLine(std::string_view time, bool restored, std::string_view address) {
    return std::string(time) + (restored ? " 恢复 " : " 断开 ") + std::string(address);
}

}  // namespace testbed
