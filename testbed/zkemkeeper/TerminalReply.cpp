#include "TerminalReply.h"

#include <charconv>

namespace zkem {

TerminalReply ReadReply(std::string_view line) {
    if (line == "OK") return {ReplyKind::Answered, {}, 0};
    if (line.substr(0, 3) == "OK ") return {ReplyKind::Answered, std::string(line.substr(3)), 0};
    if (line == "ERR" || line.substr(0, 4) == "ERR ") return {ReplyKind::Refused, {}, 0};
    constexpr std::string_view event = "EVENT 19 ";
    if (line.substr(0, event.size()) == event) {
        const std::string_view number = line.substr(event.size());
        long terminal = 0;
        const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), terminal);
        if (!number.empty() && error == std::errc{} && end == number.data() + number.size())
            return {ReplyKind::Notification, {}, terminal};
    }
    return {};
}

}  // namespace zkem
