#pragma once
// The service's log: one line per request in
// %ProgramData%\Quorvel\qvlUpdateService.log (UTF-8), moved to
// qvlUpdateService.1.log once it reaches 1 MB. The folder is made readable
// by SYSTEM and administrators only. Best effort: a line that cannot be
// written is lost, and the service goes on.
#include <mutex>
#include <string>

namespace updservice::win {

class ServiceLog {
public:
    void Write(const std::string& line);

private:
    std::mutex mutex_;
};

}  // namespace updservice::win
