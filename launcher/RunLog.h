#pragma once
// The record of one run of the launcher, for the people who look after the
// school's computers: one line per event, appended to a text file by the
// platform. Writing it is best-effort: a log that cannot be written never
// stops or slows the run.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace launcher {

class IRunLog {
public:
    virtual ~IRunLog() = default;
    // One event, without time or process id; never throws.
    virtual void Write(std::string_view event) = 0;
    // Several events at once, in order (a log file takes them in one write).
    virtual void WriteAll(const std::vector<std::string>& events) {
        for (const std::string& event : events) Write(event);
    }
    // A text that must never reach the log (the signing salt); it is masked
    // wherever a later event holds it.
    virtual void Conceal(std::string_view secret) = 0;
};

// The core's callers may run without a log.
inline void LogEvent(IRunLog* log, std::string_view event) {
    if (log) log->Write(event);
}
inline void LogEvents(IRunLog* log, const std::vector<std::string>& events) {
    if (log && !events.empty()) log->WriteAll(events);
}

struct LogTimestamp {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

inline constexpr std::string_view kConcealed = "***";

// The event with every secret masked and every control character escaped.
std::string LogEventText(std::string_view event, const std::vector<std::string>& secrets);

// "2026-03-01 08:05:09.042 [1234] event": local time, the process id, the
// event with every secret masked and every control character written as an
// escape (\r, \n, \t, \xNN), so that one event is always one line. Ends in CR LF.
std::string FormatRunLogLine(const LogTimestamp& time, std::uint32_t processId, std::string_view event,
                             const std::vector<std::string>& secrets);

// The request URL with the value of its sign= parameter masked.
std::string WithoutSignature(std::string_view url);

// Bytes per second over a duration in milliseconds; 0 when none elapsed.
std::int64_t BytesPerSecond(std::int64_t bytes, std::uint32_t milliseconds);

// How one archive's transfer went.
struct TransferRecord {
    std::string url;
    std::string file;
    std::string_view outcome;  // "complete", "broken off", "cancelled"
    std::int64_t received = 0;
    std::int32_t announced = 0;  // 0: no usable Content-Length
    std::uint32_t milliseconds = 0;
    std::string closeError;      // empty when the file was closed
    std::string expectedDigest;  // empty when the digest is not checked
    std::string actualDigest;    // empty when the transfer did not complete
};

std::string TransferLogLine(const TransferRecord& transfer);

}  // namespace launcher
