#pragma once
// What is kept beside a partial archive so that the next run can ask for the
// rest of it, and the rules that decide whether that is safe.
#include <cstdint>
#include <optional>
#include <string>

namespace launcher {

struct ResumeRecord {
    std::string url;
    std::int64_t length = 0;  // the whole archive, as first announced
    std::string sha256;       // the service's digest, lower-case hex; empty when none was sent
    std::string etag;
    std::string lastModified;

    bool operator==(const ResumeRecord&) const = default;
};

std::string FormatResumeRecord(const ResumeRecord& record);
// nullopt for anything that is not a complete record.
std::optional<ResumeRecord> ParseResumeRecord(const std::string& text);

// The If-Range value to resume with ("" to ask without one), or nullopt when
// the partial archive must be fetched again from the start: another URL or
// digest, nothing or everything already there, or neither a digest nor a
// strong validator to catch a file that changed on the server.
std::optional<std::string> ResumeCondition(const ResumeRecord& record, const std::string& url,
                                           const std::string& sha256, std::int64_t partialSize);

struct ContentRange {
    std::int64_t first = 0;
    std::int64_t last = 0;
    std::int64_t total = 0;
};
// "bytes 100-199/200"; nullopt for anything else (unknown total included).
std::optional<ContentRange> ParseContentRange(const std::string& text);

// True when a 206 answer carries exactly the rest of the recorded archive.
bool RangeContinues(const std::string& contentRange, std::int64_t offset, std::int64_t length);

}  // namespace launcher
