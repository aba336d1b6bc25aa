#include "Faults.h"

#include <charconv>

namespace testbed {
namespace {

constexpr std::string_view kXmlType = "text/xml; charset=utf-8";

std::optional<long long> Number(std::string_view text) {
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// Statuses whose replies must not carry a body.
bool IsBodiless(int status) { return status < 200 || status == 204 || status == 304; }

}  // namespace

bool AddFault(Faults& faults, std::string_view kind) {
    const auto colon = kind.find(':');
    const auto name = kind.substr(0, colon);
    if (colon != std::string_view::npos) {
        const auto value = Number(kind.substr(colon + 1));
        if (!value) return false;
        if (name == "status" && *value >= 100 && *value <= 599) {
            faults.status = static_cast<int>(*value);
            return true;
        }
        if (name == "download-status" && *value >= 100 && *value <= 599) {
            faults.downloadStatus = static_cast<int>(*value);
            return true;
        }
        if (name == "download-cut" && *value >= 0) {
            faults.downloadCut = *value;
            return true;
        }
        if (name == "download-rate" && *value >= 1) {
            faults.downloadRate = *value;
            return true;
        }
        if (name == "delay" && *value >= 0) {
            faults.delay = std::chrono::milliseconds(*value);
            return true;
        }
        return false;
    }
    if (name == "malformed") return faults.malformed = true;
    if (name == "no-result") return faults.noResult = true;
    if (name == "empty-list") return faults.emptyList = true;
    if (name == "truncated") return faults.truncated = true;
    if (name == "download-no-length") return faults.downloadNoLength = true;
    return false;
}

Reply ReplyWithFaults(const Faults& faults, Answer answer) {
    if (faults.status) {
        const int status = *faults.status;
        return {status, "text/plain; charset=utf-8",
                IsBodiless(status) ? "" : "fault: status " + std::to_string(status) + "\n"};
    }
    if (faults.malformed) {
        return {200, std::string(kXmlType),
                "<?xml version=\"1.0\" encoding=\"utf-8\"?><quorvel><result><errorCode>1</errorCode>"
                "<errorMessage></result></quorvel>"};
    }
    if (faults.emptyList) answer = {true, 1, "", true, {}};
    if (faults.noResult) answer.hasResult = false;
    auto body = AnswerXml(answer);
    if (faults.truncated) body.resize(body.size() / 2);
    return {200, std::string(kXmlType), std::move(body)};
}

}  // namespace testbed
