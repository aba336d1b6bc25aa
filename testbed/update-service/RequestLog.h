#pragma once
// One line per request for the tests to read: method, path, raw query and
// User-Agent, separated by tabs. The same writer keeps the served-bytes log.
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <string_view>

namespace testbed {

struct LoggedRequest {
    std::string_view method;
    std::string_view path;
    std::string_view rawQuery;
    std::string_view userAgent;
};

// One download's answer: the Range header asked for (empty without one), the
// status, the first byte of the body within the file and the body bytes
// written to the connection.
struct ServedDownload {
    std::string path;
    std::string range;
    int status = 0;
    long long first = 0;
    long long bytes = 0;
};

// Its line in the served-bytes log: path, range, status, first and bytes.
std::string ServedLine(const ServedDownload& served);

// The line with its "\n". A tab, CR or LF inside a field becomes a space so
// that a line always holds exactly four fields.
std::string LogLine(const LoggedRequest& request);

class RequestLog {
public:
    // Appends to the file; IsOpen tells whether it could be opened.
    explicit RequestLog(const std::filesystem::path& file);
    bool IsOpen() const { return m_out.is_open(); }
    // Written and flushed at once; safe from several threads.
    void Append(const LoggedRequest& request) { AppendLine(LogLine(request)); }
    void AppendLine(std::string_view line);

private:
    std::mutex m_lock;
    std::ofstream m_out;
};

}  // namespace testbed
