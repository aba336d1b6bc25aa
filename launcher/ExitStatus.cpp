#include "ExitStatus.h"

#include <iterator>

namespace launcher {
namespace {

struct EndRow {
    MainEnd end;
    int status;
    std::string_view name;
};

// 1 and 3 are left out: the runtime ends a process with them on its own failures.
constexpr EndRow kEnds[] = {
    {MainEnd::MainClientStarted, 0, "main client started"},
    {MainEnd::CheckPassed, 0, "check passed"},
    {MainEnd::Updated, 0, "installation up to date"},
    {MainEnd::AlreadyRunning, 10, "already running"},
    {MainEnd::VersionFileUnreadable, 11, "version file unreadable"},
    {MainEnd::SettingsMissing, 12, "settings missing or invalid"},
    {MainEnd::RequestFailed, 13, "request failed"},
    {MainEnd::AnswerRefused, 14, "answer unreadable or not signed"},
    {MainEnd::ServiceRefused, 15, "service refused the request"},
    {MainEnd::DownloadNotCompleted, 16, "download not completed"},
    {MainEnd::Cancelled, 17, "cancelled"},
    {MainEnd::VersionFileNotWritten, 18, "version file not written"},
    {MainEnd::MainClientMissing, 19, "main client missing"},
    {MainEnd::MainClientNotStarted, 20, "main client not started"},
    {MainEnd::UnexpectedFailure, 21, "unexpected failure"},
};

const EndRow& RowOf(MainEnd end) {
    for (const auto& row : kEnds) {
        if (row.end == end) return row;
    }
    return kEnds[std::size(kEnds) - 1];
}

}  // namespace

int ExitStatus(MainEnd end) { return RowOf(end).status; }

std::string_view EndName(MainEnd end) { return RowOf(end).name; }

std::optional<MainEnd> EndOfFailureStatus(int status) {
    if (status == 0) return std::nullopt;
    for (const auto& row : kEnds) {
        if (row.status == status) return row.end;
    }
    return std::nullopt;
}

}  // namespace launcher
