#include "RunLog.h"

#include <cstdio>

namespace launcher {
namespace {

std::string Masked(std::string_view event, const std::vector<std::string>& secrets) {
    std::string text(event);
    for (const auto& secret : secrets) {
        if (secret.empty()) continue;
        for (auto at = text.find(secret); at != std::string::npos; at = text.find(secret, at + kConcealed.size())) {
            text.replace(at, secret.size(), kConcealed);
        }
    }
    return text;
}

void AppendEscaped(std::string& line, std::string_view text) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\r') {
            line += "\\r";
        } else if (c == '\n') {
            line += "\\n";
        } else if (c == '\t') {
            line += "\\t";
        } else if (byte < 0x20 || byte == 0x7F) {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02X", byte);
            line += escape;
        } else {
            line += c;
        }
    }
}

}  // namespace

std::string LogEventText(std::string_view event, const std::vector<std::string>& secrets) {
    std::string text;
    AppendEscaped(text, Masked(event, secrets));
    return text;
}

std::string FormatRunLogLine(const LogTimestamp& t, std::uint32_t processId, std::string_view event,
                             const std::vector<std::string>& secrets) {
    char head[64];
    std::snprintf(head, sizeof head, "%04d-%02d-%02d %02d:%02d:%02d.%03d [%lu] ", t.year, t.month, t.day, t.hour,
                  t.minute, t.second, t.millisecond, static_cast<unsigned long>(processId));
    std::string line = head + LogEventText(event, secrets);
    line += "\r\n";
    return line;
}

std::string WithoutSignature(std::string_view url) {
    std::string text(url);
    const auto query = text.find('?');
    if (query == std::string::npos) return text;
    for (auto at = query; at != std::string::npos; at = text.find('&', at + 1)) {
        if (text.compare(at + 1, 5, "sign=") != 0) continue;
        const auto value = at + 6;
        const auto end = text.find('&', value);
        text.replace(value, (end == std::string::npos ? text.size() : end) - value, kConcealed);
    }
    return text;
}

std::string TransferLogLine(const TransferRecord& t) {
    std::string line = "transfer " + t.url + " to " + t.file + ": " + std::string(t.outcome) + ", " +
                       std::to_string(t.received) + " bytes" +
                       (t.announced > 0 ? " of " + std::to_string(t.announced) + " announced" : ", no length") + ", " +
                       std::to_string(t.milliseconds) + " ms, " +
                       std::to_string(BytesPerSecond(t.received, t.milliseconds)) + " bytes/s";
    if (!t.closeError.empty()) line += ", file not closed: " + t.closeError;
    if (t.expectedDigest.empty()) return line + ", digest not checked";
    if (t.actualDigest.empty()) return line;
    if (t.actualDigest == t.expectedDigest) return line + ", digest matches cSHA256";
    return line + ", digest refused: cSHA256 " + t.expectedDigest + ", received " + t.actualDigest;
}

std::int64_t BytesPerSecond(std::int64_t bytes, std::uint32_t milliseconds) {
    if (milliseconds == 0) return 0;
    return bytes * 1000 / milliseconds;
}

}  // namespace launcher
