#include "RequestLog.h"

namespace testbed {
namespace {

void AppendField(std::string& line, std::string_view field) {
    for (const char c : field) line += (c == '\t' || c == '\r' || c == '\n') ? ' ' : c;
}

}  // namespace

std::string LogLine(const LoggedRequest& request) {
    std::string line;
    AppendField(line, request.method);
    line += '\t';
    AppendField(line, request.path);
    line += '\t';
    AppendField(line, request.rawQuery);
    line += '\t';
    AppendField(line, request.userAgent);
    line += '\n';
    return line;
}

std::string ServedLine(const ServedDownload& served) {
    std::string line;
    AppendField(line, served.path);
    line += '\t';
    AppendField(line, served.range);
    return line + '\t' + std::to_string(served.status) + '\t' + std::to_string(served.first) + '\t' +
           std::to_string(served.bytes) + '\n';
}

RequestLog::RequestLog(const std::filesystem::path& file) : m_out(file, std::ios::binary | std::ios::app) {}

void RequestLog::AppendLine(std::string_view line) {
    const std::lock_guard guard(m_lock);
    m_out << line;
    m_out.flush();
}

}  // namespace testbed
