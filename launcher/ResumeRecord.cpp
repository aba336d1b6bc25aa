#include "ResumeRecord.h"

#include <charconv>
#include <string_view>

#include "common/LineSplitter.h"

namespace launcher {
namespace {

constexpr std::string_view kHeader = "quorvel-resume-1";

std::optional<std::int64_t> WholeNumber(std::string_view text) {
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size() || value < 0) return std::nullopt;
    return value;
}

bool HasLineBreak(const std::string& text) { return text.find_first_of("\r\n") != std::string::npos; }

}  // namespace

std::string FormatResumeRecord(const ResumeRecord& record) {
    return std::string(kHeader) + "\r\nurl=" + record.url + "\r\nlength=" + std::to_string(record.length) +
           "\r\nsha256=" + record.sha256 + "\r\netag=" + record.etag + "\r\nlast-modified=" + record.lastModified +
           "\r\nend\r\n";
}

std::optional<ResumeRecord> ParseResumeRecord(const std::string& text) {
    ResumeRecord record;
    qv::LineSplitter lines;
    lines.Add(text);
    bool header = false, ended = false, haveUrl = false, haveLength = false;
    while (!ended) {
        const auto next = lines.Next();
        if (!next) break;
        const std::string_view line = *next;
        if (!header) {
            if (line != kHeader) return std::nullopt;
            header = true;
            continue;
        }
        if (line == "end") {
            ended = true;
            continue;
        }
        const auto equals = line.find('=');
        if (equals == std::string_view::npos) return std::nullopt;
        const std::string_view key = line.substr(0, equals);
        const std::string value(line.substr(equals + 1));
        if (key == "url") {
            record.url = value;
            haveUrl = !value.empty();
        } else if (key == "length") {
            const auto length = WholeNumber(value);
            if (!length) return std::nullopt;
            record.length = *length;
            haveLength = true;
        } else if (key == "sha256") {
            record.sha256 = value;
        } else if (key == "etag") {
            record.etag = value;
        } else if (key == "last-modified") {
            record.lastModified = value;
        }
    }
    if (!ended || !haveUrl || !haveLength || record.length <= 0) return std::nullopt;
    return record;
}

std::optional<std::string> ResumeCondition(const ResumeRecord& record, const std::string& url,
                                           const std::string& sha256, std::int64_t partialSize) {
    if (record.url != url || record.sha256 != sha256) return std::nullopt;
    if (partialSize <= 0 || partialSize >= record.length) return std::nullopt;
    // A weak entity tag may not stand in If-Range.
    const bool strongTag = !record.etag.empty() && record.etag.rfind("W/", 0) != 0 && !HasLineBreak(record.etag);
    if (strongTag) return record.etag;
    if (!record.lastModified.empty() && !HasLineBreak(record.lastModified)) return record.lastModified;
    if (!sha256.empty()) return std::string();
    return std::nullopt;
}

std::optional<ContentRange> ParseContentRange(const std::string& text) {
    std::string_view rest = text;
    constexpr std::string_view kUnit = "bytes ";
    if (rest.substr(0, kUnit.size()) != kUnit) return std::nullopt;
    rest.remove_prefix(kUnit.size());
    const auto dash = rest.find('-');
    const auto slash = rest.find('/');
    if (dash == std::string_view::npos || slash == std::string_view::npos || dash > slash) return std::nullopt;
    const auto first = WholeNumber(rest.substr(0, dash));
    const auto last = WholeNumber(rest.substr(dash + 1, slash - dash - 1));
    const auto total = WholeNumber(rest.substr(slash + 1));
    if (!first || !last || !total || *first > *last || *last >= *total) return std::nullopt;
    return ContentRange{*first, *last, *total};
}

bool RangeContinues(const std::string& contentRange, std::int64_t offset, std::int64_t length) {
    const auto range = ParseContentRange(contentRange);
    return range && range->first == offset && range->last == length - 1 && range->total == length;
}

}  // namespace launcher
