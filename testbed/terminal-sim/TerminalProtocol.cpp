#include "TerminalProtocol.h"

#include <charconv>

namespace terminal_sim {
namespace {

bool IsWholeNumber(std::string_view text) {
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && error == std::errc{} && end == text.data() + text.size();
}

}  // namespace

std::optional<std::string> AnswerRequest(std::string_view request, int terminal, bool silent) {
    if (request == "HELLO") return "OK " + std::to_string(terminal);
    constexpr std::string_view probe = "PROBE ";
    if (request.substr(0, probe.size()) == probe && IsWholeNumber(request.substr(probe.size()))) {
        if (silent) return std::nullopt;
        return "OK TERMINAL " + std::to_string(terminal) + " MACHINE " + std::string(request.substr(probe.size()));
    }
    return "ERR " + std::string(request);
}

std::string NotificationLine(int terminal) {
    return "EVENT " + std::to_string(kNotificationEvent) + " " + std::to_string(terminal);
}

}  // namespace terminal_sim
